// TComPort with its real watcher thread, queue, dispatch and close code,
// running against the scripted device.
#include "FakePlatform.h"
#include "comms/Comms.h"
#include "comms/FakeSerialDevice.h"

#include <QtTest>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <dlfcn.h>
#include <pthread.h>
#include <thread>

// While set, starting a thread fails as when the system has none to spare.
static std::atomic<bool> g_threadsRefused{false};

extern "C" int pthread_create(pthread_t *thread, const pthread_attr_t *attr, void *(*start)(void *),
                              void *arg)
{
    using Create = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const auto next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return g_threadsRefused ? EAGAIN : next(thread, attr, start, arg);
}

namespace {

constexpr int WaitLimitMs = 5000;

// The port under test, its devices and everything its events said.
struct Bench
{
    explicit Bench(FakeSerialDevice::Behaviour deviceBehaviour = {}) : behaviour(deviceBehaviour)
    {
        port.SetDeviceFactory([this](const QString &) {
            devices.push_back(std::make_shared<FakeSerialDevice>(this->behaviour));
            return devices.back();
        });
        port.OnOpen = [this] { log << QStringLiteral("open"); };
        port.OnClose = [this] { log << QStringLiteral("close"); };
        port.OnDisconnect = [this](int error) { log << QStringLiteral("gone:%1").arg(error); };
        port.OnCTS = [this](const ModemLineEvent &e) { Record("cts", MS_CTS_ON, e); };
        port.OnDSR = [this](const ModemLineEvent &e) { Record("dsr", MS_DSR_ON, e); };
    }
    void Record(const char *line, std::uint32_t bit, const ModemLineEvent &event)
    {
        log << QStringLiteral("%1:%2@%3")
                   .arg(QLatin1String(line))
                   .arg(event.modemStatus & bit ? 1 : 0)
                   .arg(event.tick);
        if (afterEvent)
            afterEvent();
    }
    FakeSerialDevice &Device() { return *devices.back(); }
    // The watcher has seen everything so far and will see the next edge on its own.
    bool Ready() { return Device().WaitUntilWatched(WaitLimitMs); }

    ScopedFakePlatform platform;
    FakeSerialDevice::Behaviour behaviour;
    std::vector<std::shared_ptr<FakeSerialDevice>> devices;
    QStringList log;
    std::function<void()> afterEvent;
    TComPort port; // last: its destruction closes the port and still reports
};

FakeSerialDevice::Behaviour Driver(bool canWait, bool hasCounters)
{
    FakeSerialDevice::Behaviour behaviour;
    behaviour.canWait = canWait;
    behaviour.hasCounters = hasCounters;
    return behaviour;
}

// Fails the test program instead of hanging it when a close never returns.
class HangGuard
{
public:
    explicit HangGuard(const char *what)
        : m_thread([this, what] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, std::chrono::seconds(5), [this] { return m_finished; }))
                  qFatal("%s did not return", what);
          })
    {}
    ~HangGuard()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace

class TestComPort : public QObject
{
    Q_OBJECT
private slots:
    void bothEdgesRaiseStampedEvents_data();
    void bothEdgesRaiseStampedEvents();
    void simultaneousChangesComeCtsFirst_data();
    void simultaneousChangesComeCtsFirst();
    void shortInterruptionBetweenReads_data();
    void shortInterruptionBetweenReads();
    void switchAroundAReadingIsSeen_data();
    void switchAroundAReadingIsSeen();
    void openOnOpenPortReplacesWatcher();
    void closeCompletesQueuedHandOverThenStops();
    void closeFromHandlerDropsTheRest();
    void stopEndsBlockedWatcher_data();
    void stopEndsBlockedWatcher();
    void unplugClosesAndTells_data();
    void unplugClosesAndTells();
    void openFailures_data();
    void openFailures();
    void watcherThatCannotStart();
    void dataBitsClamped_data();
    void dataBitsClamped();
    void stampSurvivesBlockedGuiThread();
};

void TestComPort::bothEdgesRaiseStampedEvents_data()
{
    QTest::addColumn<bool>("canWait");
    QTest::addColumn<bool>("hasCounters");
    QTest::addColumn<std::uint32_t>("bit");
    QTest::addColumn<QString>("name");
    for (auto [bit, name] : {std::pair{std::uint32_t(MS_CTS_ON), "cts"}, {MS_DSR_ON, "dsr"}}) {
        QTest::addRow("%s, wait and counters", name) << true << true << bit << QString(name);
        QTest::addRow("%s, wait, no counters", name) << true << false << bit << QString(name);
        QTest::addRow("%s, polling (no wait)", name) << false << true << bit << QString(name);
    }
}

