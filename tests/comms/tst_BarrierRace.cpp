// A race run by the light barriers in the real main window: the port's own
// watcher and queue deliver the pulses of the scripted device, or of the
// barrier simulator over its socket, to the race clock.
#include "MainWindowFixture.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "comms/Comms.h"
#include "comms/SimSerialDevice.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/Dmn_led.h"

#include <QAction>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <unistd.h>

class TestBarrierRace : public QObject
{
    Q_OBJECT
    MainWindowFixture m_program;

private slots:
    void initTestCase() { m_program.Enter(); }
    void init() { m_program.PrepareMachine(); }
    void cleanup() { m_program.Close(); }
    void raceRunByBarriers_data();
    void raceRunByBarriers();
    void simulatorPathHoldingAFile();
    void bouncingContactCountsOneLap();
    void edgeAfterAQuickResetStartsNothing();

private:
    // The window's port on the scripted device; the starter list has two teams.
    std::shared_ptr<SimSerialDevice> OpenScriptedPort();
    // Switches a line once, stamped with the tick, seen on its own.
    static void Switch(FakePlatform &platform, SimSerialDevice &device, const QString &line,
                       std::uint32_t tick);
};

std::shared_ptr<SimSerialDevice> TestBarrierRace::OpenScriptedPort()
{
    m_program.Load(MainWindowFixture::Teams({"Blitz", "Donner"}));
    TFormMain *form = m_program.Form();
    const auto device = std::make_shared<std::shared_ptr<SimSerialDevice>>();
    const QString socket = m_program.Folder().FilePath("scripted.sock");
    form->ComPort->SetDeviceFactory([device, socket](const QString &) {
        *device = std::make_shared<SimSerialDevice>(socket);
        return *device;
    });
    form->ComPort->SetPort(1);
    form->OpenComPort();
    return form->ComPort->Connected() ? *device : nullptr;
}

void TestBarrierRace::Switch(FakePlatform &platform, SimSerialDevice &device, const QString &line,
                             std::uint32_t tick)
{
    platform.SetTick(tick);
    QVERIFY(device.WaitUntilWatched(5000));
    ApplySimCommand(device, line + " toggle");
    QVERIFY(device.WaitUntilWatched(5000));
    // The switch is queued by now: its handler runs before the next step.
    QCoreApplication::processEvents();
}

void TestBarrierRace::raceRunByBarriers_data()
{
    QTest::addColumn<bool>("throughSocket");
    QTest::newRow("scripted device") << false;
    QTest::newRow("barrier simulator socket") << true;
}

void TestBarrierRace::raceRunByBarriers()
{
    QFETCH(bool, throughSocket);
    m_program.Restart();
    FakePlatform &platform = m_program.Platform();
    TFormMain *form = m_program.Form();
    m_program.Load(MainWindowFixture::Teams({"Blitz", "Donner"}));

    const QString socket = m_program.Folder().FilePath("barrier.sock");
    std::shared_ptr<SimSerialDevice> device;
    form->ComPort->SetDeviceFactory([&](const QString &) {
        device = std::make_shared<SimSerialDevice>(socket);
        return device;
    });
    form->ComPort->SetPort(1);
    form->OpenComPort();
    QVERIFY(form->ComPort->Connected());
    QVERIFY(!form->PanelLed1->isHidden() && !form->PanelLed2->isHidden());
    const int client = throughSocket ? ConnectToSim(socket) : -1;
    QVERIFY(!throughSocket || client >= 0);
    const auto send = [&](const QString &command) {
        if (throughSocket)
            QVERIFY(AskSim(client, command).startsWith("ok"));
        else
            ApplySimCommand(*device, command);
    };
    // Each switch is seen on its own, stamped and queued before the next.
    const auto pulse = [&](const QString &line, std::uint32_t tick) {
        platform.SetTick(tick);
        for (int edge = 0; edge < 2; ++edge) {
            QVERIFY(device->WaitUntilWatched(5000));
            send(line + " toggle");
        }
        QVERIFY(device->WaitUntilWatched(5000));
    };

    pulse("dsr", 1000000);
    QTRY_VERIFY(form->Clock->isActive());
    form->Race->TimerGesperrtTimer(0);
    form->Race->TimerGesperrtTimer(1);

    // The laps of lane 2 come while the GUI thread is busy; each carries the
    // tick of the moment the watcher saw it.
    const int laps = form->Settings.Laps;
    for (int lap = 1; lap <= laps; ++lap)
        pulse("cts", 1000000 + 20000 * lap);
    platform.AdvanceTick(200);
    QTRY_COMPARE(form->Race->LapCount[1], laps);
    QCOMPARE(form->Race->LaneElapsed[1], 20000 * laps);
    QVERIFY(form->Clock->isActive()); // lane 1 still runs

    send("unplug");
    QTRY_VERIFY(!form->ComPort->Connected());
    QVERIFY(form->PanelLed1->isHidden() && form->PanelLed2->isHidden());
    QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Lichtschranke getrennt"));
    if (client >= 0)
        ::close(client);
}

