// Row model helpers of the results protocol.
#include "protocol/ProtocolTable.h"

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
    return text == DropOutMark || text == DisqualifiedMark;
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
        for (int column = 0; column < ProtocolColumnCount; ++column)
            rows[row][std::size_t(column)] = columns.Cell(row, column).toString();
    }
    return rows;
}

ProtocolColumns ColumnsOf(const ProtocolTable &rows)
{
    ProtocolColumns columns;
    columns.rows = rows.size();
    for (std::size_t column = 0; column < columns.cells.size(); ++column) {
        for (const ProtocolRow &row : rows)
            columns.cells[column].Append(row[column]);
    }
    return columns;
}
