// Live results to many pages, and the race beside a hostile race network.
// First WebSocket clients on loopback, in a thread of their own, receive a
// heat's stops: how long a stop takes to reach every page (p50 / p99), how
// long the program's thread spends passing one change on, what is sent
// while nothing changes, and the memory each page costs. Then the real main
// window with a long list serves its live page to one reading page while
// clients from many loopback addresses storm the server (50 parallel
// `GET /` loops, 100 pages reconnecting over and over, two pages sending
// frames as fast as they can, three sending pings and never reading): how
// late a stop, a penalty and a reset are handled on the operator's thread
// against the same without a storm, the longest gap between two ticks of
// the race clock (10 ms) meanwhile, and how much the program's memory grew.
// Figures only; nothing here is asserted against a time.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "display/AudienceFeed.h"
#include "display/AudienceServer.h"
#include "display/WebSocketFrames.h"
#include "widgets/ButtonWithColor.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

const QByteArray Upgrade = "GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                           "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                           "Sec-WebSocket-Version: 13\r\n\r\n";

// A small masked text frame, as a browser sends one.
QByteArray TextFrame()
{
    QByteArray frame("\x81\x85\x01\x02\x03\x04", 6);
    for (int i = 0; i < 5; ++i)
        frame.append(char("hallo"[i] ^ (i + 1)));
    return frame;
}

// The pages' side: WebSockets living in their own thread, a few from each
// loopback address, each noting when its messages arrive.
class Pages : public QObject
{
public:
    void Open(int count, quint16 port)
    {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            QTcpSocket *page = socket.get();
            connect(page, &QTcpSocket::connected, this, [page] { page->write(Upgrade); });
            connect(page, &QTcpSocket::readyRead, this, [this, page] { Read(page); });
            page->bind(QHostAddress(QStringLiteral("127.0.3.%1").arg(1 + i / 4)));
            page->connectToHost(QHostAddress::LocalHost, port);
            m_sockets.push_back(std::move(socket));
        }
    }
    void Close() { m_sockets.clear(); }

    int Received() const { return m_arrived; }
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
    void Read(QTcpSocket *page)
    {
        QByteArray &received = m_received[page];
        received += page->readAll();
        if (received.startsWith("HTTP/")) {
            const qsizetype end = received.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            received.remove(0, end + 4);
        }
        while (const auto frame = WebSocketFrames::ReadFrame(received, 1 << 30)) {
            received.remove(0, frame->size);
            Arrived();
        }
    }

    void Arrived()
    {
        ++m_arrived;
        std::lock_guard lock(m_mutex);
        m_arrivals.push_back(Clock::now());
    }

    std::vector<std::unique_ptr<QTcpSocket>> m_sockets;
    std::map<QTcpSocket *, QByteArray> m_received;
    std::atomic<int> m_arrived = 0;
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

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void ManyPages()
{
    const int clients = bench::Measured(200, 5);
    const int stops = bench::Measured(100, 3);
    QElapsedTimer ticks;
    ticks.start();
    AudienceFeed feed;
    AudienceServer server(feed, [&] { return std::uint32_t(ticks.elapsed()); });
    if (!server.Listen(QHostAddress::LocalHost, 0))
        qFatal("the server did not listen");

    QThread pagesThread;
    pagesThread.start();
    auto *pages = new Pages;
    pages->moveToThread(&pagesThread);
    const double memoryBefore = bench::ResidentBytes();
    QMetaObject::invokeMethod(pages, [&] { pages->Open(clients, server.Port()); });
    if (!WaitFor([&] { return pages->Received() == clients; }, 60000))
        qFatal("only %d of %d pages connected", pages->Received(), clients);
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
        if (!WaitFor([&] { return pages->Received() == before + clients; }, 10000))
            qFatal("a stop did not reach every page");
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
}

// --- The race beside a storm ----------------------------------------------

enum class Storm { None, GetLoops, Reconnecting, FrameFlood, PingFlood };

const char *StormName(Storm storm)
{
    switch (storm) {
    case Storm::None:
        return "no storm";
    case Storm::GetLoops:
        return "50 parallel GET / loops";
    case Storm::Reconnecting:
        return "100 pages reconnecting";
    case Storm::FrameFlood:
        return "2 pages sending frames";
    case Storm::PingFlood:
        return "3 pages sending pings, never reading";
    }
    return "";
}