void TestComPort::bothEdgesRaiseStampedEvents()
{
    QFETCH(bool, canWait);
    QFETCH(bool, hasCounters);
    QFETCH(std::uint32_t, bit);
    QFETCH(QString, name);
    Bench bench(Driver(canWait, hasCounters));
    bench.port.Open();
    bench.platform.SetTick(1000);
    QVERIFY(bench.Ready());
    bench.Device().SetLine(bit, true);
    QTRY_COMPARE(bench.log.size(), 2);
    bench.platform.SetTick(2500);
    QVERIFY(bench.Ready());
    bench.Device().SetLine(bit, false);
    QTRY_COMPARE(bench.log.size(), 3);
    QCOMPARE(bench.log, QStringList({"open", name + ":1@1000", name + ":0@2500"}));
    // The fallback takes over after the one refused wait.
    QCOMPARE(bench.Device().WaitCalls() == 1, !canWait);
}

void TestComPort::simultaneousChangesComeCtsFirst_data()
{
    QTest::addColumn<bool>("hasCounters");
    QTest::newRow("counters") << true;
    QTest::newRow("levels only") << false;
}

void TestComPort::simultaneousChangesComeCtsFirst()
{
    QFETCH(bool, hasCounters);
    Bench bench(Driver(true, hasCounters));
    bench.port.Open();
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_CTS_ON | MS_DSR_ON);
    QTRY_COMPARE(bench.log.size(), 3);
    QCOMPARE(bench.log, QStringList({"open", "cts:1@0", "dsr:1@0"}));
}

void TestComPort::shortInterruptionBetweenReads_data()
{
    QTest::addColumn<bool>("hasCounters");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("counted edges") << true << QStringList({"open", "dsr:1@0", "dsr:0@0", "marker"});
    // Without counters the levels before and after agree: the pulse is not seen.
    QTest::newRow("levels only") << false << QStringList({"open", "marker"});
}

void TestComPort::shortInterruptionBetweenReads()
{
    QFETCH(bool, hasCounters);
    QFETCH(QStringList, expected);
    Bench bench(Driver(true, hasCounters));
    bench.port.OnCTS = [&](const ModemLineEvent &) { bench.log << QStringLiteral("marker"); };
    bench.port.Open();
    QVERIFY(bench.Ready());
    bench.Device().Pulse(MS_DSR_ON);
    // A later change shows when the watcher has dealt with the pulse.
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_CTS_ON);
    QTRY_VERIFY(bench.log.contains("marker"));
    QCOMPARE(bench.log, expected);
}

// A switch right after a reading must be seen with the level it switched
// to and the tick of that wake: without counters it comes between the
// reading after a wake and the next wait (which only wakes on later
// switches); with counters it comes between the levels and the counters.
void TestComPort::switchAroundAReadingIsSeen_data()
{
    QTest::addColumn<bool>("hasCounters");
    QTest::newRow("between reading and next wait") << false;
    QTest::newRow("between levels and counters") << true;
}

void TestComPort::switchAroundAReadingIsSeen()
{
    QFETCH(bool, hasCounters);
    Bench bench(Driver(true, hasCounters));
    bench.port.Open();
    bench.platform.SetTick(300);
    QVERIFY(bench.Ready());
    bench.Device().SwitchAfterNextRead(MS_DSR_ON);
    bench.Device().ToggleLines(MS_CTS_ON);
    QTRY_COMPARE(bench.log.size(), 3);
    QCOMPARE(bench.log, QStringList({"open", "cts:1@300", "dsr:1@300"}));
}

void TestComPort::openOnOpenPortReplacesWatcher()
{
    Bench bench;
    bench.port.Open();
    bench.port.Open();
    QCOMPARE(bench.log, QStringList({"open", "close", "open"}));
    QCOMPARE(bench.devices.size(), std::size_t(2));
    QVERIFY(!bench.devices[0]->IsOpen());
    QVERIFY(bench.devices[1]->IsOpen());
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_DSR_ON);
    QTRY_COMPARE(bench.log.last(), QStringLiteral("dsr:1@0"));
}

void TestComPort::closeCompletesQueuedHandOverThenStops()
{
    Bench bench;
    bench.port.Open();
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_CTS_ON | MS_DSR_ON);
    // Back in its wait, the watcher has queued both changes; the GUI thread
    // has not got round to them when the close comes.
    QVERIFY(bench.Ready());
    {
        HangGuard guard("Close");
        bench.port.Close();
    }
    QCOMPARE(bench.log, QStringList({"open", "cts:1@0", "dsr:1@0", "close"}));
    QVERIFY(!bench.Device().IsOpen());
    QTest::qWait(0); // the hand-over posted before the close finds nothing
    QCOMPARE(bench.log.size(), 4);
}

void TestComPort::closeFromHandlerDropsTheRest()
{
    Bench bench;
    bench.afterEvent = [&] { bench.port.Close(); };
    bench.port.Open();
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_CTS_ON | MS_DSR_ON);
    QTRY_VERIFY(bench.log.contains("close"));
    QTest::qWait(0);
    QCOMPARE(bench.log, QStringList({"open", "cts:1@0", "close"}));
    QVERIFY(!bench.port.Connected());
}

void TestComPort::stopEndsBlockedWatcher_data()
{
    QTest::addColumn<bool>("canWait");
    QTest::newRow("blocked in the wait") << true;
    QTest::newRow("polling") << false;
}

