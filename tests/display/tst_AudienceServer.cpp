// The live results server as pages and strangers on the race network meet
// it: a page gets the whole state, then each change; a restarted server is
// found again; and nothing but its own page is ever answered, within every
// limit.
#include "LivePageClient.h"
#include "display/AudienceFeed.h"
#include "display/AudienceServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

AudienceLane Lane(int number, const QString &teamName, AudienceLanePhase phase)
{
    AudienceLane lane;
    lane.lane = number;
    lane.team = {QString::number(number), teamName, QStringLiteral("Damen"),
                 QStringLiteral("Fahrer")};
    lane.phase = phase;
    return lane;
}

// Sends the raw request and returns the whole answer once the server
// closed the connection.
QByteArray Exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(request);
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    if (!QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; },
                         10000))
        return "still open";
    return answer + socket.readAll();
}

struct BlockingReply
{
    QByteArray answer;
    bool reset = false;
};

// The same without this thread's event loop: a plain blocking socket that
// reads until the server ends the connection (at most 10 s). Qt reads a
// reset as an orderly end; the socket's own error tells them apart.
BlockingReply BlockingExchange(quint16 port, const QByteArray &request)
{
    BlockingReply reply;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&server), sizeof server) == 0 &&
        ::send(fd, request.constData(), size_t(request.size()), 0) == request.size()) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            reply.answer.append(buffer, got);
        reply.reset = got < 0 && errno == ECONNRESET;
    }
    ::close(fd);
    return reply;
}

QHostAddress Loopback(int number)
{
    return QHostAddress(QStringLiteral("127.0.%1.%2").arg(number / 250).arg(number % 250 + 1));
}

} // namespace

class tst_AudienceServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pageGetsWholeStateThenEachChangeAsText();
    void pageFindsRestartedServerWithChangesMadeMeanwhile();
    void onlyOwnFilesAreAnswered_data();
    void onlyOwnFilesAreAnswered();
    void connectionBeyondLimitIsRefused();
    void pageThatStopsReadingIsDropped();
    void answersInFullWhileOwnersThreadIsBusy_data();
    void answersInFullWhileOwnersThreadIsBusy();
    void oneAddressHoldsAtMostEightPlaces();
    void pageBreakingTheRulesIsDropped_data();
    void pageBreakingTheRulesIsDropped();

private:
    void Listen();

    // Read on the server's thread.
    std::atomic<std::uint32_t> m_tick = 1000000;
    std::unique_ptr<AudienceFeed> m_feed;
    std::unique_ptr<AudienceServer> m_server;
    quint16 m_port = 0;
};

void tst_AudienceServer::init()
{
    m_feed = std::make_unique<AudienceFeed>();
    m_server = std::make_unique<AudienceServer>(*m_feed, [this] { return m_tick.load(); });
    Listen();
}

void tst_AudienceServer::cleanup()
{
    m_server.reset();
    m_feed.reset();
}

void tst_AudienceServer::Listen()
{
    QVERIFY(m_server->Listen(QHostAddress::LocalHost, m_port));
    m_port = m_server->Port();
}

void tst_AudienceServer::pageGetsWholeStateThenEachChangeAsText()
{
    const QString markup = QStringLiteral("<b>Fisch & Co</b>");
    AudienceView view;
    view.lanes = {Lane(1, markup, AudienceLanePhase::Running),
                  Lane(2, QStringLiteral("Blitz"), AudienceLanePhase::Ready)};
    view.lanes[0].startTick = m_tick - 2500;
    view.nextUp = {{Lane(1, QStringLiteral("Welle"), AudienceLanePhase::Ready).team}, {}};
    view.standings = {{QStringLiteral("Damen"), {{"1", "7", markup, "41,20"}}}};
    m_feed->Publish(view);

    LivePageClient page(m_port);
    QTRY_COMPARE(page.Messages().size(), 1);
    const QJsonObject whole = page.Last();
    QVERIFY(whole["whole"].toBool());
    QCOMPARE(whole["lanes"][0]["team"]["teamName"].toString(), markup);
    QCOMPARE(whole["lanes"][1]["phase"].toString(), QStringLiteral("ready"));
    QCOMPARE(whole["nextUp"][0][0]["teamName"].toString(), QStringLiteral("Welle"));
    QCOMPARE(whole["standings"][0]["rows"][0]["teamName"].toString(), markup);
    QCOMPARE(whole["clock"][0]["lane"].toInt(), 1);
    QCOMPARE(whole["clock"][0]["elapsed"].toInteger(), 2500);

    // Lane 1 stops: only the lanes travel, and no clock runs any more.
    m_tick += 1000;
    view.lanes[0].phase = AudienceLanePhase::Stopped;
    view.lanes[0].time = QStringLiteral("3,50");
    m_feed->Publish(view);
    QTRY_COMPARE(page.Messages().size(), 2);
    QCOMPARE(page.Last().keys(), QStringList({"clock", "lanes"}));
    QCOMPARE(page.Last()["lanes"][0]["time"].toString(), QStringLiteral("3,50"));
    QCOMPARE(page.Last()["clock"].toArray().size(), 0);

    // The same view again is no change; a corrected total is one.
    m_feed->Publish(view);
    view.standings[0].rows[0].total = QStringLiteral("40,20");
    m_feed->Publish(view);
    QTRY_COMPARE(page.Messages().size(), 3);
    QCOMPARE(page.Last().keys(), QStringList({"clock", "standings"}));
    QCOMPARE(page.Last()["standings"][0]["rows"][0]["total"].toString(), QStringLiteral("40,20"));
}

