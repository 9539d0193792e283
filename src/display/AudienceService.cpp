#include "display/AudienceService.h"

#include "display/AudienceMessages.h"
#include "display/WebSocketFrames.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

namespace {

const QByteArray PagePath = "/live";
const QByteArray StatePlace = "@STATE@";
// A page only listens: whatever it sends is small.
constexpr qint64 FramePayloadLimit = 1024;
// What is left of an answered request is read until nothing came for this
// long, and never more than this much (ms, bytes).
constexpr int DrainQuietMs = 200;
constexpr qint64 DrainLimit = 1024 * 1024;

QByteArray Resource(const char *path)
{
    QFile file(QString::fromLatin1(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray Response(const QByteArray &status, const QByteArray &type, const QByteArray &body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nCache-Control: no-cache\r\nX-Content-Type-Options: nosniff"
           "\r\nContent-Security-Policy: default-src 'self'; connect-src 'self' ws: wss:"
           "\r\nConnection: close\r\n\r\n" +
           body;
}

QByteArray ErrorResponse(const QByteArray &status)
{
    return Response(status, "text/plain; charset=utf-8", status + "\n");
}

// The value of the header (name in lower case), "" when there is none.
QByteArray HeaderValue(const QList<QByteArray> &headerLines, const QByteArray &name)
{
    for (const QByteArray &line : headerLines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

AudienceService::AudienceService(AudienceView view, const QString &decimalPoint,
                                 AudienceServer::TickSource ticks,
                                 std::function<void()> stateTooLarge)
    : m_ticks(std::move(ticks)), m_stateTooLarge(std::move(stateTooLarge)),
      m_listener(new QTcpServer(this)), m_keepAlive(this)
{
    const QByteArray page = Resource(":/live/index.html");
    const qsizetype state = page.indexOf(StatePlace);
    m_pageBefore = page.left(state);
    m_pageAfter = page.mid(state + StatePlace.size());
    m_style = Resource(":/live/live.css");
    m_script = Resource(":/live/live.js");
    m_clock.start();
    m_listener->setMaxPendingConnections(AudienceServer::ConnectionLimit);
    connect(m_listener, &QTcpServer::newConnection, this, &AudienceService::Accept);
    m_keepAlive.setInterval(AudienceServer::KeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] {
        SendToPages(WebSocketFrames::Frame(WebSocketFrames::Text,
                                           AudienceMessages::KeepAlive(m_view, m_ticks())));
    });
    Show(view, decimalPoint);
}

AudienceService::~AudienceService()
{
    Close();
}

bool AudienceService::Listen(const QHostAddress &address, quint16 wantedPort)
{
    Close();
    if (!m_listener->listen(address, wantedPort))
        return false;
    this->port = m_listener->serverPort();
    listening = true;
    m_keepAlive.start();
    return true;
}

void AudienceService::Close()
{
    m_listener->close();
    listening = false;
    m_keepAlive.stop();
    for (QTcpSocket *socket : m_connections.keys())
        Drop(socket);
}

void AudienceService::Show(const AudienceView &view, const QString &decimalPoint)
{
    // The open pages first, then what the next ones get.
    const QByteArray changes = AudienceMessages::Changes(m_view, view, m_ticks());
    if (!changes.isEmpty())
        SendToPages(WebSocketFrames::Frame(WebSocketFrames::Text, changes));
    m_view = view;
    m_whole = AudienceMessages::WholeSections(view, decimalPoint);
    m_wholeInPage = QByteArray(m_whole).replace("<", "\\u003c");
    const bool fits = m_whole.size() + 1024 < AudienceServer::QueueLimit;
    if (m_wholeFits && !fits)
        m_stateTooLarge();
    m_wholeFits = fits;
}

void AudienceService::Accept()
{
    while (QTcpSocket *socket = m_listener->nextPendingConnection()) {
        const QHostAddress address = socket->peerAddress();
        const auto fromThere = std::count_if(
            m_connections.cbegin(), m_connections.cend(),
            [&](const Connection &connection) { return connection.address == address; });
        if (m_connections.size() >= AudienceServer::ConnectionLimit ||
            fromThere >= AudienceServer::ConnectionsPerAddress) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Connection connection;
        connection.address = address;
        m_connections.insert(socket, connection);
        // Nothing beyond the largest request is taken in while it arrives.
        socket->setReadBufferSize(AudienceServer::RequestLimit + 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Drop(socket); });
        connect(socket, &QObject::destroyed, this, [this, socket] { Forget(socket); });
        // A request not done by then is given up, and so is a connection
        // still sending after its answer.
        QTimer::singleShot(AudienceServer::RequestTimeoutMs, socket, [this, socket] {
            if (m_connections.value(socket).stage != Stage::Page)
                Drop(socket);
        });
        Count();
        Read(socket);
    }
}

void AudienceService::Read(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = *found;
    switch (connection.stage) {
    case Stage::Request:
        ReadRequest(socket, connection);
        return;
    case Stage::Draining:
        connection.drained += socket->skip(socket->bytesAvailable());
        if (connection.drained > DrainLimit)
            Drop(socket);
        else if (auto *quiet = socket->findChild<QTimer *>())
            quiet->start();
        return;
    case Stage::Page:
        ReadFrames(socket, connection);
        return;
    }
}

void AudienceService::ReadRequest(QTcpSocket *socket, Connection &connection)
{
    connection.received +=
        socket->read(AudienceServer::RequestLimit + 1 - connection.received.size());
    const qsizetype headEnd = connection.received.indexOf("\r\n\r\n");
    if (headEnd < 0 && connection.received.size() <= AudienceServer::RequestLimit)
        return;
    if (headEnd < 0 || headEnd + 4 > AudienceServer::RequestLimit) {
        socket->write(ErrorResponse("431 Request Header Fields Too Large"));
        EndAfterAnswer(socket, connection, true);
        return;
    }
    const QByteArray head = connection.received.left(headEnd);
    connection.received.remove(0, headEnd + 4);
    Answer(socket, connection, head, !connection.received.isEmpty() || socket->bytesAvailable());
}

void AudienceService::Answer(QTcpSocket *socket, Connection &connection, const QByteArray &head,
                             bool more)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray path = requestLine.value(1).split('?').first();
    if (method != "GET") {
        socket->write(ErrorResponse("405 Method Not Allowed"));
    } else if (path == PagePath &&
               HeaderValue(lines, "upgrade").toLower() == QByteArrayLiteral("websocket")) {
        OpenPage(socket, connection, lines);
        return;
    } else if (const QByteArray content = PageFile(path); !content.isNull()) {
        const QByteArray type = path == "/live.css"  ? "text/css; charset=utf-8"
                                : path == "/live.js" ? "text/javascript; charset=utf-8"
                                                     : "text/html; charset=utf-8";
        socket->write(Response("200 OK", type, content));
    } else {
        socket->write(ErrorResponse("404 Not Found"));
    }
    EndAfterAnswer(socket, connection, more);
}

// Everything the server answers with; any other path is not found (null).
QByteArray AudienceService::PageFile(const QByteArray &path) const
{
    if (path == "/")
        // The page carries the state it was loaded with, so it shows the
        // race before its WebSocket is open.
        return m_pageBefore + AudienceMessages::WithClock(m_wholeInPage, m_view, m_ticks()) +
               m_pageAfter;
    if (path == "/live.css")
        return m_style;
    if (path == "/live.js")
        return m_script;
    return {};
}

void AudienceService::EndAfterAnswer(QTcpSocket *socket, Connection &connection, bool more)
{
    connection.received.clear();
    if (!more) {
        socket->disconnectFromHost();
        return;
    }
    // Closed with unread bytes, the connection would end in a reset that
    // may cost the client its answer.
    connection.stage = Stage::Draining;
    socket->setReadBufferSize(0);
    auto *quiet = new QTimer(socket);
    quiet->setSingleShot(true);
    quiet->setInterval(DrainQuietMs);
    connect(quiet, &QTimer::timeout, socket, &QTcpSocket::disconnectFromHost);
    Read(socket);
}

void AudienceService::OpenPage(QTcpSocket *socket, Connection &connection,
                               const QList<QByteArray> &lines)
{
    const QByteArray key = HeaderValue(lines, "sec-websocket-key");
    if (key.isEmpty() || HeaderValue(lines, "sec-websocket-version") != "13") {
        socket->write(ErrorResponse("400 Bad Request"));
        EndAfterAnswer(socket, connection, true);
        return;
    }
    if (!m_wholeFits) {
        Drop(socket);
        return;
    }
    connection.stage = Stage::Page;
    socket->setReadBufferSize(4 * FramePayloadLimit);
    Count();
    const QByteArray handshake = "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
                                 "Connection: Upgrade\r\nSec-WebSocket-Accept: " +
                                 WebSocketFrames::AcceptKey(key) + "\r\n\r\n";
    if (Send(socket, handshake + WebSocketFrames::Frame(
                                     WebSocketFrames::Text,
                                     AudienceMessages::WithClock(m_whole, m_view, m_ticks()))))
        ReadFrames(socket, connection);
}

void AudienceService::ReadFrames(QTcpSocket *socket, Connection &connection)
{
    connection.received += socket->readAll();
    while (const auto frame = WebSocketFrames::ReadFrame(connection.received, FramePayloadLimit)) {
        const qint64 now = m_clock.elapsed();
        qint64 &twentyAgo =
            connection.frameTimes[std::size_t(connection.frames++) % connection.frameTimes.size()];
        const bool tooMany =
            connection.frames > AudienceServer::FramesPerSecond && now - twentyAgo < 1000;
        if (frame->size < 0 || !frame->masked || tooMany) {
            Drop(socket);
            return;
        }
        twentyAgo = now;
        connection.received.remove(0, frame->size);
        if (frame->opcode == WebSocketFrames::Close) {
            Send(socket, WebSocketFrames::Frame(WebSocketFrames::Close, frame->payload.left(2)));
            Drop(socket);
            return;
        }
        if (frame->opcode == WebSocketFrames::Ping &&
            !Send(socket, WebSocketFrames::Frame(WebSocketFrames::Pong, frame->payload)))
            return;
    }
}

bool AudienceService::Send(QTcpSocket *socket, const QByteArray &bytes)
{
    if (socket->bytesToWrite() + bytes.size() > AudienceServer::QueueLimit) {
        Drop(socket);
        return false;
    }
    socket->write(bytes);
    return true;
}

void AudienceService::SendToPages(const QByteArray &frame)
{
    QList<QTcpSocket *> pageSockets;
    for (auto connection = m_connections.cbegin(); connection != m_connections.cend(); ++connection)
        if (connection->stage == Stage::Page)
            pageSockets.append(connection.key());
    // A page dropped on the way leaves the list.
    for (QTcpSocket *socket : pageSockets)
        Send(socket, frame);
}

void AudienceService::Drop(QTcpSocket *socket)
{
    if (!m_connections.contains(socket))
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    Forget(socket);
}

void AudienceService::Forget(QTcpSocket *socket)
{
    if (m_connections.remove(socket))
        Count();
}

void AudienceService::Count()
{
    connections = int(m_connections.size());
    pages = int(std::count_if(
        m_connections.cbegin(), m_connections.cend(),
        [](const Connection &connection) { return connection.stage == Stage::Page; }));
}
