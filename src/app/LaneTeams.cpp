#include "app/LaneTeams.h"

#include "app/LaneSelectorModel.h"
#include "app/StartOrder.h"
#include "widgets/SortGrid.h"

#include <QComboBox>
#include <QListView>
#include <QScopedValueRollback>

// Both selectors show the one list of items; its items are all alike, so
// the drop-down need not measure each of them.
LaneTeams::LaneTeams(TSortGrid *grid, const std::array<QComboBox *, 2> &selectors, QObject *parent)
    : QObject(parent), m_grid(grid), m_selectors(selectors),
      m_items(new LaneSelectorModel(grid, this))
{
    for (int laneIndex : {0, 1}) {
        QComboBox *selector = Selector(laneIndex);
        selector->setModel(m_items);
        if (auto *list = qobject_cast<QListView *>(selector->view()))
            list->setUniformItemSizes(true);
        connect(selector, &QComboBox::currentIndexChanged, this, [this, laneIndex](int position) {
            if (!m_following)
                Mark(laneIndex, position >= 0 ? position + 1 : -1);
            emit teamChanged();
        });
    }
}

int LaneTeams::Position(int laneIndex) const
{
    return Selector(laneIndex)->currentIndex();
}

int LaneTeams::Row(int laneIndex) const
{
    return Position(laneIndex) < 0 ? -1 : MarkedRow(laneIndex);
}

// Lane 1's marker rides in the "Nr." cell, lane 2's in the "TeamName"
// cell, so both lanes may stand on one row.
int LaneTeams::MarkedRow(int laneIndex) const
{
    const QObject *marker = &m_markers[std::size_t(laneIndex)];
    int &row = m_markedRows[std::size_t(laneIndex)];
    if (row > 0 && row < m_grid->RowCount() && m_grid->Objects(laneIndex, row) == marker)
        return row;
    row = -1;
    // A marker taken off, or gone with its row, is not searched for.
    if (!m_markerPlaced[std::size_t(laneIndex)])
        return row;
    for (int candidate = 1; candidate < m_grid->RowCount(); ++candidate) {
        if (m_grid->Objects(laneIndex, candidate) == marker) {
            row = candidate;
            return row;
        }
    }
    m_markerPlaced[std::size_t(laneIndex)] = false;
    return row;
}

void LaneTeams::Mark(int laneIndex, int row)
{
    const auto lane = std::size_t(laneIndex);
    const int marked = MarkedRow(laneIndex);
    if (marked > 0)
        m_grid->SetObjects(laneIndex, marked, nullptr);
    m_markerPlaced[lane] = row > 0 && row < m_grid->RowCount();
    if (m_markerPlaced[lane]) {
        m_grid->SetObjects(laneIndex, row, &m_markers[lane]);
        m_markedRows[lane] = row;
    }
}

void LaneTeams::Fill(int teams)
{
    m_items->Rebuild(teams);
    for (QComboBox *selector : m_selectors)
        selector->setCurrentIndex(-1);
}

void LaneTeams::RowsMoved(const std::vector<int> &newRow)
{
    for (int &marked : m_markedRows)
        marked = marked >= 1 && marked < int(newRow.size()) ? newRow[std::size_t(marked)] : -1;
}

void LaneTeams::Follow(int teams)
{
    const QScopedValueRollback<bool> following(m_following, true);
    Fill(teams);
    const int items = m_items->rowCount();
    for (int laneIndex : {0, 1}) {
        const int row = MarkedRow(laneIndex);
        Selector(laneIndex)->setCurrentIndex(row > 0 && row <= items ? row - 1 : -1);
    }
}

void LaneTeams::PutOn(int lane1, int lane2)
{
    const int count = m_items->rowCount();
    m_selectors[0]->setCurrentIndex(lane1 < count ? lane1 : -1);
    m_selectors[1]->setCurrentIndex(lane2 < count ? lane2 : -1);
    EnableForTeams();
}

void LaneTeams::EnableForTeams()
{
    const int count = m_items->rowCount();
    m_selectors[0]->setEnabled(count >= 1);
    m_selectors[1]->setEnabled(count >= 2);
}

void LaneTeams::Clear()
{
    m_items->Rebuild(0);
    for (QComboBox *selector : m_selectors)
        selector->setEnabled(false);
}

void LaneTeams::Swap()
{
    const int position1 = Position(0);
    m_selectors[0]->setCurrentIndex(Position(1));
    m_selectors[1]->setCurrentIndex(position1);
}

bool LaneTeams::PutOnNextTeams(int laneCount, int racingLanes)
{
    const NextTeams next = FindNextTeams(*m_grid, laneCount);
    bool startedOver = false;
    for (int laneIndex = 0; laneIndex < laneCount; ++laneIndex) {
        const auto lane = std::size_t(laneIndex);
        Selector(laneIndex)->setCurrentIndex(next.rows[lane] - 1);
        startedOver = startedOver || (next.startedOver[lane] && laneIndex < racingLanes);
    }
    return startedOver;
}