void TestComPort::stopEndsBlockedWatcher()
{
    QFETCH(bool, canWait);
    Bench bench(Driver(canWait, true));
    bench.port.Open();
    QVERIFY(bench.Ready());
    {
        HangGuard guard("Close");
        bench.port.Close();
    }
    QCOMPARE(bench.log, QStringList({"open", "close"}));
    QVERIFY(!bench.port.Connected());
}

void TestComPort::unplugClosesAndTells_data()
{
    QTest::addColumn<int>("error");
    QTest::newRow("EIO") << EIO;
    QTest::newRow("ENODEV") << ENODEV;
}

void TestComPort::unplugClosesAndTells()
{
    QFETCH(int, error);
    Bench bench;
    bench.port.Open();
    QVERIFY(bench.Ready());
    bench.Device().Unplug(error);
    QTRY_VERIFY(!bench.port.Connected());
    QCOMPARE(bench.log, QStringList({"open", "close", QStringLiteral("gone:%1").arg(error)}));
    QVERIFY(!bench.Device().IsOpen());
    // The port opens again once the adapter is back.
    bench.port.Open();
    QVERIFY(bench.port.Connected());
}

void TestComPort::openFailures_data()
{
    QTest::addColumn<int>("openError");
    QTest::addColumn<int>("configureError");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("busy");
    QTest::newRow("held by another program") << EBUSY << 0 << "Unable to open com port: 16" << true;
    QTest::newRow("missing") << ENOENT << 0 << "Unable to open com port: 2" << false;
    QTest::newRow("settings refused") << 0 << EINVAL << "Unable to set com state: 22" << false;
}

void TestComPort::openFailures()
{
    QFETCH(int, openError);
    QFETCH(int, configureError);
    QFETCH(QString, message);
    QFETCH(bool, busy);
    FakeSerialDevice::Behaviour behaviour;
    behaviour.openError = openError;
    behaviour.configureError = configureError;
    Bench bench(behaviour);
    QString caught;
    try {
        bench.port.Open();
    } catch (const EComHandle &e) {
        caught = e.what();
        QCOMPARE(e.IsBusy(), busy);
    } catch (const EComState &e) {
        caught = e.what();
    }
    QCOMPARE(caught, message);
    QVERIFY(!bench.port.Connected());
    QVERIFY(bench.log.isEmpty());
    // Not left held: a device that could not be set up is released at once.
    QVERIFY(!bench.Device().IsOpen());
}

// No thread to watch with: the open fails like a refused setting, the device
// is released and a later open finds it free.
void TestComPort::watcherThatCannotStart()
{
    Bench bench;
    g_threadsRefused = true;
    QString caught;
    try {
        bench.port.Open();
    } catch (const EComState &e) {
        caught = e.what();
    } catch (...) {
        caught = QStringLiteral("other");
    }
    g_threadsRefused = false;
    QCOMPARE(caught, QStringLiteral("Unable to set com state: %1").arg(EAGAIN));
    QVERIFY(!bench.port.Connected());
    QVERIFY(bench.log.isEmpty());
    QVERIFY(!bench.Device().IsOpen());
    bench.port.Open();
    QVERIFY(bench.port.Connected());
    QVERIFY(bench.Ready());
}

void TestComPort::dataBitsClamped_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::newRow("9") << 9 << 8;
    QTest::newRow("4") << 4 << 5;
    QTest::newRow("0") << 0 << 5;
    QTest::newRow("255") << 255 << 8;
    QTest::newRow("6") << 6 << 6;
}

void TestComPort::dataBitsClamped()
{
    QFETCH(int, value);
    QFETCH(int, stored);
    Bench bench;
    bench.port.SetDataBits(std::uint8_t(value));
    QCOMPARE(int(bench.port.DataBits()), stored);
    bench.port.Open();
    QCOMPARE(bench.Device().Settings().dataBits, stored);
}

// A lane started and stopped through the barriers: the stop carries the
// tick of the moment the watcher saw the line, not of the moment the busy
// GUI thread got round to it.
void TestComPort::stampSurvivesBlockedGuiThread()
{
    Bench bench;
    std::uint32_t start = 0;
    std::optional<std::uint32_t> laneTime;
    bench.port.OnDSR = [&](const ModemLineEvent &e) { start = e.tick; };
    bench.port.OnCTS = [&](const ModemLineEvent &e) { laneTime = e.tick - start; };
    bench.port.Open();
    bench.platform.SetTick(10000);
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_DSR_ON);
    QTRY_COMPARE(start, 10000u);

    bench.platform.SetTick(12345);
    QVERIFY(bench.Ready());
    bench.Device().ToggleLines(MS_CTS_ON);
    QVERIFY(bench.Ready()); // stamped and queued, the GUI thread still busy
    bench.platform.AdvanceTick(200);
    QVERIFY(!laneTime);
    QTRY_VERIFY(laneTime);
    QCOMPARE(*laneTime, 2345u);
}

QTEST_MAIN(TestComPort)
#include "tst_ComPort.moc"
