// Rich text (RTF) for the word-processor document: text escaped for RTF,
// a table with ruled cells, and a template opened up for more content.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The text as RTF: \, { and } escaped, characters beyond ASCII as \u, tabs
// as \tab; line breaks (CR, LF or CR LF) end paragraphs.
QByteArray RtfText(const QString &text);

// A table of the given number of columns over the given width in twips;
// the first row is the header (bold, repeated on every page). Each column
// keeps a minimum width (1 cm, less only when the width has no room for
// that), the rest is shared in proportion to the longest texts, and the
// whole table never gets wider than the width.
QByteArray RtfTable(const QList<QStringList> &rows, int columns, int widthTwips);

// A template's document without its closing brace, so content can follow;
// nullopt when the bytes are no RTF document.
std::optional<QByteArray> OpenRtfDocument(const QByteArray &rtf);

// The width between the margins the document's page settings give, in
// twips, with the paper held between 2 and 44 inches (the largest sheet)
// and each margin between 0 and half the paper: never less than an inch.
int RtfTextWidth(const QByteArray &rtf);
