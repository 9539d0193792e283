// Appending texts to bytes in UTF-8, the encoding of every file the
// program writes.
#pragma once

#include <QByteArray>
#include <QStringView>

// Most cells are plain ASCII: those go in without a converted copy.
void AppendUtf8(QByteArray &bytes, QStringView text);

// The same unless the text holds one of the characters of `stops` (a
// separator, a line break): then nothing is appended and false returned.
// One pass for the look and the copy: a file of a million cells would
// otherwise pay a search call per cell.
bool AppendUtf8Without(QByteArray &bytes, QStringView text, QStringView stops);
