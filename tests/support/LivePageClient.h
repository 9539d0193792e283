// A live page's side of the WebSocket, as a browser opens it: every message
// it received, parsed, and the state the page holds after merging them in
// section by section, as the page's script does.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QWebSocket>

class LivePageClient
{
public:
    explicit LivePageClient(quint16 port)
    {
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, [this](const QString &text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            m_messages.append(message);
            for (auto section = message.begin(); section != message.end(); ++section)
                m_state.insert(section.key(), section.value());
        });
        m_socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
    }

    bool Connected() { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool Closed() { return m_socket.state() == QAbstractSocket::UnconnectedState; }
    const QList<QJsonObject> &Messages() const { return m_messages; }
    QJsonObject Last() const { return m_messages.value(m_messages.size() - 1); }
    const QJsonObject &State() const { return m_state; }
    QWebSocket &Socket() { return m_socket; }

private:
    QWebSocket m_socket;
    QList<QJsonObject> m_messages;
    QJsonObject m_state;
};
