// Decoding of text files written by other programs, and Windows-1252 both ways.
#include "protocol/TextDecoding.h"

#include <QList>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

// Windows-1252 is Latin-1 except for 0x80-0x9F, where it has printable
// characters (euro sign, quotes, dashes, ...). The five unassigned codes
// map to the control characters of the same value, as Windows does.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(Cp1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

QByteArray EncodeWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t code : text.toUcs4()) {
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes.append(static_cast<char>(code));
            continue;
        }
        const auto high = std::find(Cp1252High.begin(), Cp1252High.end(), code);
        bytes.append(
            high == Cp1252High.end() ? '?' : static_cast<char>(0x80 + (high - Cp1252High.begin())));
    }
    return bytes;
}

QString DecodeFileText(const QByteArray &bytes)
{
    // Spreadsheets save "Unicode text" as UTF-16 behind a byte order mark.
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        const QByteArray mark = encoding == QStringConverter::Utf16LE ? "\xff\xfe" : "\xfe\xff";
        if (bytes.startsWith(mark))
            return QStringDecoder(encoding).decode(QByteArrayView(bytes).sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(bytes);
}
