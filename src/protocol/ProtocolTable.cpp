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

std::optional<int> StartNumberOf(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}

std::optional<int> TeamNumberOfSelectorText(const QString &itemText)
{
    // A "Nr." cell edited to " 7" still names team 7, so leading blanks
    // are not taken for the end of the number.
    const QString text = itemText.trimmed();
    return StartNumberOf(text.left(text.indexOf(QLatin1Char(' '))));
}

int FindTeamRow(const ProtocolTable &table, int startNumber)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (StartNumberOf(table[i][ColNr]) == startNumber)
            return int(i);
    }
    return -1;
}
