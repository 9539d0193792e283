// Serves the audience view on the race network: the live page (its own
// embedded files, nothing else) and a WebSocket that gives each open page
// the whole state once and then every change. Read-only and safe on an
// open network: only its own few paths are answered, a request larger than
// RequestLimit or a connection beyond ConnectionLimit is refused, and a
// page that stops reading is dropped before its queue passes QueueLimit, so
// no client can slow the race.
#pragma once

#include "display/AudienceView.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>

class AudienceFeed;
class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

class AudienceServer : public QObject
{
    Q_OBJECT

public:
    // The program's tick count (32-bit milliseconds); the running clocks
    // are sent as time elapsed on it.
    using TickSource = std::function<std::uint32_t()>;

    static constexpr qint64 RequestLimit = 8 * 1024;
    static constexpr int ConnectionLimit = 200;
    static constexpr qint64 QueueLimit = 1024 * 1024;
    static constexpr int KeepAliveMs = 15000;
    // A request that is not complete by then is closed.
    static constexpr int RequestTimeoutMs = 10000;

    AudienceServer(const AudienceFeed &feed, TickSource ticks, QObject *parent = nullptr);
    ~AudienceServer() override;

    // Starts serving; false when the port cannot be had (already in use).
    bool Listen(const QHostAddress &address, quint16 port);
    void Close();
    bool IsListening() const;
    quint16 Port() const;

    // Open live pages.
    int PageCount() const { return int(m_pages.size()); }
    // Open connections of every kind, pages included.
    int ConnectionCount() const;

private:
    void AcceptConnections();
    void ReadRequest(QTcpSocket *connection);
    void Answer(QTcpSocket *connection, const QByteArray &request);
    void OpenPage();
    void SendChanges();
    void AdoptConnection(QWebSocket *page);
    void SendToAll(const QByteArray &message);
    // Drops a page whose queue would pass QueueLimit by these bytes instead
    // of sending to it.
    void Send(QWebSocket *page, const QString &message, qint64 bytes);
    void DropPage(QWebSocket *page);

    const AudienceFeed &m_feed;
    TickSource m_ticks;
    QTcpServer *m_listener = nullptr;
    QWebSocketServer *m_upgrader = nullptr;
    QList<QPointer<QTcpSocket>> m_requests;  // connections still sending their request
    QList<QPointer<QTcpSocket>> m_upgrading; // handed to the WebSocket handshake
    QList<QWebSocket *> m_pages;
    QList<QPointer<QTcpSocket>> m_connections; // every one accepted and not yet gone
    // What the pages were sent last: the changes are taken against it.
    AudienceView m_sent;
    QTimer m_keepAlive;
};
