// Row model helpers of the results protocol.
#include "protocol/ProtocolTable.h"

#include <algorithm>

const QStringList &ProtocolHeaders()
{
    static const QStringList headers = [] {
        QStringList texts;
        for (const ProtocolColumnDescription &column : ProtocolColumnTable)
            texts << QString::fromLatin1(column.header);
        return texts;
    }();
    return headers;
}

const QString &ColumnHeader(int column)
{
    static const std::array<QString, ProtocolCellCount> headers = [] {
        std::array<QString, ProtocolCellCount> texts;
        for (int k = 0; k < ProtocolCellCount; ++k)
            texts[std::size_t(k)] = QString::fromLatin1(DescriptionOf(k).header);
        return texts;
    }();
    return headers[std::size_t(column)];
}

int ColumnNamed(QStringView header)
{
    for (int column = 0; column < ProtocolCellCount; ++column) {
        if (header == QLatin1StringView(DescriptionOf(column).header))
            return column;
    }
    return -1;
}

QStringList ShownHeaders(int runs)
{
    QStringList headers = ProtocolHeaders();
    for (int column = ProtocolColumnCount; column < ShownColumnCount(runs); ++column)
        headers << ColumnHeader(column);
    return headers;
}

bool IsBlankText(QStringView text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

bool IsResultMark(QStringView text)
{
    return text == DropOutMark || text == DisqualifiedMark || text == NotStartedMark;
}

QString LaneSelectorText(QStringView nr, QStringView teamName, QStringView klasse)
{
    QString text;
    text.reserve(nr.size() + teamName.size() + klasse.size() + 2);
    text.append(nr).append(u' ').append(teamName).append(u' ').append(klasse);
    return text;
}

QString LaneSelectorText(const ProtocolRow &row)
{
    return LaneSelectorText(row[ColNr], row[ColTeamName], row[ColKlasse]);
}

ProtocolTable RowsOf(const ProtocolColumns &columns)
{
    ProtocolTable rows(columns.rows);
    for (std::size_t row = 0; row < columns.rows; ++row) {
        for (int column = 0; column < ProtocolCellCount; ++column)
            rows[row][std::size_t(column)] = columns.Cell(row, column).toString();
    }
    return rows;
}

ProtocolColumns ColumnsOf(const ProtocolTable &rows)
{
    ProtocolColumns columns;
    columns.rows = rows.size();
    for (std::size_t column = 0; column < columns.cells.size(); ++column) {
        // A column without a text stays without cells, which reads as empty.
        const bool written = std::any_of(rows.begin(), rows.end(), [&](const ProtocolRow &row) {
            return !row[column].isEmpty();
        });
        for (std::size_t row = 0; written && row < rows.size(); ++row)
            columns.cells[column].Append(rows[row][column]);
    }
    return columns;
}
