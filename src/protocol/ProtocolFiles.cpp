// Protocol file writers.
#include "protocol/ProtocolFiles.h"

#include "protocol/ProtocolTable.h"
#include "text/Utf8Append.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

QByteArray PageAlignmentAttribute(ColumnAlignment alignment)
{
    switch (alignment) {
    case ColumnAlignment::Right:
        return " align=right";
    case ColumnAlignment::Center:
        return " align=center";
    case ColumnAlignment::Left:
        break;
    }
    return {};
}

// About the bytes a text file of the table takes, measured on its first
// rows: reserved at once, the text of a long list is not moved again and
// again as it grows.
// The rows of a ranked protocol lie anywhere in their columns' texts, so
// reading them in row order waits for memory at every cell: the cells a
// few rows ahead are asked for while the current row is written.
void FetchRowAhead(const CellTable &table, qsizetype row)
{
    constexpr qsizetype Ahead = 8;
    if (row + Ahead >= table.rows)
        return;
    for (qsizetype column = 0; column < table.columns; ++column)
        __builtin_prefetch(table.cellOf(row + Ahead, column).data());
}

qsizetype RoomFor(const CellTable &table)
{
    constexpr qsizetype Sampled = 64;
    qsizetype characters = 0;
    const qsizetype rows = std::min(table.rows, Sampled);
    for (qsizetype row = 0; row < rows; ++row) {
        for (qsizetype column = 0; column < table.columns; ++column)
            characters += table.cellOf(row, column).size() + 1;
    }
    return rows == 0 ? 0 : (characters + 2 * rows) * table.rows / rows * 9 / 8;
}

QByteArray PageHeaderCell(qsizetype column)
{
    const int percent =
        column < ProtocolCellCount ? DescriptionOf(int(column)).pageHeaderPercent : 0;
    return percent > 0 ? "<th width=" + QByteArray::number(percent) + "% nowrap>" : "<th>";
}

void AppendPageHead(QByteArray &page, const QByteArray &title)
{
    page += "<HTML>\r\n<HEAD>\r\n";
    page += "<TITLE>" + title + "</TITLE>\r\n";
    page += "<META http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n";
    page += "<META name=keywords content=\"" + title + "\">\r\n";
    page += "<META name=description content=\"Chronalt professional software development for "
            "all\">\r\n";
    page += "<style type=\"text/css\">\r\n<!--\r\n";
    page += "body {font-family:Verdana;\r\nscrollbar-track-color:#F9F9E6;\r\n"
            "scrollbar-face-color:#B0A786}\r\n";
    page += "table {font-size:10pt}\r\n"
            "a:hover{text-decoration:none; background-color:#E2E6CB}\r\n";
    page += "-->\r\n</style></head>\r\n";
}

void AppendTableHead(QByteArray &page, const CellTable &table)
{
    page += "</b><table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#E0E0E0 "
            "border=1 cellpadding=4 width=100%>\r\n";
    page += "<colgroup valign=top>";
    for (qsizetype column = 0; column < std::max<qsizetype>(table.columns, ProtocolColumnCount);
         ++column)
        page += " <col" +
                PageAlignmentAttribute(column < ProtocolCellCount
                                           ? DescriptionOf(int(column)).pageAlignment
                                           : ColumnAlignment::Left) +
                '>';
    page += "</colgroup>\r\n";
    page += "<thead bgcolor=#B0A786><tr>\r\n<thead align=left bgcolor=#91B5FF>\r\n<tr>\r\n";
    for (qsizetype column = 0; table.rows > 0 && column < table.columns; ++column) {
        page += PageHeaderCell(column);
        page += HtmlEscaped(table.cellOf(0, column)).toUtf8() + CrLf;
    }
    page += "</tr></thead>\r\n";
}

