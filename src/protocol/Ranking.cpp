// Ranking of the protocol rows by class and total.
#include "protocol/Ranking.h"

#include "protocol/ResultText.h"

#include <algorithm>

namespace {

// The keys are computed once per row rather than once per comparison, and
// sorted by value next to the row index so that the sort stays within one
// compact array; a starter list can hold many thousand teams.
struct RankingKey
{
    NumericKey classKey;
    int totalKey;
    QStringView klasse;
    QStringView total;
    std::size_t index;
};

bool RanksBefore(const RankingKey &a, const RankingKey &b)
{
    const int byClass = CompareNumericKeys(a.classKey, a.klasse, b.classKey, b.klasse);
    if (byClass != 0)
        return byClass < 0;
    return CompareResultKeys(a.totalKey, a.total, b.totalKey, b.total) < 0;
}

// Rows of one class normally carry the very same class text; only texts
// like "1" and "01" need the numeric comparison.
bool SameClass(const QString &a, const QString &b)
{
    return a == b || CompareNumericText(a, b) == 0;
}

} // namespace

void SortProtocolRows(ProtocolTable &table)
{
    std::vector<RankingKey> keys;
    keys.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ProtocolRow &row = table[i];
        keys.push_back({NumericKeyOf(row[ColKlasse]), ResultTextKey(row[ColTotal]), row[ColKlasse],
                        row[ColTotal], i});
    }
    std::stable_sort(keys.begin(), keys.end(), RanksBefore);

    ProtocolTable sorted;
    sorted.reserve(table.size());
    for (const RankingKey &key : keys)
        sorted.push_back(std::move(table[key.index]));
    table = std::move(sorted);
}

void AssignPlaces(ProtocolTable &table)
{
    const QString *currentClass = nullptr;
    const QString *previousTotal = nullptr;
    int count = 0;
    int lastPlace = 1;
    for (ProtocolRow &row : table) {
        const QString &total = row[ColTotal];
        if (IsBlankText(total)) {
            row[ColPlatz].clear();
            continue;
        }
        if (IsResultMark(total))
            continue;
        // Classes that sort as equal ("1" and "01") are ranked as one; a
        // text comparison would restart the count at every such row.
        if (!currentClass || !SameClass(*currentClass, row[ColKlasse])) {
            currentClass = &row[ColKlasse];
            previousTotal = nullptr;
            count = 0;
            lastPlace = 1;
        }
        ++count;
        if (previousTotal && *previousTotal == total) {
            row[ColPlatz] = QString::number(lastPlace);
            continue;
        }
        row[ColPlatz] = QString::number(count);
        previousTotal = &total;
        lastPlace = count;
    }
}

void RankProtocol(ProtocolTable &table)
{
    SortProtocolRows(table);
    AssignPlaces(table);
}
