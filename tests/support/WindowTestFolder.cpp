#include "WindowTestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QtTest>

void WindowTestFolder::Enter()
{
    QVERIFY(m_dir.isValid());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void WindowTestFolder::ForgetSettings() const
{
    QVERIFY(QDir(m_dir.filePath(QStringLiteral("Chronalt"))).removeRecursively());
}

QSettings ProgramSettingsStore()
{
    return QSettings(QStringLiteral("Chronalt"),
                     QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}
