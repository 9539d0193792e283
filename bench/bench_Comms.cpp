// How late the barrier time stamps and the handlers come: 1000 line changes
// on the scripted device go through the real watcher thread and queue, with
// the GUI thread idle and with it blocked 200 ms at a time. Prints median
// and 99th percentile of
//   stamp     - from the line change to the watcher reading the tick,
//   hand-over - from the line change to the handler running on the GUI thread,
//   recorded  - the tick the handler got minus the tick at the line change
//               (what a lane time would be off by).
#include "BenchSupport.h"
#include "comms/Comms.h"
#include "comms/FakeSerialDevice.h"
#include "platform/QtPlatform.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const int Changes = bench::Measured(1000, 20);
constexpr auto GuiBlock = std::chrono::milliseconds(200);
constexpr auto GapWhileBlocked = std::chrono::milliseconds(2);

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The real clock, noting when the watcher read it.
class BenchPlatform : public QtPlatform
{
public:
    std::uint32_t TickCount() const override
    {
        lastStampNs.store(NowNs());
        return QtPlatform::TickCount();
    }
    std::uint32_t TrueTick() const { return QtPlatform::TickCount(); }
    mutable std::atomic<std::int64_t> lastStampNs{0};
};

struct Sample
{
    std::int64_t changeNs = 0;
    std::uint32_t changeTick = 0;
    double stampUs = 0;
    double handOverUs = 0;
    double recordedMs = 0;
};

struct Figures
{
    double median = 0;
    double p99 = 0;
};

Figures Percentiles(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[std::size_t(std::ceil(q * values.size())) - 1]; };
    return {at(0.5), at(0.99)};
}

// Runs one series; blocked: the GUI thread sleeps 200 ms at a time while
// changes keep coming every 2 ms.
std::vector<Sample> RunSeries(BenchPlatform &platform, bool blocked)
{
    auto device = std::make_shared<FakeSerialDevice>();
    TComPort port;
    port.SetDeviceFactory([&](const QString &) { return device; });
    std::vector<Sample> samples(Changes);
    std::atomic<int> handled{0};
    port.OnDSR = [&](const ModemLineEvent &event) {
        Sample &sample = samples[handled];
        sample.handOverUs = (NowNs() - sample.changeNs) / 1000.0;
        sample.recordedMs = double(std::int32_t(event.tick - sample.changeTick));
        ++handled;
    };
    port.Open();

    std::thread driver([&] {
        for (int k = 0; k < Changes; ++k) {
            device->WaitUntilWatched(5000);
            samples[k].changeTick = platform.TrueTick();
            samples[k].changeNs = NowNs();
            device->ToggleLines(MS_DSR_ON);
            device->WaitUntilWatched(5000);
            samples[k].stampUs = (platform.lastStampNs.load() - samples[k].changeNs) / 1000.0;
            if (blocked)
                std::this_thread::sleep_for(GapWhileBlocked);
            else
                while (handled.load() <= k)
                    std::this_thread::yield();
        }
    });
    QTimer blocker;
    if (blocked) {
        QObject::connect(&blocker, &QTimer::timeout, [] { std::this_thread::sleep_for(GuiBlock); });
        blocker.start(0);
    }
    while (handled.load() < Changes)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    blocker.stop();
    driver.join();
    port.Close();
    return samples;
}

void PrintRow(const char *gui, const std::vector<Sample> &samples)
{
    std::vector<double> stamp, handOver, recorded;
    for (const Sample &s : samples) {
        stamp.push_back(s.stampUs);
        handOver.push_back(s.handOverUs);
        recorded.push_back(s.recordedMs);
    }
    const Figures a = Percentiles(stamp), b = Percentiles(handOver), c = Percentiles(recorded);
    std::printf("| %-14s | %12.1f | %9.1f | %16.1f | %13.1f | %15.0f | %12.0f |\n", gui, a.median,
                a.p99, b.median, b.p99, c.median, c.p99);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchPlatform platform;
    SetCurrentPlatform(&platform);
    std::printf("%d line changes per row; stamp and hand-over in microseconds, recorded time "
                "error in milliseconds\n\n",
                Changes);
    std::printf("| GUI thread     | stamp median | stamp p99 | hand-over median | hand-over p99 "
                "| recorded median | recorded p99 |\n");
    std::printf("|----------------|-------------:|----------:|-----------------:|--------------:"
                "|----------------:|-------------:|\n");
    PrintRow("idle", RunSeries(platform, false));
    PrintRow("blocked 200 ms", RunSeries(platform, true));
    SetCurrentPlatform(nullptr);
    return 0;
}
