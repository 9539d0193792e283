// The barrier simulator: the operator's commands become timed line
// switches, and a simulated port driven over its socket reaches the port's
// handlers through the same watcher as a real device.
#include "FakePlatform.h"
#include "comms/BarrierSimScript.h"
#include "comms/Comms.h"
#include "comms/SimSerialDevice.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class TestBarrierSim : public QObject
{
    Q_OBJECT
private slots:
    void plan_data();
    void plan();
    void deviceCommands_data();
    void deviceCommands();
    void socketDrivesThePort();
    void clientGoneBeforeItsReply();
    void onlyItsOwnSocketIsRemoved_data();
    void onlyItsOwnSocketIsRemoved();
};

void TestBarrierSim::plan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "delay:command" steps, or "error"
    QTest::newRow("level") << "CTS on"
                           << "0:cts on";
    QTest::newRow("lane names") << "lane1 toggle"
                                << "0:dsr toggle";
    QTest::newRow("one pulse") << "lane2 pulse"
                               << "0:cts toggle|100:cts toggle";
    QTest::newRow("pulse train") << "dsr pulse 3 times every 1500 ms width 50 ms"
                                 << "0:dsr toggle|50:dsr toggle|1450:dsr toggle|50:dsr toggle|"
                                    "1450:dsr toggle|50:dsr toggle";
    QTest::newRow("pulse shorter than a reading") << "cts pulse 2 times every 300 width 0"
                                                  << "0:cts pulse|300:cts pulse";
    QTest::newRow("wait") << "wait 250 ms"
                          << "250:";
    QTest::newRow("both together") << "both toggle"
                                   << "0:both toggle";
    QTest::newRow("both cannot be set one way") << "both on"
                                                << "error";
    QTest::newRow("wider than the gap") << "cts pulse 2 times every 50 width 100"
                                        << "error";
    QTest::newRow("no count") << "cts pulse 0 times"
                              << "error";
    QTest::newRow("nonsense") << "dsr sideways"
                              << "error";
    QTest::newRow("blank") << "  "
                           << "";
}

void TestBarrierSim::plan()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    std::vector<SimStep> steps;
    QString error;
    const bool ok = PlanSimCommand(text, steps, error);
    QStringList seen;
    for (const SimStep &step : steps)
        seen << QStringLiteral("%1:%2").arg(step.delayMs).arg(step.command);
    QCOMPARE(ok ? seen.join('|') : QStringLiteral("error"), expected);
    QCOMPARE(error.isEmpty(), ok);
}

void TestBarrierSim::deviceCommands_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("lastReply");
    QTest::addColumn<std::uint32_t>("lines");
    QTest::newRow("on then toggle") << QStringList{"dsr on", "cts toggle"} << "ok cts=1 dsr=1"
                                    << std::uint32_t(MS_CTS_ON | MS_DSR_ON);
    QTest::newRow("pulse leaves the level")
        << QStringList{"cts pulse"} << "ok cts=0 dsr=0" << std::uint32_t(0);
    QTest::newRow("unknown") << QStringList{"dsr sideways"}
                             << "error: unknown command: dsr sideways" << std::uint32_t(0);
}

void TestBarrierSim::deviceCommands()
{
    QFETCH(QStringList, commands);
    QFETCH(QString, lastReply);
    QFETCH(std::uint32_t, lines);
    FakeSerialDevice device;
    QString reply;
    for (const QString &command : commands)
        reply = ApplySimCommand(device, command);
    QCOMPARE(reply, lastReply);
    QCOMPARE(device.Lines(), lines);
}

