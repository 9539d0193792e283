// Text files from other programs: UTF-16 (little or big endian) when they
// begin with its byte order mark, UTF-8 (with or without its mark) when the
// bytes are valid UTF-8, otherwise Windows-1252, the code page such files
// were written in before.
#pragma once

#include <QByteArray>
#include <QString>

QString DecodeFileText(const QByteArray &bytes);

// Windows-1252, byte for byte. Decoding maps the five unassigned codes to
// the control characters of the same value, so encoding gives them back.
QString DecodeWindows1252(const QByteArray &bytes);
// Characters Windows-1252 lacks become "?", one per character (a pair of
// surrogates is one character).
QByteArray EncodeWindows1252(QStringView text);
