// The protocol controller's removals: a row or the whole protocol, each
// after its question; a lane whose team went goes on with the next team.
#include "app/ProtocolController.h"

#include "app/LaneTeams.h"
#include "app/MainSettings.h"
#include "app/ProtocolGridView.h"
#include "widgets/SortGrid.h"

#include <QStatusBar>
#include <QToolButton>

void ProtocolController::sbCLSClick(bool all)
{
    const QString question =
        all ? QStringLiteral("Zeitenprotokoll  löschen?") : QStringLiteral("Zeile entfernen?");
    if (!Confirm(question) || (all && !UnsavedResultsKept()))
        return;
    const ProtocolModel::Batch batch(*m_model);
    if (all) {
        m_model->Clear();
        m_controls.grid->GoToCell(0, 1, true);
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
    m_lanes->Disable();
    for (QToolButton *takeOver : m_controls.takeOverButtons)
        takeOver->setEnabled(false);
}

// A lane whose team was removed goes on with the next team in start order
// that has no result, and the status line says so. The current row stays
// where it was, on the team that moved up.
void ProtocolController::RemoveCurrentRowAndMoveItsLanes()
{
    TSortGrid *grid = m_controls.grid;
    const int row = grid->Row();
    const int column = grid->Col();
    const QString removed = m_model->Cell(row - 1, ColNr).toString();
    const std::array<int, 2> moved = m_model->RemoveRow(row - 1);
    m_gridView->ShowRowCount();
    m_gridView->ShowRankedOrder();
    if (row < grid->RowCount()) {
        grid->SetRow(row);
        grid->SetCol(column);
    }
    if (!HasProtocol())
        return;
    QStringList notices;
    for (int lane = 0; lane < m_settings.CountBahn; ++lane) {
        const int next = moved[std::size_t(lane)];
        if (next >= 0)
            notices << QStringLiteral("Rennspur %1: Team %2 entfernt – jetzt Team %3")
                           .arg(lane + 1)
                           .arg(removed, m_model->Cell(next, ColNr));
    }
    PutLanesOn(m_model->LaneRow(0), m_model->LaneRow(1));
    if (!notices.isEmpty())
        ShowNotice(notices.join(QStringLiteral("   |   ")));
}
