#include "display/AudienceServer.h"

#include "display/AudienceFeed.h"
#include "display/AudienceMessages.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>
#include <utility>

namespace {

const QByteArray PagePath = "/live";

struct PageFile
{
    const char *path;
    const char *resource;
    const char *type;
};

const char PageResource[] = ":/live/index.html";

// Everything the server answers with; any other path is not found.
constexpr PageFile PageFiles[] = {
    {"/", PageResource, "text/html; charset=utf-8"},
    {"/live.css", ":/live/live.css", "text/css; charset=utf-8"},
    {"/live.js", ":/live/live.js", "text/javascript; charset=utf-8"},
};

const PageFile *FindPageFile(const QByteArray &path)
{
    for (const PageFile &file : PageFiles)
        if (path == file.path)
            return &file;
    return nullptr;
}

// The page itself carries the state it was loaded with, so it shows the
// race before its WebSocket is open.
QByteArray FileContent(const PageFile &file, const AudienceView &view, std::uint32_t nowTick)
{
    QFile resource(QString::fromLatin1(file.resource));
    resource.open(QIODevice::ReadOnly);
    QByteArray content = resource.readAll();
    if (file.resource == PageResource) {
        // Inside the page's markup no text may close the element it is in.
        const QByteArray state =
            AudienceMessages::WholeState(view, nowTick).replace("<", "\\u003c");
        content.replace("@STATE@", state);
    }
    return content;
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

bool AsksForUpgrade(const QList<QByteArray> &headerLines)
{
    for (const QByteArray &line : headerLines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "upgrade" &&
            line.mid(colon + 1).trimmed().toLower() == "websocket")
            return true;
    }
    return false;
}

} // namespace

AudienceServer::AudienceServer(const AudienceFeed &feed, TickSource ticks, QObject *parent)
    : QObject(parent), m_feed(feed), m_ticks(std::move(ticks)), m_listener(new QTcpServer(this)),
      m_upgrader(
          new QWebSocketServer(QStringLiteral("Duobahn"), QWebSocketServer::NonSecureMode, this)),
      m_sent(feed.View())
{
    m_listener->setMaxPendingConnections(ConnectionLimit);
    m_upgrader->setMaxPendingConnections(ConnectionLimit);
    connect(m_listener, &QTcpServer::newConnection, this, &AudienceServer::AcceptConnections);
    connect(m_upgrader, &QWebSocketServer::newConnection, this, &AudienceServer::OpenPage);
    connect(&feed, &AudienceFeed::ViewChanged, this, &AudienceServer::SendChanges);
    m_keepAlive.setInterval(KeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this,
            [this] { SendToAll(AudienceMessages::KeepAlive(m_feed.View(), m_ticks())); });
}

AudienceServer::~AudienceServer()
{
    Close();
}

bool AudienceServer::Listen(const QHostAddress &address, quint16 port)
{
    Close();
    if (!m_listener->listen(address, port))
        return false;
    m_keepAlive.start();
    return true;
}

void AudienceServer::Close()
{
    m_listener->close();
    m_keepAlive.stop();
    for (QWebSocket *page : std::exchange(m_pages, {})) {
        page->disconnect(this);
        page->abort();
        const QPointer<QTcpSocket> connection = page->findChild<QTcpSocket *>();
        delete page;
        delete connection.data();
    }
    for (const QPointer<QTcpSocket> &request :
         std::exchange(m_requests, {}) + std::exchange(m_upgrading, {}))
        delete request.data();
}

bool AudienceServer::IsListening() const
{
    return m_listener->isListening();
}

int AudienceServer::ConnectionCount() const
{
    return int(std::count_if(m_connections.begin(), m_connections.end(),
                             [](const QPointer<QTcpSocket> &connection) { return connection; }));
}

quint16 AudienceServer::Port() const
{
    return m_listener->serverPort();
}

