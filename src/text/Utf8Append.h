// Appending texts to bytes in UTF-8, the encoding of every file the
// program writes.
#pragma once

#include <QByteArray>
#include <QStringView>

// Most cells are plain ASCII: those go in without a converted copy.
void AppendUtf8(QByteArray &bytes, QStringView text);
