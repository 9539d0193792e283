// A race run by the light barriers in the real main window: the port's own
// watcher and queue deliver the pulses of the scripted device, or of the
// barrier simulator over its socket, to the race clock.
#include "FakePlatform.h"
#include "app/ApplicationWindows.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "comms/Comms.h"
#include "comms/SimSerialDevice.h"

#include <QStatusBar>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <unistd.h>

class TestBarrierRace : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase();
    void raceRunByBarriers_data();
    void raceRunByBarriers();
    void simulatorPathHoldingAFile();
};

void TestBarrierRace::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath("data")));
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
    ScopedFakePlatform platform;
    ApplicationWindows windows;
    TFormMain *form = windows.FormMain;
    QFile list(m_dir.filePath("Liste.txt"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("1\tBlitz\t1\tAnna\n2\tDonner\t1\tBernd\n");
    list.close();
    QVERIFY(form->Protocol->LoadStarterList(list.fileName()));

    const QString socket = m_dir.filePath("barrier.sock");
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
    ScopedFakePlatform platform;
    const QString path = m_dir.filePath("Ergebnisse.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1;Blitz;1\n") == 10);
    file.close();
    qputenv(BarrierSimEnvironmentVariable, QFile::encodeName(path));
    platform.serialDevices = {SimDeviceFromEnvironment()};
    {
        ApplicationWindows windows;
        TFormMain *form = windows.FormMain;
        QVERIFY(!form->ComPort->Connected());
        QCOMPARE(form->statusBar()->currentMessage(),
                 QStringLiteral("Lichtschranken-Simulator: %1 ist eine andere Datei und bleibt, "
                                "wie sie ist")
                     .arg(path));
    }
    qunsetenv(BarrierSimEnvironmentVariable);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("1;Blitz;1\n"));
}

QTEST_MAIN(TestBarrierRace)
#include "tst_BarrierRace.moc"
