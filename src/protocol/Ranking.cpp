// Ranking of the protocol rows by class and total.
#include "protocol/Ranking.h"

#include "protocol/ResultText.h"
#include "text/DistinctRanks.h"

#include <algorithm>
#include <numeric>

namespace {

// A column's texts by their distinct texts, each distinct text's key
// worked out once, and each row's rank in the column's order.
template <typename Key> struct RankedColumn
{
    DistinctTexts distinct;
    std::vector<Key> keys; // per distinct text
    std::vector<int> rankOfDistinct;

    const Key &KeyOfRow(std::size_t row) const { return keys[std::size_t(distinct.indexOf[row])]; }
    int RankOfRow(std::size_t row) const
    {
        return rankOfDistinct[std::size_t(distinct.indexOf[row])];
    }
};

template <typename Key, typename KeyOf, typename Compare>
RankedColumn<Key> RankColumn(std::span<const QStringView> texts, KeyOf keyOf, Compare compare)
{
    RankedColumn<Key> column{DistinctTextsOf(texts), {}, {}};
    const std::vector<QStringView> &distinct = column.distinct.texts;
    column.keys.reserve(distinct.size());
    for (const QStringView text : distinct)
        column.keys.push_back(keyOf(text));
    column.rankOfDistinct = RanksInOrder(distinct.size(), [&](int a, int b) {
        const auto i = std::size_t(a), j = std::size_t(b);
        return compare(column.keys[i], distinct[i], column.keys[j], distinct[j]);
    });
    return column;
}

// The rows in the order of their rank in the column, equal ranks in the
// order given: ranks are small numbers, which a counting sort orders in
// two passes over the rows.
template <typename Key>
std::vector<std::size_t> StablyByRank(const std::vector<std::size_t> &rows,
                                      const RankedColumn<Key> &column)
{
    // firstOfRank[r + 1] counts the rows of rank r, then, summed up,
    // firstOfRank[r] is where the rows of rank r begin.
    std::vector<std::size_t> firstOfRank(column.rankOfDistinct.size() + 1);
    for (const std::size_t row : rows)
        ++firstOfRank[std::size_t(column.RankOfRow(row)) + 1];
    std::partial_sum(firstOfRank.begin(), firstOfRank.end(), firstOfRank.begin());
    std::vector<std::size_t> sorted(rows.size());
    for (const std::size_t row : rows)
        sorted[firstOfRank[std::size_t(column.RankOfRow(row))]++] = row;
    return sorted;
}

bool HasPlace(const ResultTextKey &total)
{
    return total.group == ResultTextKey::Number || total.group == ResultTextKey::OtherText;
}

// The rows stably by runs done, more first: a handful of values, so a
// counting sort as for the ranks.
std::vector<std::size_t> StablyByRunsDone(const std::vector<std::size_t> &rows,
                                          std::span<const int> runsDone)
{
    const int most = *std::max_element(runsDone.begin(), runsDone.end());
    std::vector<std::size_t> first(std::size_t(most) + 2);
    for (const std::size_t row : rows)
        ++first[std::size_t(most - runsDone[row]) + 1];
    std::partial_sum(first.begin(), first.end(), first.begin());
    std::vector<std::size_t> sorted(rows.size());
    for (const std::size_t row : rows)
        sorted[first[std::size_t(most - runsDone[row])]++] = row;
    return sorted;
}

// Walks the rows in ranking order and gives each ranked row its place.
std::vector<int> Places(const RankedColumn<NumericTextKey> &classes,
                        const RankedColumn<ResultTextKey> &totals,
                        const std::vector<std::size_t> &ranked, std::span<const int> runsDone)
{
    std::vector<int> places;
    places.reserve(ranked.size());
    int classRank = -1;
    int totalRank = -1;
    int runs = -1;
    int count = 0;
    int lastPlace = 1;
    for (const std::size_t row : ranked) {
        const ResultTextKey &total = totals.KeyOfRow(row);
        if (!HasPlace(total)) {
            places.push_back(total.group == ResultTextKey::Empty ? NoPlace : KeepPlace);
            continue;
        }
        if (classes.RankOfRow(row) != classRank) {
            classRank = classes.RankOfRow(row);
            totalRank = -1;
            count = 0;
        }
        ++count;
        const int rowRuns = runsDone.empty() ? 0 : runsDone[row];
        if (totals.RankOfRow(row) != totalRank || rowRuns != runs) {
            totalRank = totals.RankOfRow(row);
            runs = rowRuns;
            lastPlace = count;
        }
        places.push_back(lastPlace);
    }
    return places;
}

// Each run of rows of one class without a total, in start order. A run
// already in that order (every ranking after the first) is only looked at.
void PutUntimedRowsInStartOrder(std::vector<std::size_t> &ranked,
                                const RankedColumn<NumericTextKey> &classes,
                                const RankedColumn<ResultTextKey> &totals,
                                std::span<const int> startPlaces)
{
    const auto untimed = [&](std::size_t row) {
        return totals.KeyOfRow(row).group == ResultTextKey::Empty;
    };
    const auto byStartPlace = [&](std::size_t a, std::size_t b) {
        return startPlaces[a] < startPlaces[b];
    };
    for (std::size_t first = 0; first < ranked.size();) {
        std::size_t end = first + 1;
        if (untimed(ranked[first])) {
            const int classRank = classes.RankOfRow(ranked[first]);
            while (end < ranked.size() && untimed(ranked[end]) &&
                   classes.RankOfRow(ranked[end]) == classRank)
                ++end;
            const auto begin = ranked.begin() + std::ptrdiff_t(first);
            const auto stop = ranked.begin() + std::ptrdiff_t(end);
            if (!std::is_sorted(begin, stop, byStartPlace))
                std::stable_sort(begin, stop, byStartPlace);
        }
        first = end;
    }
}

} // namespace

