// The few pieces of the WebSocket protocol (RFC 6455) the live server needs:
// the handshake's answer, a text frame to send and the frames a page sends,
// read one at a time from what has arrived. The server speaks it itself so
// that it sees every frame a page sends (pings included) and every byte it
// queues in answer.
#pragma once

#include <QByteArray>
#include <optional>

namespace WebSocketFrames {

enum Opcode : quint8 {
    Continuation = 0x0,
    Text = 0x1,
    Binary = 0x2,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xA,
};

// The value of Sec-WebSocket-Accept for the page's Sec-WebSocket-Key.
QByteArray AcceptKey(const QByteArray &key);

// One unfragmented frame: unmasked (mask 0) as a server sends it, masked
// with the key as a browser sends it.
QByteArray Frame(Opcode opcode, const QByteArray &payload, quint32 mask = 0);

struct Received
{
    quint8 opcode = 0;
    bool final = true;
    bool masked = false;
    QByteArray payload; // unmasked
    qsizetype size = 0; // bytes of the frame, header included; -1: too large
};

// The first frame of `data` when it has arrived whole; nullopt while it
// has not. A frame whose payload passes maxPayload is not waited for: it
// comes back at once with a size of -1.
std::optional<Received> ReadFrame(const QByteArray &data, qint64 maxPayload);

} // namespace WebSocketFrames
