// The start order of the protocol's teams.
#include "app/StartOrder.h"

#include "protocol/Ranking.h"
#include "widgets/StringGrid.h"

#include <algorithm>
#include <limits>
#include <span>

namespace {

// A column's cells of the data rows, rows beyond the stored ones empty.
QList<QString> DataRowTexts(const TMyStringGrid &grid, int column)
{
    QList<QString> texts = grid.ColumnTexts(column);
    texts.resize(grid.RowCount());
    texts.removeFirst();
    return texts;
}

// The grid row of the team first in start order among those accepted; -1 when none is.
template <typename Accepted>
int FirstInStartOrder(const std::vector<int> &places, Accepted accepted)
{
    int first = -1;
    int firstPlace = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < places.size(); ++k) {
        const int row = int(k) + 1;
        if (places[k] < firstPlace && accepted(row)) {
            first = row;
            firstPlace = places[k];
        }
    }
    return first;
}

} // namespace

void NumberRowsInStartOrder(TMyStringGrid &grid)
{
    const QList<QString> classes = DataRowTexts(grid, ColKlasse);
    const std::vector<QString> noTotals(std::size_t(classes.size()));
    const RankedRows byClass = RankRows(classes, noTotals);
    for (std::size_t place = 0; place < byClass.previousIndex.size(); ++place)
        grid.SetCells(StartOrderColumn, int(byClass.previousIndex[place]) + 1,
                      QString::number(place));
}

namespace {

int StartPlaceIn(const QString &text)
{
    bool ok = false;
    const int place = text.toInt(&ok);
    return ok && place >= 0 ? place : -1;
}

} // namespace

int StoredStartPlace(const TMyStringGrid &grid, int row)
{
    return StartPlaceIn(grid.Cells(StartOrderColumn, row));
}

std::vector<int> ReadStartOrder(const TMyStringGrid &grid)
{
    const QList<QString> texts = DataRowTexts(grid, StartOrderColumn);
    std::vector<int> places(std::size_t(texts.size()), -1);
    int last = -1;
    for (std::size_t k = 0; k < places.size(); ++k) {
        places[k] = StartPlaceIn(texts[qsizetype(k)]);
        last = std::max(last, places[k]);
    }
    for (int &place : places) {
        if (place < 0)
            place = ++last;
    }
    return places;
}

void WriteStartOrder(TMyStringGrid &grid, const std::vector<int> &places)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        const std::size_t k = std::size_t(row - 1);
        grid.SetCells(StartOrderColumn, row,
                      QString::number(k < places.size() ? places[k] : int(k)));
    }
}

NextTeams FindNextTeams(const TMyStringGrid &grid, int laneCount,
                        const std::vector<int> &runningRows)
{
    const std::vector<int> places = ReadStartOrder(grid);
    const QList<QString> times = DataRowTexts(grid, ColZeit);
    const auto waiting = [&](int row) {
        return IsBlankText(times[row - 1]) &&
               std::find(runningRows.begin(), runningRows.end(), row) == runningRows.end();
    };
    NextTeams next;
    for (int lane = 0; lane < std::min(laneCount, 2); ++lane) {
        const int otherLane = lane == 0 ? -1 : next.rows[0];
        const auto free = [&](int row) { return row != otherLane; };
        int row = FirstInStartOrder(
            places, [&](int candidate) { return free(candidate) && waiting(candidate); });
        if (row < 0) {
            row = FirstInStartOrder(places, free);
            next.startedOver[lane] = row > 0;
        }
        next.rows[lane] = row;
    }
    return next;
}

// The other lane's team counts as running; a lane that starts over has
// found no team without a result.
int NextTeamBeside(const TMyStringGrid &grid, int otherLaneRow)
{
    const NextTeams next = FindNextTeams(grid, 1, {otherLaneRow});
    return next.startedOver[0] ? -1 : next.rows[0];
}