void tst_AudienceServer::pageFindsRestartedServerWithChangesMadeMeanwhile()
{
    AudienceView view;
    view.lanes = {Lane(1, QStringLiteral("Blitz"), AudienceLanePhase::Ready)};
    m_feed->Publish(view);
    LivePageClient before(m_port);
    QTRY_COMPARE(before.Messages().size(), 1);

    m_server->Close();
    QTRY_VERIFY(before.Closed());
    view.lanes[0].phase = AudienceLanePhase::Finished;
    view.lanes[0].place = QStringLiteral("2");
    m_feed->Publish(view);

    // A second server cannot take the port while the first one has it.
    Listen();
    AudienceServer other(*m_feed, [this] { return m_tick.load(); });
    QVERIFY(!other.Listen(QHostAddress::LocalHost, m_port));

    LivePageClient after(m_port);
    QTRY_COMPARE(after.Messages().size(), 1);
    QCOMPARE(after.Last()["lanes"][0]["place"].toString(), QStringLiteral("2"));
}

void tst_AudienceServer::onlyOwnFilesAreAnswered_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status");
    const QByteArray end = " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    QTest::newRow("page") << "GET /" + end << QByteArray("200");
    QTest::newRow("page with query") << "GET /?x=1" + end << QByteArray("200");
    QTest::newRow("script") << "GET /live.js" + end << QByteArray("200");
    QTest::newRow("unknown path") << "GET /etc/passwd" + end << QByteArray("404");
    QTest::newRow("dot dot") << "GET /../live.js" + end << QByteArray("404");
    QTest::newRow("encoded dot dot") << "GET /%2e%2e/%2e%2e/etc/passwd" + end << QByteArray("404");
    QTest::newRow("resource folder") << "GET /live/" + end << QByteArray("404");
    QTest::newRow("socket path, no upgrade") << "GET /live" + end << QByteArray("404");
    QTest::newRow("other method") << "POST /" + end << QByteArray("405");
    QTest::newRow("oversized") << "GET / HTTP/1.1\r\nX-Fill: " + QByteArray(9000, 'a') + "\r\n\r\n"
                               << QByteArray("431");
    QTest::newRow("no end") << QByteArray(20000, 'a') << QByteArray("431");
}

void tst_AudienceServer::onlyOwnFilesAreAnswered()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    const QByteArray answer = Exchange(m_port, request);
    QVERIFY2(answer.startsWith("HTTP/1.1 " + status + " "), answer.left(200).constData());
    QTRY_COMPARE(m_server->ConnectionCount(), 0);
}

void tst_AudienceServer::connectionBeyondLimitIsRefused()
{
    std::vector<std::unique_ptr<LivePageClient>> pages;
    // A few pages from each of many addresses.
    for (int i = 0; i < AudienceServer::ConnectionLimit; ++i)
        pages.push_back(std::make_unique<LivePageClient>(m_port, Loopback(i / 4)));
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(pages.begin(), pages.end(),
                                         [](auto &page) { return page->Messages().size() == 1; }),
                             30000);

    LivePageClient refused(m_port);
    QTRY_VERIFY(refused.Closed());
    QVERIFY(refused.Messages().isEmpty());
    QCOMPARE(m_server->PageCount(), AudienceServer::ConnectionLimit);

    // A page that leaves makes room for the next.
    pages.pop_back();
    QTRY_COMPARE(m_server->PageCount(), AudienceServer::ConnectionLimit - 1);
    QTRY_COMPARE(m_server->ConnectionCount(), AudienceServer::ConnectionLimit - 1);
    LivePageClient next(m_port, Loopback(1000));
    QTRY_COMPARE(next.Messages().size(), 1);
}

void tst_AudienceServer::pageThatStopsReadingIsDropped()
{
    LivePageClient reading(m_port);
    QTcpSocket stalled;
    stalled.setReadBufferSize(1);
    stalled.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(stalled.waitForConnected(5000));
    stalled.write("GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                  "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                  "Sec-WebSocket-Version: 13\r\n\r\n");
    QTRY_COMPARE(m_server->PageCount(), 2);

    // Large standings, each view different from the last, until the
    // stalled page's queue would pass the limit.
    AudienceView view;
    view.standings = {{QStringLiteral("Damen"), {}}};
    for (int row = 0; row < 2000; ++row)
        view.standings[0].rows.append({QString::number(row), QString::number(row),
                                       QStringLiteral("Team mit einem langen Namen %1").arg(row),
                                       QStringLiteral("0,00")});
    int published = 0;
    while (published < 400 && m_server->PageCount() == 2) {
        view.standings[0].rows[0].total = QString::number(++published);
        m_feed->Publish(view);
        QTRY_COMPARE(reading.Messages().size(), published + 1);
    }
    QCOMPARE(m_server->PageCount(), 1);
    QVERIFY(reading.Connected());
    QTRY_COMPARE(m_server->ConnectionCount(), 1);
}