void TestBarrierSim::socketDrivesThePort()
{
    ScopedFakePlatform platform;
    QTemporaryDir dir;
    const QString socket = dir.filePath("barrier.sock");
    TComPort port;
    QStringList log;
    std::shared_ptr<SimSerialDevice> device;
    port.SetDeviceFactory([&](const QString &) {
        device =
            std::dynamic_pointer_cast<SimSerialDevice>(OpenSerialDeviceByName("sim:" + socket));
        return device;
    });
    port.OnDSR = [&](const ModemLineEvent &e) { log << QStringLiteral("dsr@%1").arg(e.tick); };
    port.OnClose = [&] { log << "close"; };
    port.OnDisconnect = [&](int) { log << "gone"; };
    port.Open();
    const int fd = ConnectToSim(socket);
    QVERIFY(fd >= 0);
    platform.SetTick(777);
    QVERIFY(device && device->WaitUntilWatched(5000)); // the watcher has its first reading
    QCOMPARE(AskSim(fd, "dsr toggle"), QByteArray("ok cts=0 dsr=1"));
    QTRY_COMPARE(log, QStringList{"dsr@777"});
    QCOMPARE(AskSim(fd, "unplug"), QByteArray("ok unplugged"));
    QTRY_COMPARE(log, QStringList({"dsr@777", "close", "gone"}));
    ::close(fd);
    QVERIFY(!QFile::exists(socket));
}

// A client that sends a command and leaves before the reply (an interrupted
// barrier-sim) costs the program nothing; the command still counts.
void TestBarrierSim::clientGoneBeforeItsReply()
{
    QTemporaryDir dir;
    const QString socket = dir.filePath("barrier.sock");
    SimSerialDevice device(socket);
    QCOMPARE(device.Open(), 0);
    const int gone = ConnectToSim(socket);
    QVERIFY(gone >= 0);
    const QByteArray command("dsr toggle\n");
    QCOMPARE(::write(gone, command.constData(), command.size()), command.size());
    ::close(gone);
    const int fd = ConnectToSim(socket);
    QVERIFY(fd >= 0);
    QCOMPARE(AskSim(fd, "status"), QByteArray("ok cts=0 dsr=1"));
    ::close(fd);
    device.Close();
}

// What stands at the socket path before the device opens, or is put there
// while it is open; the device may remove only a socket nobody serves.
void TestBarrierSim::onlyItsOwnSocketIsRemoved_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("replacedWhileOpen");
    QTest::addColumn<int>("openError");
    QTest::addColumn<QString>("after"); // "file", "socket" or "nothing"
    QTest::newRow("nothing there") << "nothing" << false << 0 << "nothing";
    QTest::newRow("a regular file") << "file" << false << EEXIST << "file";
    QTest::newRow("a socket another program serves") << "live" << false << EADDRINUSE << "socket";
    QTest::newRow("a dead socket of an earlier run") << "dead" << false << 0 << "nothing";
    QTest::newRow("a file put there while open") << "nothing" << true << 0 << "file";
}

void TestBarrierSim::onlyItsOwnSocketIsRemoved()
{
    QFETCH(QString, before);
    QFETCH(bool, replacedWhileOpen);
    QTemporaryDir dir;
    const QString path = dir.filePath("barrier.sock");
    const auto writeFile = [&] {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Ergebnisse") == 10);
    };
    SimSerialDevice other(path);
    if (before == "file")
        writeFile();
    if (before == "live" || before == "dead")
        QCOMPARE(other.Open(), 0);
    if (before == "dead") {
        // The listener goes without its file, as on SIGKILL.
        QVERIFY(QFile::rename(path, path + ".keep"));
        other.Close();
        QVERIFY(QFile::rename(path + ".keep", path));
    }

    {
        SimSerialDevice device(path);
        QTEST(device.Open(), "openError");
        if (replacedWhileOpen) {
            QVERIFY(QFile::remove(path));
            writeFile();
        }
        device.Close();
    }
    struct stat status
    {};
    const bool exists = ::lstat(QFile::encodeName(path).constData(), &status) == 0;
    const QString found = !exists                    ? "nothing"
                          : S_ISSOCK(status.st_mode) ? "socket"
                          : S_ISREG(status.st_mode)  ? "file"
                                                     : "other";
    QTEST(found, "after");
    if (found == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Ergebnisse"));
    }
    other.Close();
}

QTEST_MAIN(TestBarrierSim)
#include "tst_BarrierSim.moc"
