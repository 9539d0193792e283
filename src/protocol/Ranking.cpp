// Ranking of the protocol rows by class and total.
#include "protocol/Ranking.h"

#include "protocol/ResultText.h"

#include <algorithm>

namespace {

// The keys are computed once per row rather than once per comparison, and
// sorted next to the row index in one compact array; a starter list can
// hold many thousand teams.
struct RankingKey
{
    NumericTextKey classKey;
    ResultTextKey totalKey;
    QStringView klasse;
    QStringView total;
    std::size_t index;
};

int CompareClasses(const RankingKey &a, const RankingKey &b)
{
    return CompareNumericTextKeys(a.classKey, a.klasse, b.classKey, b.klasse);
}

int CompareTotals(const RankingKey &a, const RankingKey &b)
{
    return CompareResultKeys(a.totalKey, a.total, b.totalKey, b.total);
}

std::vector<RankingKey> RankingKeys(const ProtocolTable &table)
{
    std::vector<RankingKey> keys;
    keys.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ProtocolRow &row = table[i];
        keys.push_back({NumericTextKeyOf(row[ColKlasse]), ResultTextKeyOf(row[ColTotal]),
                        row[ColKlasse], row[ColTotal], i});
    }
    return keys;
}

bool HasPlace(const ResultTextKey &total)
{
    return total.group == ResultTextKey::Number || total.group == ResultTextKey::OtherText;
}

// Walks the rows in ranking order and gives each ranked row its place.
void AssignPlaces(const std::vector<RankingKey> &ranked, ProtocolTable &table)
{
    const RankingKey *classStart = nullptr;
    const RankingKey *previous = nullptr;
    int count = 0;
    int lastPlace = 1;
    for (const RankingKey &key : ranked) {
        QString &place = table[key.index][ColPlatz];
        if (key.totalKey.group == ResultTextKey::Empty)
            place.clear();
        if (!HasPlace(key.totalKey))
            continue;
        if (!classStart || CompareClasses(*classStart, key) != 0) {
            classStart = &key;
            previous = nullptr;
            count = 0;
        }
        ++count;
        if (!previous || CompareTotals(*previous, key) != 0) {
            previous = &key;
            lastPlace = count;
        }
        place = QString::number(lastPlace);
    }
}

} // namespace

std::vector<std::size_t> RankProtocol(ProtocolTable &table)
{
    std::vector<RankingKey> keys = RankingKeys(table);
    std::stable_sort(keys.begin(), keys.end(), [](const RankingKey &a, const RankingKey &b) {
        const int byClass = CompareClasses(a, b);
        return byClass != 0 ? byClass < 0 : CompareTotals(a, b) < 0;
    });
    AssignPlaces(keys, table);

    std::vector<std::size_t> previousIndex;
    previousIndex.reserve(keys.size());
    ProtocolTable ranked;
    ranked.reserve(table.size());
    for (const RankingKey &key : keys) {
        previousIndex.push_back(key.index);
        ranked.push_back(std::move(table[key.index]));
    }
    table = std::move(ranked);
    return previousIndex;
}