// The attackers: raw connections in a thread of their own, each from an
// address of its own on loopback (127.0.1.x, 127.0.2.x, ...), each
// starting over as soon as its last round ended, until Stop().
class Attackers : public QObject
{
public:
    void Start(Storm storm, quint16 port)
    {
        m_storm = storm;
        m_port = port;
        m_running = true;
        m_rounds = 0;
        const int count = storm == Storm::GetLoops       ? 50
                          : storm == Storm::Reconnecting ? 100
                          : storm == Storm::FrameFlood   ? 2
                          : storm == Storm::PingFlood    ? 3
                                                         : 0;
        for (int i = 0; i < count; ++i)
            Round(QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + i / 200).arg(1 + i % 200)));
    }
    void Stop()
    {
        m_running = false;
        for (QTcpSocket *socket : findChildren<QTcpSocket *>())
            socket->abort();
        qDeleteAll(findChildren<QTcpSocket *>());
    }
    int Rounds() const { return m_rounds; }

private:
    void Round(const QHostAddress &from)
    {
        if (!m_running)
            return;
        ++m_rounds;
        auto *socket = new QTcpSocket(this);
        socket->bind(from);
        // Ended by the server, refused or aborted: the next round.
        const auto ended = [this, socket, from] {
            if (socket->property("ended").toBool())
                return;
            socket->setProperty("ended", true);
            socket->deleteLater();
            QTimer::singleShot(0, this, [this, from] { Round(from); });
        };
        connect(socket, &QTcpSocket::disconnected, this, ended);
        connect(socket, &QTcpSocket::errorOccurred, this, ended);
        connect(socket, &QTcpSocket::connected, this, [this, socket] {
            socket->write(m_storm == Storm::GetLoops ? QByteArray("GET / HTTP/1.1\r\nHost: "
                                                                  "127.0.0.1\r\n\r\n")
                                                     : Upgrade);
        });
        const bool flood = m_storm == Storm::FrameFlood || m_storm == Storm::PingFlood;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, flood] {
            // A ping flooder reads the handshake and nothing after it.
            if (m_storm == Storm::PingFlood)
                socket->setReadBufferSize(1);
            socket->readAll();
            if (m_storm == Storm::Reconnecting)
                socket->abort();
            else if (flood)
                Flood(socket);
        });
        if (flood)
            connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { Flood(socket); });
        socket->connectToHost(QHostAddress::LocalHost, m_port);
    }

    void Flood(QTcpSocket *socket)
    {
        static const QByteArray texts = TextFrame().repeated(1000);
        static const QByteArray pings =
            WebSocketFrames::Frame(WebSocketFrames::Ping, QByteArray(125, 'p'), 0x01020304)
                .repeated(400);
        if (m_running && socket->bytesToWrite() < 64 * 1024)
            socket->write(m_storm == Storm::PingFlood ? pings : texts);
    }

    Storm m_storm = Storm::None;
    quint16 m_port = 0;
    bool m_running = false;
    std::atomic<int> m_rounds = 0;
};

// The reading page: a browser's WebSocket on the operator's race.
class ReadingPage : public QObject
{
public:
    void Open(quint16 port)
    {
        m_socket = std::make_unique<QWebSocket>();
        connect(m_socket.get(), &QWebSocket::textMessageReceived, this, [this] { ++m_received; });
        m_socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
    }
    void Close() { m_socket.reset(); }
    int Received() const { return m_received; }

private:
    std::unique_ptr<QWebSocket> m_socket;
    std::atomic<int> m_received = 0;
};

struct RaceFigures
{
    std::vector<double> stop, penalty, reset;
    double longestTickGap = 0;
    int attackerRounds = 0;
    int pageMessages = 0;
    double memoryGrowthMb = 0;
};

