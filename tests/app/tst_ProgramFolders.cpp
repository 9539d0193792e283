// Where the program looks for its data, run from the build folder or
// installed, which sound file it plays, and the folder it works in.
#include "app/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramFolders : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;

    void Touch(const QString &path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase() { QVERIFY(m_root.isValid()); }

    void dataFolder_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QStringList>("files"); // created below the root first
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("helpFile");
        QTest::newRow("build folder: next to the program")
            << "build/duobahn" << QStringList{"build/duobahn"} << "build" << false
            << "build/duobahn.hlp";
        QTest::newRow("installed: share/duobahn beside bin")
            << "usr/bin/duobahn" << QStringList{"usr/bin/duobahn", "usr/share/duobahn/3.wav"}
            << "usr/share/duobahn" << true << "usr/share/duobahn/duobahn.hlp";
        QTest::newRow("renamed program keeps the shared folder, not the help")
            << "opt/bin/Rennen" << QStringList{"opt/bin/Rennen", "opt/share/duobahn/3.wav"}
            << "opt/share/duobahn" << true << "opt/share/duobahn/Rennen.hlp";
        QTest::newRow("a file named like the folder is no data folder")
            << "local/bin/duobahn" << QStringList{"local/bin/duobahn", "local/share/duobahn"}
            << "local/bin" << false << "local/bin/duobahn.hlp";
    }
    void dataFolder()
    {
        QFETCH(QString, executable);
        QFETCH(QStringList, files);
        QFETCH(QString, data);
        QFETCH(QString, helpFile);
        for (const QString &file : files)
            Touch(m_root.filePath(file));
        const ProgramFolders folders = FindProgramFolders(m_root.filePath(executable));
        QCOMPARE(folders.executable, QFileInfo(m_root.filePath(executable)).absolutePath());
        QCOMPARE(folders.data, m_root.filePath(data));
        QTEST(folders.installed, "installed");
        QCOMPARE(folders.helpFile, m_root.filePath(helpFile));
        QCOMPARE(folders.protocolTemplate, m_root.filePath(data + "/Protokollvorlage.doc"));
    }

    void soundFile_data()
    {
        QTest::addColumn<QStringList>("present"); // "working" and/or "data"
        QTest::addColumn<QString>("found");
        QTest::newRow("working folder") << QStringList{"working"} << "4.wav";
        QTest::newRow("working folder first") << QStringList{"working", "data"} << "4.wav";
        QTest::newRow("shipped with the program") << QStringList{"data"} << "DATA/4.wav";
        QTest::newRow("nowhere") << QStringList{} << "";
    }
    void soundFile()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        QTemporaryDir working;
        QTemporaryDir data;
        QVERIFY(working.isValid() && data.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(working.path()));
        if (present.contains("working"))
            Touch(working.filePath("4.wav"));
        if (present.contains("data"))
            Touch(data.filePath("4.wav"));
        // A folder of that name is not a sound.
        QVERIFY(QDir().mkpath(data.filePath("3.wav")));
        const QString result = FindSoundFile(QStringLiteral("4.wav"), data.path());
        const QString folderResult = FindSoundFile(QStringLiteral("3.wav"), data.path());
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(result, found.replace("DATA", data.path()));
        QCOMPARE(folderResult, QString());
    }

    void startFolder_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("kept");
        QTest::newRow("a folder of the user's") << "ROOT" << true;
        QTest::newRow("temporary folder") << "/tmp" << true;
        QTest::newRow("file system root") << "/" << false;
        QTest::newRow("program folder") << "/usr/bin" << false;
        QTest::newRow("its data folder") << "/usr/share" << false;
        QTest::newRow("configuration") << "/etc" << false;
        QTest::newRow("not written with a trailing slash") << "/usr/" << false;
        QTest::newRow("not a folder one can write in") << "ROOT/plain-file/below" << false;
        QTest::newRow("gone") << "ROOT/gone" << false;
    }
    void startFolder()
    {
        QFETCH(QString, current);
        QFETCH(bool, kept);
        Touch(m_root.filePath("plain-file"));
        current.replace("ROOT", m_root.path());
        const QString home = QStringLiteral("/home/operator");
        QCOMPARE(StartFolder(current, home), kept ? current : home);
    }
};

QTEST_MAIN(TestProgramFolders)
#include "tst_ProgramFolders.moc"