RankedRows RankRows(std::span<const QStringView> classes, std::span<const QStringView> totals,
                    std::span<const int> startPlaces, std::span<const int> runsDone)
{
    const auto classColumn = RankColumn<NumericTextKey>(
        classes, [](QStringView text) { return NumericTextKeyOf(text); }, CompareNumericTextKeys);
    const auto totalColumn = RankColumn<ResultTextKey>(totals, ResultTextKeyOf, CompareResultKeys);
    // By total rank, then, keeping that order among equals, by class rank.
    std::vector<std::size_t> rows(classes.size());
    std::iota(rows.begin(), rows.end(), std::size_t(0));
    rows = StablyByRank(rows, totalColumn);
    // Only a placed total counts its runs: "AUS" after two runs still
    // follows every time.
    std::vector<int> placedRuns;
    if (runsDone.size() == classes.size() && !runsDone.empty()) {
        placedRuns.assign(runsDone.begin(), runsDone.end());
        bool alike = true; // every placed row has as many runs: nothing to sort by
        int placedRunsSeen = -1;
        for (std::size_t row = 0; row < placedRuns.size(); ++row) {
            if (!HasPlace(totalColumn.KeyOfRow(row))) {
                placedRuns[row] = 0;
                continue;
            }
            alike = alike && (placedRunsSeen < 0 || placedRuns[row] == placedRunsSeen);
            placedRunsSeen = placedRuns[row];
        }
        if (alike)
            placedRuns.clear();
        else
            rows = StablyByRunsDone(rows, placedRuns);
    }
    runsDone = placedRuns;
    RankedRows ranked;
    ranked.previousIndex = StablyByRank(rows, classColumn);
    if (startPlaces.size() == classes.size())
        PutUntimedRowsInStartOrder(ranked.previousIndex, classColumn, totalColumn, startPlaces);
    ranked.places = Places(classColumn, totalColumn, ranked.previousIndex, runsDone);
    return ranked;
}

QString PlaceText(int place, QStringView before)
{
    return place == KeepPlace ? before.toString()
           : place == NoPlace ? QString()
                              : QString::number(place);
}

std::vector<std::size_t> RankProtocol(ProtocolTable &table)
{
    std::vector<QStringView> classes, totals;
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
    ProtocolTable rows;
    rows.reserve(table.size());
    for (std::size_t index : ranked.previousIndex)
        rows.push_back(std::move(table[index]));
    table = std::move(rows);
    return std::move(ranked.previousIndex);
}