class RaceUnderStorm
{
public:
    RaceUnderStorm()
    {
        const int teams = bench::Measured(2000, 100);
        const QString list = m_window.FilePath(QStringLiteral("Liste.csv"));
        bench::WriteFile(list, bench::StarterListBytes(teams, true));
        m_window.Load(list, teams);
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_form->Settings.AnzeigeNetz = 1;
        m_form->Settings.AnzeigePort = probe.serverPort();
        probe.close();
        m_form->ApplyLiveResults();
        m_port = quint16(m_form->Settings.AnzeigePort);
        QObject::connect(m_form->Clock, &QTimer::timeout, &m_tickCounter, [this] {
            if (!m_ticking)
                return;
            m_longestTickGap = std::max(m_longestTickGap, MsSince(m_lastTick));
            m_lastTick = Clock::now();
        });
        m_thread.start();
        m_attackers.moveToThread(&m_thread);
        m_page.moveToThread(&m_thread);
        QMetaObject::invokeMethod(&m_page, [this] { m_page.Open(m_port); });
        if (!WaitFor([this] { return m_page.Received() > 0; }, 10000))
            qFatal("the reading page did not connect");
    }
    ~RaceUnderStorm()
    {
        QMetaObject::invokeMethod(
            &m_page, [this] { m_page.Close(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    RaceFigures Measure(Storm storm, int heats)
    {
        RaceFigures figures;
        QMetaObject::invokeMethod(&m_attackers,
                                  [this, storm] { m_attackers.Start(storm, m_port); });
        const int pageBefore = m_page.Received();
        const double residentBefore = bench::ResidentBytes();
        // The storm in full swing.
        WaitFor([] { return false; }, 500);
        for (int heat = 0; heat < heats; ++heat) {
            Handled([this] { Press(Qt::Key_F5); });
            m_longestTickGap = 0;
            m_lastTick = Clock::now();
            m_ticking = true;
            WaitFor([] { return false; }, 300);
            m_ticking = false;
            figures.longestTickGap =
                std::max({figures.longestTickGap, m_longestTickGap, MsSince(m_lastTick)});
            figures.stop.push_back(Handled([this] { Press(Qt::Key_1, Qt::AltModifier); }));
            Handled([this] { Press(Qt::Key_2, Qt::AltModifier); });
            figures.penalty.push_back(Handled([this] { m_form->bStrafe15_1->click(); }));
            figures.reset.push_back(Handled([this] { Press(Qt::Key_0, Qt::AltModifier); }));
            WaitFor([] { return false; }, 50);
        }
        figures.pageMessages = m_page.Received() - pageBefore;
        figures.memoryGrowthMb = (bench::ResidentBytes() - residentBefore) / 1e6;
        QMetaObject::invokeMethod(
            &m_attackers, [this] { m_attackers.Stop(); }, Qt::BlockingQueuedConnection);
        figures.attackerRounds = m_attackers.Rounds();
        WaitFor([] { return false; }, 300);
        return figures;
    }

private:
    // Milliseconds from the moment the action is queued on the operator's
    // thread (as a key press is) until it was handled there.
    double Handled(const std::function<void()> &action)
    {
        const Clock::time_point queued = Clock::now();
        double ms = -1;
        QMetaObject::invokeMethod(
            m_form,
            [&] {
                action();
                ms = MsSince(queued);
            },
            Qt::QueuedConnection);
        if (!WaitFor([&] { return ms >= 0; }, 20000))
            qFatal("an action was not handled within 20 s");
        return ms;
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!qt_sendShortcutOverrideEvent(m_form, m_window.platform.TickCount(), key, modifiers))
            qFatal("key %d was no shortcut", key);
    }

    bench::BenchWindow m_window;
    TFormMain *m_form = m_window.form;
    quint16 m_port = 0;
    QThread m_thread;
    Attackers m_attackers;
    ReadingPage m_page;
    QObject m_tickCounter;
    bool m_ticking = false;
    Clock::time_point m_lastTick;
    double m_longestTickGap = 0;
};

void RaceBesideStorms()
{
    const int heats = bench::Measured(10, 1);
    RaceUnderStorm race;
    std::printf("\nthe race beside a storm on the live page (2000 teams, a reading page), %d "
                "heats each;\nms from queued to handled on the operator's thread, min / median "
                "/ max\n",
                heats);
    std::printf("| storm | stop | penalty | reset | longest clock tick gap | attacker rounds | "
                "page messages | memory growth |\n|---|---|---|---|---|---|---|---|\n");
    for (const Storm storm : {Storm::None, Storm::GetLoops, Storm::Reconnecting, Storm::FrameFlood,
                              Storm::PingFlood, Storm::None}) {
        const RaceFigures figures = race.Measure(storm, heats);
        std::printf("| %s | %s | %s | %s | %.1f ms | %d | %d | %.0f MB |\n", StormName(storm),
                    qPrintable(bench::SpreadText(bench::SpreadOf(figures.stop), 2)),
                    qPrintable(bench::SpreadText(bench::SpreadOf(figures.penalty), 2)),
                    qPrintable(bench::SpreadText(bench::SpreadOf(figures.reset), 2)),
                    figures.longestTickGap, figures.attackerRounds, figures.pageMessages,
                    figures.memoryGrowthMb);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ManyPages();
    RaceBesideStorms();
    return 0;
}
