// The teams on the lanes: the two lane selectors, whose items stand for the
// protocol's data rows, and a marker that each lane's team row carries in
// the grid, so that a lane keeps its team through every sort and ranking.
#pragma once

#include <QObject>
#include <array>
#include <vector>

class LaneSelectorModel;
class QComboBox;
class TSortGrid;

class LaneTeams : public QObject
{
    Q_OBJECT

public:
    LaneTeams(TSortGrid *grid, const std::array<QComboBox *, 2> &selectors, QObject *parent);

    // Lane index 0 or 1.
    QComboBox *Selector(int laneIndex) const { return m_selectors[std::size_t(laneIndex)]; }
    // The selector's position of the lane's team, -1 for none.
    int Position(int laneIndex) const;
    // The grid row of the team on a lane, -1 when the lane has no team.
    int Row(int laneIndex) const;
    // The row that carries the lane's marker, -1 when none does.
    int MarkedRow(int laneIndex) const;
    // Puts the lane's marker on the row; a row out of the grid (-1) takes it off.
    void Mark(int laneIndex, int row);

    // Both selectors get one item per team (count of them), none selected.
    void Fill(int teams);
    // The rows moved: data row r now stands at newRow[r].
    void RowsMoved(const std::vector<int> &newRow);
    // Rebuilds the selectors' items (one per team) after rows moved or went,
    // each lane on its marked row (none when the row went).
    void Follow(int teams);
    // Both selectors on these positions (-1: none), enabled as far as their
    // items allow.
    void PutOn(int lane1, int lane2);
    // Each selector enabled when it has a team to offer: lane 2 needs a
    // second one.
    void EnableForTeams();
    // No items, both selectors unavailable.
    void Clear();
    // Lane 1 takes lane 2's team and the other way round.
    void Swap();
    // Puts the first laneCount lanes on the next teams in start order.
    // true when one of the first racingLanes found no team left to run and
    // went back to the first teams.
    bool PutOnNextTeams(int laneCount, int racingLanes);

signals:
    // A lane's selector moved to another team (or to none), by the
    // operator or the program.
    void teamChanged();

private:
    TSortGrid *m_grid;
    std::array<QComboBox *, 2> m_selectors;
    LaneSelectorModel *m_items;
    std::array<QObject, 2> m_markers;
    // Where each marker was last seen: checked first, searched for only
    // after rows moved.
    mutable std::array<int, 2> m_markedRows = {-1, -1};
    // Whether each marker is in the grid, as far as this object knows.
    mutable std::array<bool, 2> m_markerPlaced = {false, false};
    // The selectors are being rebuilt: their changes are not the operator's.
    bool m_following = false;
};