void AppendTableRow(QByteArray &page, const CellTable &table, qsizetype row)
{
    page += "<tr>";
    for (qsizetype column = 0; column < table.columns; ++column) {
        const QStringView cell = table.cellOf(row, column);
        page += "<td>";
        if (IsBlankText(cell))
            page += "&nbsp;";
        else
            AppendUtf8(page, HtmlEscaped(cell));
    }
    page += "</tr>\r\n";
}

} // namespace

CellTable TableOf(const CellRows &rows)
{
    return {rows.size(), rows.isEmpty() ? 0 : rows.constFirst().size(),
            [&rows](qsizetype row, qsizetype column) {
                const QStringList &cells = rows[row];
                return column < cells.size() ? QStringView(cells[column]) : QStringView();
            }};
}

CellRows CellRowsOf(const CellTable &table)
{
    CellRows rows;
    rows.reserve(table.rows);
    for (qsizetype row = 0; row < table.rows; ++row) {
        QStringList cells;
        cells.reserve(table.columns);
        for (qsizetype column = 0; column < table.columns; ++column)
            cells << table.cellOf(row, column).toString();
        rows << cells;
    }
    return rows;
}

// Most cells go into the bytes straight from where they are kept.
QByteArray TabSeparatedProtocol(const CellTable &table)
{
    QByteArray text;
    text.reserve(RoomFor(table));
    for (qsizetype row = 0; row < table.rows; ++row) {
        FetchRowAhead(table, row);
        for (qsizetype column = 0; column < table.columns; ++column) {
            const QStringView cell = table.cellOf(row, column);
            AppendUtf8(text, cell.isEmpty() ? u" " : cell);
            text += '\t';
        }
        text += CrLf;
    }
    return text;
}

QString SemicolonFileCell(QStringView cell)
{
    if (!cell.contains(u';') && !cell.startsWith(u'"'))
        return cell.toString();
    return u'"' + cell.toString().replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QByteArray SemicolonProtocol(const CellTable &table)
{
    QByteArray text;
    text.reserve(RoomFor(table));
    for (qsizetype row = 0; row < table.rows; ++row) {
        FetchRowAhead(table, row);
        for (qsizetype column = 0; column < table.columns; ++column) {
            if (column > 0)
                text += ';';
            const QStringView cell = table.cellOf(row, column);
            if (cell.startsWith(u'"') || !AppendUtf8Without(text, cell, u";"))
                AppendUtf8(text, SemicolonFileCell(cell));
        }
        text += CrLf;
    }
    return text;
}

QString HtmlEscaped(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QStringLiteral("&amp;");
            break;
        case u'<':
            escaped += QStringLiteral("&lt;");
            break;
        case u'>':
            escaped += QStringLiteral("&gt;");
            break;
        case u'"':
            escaped += QStringLiteral("&quot;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QByteArray HtmlProtocolPage(const CellTable &table, const QString &title)
{
    const QByteArray pageTitle = HtmlEscaped(title).toUtf8();
    QByteArray page;
    AppendPageHead(page, pageTitle);
    page += "<body bgcolor=#F9F9E6>\r\n";
    page += "<div style=\"width:100%; color:#A37E4E; filter:Glow(color=0, strength=6)\">\r\n";
    page += "<h1>" + pageTitle + " Zeitenprotokoll</h1>\r\n";
    page += "</div><br>\r\n";
    AppendTableHead(page, table);
    for (qsizetype row = 1; row < table.rows; ++row)
        AppendTableRow(page, table, row);
    page += "</table>\r\n<FONT face=Arial size=4><B>";
    page += "<P align=right><a style=\"cursor:help\" title=\"" + pageTitle +
            "\">Duobahn</a><FONT color=#666600 size=3>&nbsp;Sport&nbsp;Software</P>\r\n";
    page += "</body></html>\r\n";
    return page;
}

bool ReplaceFileContents(const QString &fileName, const QByteArray &bytes, QString *error)
{
    // A folder or a device of that name is never replaced by a file.
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile()) {
        if (error)
            *error = QStringLiteral("Keine Datei: ") + fileName;
        return false;
    }
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}
