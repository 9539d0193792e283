// Port numbering and probe, the counting of line changes, and the real
// kernel's error paths (a missing device, a pseudo-terminal).
#include "comms/Comms.h"
#include "comms/LineChanges.h"
#include "comms/LinuxSerialDevice.h"
#include "comms/SerialPortList.h"

#include <QtTest>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

Q_DECLARE_METATYPE(LineReading)
Q_DECLARE_METATYPE(LineChangeCount)

class TestSerialPorts : public QObject
{
    Q_OBJECT
private slots:
    void probe_data();
    void probe();
    void probeVerdict_data();
    void probeVerdict();
    void storedPortFollowsDevice_data();
    void storedPortFollowsDevice();
    void listingFromSysfs_data();
    void listingFromSysfs();
    void countChanges_data();
    void countChanges();
    void expandedChangesCarryEachLevel();
    void realKernelErrors_data();
    void realKernelErrors();
    void pseudoTerminalProbedButRefused();
};

void TestSerialPorts::probe_data()
{
    QTest::addColumn<int>("candidates");
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<std::uint32_t>("expected");
    QTest::newRow("COM2 and COM4") << 5 << QList<int>{2, 4} << 0x0004000Au;
    QTest::newRow("none") << 3 << QList<int>{} << 0u;
    QTest::newRow("all nine") << 9 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 0x000901FFu;
    QTest::newRow("a tenth cannot be named") << 11 << QList<int>{3, 10} << 0x00030004u;
}

void TestSerialPorts::probe()
{
    QFETCH(int, candidates);
    QFETCH(QList<int>, present);
    QFETCH(std::uint32_t, expected);
    QStringList devices;
    for (int n = 1; n <= candidates; ++n)
        devices << QStringLiteral("/fake/tty%1").arg(n);
    QStringList tried;
    const std::uint32_t result = ProbeSerialPorts(devices, [&](const QString &device) {
        tried << device;
        return present.contains(devices.indexOf(device) + 1);
    });
    QCOMPARE(result, expected);
    QCOMPARE(AvailablePorts(), expected);
    QCOMPARE(tried, devices.mid(0, MaxSerialPorts));
    QCOMPARE(SerialDeviceName(2), devices[1]);
    QCOMPARE(SerialPortNumber(devices[2]), 3);
    QCOMPARE(SerialDeviceName(0), QString());
    QCOMPARE(SerialDeviceName(candidates + 1), QString());
}

void TestSerialPorts::probeVerdict_data()
{
    QTest::addColumn<int>("openError");
    QTest::addColumn<bool>("isTty");
    QTest::addColumn<bool>("offered");
    QTest::newRow("terminal") << 0 << true << true;
    QTest::newRow("opens but is no terminal") << 0 << false << false;
    QTest::newRow("user not in the owning group") << EACCES << false << true;
    QTest::newRow("not permitted") << EPERM << false << true;
    QTest::newRow("no such device") << ENOENT << false << false;
    QTest::newRow("slot without hardware") << ENXIO << false << false;
}

void TestSerialPorts::probeVerdict()
{
    QFETCH(int, openError);
    QFETCH(bool, isTty);
    QTEST(ProbeCountsDevice(openError, isTty), "offered");
}

void TestSerialPorts::storedPortFollowsDevice_data()
{
    QTest::addColumn<int>("storedPort");
    QTest::addColumn<QString>("storedDevice");
    QTest::addColumn<QString>("simulator");
    QTest::addColumn<int>("expected");
    QTest::newRow("same place") << 2 << "/dev/ttyUSB0"
                                << "" << 2;
    QTest::newRow("renumbered") << 1 << "/dev/ttyUSB1"
                                << "" << 3;
    QTest::newRow("adapter gone") << 2 << "/dev/ttyUSB7"
                                  << "" << 0;
    QTest::newRow("no name stored yet") << 2 << ""
                                        << "" << 2;
    QTest::newRow("simulator stands in") << 2 << "/dev/ttyUSB0"
                                         << "/tmp/x.sock" << 1;
}

void TestSerialPorts::storedPortFollowsDevice()
{
    QFETCH(int, storedPort);
    QFETCH(QString, storedDevice);
    QFETCH(QString, simulator);
    QFETCH(int, expected);
    QStringList devices{"/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    if (!simulator.isEmpty()) {
        qputenv("DUOBAHN_BARRIER_SIM", simulator.toUtf8());
        devices.prepend("sim:" + simulator);
    }
    ProbeSerialPorts(devices, [](const QString &) { return true; });
    const int port = ResolveStoredPort(storedPort, storedDevice);
    qunsetenv("DUOBAHN_BARRIER_SIM");
    QCOMPARE(port, expected);
}

void TestSerialPorts::listingFromSysfs_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("console");
    QTest::addColumn<QStringList>("emptySlots");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("on-board, USB, ACM, each by number")
        << QStringList{"ttyACM0", "ttyUSB10", "ttyS1", "ttyUSB2", "tty1", "ttyprintk"} << ""
        << QStringList{} << QStringList{"ttyS1", "ttyUSB2", "ttyUSB10", "ttyACM0"};
    QTest::newRow("active console left out")
        << QStringList{"ttyS1", "ttyS2", "ttyUSB0"} << "tty0 ttyS1" << QStringList{}
        << QStringList{"ttyS2", "ttyUSB0"};
    QTest::newRow("UART slots without a chip left out")
        << QStringList{"ttyS1", "ttyS2", "ttyS3"} << "ttyS1" << QStringList{"ttyS3"}
        << QStringList{"ttyS2"};
}

