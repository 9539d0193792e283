// Live results to many pages: WebSocket clients on loopback, in a thread of
// their own, receive a heat's stops. Prints how long a stop takes to reach
// every page (p50 / p99), how long the program's thread spends passing one
// change on, what is sent while nothing changes, and the memory each page
// costs. Figures only; nothing here is asserted against a time.
#include "BenchSupport.h"
#include "display/AudienceFeed.h"
#include "display/AudienceServer.h"

#include <QCoreApplication>
#include <QThread>
#include <QWebSocket>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

// The pages' side: sockets living in their own thread, each noting when
// its messages arrive.
class Pages : public QObject
{
public:
    void Open(int count, quint16 port)
    {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QWebSocket>();
            connect(socket.get(), &QWebSocket::textMessageReceived, this,
                    [this](const QString &) { Arrived(); });
            socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
            m_sockets.push_back(std::move(socket));
        }
    }
    void Close() { m_sockets.clear(); }

    int Received() const { return m_received; }
    // Arrival times since the last Reset.
    std::vector<Clock::time_point> Arrivals()
    {
        std::lock_guard lock(m_mutex);
        return m_arrivals;
    }
    void Reset()
    {
        std::lock_guard lock(m_mutex);
        m_arrivals.clear();
    }

private:
    void Arrived()
    {
        ++m_received;
        std::lock_guard lock(m_mutex);
        m_arrivals.push_back(Clock::now());
    }

    std::vector<std::unique_ptr<QWebSocket>> m_sockets;
    std::atomic<int> m_received = 0;
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_arrivals;
};

AudienceView RunningHeat(std::uint32_t startTick)
{
    AudienceView view;
    for (int lane = 1; lane <= 2; ++lane) {
        AudienceLane entry;
        entry.lane = lane;
        entry.team = {QString::number(lane), QStringLiteral("Team %1").arg(lane),
                      QStringLiteral("Damen"), QStringLiteral("Fahrer %1").arg(lane)};
        entry.phase = AudienceLanePhase::Running;
        entry.startTick = startTick;
        view.lanes.append(entry);
    }
    AudienceClassStandings standings{QStringLiteral("Damen"), {}};
    for (int row = 1; row <= 30; ++row)
        standings.rows.append({QString::number(row), QString::number(row),
                               QStringLiteral("Team %1").arg(row), QStringLiteral("55,20")});
    view.standings = {standings};
    return view;
}

// Runs the loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()> &condition, int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::size_t(fraction * double(values.size() - 1))];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int clients = bench::Measured(200, 5);
    const int stops = bench::Measured(100, 3);
    QElapsedTimer ticks;
    ticks.start();
    AudienceFeed feed;
    AudienceServer server(feed, [&] { return std::uint32_t(ticks.elapsed()); });
    if (!server.Listen(QHostAddress::LocalHost, 0))
        return 1;

    QThread pagesThread;
    pagesThread.start();
    auto *pages = new Pages;
    pages->moveToThread(&pagesThread);
    const double memoryBefore = bench::ResidentBytes();
    QMetaObject::invokeMethod(pages, [&] { pages->Open(clients, server.Port()); });
    if (!WaitFor([&] { return pages->Received() == clients; }, 60000)) {
        std::printf("only %d of %d pages connected\n", pages->Received(), clients);
        return 1;
    }
    const double memoryPerPage = (bench::ResidentBytes() - memoryBefore) / clients / 1024;

    AudienceView view = RunningHeat(std::uint32_t(ticks.elapsed()));
    feed.Publish(view);
    WaitFor([&] { return pages->Received() == 2 * clients; }, 10000);

    std::vector<double> latencies, threadMs;
    for (int stop = 0; stop < stops; ++stop) {
        pages->Reset();
        const int before = pages->Received();
        AudienceLane &lane = view.lanes[stop % 2];
        lane.phase = lane.phase == AudienceLanePhase::Running ? AudienceLanePhase::Stopped
                                                              : AudienceLanePhase::Running;
        lane.time = QString::number(stop);
        const Clock::time_point sent = Clock::now();
        threadMs.push_back(bench::MillisOf([&] { feed.Publish(view); }));
        if (!WaitFor([&] { return pages->Received() == before + clients; }, 10000)) {
            std::printf("a stop did not reach every page\n");
            return 1;
        }
        for (const Clock::time_point arrival : pages->Arrivals())
            latencies.push_back(std::chrono::duration<double, std::milli>(arrival - sent).count());
    }

    // Quiet: no change for a while, so nothing but a keep-alive may arrive.
    const int beforeQuiet = pages->Received();
    const int quietMs = bench::Measured(3000, 200);
    WaitFor([] { return false; }, quietMs);
    const int quietMessages = pages->Received() - beforeQuiet;

    std::printf("live results, %d pages on loopback, %d stops\n", clients, stops);
    std::printf("  stop reaches every page: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.99),
                Percentile(latencies, 1.0));
    std::printf("  program thread per change (min / median / max ms): %s\n",
                qPrintable(bench::SpreadText(bench::SpreadOf(threadMs), 3)));
    std::printf("  messages in %d ms without change: %d (keep-alive every %d s)\n", quietMs,
                quietMessages, AudienceServer::KeepAliveMs / 1000);
    std::printf("  memory per page, both ends of the socket: %.0f KB\n", memoryPerPage);

    QMetaObject::invokeMethod(
        pages, [&] { pages->Close(); }, Qt::BlockingQueuedConnection);
    pagesThread.quit();
    pagesThread.wait();
    delete pages;
    return 0;
}
