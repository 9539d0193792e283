#include "WindowTestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    // The recovery journal lives in the user's data folder.
    qputenv("XDG_DATA_HOME", QFile::encodeName(DataPath()));
}

QString WindowTestFolder::DataPath() const
{
    return m_dir.filePath(QStringLiteral("data"));
}

void WindowTestFolder::ForgetSettings() const
{
    QVERIFY(QDir(m_dir.filePath(QStringLiteral("Chronalt"))).removeRecursively());
    QVERIFY(QDir(DataPath()).removeRecursively());
}

QSettings ProgramSettingsStore()
{
    return QSettings(QStringLiteral("Chronalt"),
                     QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}
