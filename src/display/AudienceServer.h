// Serves the audience view on the race network: the live page (its own
// embedded files, nothing else) and a WebSocket that gives each open page
// the whole state once and then every change. Read-only and safe on an
// open network: only its own few paths are answered, and every client is
// bounded (see the limits below), so no spectator can take memory, places
// or time from the others or from the race.
//
// The server runs in a thread of its own. This object, on the owner's
// thread, hands it each new view of the feed as a value and never waits for
// it; only Listen and Close wait until the server did what they ask.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QThread>
#include <cstdint>
#include <functional>

class AudienceFeed;
class AudienceService;

class AudienceServer : public QObject
{
    Q_OBJECT

public:
    // The program's tick count (32-bit milliseconds); the running clocks
    // are sent as time elapsed on it. Called on the server's thread.
    using TickSource = std::function<std::uint32_t()>;

    // A request larger than this is refused.
    static constexpr qint64 RequestLimit = 8 * 1024;
    // Connections of every kind, pages included, in all and per client
    // address (a phone needs one or two); one more is refused.
    static constexpr int ConnectionLimit = 200;
    static constexpr int ConnectionsPerAddress = 8;
    // A connection whose queued output passes this is dropped at once.
    static constexpr qint64 QueueLimit = 1024 * 1024;
    // A page only listens: one that sends more frames than this in any
    // second is dropped.
    static constexpr int FramesPerSecond = 20;
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
    int PageCount() const;
    // Connections of every kind the server keeps, pages included.
    int ConnectionCount() const;

signals:
    // The whole state passed QueueLimit: no page can be given it. Told once
    // each time it stops fitting.
    void StateTooLarge();

private:
    QThread m_thread;
    AudienceService *m_service;
};