void tst_AudienceServer::answersInFullWhileOwnersThreadIsBusy_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status");
    const QByteArray head = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    QTest::newRow("page") << head << QByteArray("200");
    QTest::newRow("bytes after the head") << head + QByteArray(20000, 'x') << QByteArray("200");
    QTest::newRow("30 000 bytes") << QByteArray(30000, 'a') << QByteArray("431");
}

// The owner's thread waits in the exchange and runs no event loop.
void tst_AudienceServer::answersInFullWhileOwnersThreadIsBusy()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    const BlockingReply reply = BlockingExchange(m_port, request);
    QVERIFY2(reply.answer.startsWith("HTTP/1.1 " + status + " "), reply.answer.left(200));
    const qsizetype body = reply.answer.indexOf("\r\n\r\n") + 4;
    QVERIFY(
        reply.answer.contains("Content-Length: " + QByteArray::number(reply.answer.size() - body)));
    QVERIFY(!reply.reset);
}

void tst_AudienceServer::oneAddressHoldsAtMostEightPlaces()
{
    // Requests never finished hold the places of 127.0.0.2 ...
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < AudienceServer::ConnectionsPerAddress; ++i) {
        held.push_back(std::make_unique<QTcpSocket>());
        held.back()->bind(QHostAddress("127.0.0.2"));
        held.back()->connectToHost(QHostAddress::LocalHost, m_port);
        QVERIFY(held.back()->waitForConnected(5000));
        held.back()->write("GET / HTTP/1.1\r\n");
    }
    QTRY_COMPARE(m_server->ConnectionCount(), AudienceServer::ConnectionsPerAddress);
    LivePageClient refused(m_port, QHostAddress("127.0.0.2"));
    QTRY_VERIFY(refused.Closed());
    QVERIFY(refused.Messages().isEmpty());
    // ... while another address still gets in.
    LivePageClient other(m_port, QHostAddress("127.0.0.3"));
    QTRY_COMPARE(other.Messages().size(), 1);

    // Closed before their request was complete, they leave no trace.
    held.clear();
    QTRY_COMPARE(m_server->ConnectionCount(), 1);
    LivePageClient again(m_port, QHostAddress("127.0.0.2"));
    QTRY_COMPARE(again.Messages().size(), 1);
}

void tst_AudienceServer::pageBreakingTheRulesIsDropped_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<bool>("dropped");
    const int most = AudienceServer::FramesPerSecond;
    QTest::newRow("pings at the limit")
        << int(WebSocketFrames::Ping) << QByteArray(1000, 'p') << most << true << false;
    QTest::newRow("pings beyond the limit, never reading")
        << int(WebSocketFrames::Ping) << QByteArray(1000, 'p') << most + 1 << false << true;
    QTest::newRow("texts beyond the limit")
        << int(WebSocketFrames::Text) << QByteArray("hallo") << most + 1 << true << true;
    QTest::newRow("frame over 1 KB")
        << int(WebSocketFrames::Binary) << QByteArray(1025, 'b') << 1 << true << true;
    QTest::newRow("close") << int(WebSocketFrames::Close) << QByteArray("\x03\xe8", 2) << 1 << true
                           << true;
}

// A page on another address sends frames; the reading page is not touched.
void tst_AudienceServer::pageBreakingTheRulesIsDropped()
{
    QFETCH(int, opcode);
    QFETCH(QByteArray, payload);
    QFETCH(int, frames);
    QFETCH(bool, reads);
    QFETCH(bool, dropped);
    LivePageClient reading(m_port);
    LivePageClient sender(m_port, QHostAddress("127.0.0.2"));
    QTRY_COMPARE(sender.Messages().size(), 1);
    if (!reads)
        sender.StopReading();
    for (int i = 0; i < frames; ++i)
        sender.Send(WebSocketFrames::Opcode(opcode), payload);
    AudienceView view;
    view.lanes = {Lane(1, QStringLiteral("Blitz"), AudienceLanePhase::Ready)};
    m_feed->Publish(view);
    QTRY_COMPARE(reading.Messages().size(), 2);
    if (dropped) {
        QTRY_COMPARE(m_server->ConnectionCount(), 1);
        // One that does not read does not learn it.
        QTRY_VERIFY(sender.Closed() || !reads);
    } else {
        QTRY_COMPARE(sender.Messages().size(), 2);
        QCOMPARE(m_server->PageCount(), 2);
    }
    QVERIFY(reading.Connected());
}

QTEST_MAIN(tst_AudienceServer)
#include "tst_AudienceServer.moc"
