// The start order: each team's place right after its list was loaded and
// ranked, by class, then in the list's own order. Who runs next follows
// it, never the rows as they stand: a header sort, an edited cell, a
// ranking or a removed row leave it alone. Each row keeps its place in the
// grid's StartOrderColumn beyond the shown ones, so every move of a row
// (sort, ranking, removal) carries it along.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QString>
#include <array>
#include <vector>

class TMyStringGrid;

inline const QString StartedOverNotice =
    QStringLiteral("Ende der Starterliste: wieder die ersten Teams");

// Gives the data rows their places: the rows of the lowest class first,
// the rows of one class in the order they stand.
void NumberRowsInStartOrder(TMyStringGrid &grid);
// Each data row's place, the first data row's first. A row that holds no
// place follows every row that does, in the order the rows stand.
std::vector<int> ReadStartOrder(const TMyStringGrid &grid);
// The place one data row holds itself; -1 when it holds none (its place
// then depends on the other rows: ReadStartOrder gives it).
int StoredStartPlace(const TMyStringGrid &grid, int row);
// Gives the data rows these places (as read); with none given, the rows'
// own order.
void WriteStartOrder(TMyStringGrid &grid, const std::vector<int> &places);

struct NextTeams
{
    // The grid rows of lane 1's and lane 2's next team, -1 for none.
    std::array<int, 2> rows = {-1, -1};
    // The lane found no team left to run and went back to the first teams.
    std::array<bool, 2> startedOver = {false, false};
};

// The first teams in start order that have no result yet (nothing in
// "Zeit": no time, "AUS" or "DIS"), one for each of the first laneCount
// lanes, never both lanes on one team. A lane that finds none takes the
// first team in start order that the other lane does not have. The rows
// given as running count as having a result: the teams that follow them.
NextTeams FindNextTeams(const TMyStringGrid &grid, int laneCount,
                        const std::vector<int> &runningRows = {});

// The grid row of the first team in start order that has no result and is
// not on the other lane (otherLaneRow; -1 for none); -1 when there is none.
int NextTeamBeside(const TMyStringGrid &grid, int otherLaneRow);
