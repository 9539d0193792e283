// The protocol controller's removals: a row or the whole protocol, each
// after its question; a lane whose team went goes on with the next team.
#include "app/ProtocolController.h"

#include "app/LaneTeams.h"
#include "app/MainSettings.h"
#include "app/ProtocolUndo.h"
#include "app/StartOrder.h"
#include "widgets/SortGrid.h"

#include <QStatusBar>
#include <QToolButton>

void ProtocolController::sbCLSClick(bool all)
{
    const QString question =
        all ? QStringLiteral("Zeitenprotokoll  löschen?") : QStringLiteral("Zeile entfernen?");
    if (!Confirm(question) || (all && !UnsavedResultsKept()))
        return;
    const ChangeBatch batch(this);
    NoteChange(Change::Content);
    if (all) {
        m_undo->ProtocolCleared();
        m_controls.grid->ClearRows();
        emit protocolReplaced();
    } else {
        RemoveCurrentRowAndMoveItsLanes();
    }
    // Removing the only row empties the protocol just as clearing it does.
    if (!HasProtocol())
        ClearSelectors();
    emit rowCountChanged();
    RefreshControlStates();
}

void ProtocolController::ClearSelectors()
{
    m_lanes->Clear();
    for (QToolButton *takeOver : m_controls.takeOverButtons)
        takeOver->setEnabled(false);
}

// A lane whose team was removed goes on with the next team in start order
// that has no result, and the status line says so.
void ProtocolController::RemoveCurrentRowAndMoveItsLanes()
{
    const TSortGrid *grid = m_controls.grid;
    const int row = grid->Row();
    const QString removed = grid->Cells(ColNr, row);
    const std::array<bool, 2> lost = {m_lanes->Row(0) == row, m_lanes->Row(1) == row};
    RemoveCurrentRow();
    if (!HasProtocol() || (!lost[0] && !lost[1]))
        return;
    std::array<int, 2> positions = {m_lanes->Position(0), m_lanes->Position(1)};
    QStringList notices;
    for (int lane : {0, 1}) {
        const int other = positions[std::size_t(1 - lane)];
        const int next = lost[std::size_t(lane)] ? NextTeamBeside(*grid, other + 1) : -1;
        if (next < 0)
            continue;
        positions[std::size_t(lane)] = next - 1;
        if (lane < m_settings.CountBahn)
            notices << QStringLiteral("Rennspur %1: Team %2 entfernt – jetzt Team %3")
                           .arg(lane + 1)
                           .arg(removed, grid->Cells(ColNr, next));
    }
    PutLanesOn(positions[0], positions[1]);
    if (!notices.isEmpty())
        ShowNotice(notices.join(QStringLiteral("   |   ")));
}

void ProtocolController::RemoveCurrentRow()
{
    TSortGrid *grid = m_controls.grid;
    const int row = grid->Row();
    const int column = grid->Col();
    try {
        m_undo->RowRemoved(row);
        WriteRow(row, ProtocolRow{});
        grid->DeleteRow(row);
        RankProtocol();
        if (row >= grid->RowCount())
            return; // the last row went; the grid keeps its own current row
        grid->SetRow(row);
        grid->SetCol(column);
    } catch (const EInvalidGridOperation &) {
        // The remaining steps are skipped; widths and states are still refreshed.
    }
}