void TestSerialPorts::listingFromSysfs()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, console);
    QFETCH(QStringList, emptySlots);
    QFETCH(QStringList, expected);
    QTemporaryDir sys;
    QVERIFY(sys.isValid());
    QDir dir(sys.path());
    for (const QString &entry : entries) {
        QVERIFY(dir.mkdir(entry));
        QFile type(sys.filePath(entry + "/type"));
        QVERIFY(type.open(QIODevice::WriteOnly));
        type.write(emptySlots.contains(entry) ? "0\n" : "4\n");
    }
    QVERIFY(dir.mkdir("console"));
    QFile active(sys.filePath("console/active"));
    QVERIFY(active.open(QIODevice::WriteOnly));
    active.write(console.toUtf8() + "\n");
    active.close();
    QStringList devices;
    for (const QString &name : expected)
        devices << "/devices/" + name;
    QCOMPARE(ListSerialDevices(sys.path(), "/devices"), devices);
}

void TestSerialPorts::countChanges_data()
{
    QTest::addColumn<LineReading>("before");
    QTest::addColumn<LineReading>("now");
    QTest::addColumn<LineChangeCount>("expected");
    const auto levels = [](std::uint32_t status) { return LineReading{status, false, {}}; };
    const auto counted = [](std::uint32_t status, std::uint32_t cts, std::uint32_t dsr) {
        return LineReading{status, true, {cts, dsr}};
    };
    QTest::newRow("levels: CTS rose") << levels(0) << levels(MS_CTS_ON) << LineChangeCount{1, 0};
    QTest::newRow("levels: both fell")
        << levels(MS_CTS_ON | MS_DSR_ON) << levels(0) << LineChangeCount{1, 1};
    QTest::newRow("levels: ring is no barrier")
        << levels(0) << levels(MS_RING_ON) << LineChangeCount{0, 0};
    QTest::newRow("counters: pulse between reads")
        << counted(0, 5, 7) << counted(0, 5, 9) << LineChangeCount{0, 2};
    QTest::newRow("counters wrap")
        << counted(0, 0xFFFFFFFFu, 0) << counted(MS_CTS_ON, 2, 0) << LineChangeCount{3, 0};
    QTest::newRow("counters reset: levels decide")
        << counted(0, 500000, 0) << counted(MS_CTS_ON, 0, 0) << LineChangeCount{1, 0};
    QTest::newRow("counters on one side only")
        << counted(0, 9, 9) << levels(MS_DSR_ON) << LineChangeCount{0, 1};
}

void TestSerialPorts::countChanges()
{
    QFETCH(LineReading, before);
    QFETCH(LineReading, now);
    QFETCH(LineChangeCount, expected);
    const LineChangeCount count = CountLineChanges(before, now);
    QCOMPARE(count.cts, expected.cts);
    QCOMPARE(count.dsr, expected.dsr);
}

void TestSerialPorts::expandedChangesCarryEachLevel()
{
    // Three CTS switches ending on, two DSR switches ending off.
    const std::vector<LineChange> changes = ExpandLineChanges({3, 2}, 4711, MS_CTS_ON | MS_RING_ON);
    QStringList seen;
    for (const LineChange &change : changes) {
        QCOMPARE(change.event.tick, 4711u);
        QVERIFY(change.event.modemStatus & MS_RING_ON);
        const bool cts = change.line == ModemLine::Cts;
        seen << QStringLiteral("%1%2")
                    .arg(cts ? "cts" : "dsr")
                    .arg(change.event.modemStatus & (cts ? MS_CTS_ON : MS_DSR_ON) ? 1 : 0);
    }
    QCOMPARE(seen, QStringList({"cts1", "cts0", "cts1", "dsr1", "dsr0"}));
}

void TestSerialPorts::realKernelErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing device") << "ttyUSB99"
                                    << "Unable to open com port: 2";
    QTest::newRow("not a terminal") << "plain-file"
                                    << "Unable to open com port: 25";
}

void TestSerialPorts::realKernelErrors()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain-file"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString path = dir.filePath(name);
    TComPort port;
    bool opened = false;
    port.OnOpen = [&] { opened = true; };
    port.SetDeviceFactory([&](const QString &) { return OpenSerialDeviceByName(path); });
    try {
        port.Open();
        QFAIL("opened");
    } catch (const EComHandle &e) {
        QCOMPARE(QString(e.what()), message);
    }
    QVERIFY(!opened);
    QVERIFY(!port.Connected());
    QVERIFY(!OpensAsTty(path));
}

// A pseudo-terminal is a terminal, so the probe lists it; it has no modem
// lines, so the port refuses it before changing any of its settings, and
// releases it at once, so the next attempt meets the same answer rather
// than a busy device.
void TestSerialPorts::pseudoTerminalProbedButRefused()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    QVERIFY(OpensAsTty(slave));
    TComPort port;
    port.SetDeviceFactory([&](const QString &) { return OpenSerialDeviceByName(slave); });
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            port.Open();
            QFAIL("opened");
        } catch (const EComState &e) {
            QCOMPARE(e.Code(), ENOTTY);
        }
    }
    QVERIFY(!port.Connected());
    ::close(master);
}

QTEST_MAIN(TestSerialPorts)
#include "tst_SerialPorts.moc"
