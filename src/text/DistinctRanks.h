// Ranking a list of texts by an order that runs on its distinct texts only.
// A protocol column repeats its texts many times over (one class for
// hundreds of teams, every total empty before the first race): the distinct
// texts are ordered once, whatever the order has to work out of a text (its
// number) is worked out once per distinct text, and the rows then sort by
// plain numbers.
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <numeric>
#include <vector>

// The distinct texts of a list in the order they first appear, the first
// place each appears at, and for each text of the list the index of its
// distinct text. Points into the list.
struct DistinctTexts
{
    std::vector<QStringView> texts;
    std::vector<std::size_t> firstAt;
    std::vector<int> indexOf;
};

// Texts are QStrings or QStringViews.
template <typename Texts> DistinctTexts DistinctTextsOf(const Texts &texts)
{
    DistinctTexts distinct;
    distinct.indexOf.reserve(std::size_t(texts.size()));
    QHash<QStringView, int> indexOfText;
    QStringView previous;
    for (const auto &each : texts) {
        const QStringView text(each);
        // Neighbours that share their characters are one text without a
        // look at them: a class's cells share one text, and in ranked order
        // they follow each other.
        if (!distinct.indexOf.empty() && text.constData() == previous.constData() &&
            text.size() == previous.size()) {
            distinct.indexOf.push_back(distinct.indexOf.back());
            continue;
        }
        previous = text;
        const auto found = indexOfText.constFind(text);
        if (found != indexOfText.constEnd()) {
            distinct.indexOf.push_back(*found);
            continue;
        }
        const int index = int(distinct.texts.size());
        indexOfText.insert(text, index);
        distinct.texts.push_back(text);
        distinct.firstAt.push_back(distinct.indexOf.size());
        distinct.indexOf.push_back(index);
    }
    return distinct;
}

// The rank of each of the items 0 .. count - 1 in the order compare(a, b)
// gives (negative, 0 or positive): items that compare equal share a rank,
// and a smaller rank comes first.
template <typename Compare> std::vector<int> RanksInOrder(std::size_t count, Compare compare)
{
    std::vector<int> byOrder(count);
    std::iota(byOrder.begin(), byOrder.end(), 0);
    // A merge sort stays within its range even when a caller's comparison
    // is not a consistent order.
    std::stable_sort(byOrder.begin(), byOrder.end(),
                     [&](int a, int b) { return compare(a, b) < 0; });
    std::vector<int> ranks(count);
    for (std::size_t k = 1; k < count; ++k)
        ranks[byOrder[k]] = ranks[byOrder[k - 1]] + (compare(byOrder[k - 1], byOrder[k]) != 0);
    return ranks;
}