void AudienceServer::AcceptConnections()
{
    while (QTcpSocket *connection = m_listener->nextPendingConnection()) {
        m_connections.removeAll(nullptr);
        if (m_connections.size() >= ConnectionLimit) {
            connection->abort();
            connection->deleteLater();
            continue;
        }
        m_connections.append(connection);
        connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
        m_requests.append(connection);
        // Nothing beyond the largest request is ever taken in.
        connection->setReadBufferSize(RequestLimit + 1);
        connect(connection, &QTcpSocket::readyRead, this,
                [this, connection] { ReadRequest(connection); });
        // A request or handshake not done by then is given up.
        QTimer::singleShot(RequestTimeoutMs, connection, [this, connection] {
            if (m_requests.contains(connection) || m_upgrading.contains(connection))
                connection->abort();
        });
    }
}

// The request stays in the socket (peeked, not read) so that a WebSocket
// upgrade hands it over whole.
void AudienceServer::ReadRequest(QTcpSocket *connection)
{
    const QByteArray received = connection->peek(RequestLimit + 1);
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0 && received.size() <= RequestLimit)
        return;
    m_requests.removeAll(connection);
    disconnect(connection, &QTcpSocket::readyRead, this, nullptr);
    if (headEnd < 0 || headEnd + 4 > RequestLimit) {
        connection->write(ErrorResponse("431 Request Header Fields Too Large"));
        connection->disconnectFromHost();
        return;
    }
    Answer(connection, received.left(headEnd));
}

void AudienceServer::Answer(QTcpSocket *connection, const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray path = requestLine.value(1).split('?').first();
    if (method != "GET") {
        connection->write(ErrorResponse("405 Method Not Allowed"));
    } else if (path == PagePath && AsksForUpgrade(lines)) {
        m_upgrading.append(connection);
        connection->setReadBufferSize(0);
        m_upgrader->handleConnection(connection);
        return;
    } else if (const PageFile *file = FindPageFile(path)) {
        connection->write(
            Response("200 OK", file->type, FileContent(*file, m_feed.View(), m_ticks())));
    } else {
        connection->write(ErrorResponse("404 Not Found"));
    }
    connection->disconnectFromHost();
}

void AudienceServer::OpenPage()
{
    while (QWebSocket *page = m_upgrader->nextPendingConnection()) {
        // A page only listens; whatever it sends is small and ignored.
        page->setMaxAllowedIncomingMessageSize(1024);
        page->setMaxAllowedIncomingFrameSize(1024);
        connect(page, &QWebSocket::disconnected, this, [this, page] { DropPage(page); });
        AdoptConnection(page);
        m_pages.append(page);
        const QByteArray whole = AudienceMessages::WholeState(m_feed.View(), m_ticks());
        Send(page, QString::fromUtf8(whole), whole.size());
    }
}

// The page's connection is only lent to it (the page lets go of it when it
// is deleted): it is kept as the page's child so that it goes with the page
// and frees its place.
void AudienceServer::AdoptConnection(QWebSocket *page)
{
    for (const QPointer<QTcpSocket> &connection : QList(m_upgrading))
        if (connection && connection->peerPort() == page->peerPort() &&
            connection->peerAddress() == page->peerAddress()) {
            disconnect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
            connection->setParent(page);
            m_upgrading.removeAll(connection);
        }
    m_upgrading.removeAll(nullptr);
}

void AudienceServer::SendChanges()
{
    const QByteArray message = AudienceMessages::Changes(m_sent, m_feed.View(), m_ticks());
    m_sent = m_feed.View();
    if (!message.isEmpty())
        SendToAll(message);
}

void AudienceServer::SendToAll(const QByteArray &message)
{
    const QString text = QString::fromUtf8(message);
    for (QWebSocket *page : QList<QWebSocket *>(m_pages))
        Send(page, text, message.size());
}

void AudienceServer::Send(QWebSocket *page, const QString &message, qint64 bytes)
{
    if (page->bytesToWrite() + bytes > QueueLimit) {
        DropPage(page);
        return;
    }
    page->sendTextMessage(message);
}

void AudienceServer::DropPage(QWebSocket *page)
{
    if (!m_pages.removeOne(page))
        return;
    page->disconnect(this);
    page->abort();
    const QPointer<QTcpSocket> connection = page->findChild<QTcpSocket *>();
    page->deleteLater();
    if (connection)
        connection->deleteLater();
}
