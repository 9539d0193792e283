// Ranking of the protocol rows by class and total.
#include "protocol/Ranking.h"

#include "protocol/ResultText.h"

#include <algorithm>
#include <numeric>

namespace {

// The keys are computed once per row rather than once per comparison; a
// starter list can hold many thousand teams.
struct RankingKey
{
    NumericTextKey classKey;
    ResultTextKey totalKey;
    QStringView klasse;
    QStringView total;
};

int CompareClasses(const RankingKey &a, const RankingKey &b)
{
    return CompareNumericTextKeys(a.classKey, a.klasse, b.classKey, b.klasse);
}

int CompareTotals(const RankingKey &a, const RankingKey &b)
{
    return CompareResultKeys(a.totalKey, a.total, b.totalKey, b.total);
}

std::vector<RankingKey> RankingKeys(const std::vector<QString> &classes,
                                    const std::vector<QString> &totals)
{
    std::vector<RankingKey> keys;
    keys.reserve(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i)
        keys.push_back(
            {NumericTextKeyOf(classes[i]), ResultTextKeyOf(totals[i]), classes[i], totals[i]});
    return keys;
}

bool HasPlace(const ResultTextKey &total)
{
    return total.group == ResultTextKey::Number || total.group == ResultTextKey::OtherText;
}

// Walks the rows in ranking order and gives each ranked row its place.
std::vector<int> Places(const std::vector<RankingKey> &keys, const std::vector<std::size_t> &ranked)
{
    std::vector<int> places;
    places.reserve(ranked.size());
    const RankingKey *classStart = nullptr;
    const RankingKey *previous = nullptr;
    int count = 0;
    int lastPlace = 1;
    for (const std::size_t index : ranked) {
        const RankingKey &key = keys[index];
        if (!HasPlace(key.totalKey)) {
            places.push_back(key.totalKey.group == ResultTextKey::Empty ? NoPlace : KeepPlace);
            continue;
        }
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
        places.push_back(lastPlace);
    }
    return places;
}

} // namespace

RankedRows RankRows(const std::vector<QString> &classes, const std::vector<QString> &totals)
{
    const std::vector<RankingKey> keys = RankingKeys(classes, totals);
    // The rows' numbers are sorted, not their keys: a merge sort moves
    // each element many times, and a number is a fraction of a key.
    RankedRows ranked;
    ranked.previousIndex.resize(keys.size());
    std::iota(ranked.previousIndex.begin(), ranked.previousIndex.end(), std::size_t(0));
    std::stable_sort(ranked.previousIndex.begin(), ranked.previousIndex.end(),
                     [&](std::size_t a, std::size_t b) {
                         const int byClass = CompareClasses(keys[a], keys[b]);
                         return byClass != 0 ? byClass < 0 : CompareTotals(keys[a], keys[b]) < 0;
                     });
    ranked.places = Places(keys, ranked.previousIndex);
    return ranked;
}

QString PlaceText(int place, const QString &before)
{
    return place == KeepPlace ? before : place == NoPlace ? QString() : QString::number(place);
}

RankedRows WritePlaces(ProtocolTable &table)
{
    std::vector<QString> classes, totals;
    classes.reserve(table.size());
    totals.reserve(table.size());
    for (const ProtocolRow &row : table) {
        classes.push_back(row[ColKlasse]);
        totals.push_back(row[ColTotal]);
    }
    RankedRows ranked = RankRows(classes, totals);
    for (std::size_t k = 0; k < ranked.previousIndex.size(); ++k) {
        QString &place = table[ranked.previousIndex[k]][ColPlatz];
        place = PlaceText(ranked.places[k], place);
    }
    return ranked;
}

std::vector<std::size_t> RankProtocol(ProtocolTable &table)
{
    RankedRows ranked = WritePlaces(table);
    ProtocolTable rows;
    rows.reserve(table.size());
    for (std::size_t index : ranked.previousIndex)
        rows.push_back(std::move(table[index]));
    table = std::move(rows);
    return std::move(ranked.previousIndex);
}
