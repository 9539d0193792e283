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

std::vector<RankingKey> RankingKeys(const std::vector<QString> &classes,
                                    const std::vector<QString> &totals)
{
    std::vector<RankingKey> keys;
    keys.reserve(classes.size());
    for (std::size_t i = 0; i < classes.size(); ++i)
        keys.push_back(
            {NumericTextKeyOf(classes[i]), ResultTextKeyOf(totals[i]), classes[i], totals[i], i});
    return keys;
}

bool HasPlace(const ResultTextKey &total)
{
    return total.group == ResultTextKey::Number || total.group == ResultTextKey::OtherText;
}

// Walks the rows in ranking order and gives each ranked row its place.
std::vector<int> Places(const std::vector<RankingKey> &ranked)
{
    std::vector<int> places;
    places.reserve(ranked.size());
    const RankingKey *classStart = nullptr;
    const RankingKey *previous = nullptr;
    int count = 0;
    int lastPlace = 1;
    for (const RankingKey &key : ranked) {
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
    std::vector<RankingKey> keys = RankingKeys(classes, totals);
    std::stable_sort(keys.begin(), keys.end(), [](const RankingKey &a, const RankingKey &b) {
        const int byClass = CompareClasses(a, b);
        return byClass != 0 ? byClass < 0 : CompareTotals(a, b) < 0;
    });
    RankedRows ranked;
    ranked.places = Places(keys);
    ranked.previousIndex.reserve(keys.size());
    for (const RankingKey &key : keys)
        ranked.previousIndex.push_back(key.index);
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
