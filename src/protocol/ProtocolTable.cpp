// Row model helpers of the results protocol.
#include "protocol/ProtocolTable.h"

const QStringList &ProtocolHeaders()
{
    static const QStringList headers = {QStringLiteral("Nr."),        QStringLiteral("TeamName"),
                                        QStringLiteral("Klasse"),     QStringLiteral("Fahrer"),
                                        QStringLiteral("Beifahrer1"), QStringLiteral("Beifahrer2"),
                                        QStringLiteral("Zeit"),       QStringLiteral("Strafzeit"),
                                        QStringLiteral("Total"),      QStringLiteral("Platz")};
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

QString LaneSelectorText(const ProtocolRow &row)
{
    return row[ColNr] + QLatin1Char(' ') + row[ColTeamName] + QLatin1Char(' ') + row[ColKlasse];
}

QStringList LaneSelectorItems(const ProtocolTable &table)
{
    QStringList items;
    items.reserve(qsizetype(table.size()));
    for (const ProtocolRow &row : table)
        items.append(LaneSelectorText(row));
    return items;
}
