#include "text/Utf8Append.h"

bool AppendUtf8Without(QByteArray &bytes, QStringView text, QStringView stops)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char *out = bytes.data() + start;
    bool ascii = true;
    for (const QChar c : text) {
        for (const QChar stop : stops) {
            if (c == stop) {
                bytes.truncate(start);
                return false;
            }
        }
        ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            *out++ = char(c.unicode());
    }
    if (!ascii) {
        bytes.truncate(start);
        bytes += text.toUtf8();
    }
    return true;
}

void AppendUtf8(QByteArray &bytes, QStringView text)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char *out = bytes.data() + start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            bytes.truncate(start);
            bytes += text.toUtf8();
            return;
        }
        *out++ = char(c.unicode());
    }
}
