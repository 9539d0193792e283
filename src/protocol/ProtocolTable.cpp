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

bool IsBlankText(const QString &text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

bool IsResultMark(const QString &text)
{
    return text == DropOutMark || text == DisqualifiedMark;
}

QString LaneSelectorText(const QString &nr, const QString &teamName, const QString &klasse)
{
    return nr + QLatin1Char(' ') + teamName + QLatin1Char(' ') + klasse;
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
            rows[row][std::size_t(column)] = columns.Cell(row, column);
    }
    return rows;
}
