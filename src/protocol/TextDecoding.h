// Text files from other programs: UTF-16 (little or big endian) when they
// begin with its byte order mark, UTF-8 (with or without its mark) when the
// bytes are valid UTF-8, otherwise Windows-1252, the code page such files
// were written in before.
#pragma once

#include <QByteArray>
#include <QString>

QString DecodeFileText(const QByteArray &bytes);
