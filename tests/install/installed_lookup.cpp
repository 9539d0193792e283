// Run by check_install.sh from a folder of its own against a fresh install
// tree (INSTALL_ROOT): the installed program, looking the way it does at
// start, finds its help, its sounds and, when the sources have one, the
// word-processor template.
#include "app/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class TestInstalledLookup : public QObject
{
    Q_OBJECT
    QString m_root;
    ProgramFolders m_folders;

private slots:
    void initTestCase()
    {
        m_root = qEnvironmentVariable("INSTALL_ROOT");
        QVERIFY2(QFileInfo(m_root).isDir(), "INSTALL_ROOT names no install tree");
        const QString program = m_root + QStringLiteral("/usr/bin/duobahn");
        QVERIFY(QFileInfo(program).isExecutable());
        m_folders = FindProgramFolders(program);
    }

    void dataFolderIsShared()
    {
        QVERIFY(m_folders.installed);
        QCOMPARE(m_folders.data, m_root + QStringLiteral("/usr/share/duobahn"));
    }

    void helpFound() { QVERIFY(QFileInfo(m_folders.helpFile).isFile()); }

    void soundsFound_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("start") << "3.wav";
        QTest::newRow("stop") << "4.wav";
    }
    void soundsFound()
    {
        QFETCH(QString, name);
        QVERIFY(!QFileInfo::exists(name)); // not in the folder it runs in
        QCOMPARE(FindSoundFile(name, m_folders.data), QDir(m_folders.data).filePath(name));
    }

    void templateFoundWhenShipped()
    {
        const QString source = qEnvironmentVariable("DUOBAHN_SOURCE_DIR") +
                               QStringLiteral("/examples/Protokollvorlage.doc");
        QCOMPARE(QFileInfo(m_folders.protocolTemplate).isFile(), QFileInfo(source).isFile());
    }
};

QTEST_MAIN(TestInstalledLookup)
#include "installed_lookup.moc"
