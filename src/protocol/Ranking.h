// Ranking of the protocol: rows sorted by class and total, places counted
// per class. The one ranking of the program: the reset, loading a starter
// list, leaving edit mode and removing a row all go through here.
#pragma once

#include "protocol/ProtocolTable.h"

#include <span>
#include <vector>

// What the ranking does with a row's "Platz" besides giving a place.
inline constexpr int NoPlace = 0;    // no total: "Platz" emptied
inline constexpr int KeepPlace = -1; // "AUS" or "DIS": "Platz" left as it is

struct RankedRows
{
    // For each position in ranked order, the row's index before.
    std::vector<std::size_t> previousIndex;
    // For each position in ranked order, the row's place, NoPlace or KeepPlace.
    std::vector<int> places;
};

// Sorts the rows by "Klasse" (numeric text order), then by "Total" (result
// order), rows equal in both keeping their order, and counts the places
// per class: competition ranking, equal totals ("12,5" and "12,50" too)
// share the place of the first of them and the next total takes its
// position in the class (1, 1, 3). Classes that read as the same number
// ("1", "01") are one class. A row without a total gets an empty "Platz",
// so no stale place survives an edit; "AUS" and "DIS" rows keep theirs.
// classes[i] and totals[i] are the cells of row i. Given each row's place
// in the start order (startPlaces[i]), the rows of a class without a total
// follow in start order rather than as they stood, so that the protocol
// returns to the start order at every ranking. Given each row's runs done
// (runsDone[i]), a class ranks more runs first and by total among equal
// runs, as a race over laps does; equal totals over other runs do not tie.
RankedRows RankRows(std::span<const QStringView> classes, std::span<const QStringView> totals,
                    std::span<const int> startPlaces = {}, std::span<const int> runsDone = {});

// The "Platz" text a place of RankRows gives a row whose "Platz" was before.
QString PlaceText(int place, QStringView before);

// RankRows applied to the rows themselves. Returns, for each row of the
// result, its index before the ranking.
std::vector<std::size_t> RankProtocol(ProtocolTable &table);