// DUOBAHN_BARRIER_SIM naming a file of the operator: the program says so
// in the status line and leaves the file alone, also at exit.
void TestBarrierRace::simulatorPathHoldingAFile()
{
    FakePlatform &platform = m_program.Platform();
    const QString path = m_program.Folder().FilePath("Ergebnisse.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1;Blitz;1\n") == 10);
    file.close();
    qputenv(BarrierSimEnvironmentVariable, QFile::encodeName(path));
    platform.serialDevices = {SimDeviceFromEnvironment()};
    m_program.Restart();
    QVERIFY(!m_program.Form()->ComPort->Connected());
    QCOMPARE(m_program.StatusText(),
             QStringLiteral("Lichtschranken-Simulator: %1 ist eine andere Datei und bleibt, "
                            "wie sie ist")
                 .arg(path));
    m_program.Quit();
    qunsetenv(BarrierSimEnvironmentVariable);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("1;Blitz;1\n"));
}

// A contact that bounces (on, off, on, off within 3 ms) at one beam break
// counts one lap, so the lane stops at its third real lap.
void TestBarrierRace::bouncingContactCountsOneLap()
{
    m_program.Restart();
    FakePlatform &platform = m_program.Platform();
    TFormMain *form = m_program.Form();
    form->Settings.Laps = 3;
    const std::shared_ptr<SimSerialDevice> device = OpenScriptedPort();
    QVERIFY(device);
    const std::uint32_t start = 2000000;
    Switch(platform, *device, "dsr", start);
    Switch(platform, *device, "dsr", start);
    QTRY_VERIFY(form->Clock->isActive());
    form->Race->TimerGesperrtTimer(0);
    form->Race->TimerGesperrtTimer(1);

    for (std::uint32_t bounce = 0; bounce < 4; ++bounce)
        Switch(platform, *device, "cts", start + 10000 + bounce);
    for (std::uint32_t lap = 2; lap <= 3; ++lap) {
        Switch(platform, *device, "cts", start + 10000 * lap);
        Switch(platform, *device, "cts", start + 10000 * lap + 50);
    }
    QTRY_VERIFY(!form->bSTOP2->isEnabled());
    QCOMPARE(form->Race->LapCount[1], 3);
    QCOMPARE(form->Race->LaneElapsed[1], 30000);
    // A second break 100 ms after a lap is a lap again.
    QVERIFY(form->bSTOP1->isEnabled());
    form->Race->TimerGesperrtTimer(0);
    Switch(platform, *device, "dsr", start + 40000);
    Switch(platform, *device, "dsr", start + 40001);
    Switch(platform, *device, "dsr", start + 40100);
    QTRY_COMPARE(form->Race->LapCount[0], 2);
}

// "Wechseln": the first edge of a beam break starts the race. A stop and
// reset within the lockout leave the lockout running, so the second edge
// of that break starts nothing; the next break after it does.
void TestBarrierRace::edgeAfterAQuickResetStartsNothing()
{
    m_program.Restart();
    FakePlatform &platform = m_program.Platform();
    TFormMain *form = m_program.Form();
    form->Settings.Alg = 2;
    // Long enough that no real time runs a lockout out during the test.
    form->TimerGesperrt1->setInterval(600000);
    form->TimerGesperrt2->setInterval(600000);
    const std::shared_ptr<SimSerialDevice> device = OpenScriptedPort();
    QVERIFY(device);
    const std::uint32_t start = 3000000;
    Switch(platform, *device, "dsr", start);
    QTRY_VERIFY(form->Clock->isActive());
    platform.SetTick(start + 400);
    form->mSTOP1->trigger();
    form->mStop2->trigger();
    form->mReset->trigger();
    QVERIFY(form->Led1->Value() && form->TimerGesperrt1->isActive());
    QVERIFY(form->bSTART->isEnabled());

    Switch(platform, *device, "dsr", start + 600);
    form->Race->TimerGesperrtTimer(0);
    QVERIFY(!form->Led1->Value());
    Switch(platform, *device, "dsr", start + 5000);
    QTRY_VERIFY(form->Clock->isActive());
    QCOMPARE(form->Race->StartTick, start + 5000);
}

QTEST_MAIN(TestBarrierRace)
#include "tst_BarrierRace.moc"
