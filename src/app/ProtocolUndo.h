// The operator's way back (Ctrl+Z): the protocol's last changes are taken
// back one by one, the newest first. A change of one row (a penalty,
// "Ausfall", "Disqulifikation", an edited cell, a re-run's replaced time)
// keeps that row's cells before and after it; the row is found again by
// its team's cells, which only an edit changes, and edits are kept too, so
// the sorts and rankings in between do not matter. A removed row keeps its
// cells, the cleared protocol its whole table (shared with the grid that
// held it, not copied), each with its place in the start order, so who
// runs next comes back too. Loading a list ends the history.
//
// Taking back goes through the protocol controller's change notification,
// so the recovery journal writes what was restored. During a heat only
// the cells of one row are taken back, as the lane buttons write them; a
// removed row or the cleared protocol waits for the heat's end, so that
// the rows under the racing lanes stay put.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QObject>
#include <QString>
#include <array>
#include <deque>
#include <vector>

class ProtocolController;
class QAction;
class TSortGrid;

class ProtocolUndo : public QObject
{
    Q_OBJECT

public:
    // How many changes can be taken back.
    static constexpr std::size_t Depth = 50;

    // Takes back on the undo entry's key.
    ProtocolUndo(ProtocolController *protocol, TSortGrid *grid, QAction *undoEntry);

    // The row's cells were changed by `what` ("S15", "Ausfall", ...);
    // before holds them as they were, the grid as they are now.
    void RowChanged(const QString &what, int row, const ProtocolRow &before);
    // A time was recorded into the row's `column`: kept when it replaced one.
    void TimeRecorded(int row, int column, const ProtocolRow &before);
    // Called before the row goes.
    void RowRemoved(int row);
    // Called before the protocol is cleared.
    void ProtocolCleared();
    // A new list: nothing before it can be taken back.
    void Forget();

    // Ctrl+Z: takes back the newest change and says so in the status line.
    void TakeBack();

private:
    enum class Kind { Cells, RemovedRow, Cleared };
    struct Entry
    {
        Kind kind = Kind::Cells;
        QString what{};
        ProtocolRow before{}; // the row before the change
        ProtocolRow after{};  // the row as the change left it (Cells)
        int row = -1;         // where the row stood
        // The row's place in the start order (RemovedRow).
        QString startPlace{};
        ProtocolColumns table{};       // the whole protocol (Cleared)
        std::vector<int> startOrder{}; // and its start order (Cleared)
        // Selector positions (Cleared), or whether the lane stood on the row (RemovedRow).
        std::array<int, 2> lanes = {-1, -1};
        bool modified = false; // the cleared protocol was not saved
    };

    void Push(Entry entry);
    QString Description(const Entry &entry) const;
    // The grid row now showing the team of `cells`, the one at `hint` first; -1 when none.
    int FindTeamRow(const ProtocolRow &cells, int hint) const;
    bool Restore(const Entry &entry);
    bool RestoreCells(const Entry &entry);
    void RestoreRemovedRow(const Entry &entry);
    void RestoreClearedProtocol(const Entry &entry);

    ProtocolController *m_protocol;
    TSortGrid *m_grid;
    std::deque<Entry> m_entries;
};
