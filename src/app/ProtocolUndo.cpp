#include "app/ProtocolUndo.h"

#include "app/LaneTeams.h"
#include "app/ProtocolController.h"
#include "app/ProtocolGrid.h"
#include "app/StartOrder.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <algorithm>
#include <span>

namespace {

// The cells that name the team (start number, name, class and drivers)
// are those the race does not write.
bool ShowsTeam(const TSortGrid *grid, int row, const ProtocolRow &cells)
{
    for (const ProtocolColumnDescription &column : ProtocolColumnTable) {
        if (!column.holdsResult && grid->Cells(column.column, row) != cells[column.column])
            return false;
    }
    return true;
}

} // namespace

ProtocolUndo::ProtocolUndo(ProtocolController *protocol, TSortGrid *grid, QAction *undoEntry)
    : QObject(protocol), m_protocol(protocol), m_grid(grid)
{
    connect(undoEntry, &QAction::triggered, this, &ProtocolUndo::TakeBack);
}

void ProtocolUndo::Push(Entry entry)
{
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > Depth)
        m_entries.pop_front();
}

void ProtocolUndo::RowChanged(const QString &what, int row, const ProtocolRow &before)
{
    Push({.what = what, .before = before, .after = m_protocol->ReadRow(row), .row = row});
}

void ProtocolUndo::TimeRecorded(int row, int column, const ProtocolRow &before)
{
    if (!IsBlankText(before[column]))
        RowChanged(QStringLiteral("Zeit ersetzt"), row, before);
}

void ProtocolUndo::RowRemoved(int row)
{
    Entry entry{.kind = Kind::RemovedRow,
                .what = QStringLiteral("Zeile entfernt"),
                .before = m_protocol->ReadRow(row),
                .row = row,
                .startPlace = m_grid->Cells(StartOrderColumn, row)};
    for (int laneIndex : {0, 1})
        entry.lanes[laneIndex] = m_protocol->m_lanes->Row(laneIndex) == row;
    Push(std::move(entry));
}

void ProtocolUndo::ProtocolCleared()
{
    Push({.kind = Kind::Cleared,
          .what = QStringLiteral("Protokoll gelöscht"),
          .table = m_protocol->Columns(),
          .startOrder = m_protocol->StartOrder(),
          .lanes = {m_protocol->m_lanes->Position(0), m_protocol->m_lanes->Position(1)},
          .modified = m_protocol->ProtocolModified()});
}

void ProtocolUndo::Forget()
{
    m_entries.clear();
}

// "Ausfall Team 12 Blitz": the team as it is again.
QString ProtocolUndo::Description(const Entry &entry) const
{
    if (entry.kind == Kind::Cleared)
        return entry.what;
    return QStringLiteral("%1 Team %2 %3")
        .arg(entry.what, entry.before[ColNr], entry.before[ColTeamName]);
}

// From START until the reset, which ranks the protocol anew.
void ProtocolUndo::TakeBack()
{
    if (m_entries.empty()) {
        m_protocol->ShowNotice(QStringLiteral("Nichts zurückzunehmen"));
        return;
    }
    const Entry &entry = m_entries.back();
    if (entry.kind != Kind::Cells && m_protocol->HeatInProgress()) {
        m_protocol->ShowNotice(QStringLiteral("Erst nach dem Lauf zurückzunehmen: ") +
                               Description(entry));
        return;
    }
    const bool restored = Restore(entry);
    m_protocol->ShowNotice((restored ? QStringLiteral("Zurückgenommen: ")
                                     : QStringLiteral("Nicht mehr zurückzunehmen: ")) +
                           Description(entry));
    m_entries.pop_back();
}

bool ProtocolUndo::Restore(const Entry &entry)
{
    const ProtocolController::ChangeBatch batch(m_protocol);
    switch (entry.kind) {
    case Kind::Cells:
        if (!RestoreCells(entry))
            return false;
        break;
    case Kind::RemovedRow:
        RestoreRemovedRow(entry);
        break;
    case Kind::Cleared:
        RestoreClearedProtocol(entry);
        return true;
    }
    // The places follow at once, but during a heat: its reset ranks.
    if (!m_protocol->HeatInProgress())
        m_protocol->RankProtocol();
    m_protocol->RefreshControlStates();
    return true;
}

// Only the cells the change wrote go back; the others may have changed
// since (a place by the ranking).
bool ProtocolUndo::RestoreCells(const Entry &entry)
{
    const int row = FindTeamRow(entry.after, entry.row);
    if (row < 0)
        return false;
    TSortGrid *grid = m_grid;
    for (int column = 0; column < ProtocolColumnCount; ++column) {
        if (entry.before[column] != entry.after[column])
            grid->SetCells(column, row, entry.before[column]);
    }
    m_protocol->NoteChange(ProtocolController::Change::Row, row);
    return true;
}

// The row comes back where it stood, and onto the lanes that lost it (and
// went on to the next team).
void ProtocolUndo::RestoreRemovedRow(const Entry &entry)
{
    m_protocol->NoteChange(ProtocolController::Change::Arrangement);
    TSortGrid *grid = m_grid;
    int row = 1;
    if (m_protocol->HasProtocol()) {
        grid->InsertRow(std::min(entry.row, grid->RowCount()));
        row = grid->Row();
    }
    m_protocol->WriteRow(row, entry.before);
    grid->SetCells(StartOrderColumn, row, entry.startPlace);
    std::array<int, 2> positions{};
    for (int laneIndex : {0, 1}) {
        if (entry.lanes[laneIndex])
            m_protocol->m_lanes->Mark(laneIndex, row);
        const int marked = m_protocol->m_lanes->MarkedRow(laneIndex);
        positions[laneIndex] = marked > 0 ? marked - 1 : -1;
    }
    m_protocol->FillSelectors();
    m_protocol->PutLanesOn(positions[0], positions[1]);
}

void ProtocolUndo::RestoreClearedProtocol(const Entry &entry)
{
    m_protocol->NoteChange(ProtocolController::Change::Arrangement);
    ProtocolColumns table = entry.table;
    TSortGrid *grid = m_grid;
    grid->BeginUpdate();
    grid->ReplaceDataRows(std::max(1, int(table.rows)), std::span(table.cells));
    WriteStartOrder(*grid, entry.startOrder);
    grid->EndUpdate();
    m_protocol->FillSelectors();
    m_protocol->PutLanesOn(entry.lanes[0], entry.lanes[1]);
    m_protocol->m_modified = entry.modified;
}

// A team's cells are searched by start number first: a long list is
// gone through once, without asking the grid for each cell.
int ProtocolUndo::FindTeamRow(const ProtocolRow &cells, int hint) const
{
    const TSortGrid *grid = m_grid;
    if (hint > 0 && hint < grid->RowCount() && ShowsTeam(grid, hint, cells))
        return hint;
    const QList<QString> numbers = grid->ColumnTexts(ColNr);
    static const QString none;
    for (int row = 1; row < grid->RowCount(); ++row) {
        const QString &number = row < numbers.size() ? numbers[row] : none;
        if (number == cells[ColNr] && ShowsTeam(grid, row, cells))
            return row;
    }
    return -1;
}
