#include "text/Utf8Append.h"

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
