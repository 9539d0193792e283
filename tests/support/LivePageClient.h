// A live page's side of the WebSocket, as a browser opens it, from any
// loopback address: every message it received, parsed, and the state the
// page holds after merging them in section by section, as the page's
// script does. It can also break the rules as an attacker's page would:
// send frames of its own, or stop reading.
#pragma once

#include "display/WebSocketFrames.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QTcpSocket>

class LivePageClient
{
public:
    explicit LivePageClient(quint16 port, const QHostAddress &from = QHostAddress::LocalHost)
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] {
            m_socket.write("GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                           "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                           "Sec-WebSocket-Version: 13\r\n\r\n");
        });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { Read(); });
        m_socket.bind(from);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    bool Connected() { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool Closed() { return m_socket.state() == QAbstractSocket::UnconnectedState; }
    const QList<QJsonObject> &Messages() const { return m_messages; }
    QJsonObject Last() const { return m_messages.value(m_messages.size() - 1); }
    const QJsonObject &State() const { return m_state; }

    // A frame as a browser sends it (masked).
    void Send(WebSocketFrames::Opcode opcode, const QByteArray &payload = {})
    {
        m_socket.write(WebSocketFrames::Frame(opcode, payload, 0x1A2B3C4D));
    }
    // From now on nothing more is read off the connection.
    void StopReading()
    {
        m_socket.setReadBufferSize(1);
        m_reading = false;
    }

private:
    void Read()
    {
        if (!m_reading)
            return;
        m_received += m_socket.readAll();
        if (!m_upgraded) {
            const qsizetype end = m_received.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            if (!m_received.startsWith("HTTP/1.1 101 "))
                return m_socket.abort();
            m_upgraded = true;
            m_received.remove(0, end + 4);
        }
        while (const auto frame = WebSocketFrames::ReadFrame(m_received, 1 << 30)) {
            m_received.remove(0, frame->size);
            if (frame->opcode != WebSocketFrames::Text &&
                frame->opcode != WebSocketFrames::Continuation)
                continue;
            m_text += frame->payload;
            if (frame->final)
                Take(std::exchange(m_text, {}));
        }
    }

    void Take(const QByteArray &text)
    {
        const QJsonObject message = QJsonDocument::fromJson(text).object();
        m_messages.append(message);
        for (auto section = message.begin(); section != message.end(); ++section)
            m_state.insert(section.key(), section.value());
    }

    QTcpSocket m_socket;
    QByteArray m_received, m_text;
    bool m_upgraded = false;
    bool m_reading = true;
    QList<QJsonObject> m_messages;
    QJsonObject m_state;
};
