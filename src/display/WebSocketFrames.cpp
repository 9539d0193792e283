#include "display/WebSocketFrames.h"

#include <QCryptographicHash>

namespace WebSocketFrames {

QByteArray AcceptKey(const QByteArray &key)
{
    return QCryptographicHash::hash(key.trimmed() + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11",
                                    QCryptographicHash::Sha1)
        .toBase64();
}

QByteArray Frame(Opcode opcode, const QByteArray &payload, quint32 mask)
{
    QByteArray frame;
    frame.reserve(payload.size() + 14);
    frame.append(char(0x80 | opcode));
    const char maskBit = mask ? char(0x80) : char(0);
    const quint64 size = quint64(payload.size());
    if (size < 126) {
        frame.append(char(size) | maskBit);
    } else if (size <= 0xFFFF) {
        frame.append(char(126) | maskBit);
        frame.append(char(size >> 8)).append(char(size & 0xFF));
    } else {
        frame.append(char(127) | maskBit);
        for (int shift = 56; shift >= 0; shift -= 8)
            frame.append(char((size >> shift) & 0xFF));
    }
    if (!mask)
        return frame + payload;
    const char key[4] = {char(mask >> 24), char(mask >> 16), char(mask >> 8), char(mask)};
    frame.append(key, 4);
    for (qsizetype i = 0; i < payload.size(); ++i)
        frame.append(char(payload[i] ^ key[i % 4]));
    return frame;
}

std::optional<Received> ReadFrame(const QByteArray &data, qint64 maxPayload)
{
    const auto byte = [&](qsizetype at) { return quint8(data.at(at)); };
    if (data.size() < 2)
        return std::nullopt;
    Received frame;
    frame.opcode = byte(0) & 0x0F;
    frame.final = byte(0) & 0x80;
    frame.masked = byte(1) & 0x80;
    quint64 length = byte(1) & 0x7F;
    qsizetype at = 2;
    const int lengthBytes = length == 126 ? 2 : length == 127 ? 8 : 0;
    if (data.size() < at + lengthBytes)
        return std::nullopt;
    if (lengthBytes) {
        length = 0;
        for (int i = 0; i < lengthBytes; ++i)
            length = (length << 8) | byte(at++);
    }
    if (length > quint64(maxPayload)) {
        frame.size = -1;
        return frame;
    }
    const int maskBytes = frame.masked ? 4 : 0;
    if (data.size() < at + maskBytes + qsizetype(length))
        return std::nullopt;
    const qsizetype mask = at;
    at += maskBytes;
    frame.payload = data.mid(at, qsizetype(length));
    for (qsizetype i = 0; frame.masked && i < frame.payload.size(); ++i)
        frame.payload[i] = char(quint8(frame.payload[i]) ^ byte(mask + i % 4));
    frame.size = at + qsizetype(length);
    return frame;
}

} // namespace WebSocketFrames
