// The live server's work, on its own thread (see AudienceServer): the
// listener, every connection from its request to its end, and the pages.
// It keeps one record per connection, gone when the connection is, and
// builds the page and the whole state once per view, not per request.
#pragma once

#include "display/AudienceServer.h"
#include "display/AudienceView.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <array>
#include <atomic>

class QTcpServer;
class QTcpSocket;

class AudienceService : public QObject
{
public:
    AudienceService(AudienceView view, const QString &decimalPoint,
                    AudienceServer::TickSource ticks, std::function<void()> stateTooLarge);
    ~AudienceService() override;

    bool Listen(const QHostAddress &address, quint16 wantedPort);
    void Close();
    // The next view and the program's decimal point; pages get what changed.
    void Show(const AudienceView &view, const QString &decimalPoint);

    // Read on any thread.
    std::atomic<bool> listening = false;
    std::atomic<quint16> port = 0;
    std::atomic<int> pages = 0;
    std::atomic<int> connections = 0;

private:
    enum class Stage {
        Request,  // its request is still arriving
        Draining, // answered; what is left of its request is read and discarded
        Page,     // a live page on the WebSocket
    };
    struct Connection
    {
        Stage stage = Stage::Request;
        QHostAddress address;
        QByteArray received; // the request, or a page's frames not read yet
        qint64 drained = 0;
        // When the page's last FramesPerSecond frames arrived (ring).
        std::array<qint64, AudienceServer::FramesPerSecond> frameTimes{};
        int frames = 0;
    };

    void Accept();
    void Read(QTcpSocket *socket);
    void ReadRequest(QTcpSocket *socket, Connection &connection);
    void Answer(QTcpSocket *socket, Connection &connection, const QByteArray &head, bool more);
    void OpenPage(QTcpSocket *socket, Connection &connection, const QList<QByteArray> &lines);
    void ReadFrames(QTcpSocket *socket, Connection &connection);
    // The answer is written: the connection ends once what is left of the
    // request (more: something followed its head) was read.
    void EndAfterAnswer(QTcpSocket *socket, Connection &connection, bool more);
    // Writes unless the connection's queue would pass QueueLimit; then it
    // is dropped. False when dropped.
    bool Send(QTcpSocket *socket, const QByteArray &bytes);
    void SendToPages(const QByteArray &frame);
    void Drop(QTcpSocket *socket);
    void Forget(QTcpSocket *socket);
    void Count();
    QByteArray PageFile(const QByteArray &path) const;

    AudienceServer::TickSource m_ticks;
    std::function<void()> m_stateTooLarge;
    QTcpServer *m_listener;
    QHash<QTcpSocket *, Connection> m_connections;
    QTimer m_keepAlive;
    QElapsedTimer m_clock;

    AudienceView m_view;
    // Built once per view: the whole state without its clocks, the same
    // made safe inside the page's markup, and whether a page can take it.
    QByteArray m_whole;
    QByteArray m_wholeInPage;
    bool m_wholeFits = true;
    // The page's markup before and after its state, the style and the script.
    QByteArray m_pageBefore, m_pageAfter, m_style, m_script;
};
