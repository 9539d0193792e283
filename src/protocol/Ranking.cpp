// Ranking of the protocol rows by class and total.
#include "protocol/Ranking.h"

#include "protocol/ResultText.h"

#include <algorithm>
#include <numeric>

namespace {

// The class key is parsed once per row rather than once per comparison;
// a starter list can hold many thousand teams.
struct RankingKey
{
    NumericKey classKey;
    const QString *klasse;
    const QString *total;
};

bool RanksBefore(const RankingKey &a, const RankingKey &b)
{
    const int byClass = CompareNumericKeys(a.classKey, *a.klasse, b.classKey, *b.klasse);
    if (byClass != 0)
        return byClass < 0;
    return CompareResultText(*a.total, *b.total) < 0;
}

} // namespace

void SortProtocolRows(ProtocolTable &table)
{
    std::vector<RankingKey> keys;
    keys.reserve(table.size());
    for (const ProtocolRow &row : table)
        keys.push_back({NumericKeyOf(row[ColKlasse]), &row[ColKlasse], &row[ColTotal]});

    std::vector<std::size_t> order(table.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        return RanksBefore(keys[a], keys[b]);
    });

    ProtocolTable sorted;
    sorted.reserve(table.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(table[index]));
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
        if (!currentClass || CompareNumericText(*currentClass, row[ColKlasse]) != 0) {
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
