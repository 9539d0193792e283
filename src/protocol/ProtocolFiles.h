// The protocol as files: the tab-separated text and the web page, both
// built from the table's cell texts in table order (header row first), and
// the one way every protocol file reaches the disk.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

// The table's rows as shown, header row first, every row with all columns.
using CellRows = QList<QStringList>;

// The same read where the texts are kept, without a copy: cellOf(row,
// column) for rows 0 .. rows - 1 (the header row first).
struct CellTable
{
    qsizetype rows = 0;
    qsizetype columns = 0;
    std::function<QStringView(qsizetype row, qsizetype column)> cellOf;
};
// The rows as such a table; it reads them where they are.
CellTable TableOf(const CellRows &rows);
// The table's texts copied into rows.
CellRows CellRowsOf(const CellTable &table);

// Every cell followed by a tab (an empty cell as one blank, so no field is
// ever empty), every row ended by CR LF; UTF-8.
QByteArray TabSeparatedProtocol(const CellTable &table);
inline QByteArray TabSeparatedProtocol(const CellRows &rows)
{
    return TabSeparatedProtocol(TableOf(rows));
}

// A cell of the ";" file: as it is, or, when it holds ";" or begins with a
// quote, in quotes with each quote inside doubled, as spreadsheet programs
// read such files and the starter-list reader takes them back.
QString SemicolonFileCell(QStringView cell);

// The ";" file: every row's cells as SemicolonFileCell gives them, joined
// by ";", every row ended by CR LF; UTF-8.
QByteArray SemicolonProtocol(const CellTable &table);
inline QByteArray SemicolonProtocol(const CellRows &rows)
{
    return SemicolonProtocol(TableOf(rows));
}

// &, <, > and " as entities, so a team name shows as typed and never
// becomes markup.
QString HtmlEscaped(QStringView text);

// The protocol page: the header row as table head, every further row as a
// table row, a blank cell as a non-breaking space; the title names the page
// and its heading. UTF-8, and the page says so.
QByteArray HtmlProtocolPage(const CellTable &table, const QString &title);
inline QByteArray HtmlProtocolPage(const CellRows &rows, const QString &title)
{
    return HtmlProtocolPage(TableOf(rows), title);
}

// Writes the bytes to a temporary file beside the target and puts it in the
// target's place only when all of it is on the disk, so a failed save leaves
// the previous file as it was. false with the reason in *error on failure.
bool ReplaceFileContents(const QString &fileName, const QByteArray &bytes, QString *error);
