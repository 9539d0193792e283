#include "app/ProtocolController.h"

#include "app/DlgYesNo.h"
#include "app/LaneTeams.h"
#include "app/MainSettings.h"
#include "app/ProtocolGrid.h"
#include "app/ProtocolUndo.h"
#include "app/StartOrder.h"
#include "platform/Platform.h"
#include "protocol/Penalties.h"
#include "protocol/ResultText.h"
#include "protocol/StarterList.h"
#include "race/RaceTime.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <numeric>
#include <utility>

namespace {

const QColor StartColour(0, 128, 0);
const QColor LaneRowTextColour(255, 0, 0);

} // namespace

ProtocolController::ProtocolController(const Controls &controls, const MainSettings &settings,
                                       QObject *parent)
    : QObject(parent), m_controls(controls), m_settings(settings),
      m_lanes(new LaneTeams(controls.grid, controls.laneSelectors, this)),
      m_undo(new ProtocolUndo(this, controls.grid, controls.undoEntry))
{
    ConfigureProtocolGrid(controls.grid);
    Wire();
    // No protocol yet: times follow the locale.
    SetRaceTimeDecimalMark(std::nullopt);
}

void ProtocolController::Wire()
{
    const Controls &f = m_controls;
    TSortGrid *grid = f.grid;
    grid->OnGetSortStyle = [this](QObject *, int column, TSortStyle &style) {
        SortGrid1GetSortStyle(column, style);
    };
    grid->OnEndSort = [this](QObject *, int) { SortGrid1EndSort(); };
    grid->OnGetCellFormat = [this](QObject *, int column, int row, TGridDrawState,
                                   TFormatOptions &format, bool &, bool &, bool &) {
        if (row <= 0)
            return;
        if (IsRightAligned(column))
            format.AlignmentHorz = taRightJustify;
        if (row == m_lanes->Position(0) + 1 ||
            (m_settings.CountBahn >= 2 && row == m_lanes->Position(1) + 1))
            format.FontColor = LaneRowTextColour;
    };
    grid->OnSelectCell = [this](QObject *, int column, int, bool &canSelect) {
        LastSelectedColumn = column;
        canSelect = true;
    };
    // Told once per cell the operator typed into, when the edit is done.
    // Only what the in-place editor typed counts: a cell the program wrote
    // while edit mode was on is no edit of the operator's. Asked of the grid
    // that tells it, as an editor that loses the focus while the window
    // closes tells it after this controller went.
    grid->OnCellValidate = [this, grid](QObject *, int column, int row, const QString &before,
                                        QString &, bool &) {
        if (grid->EditorMode())
            CellTyped(column, row, before);
    };
    grid->OnRowSelected = [this](QObject *) { SortGrid1RowSelected(); };
    grid->OnDblClick = [this](QObject *) { SortGrid1DblClick(); };
    // Outside edit mode the grid only changes through this controller.
    grid->OnModified = [this](QObject *) {
        const TSortGrid *grid = m_controls.grid;
        if (!grid->Options().testFlag(goEditing))
            return;
        // A key typed into a cell changes that cell's row only.
        if (grid->EditedRow() > 0)
            NoteChange(Change::Row, grid->EditedRow());
        else
            NoteChange(Change::Content);
    };
    connect(m_lanes, &LaneTeams::teamChanged, this, [this] { NoteChange(Change::Lanes); });

    connect(f.load, &QToolButton::clicked, this, &ProtocolController::sbLoadClick);
    for (QComboBox *selector : f.laneSelectors)
        connect(selector, &QComboBox::activated, this, &ProtocolController::cbBuhnChange);
    connect(f.takeOverButtons[0], &QToolButton::clicked, this, [this] { sb1Click(1); });
    connect(f.takeOverButtons[1], &QToolButton::clicked, this, [this] { sb1Click(2); });
    connect(f.editMode, &QCheckBox::clicked, this, &ProtocolController::cbEditONClick);
    connect(f.removeRow, &QToolButton::clicked, this, [this] { sbCLSClick(false); });
    connect(f.clearAll, &QToolButton::clicked, this, [this] { sbCLSClick(true); });
    connect(f.swapLanes, &QToolButton::clicked, this, &ProtocolController::seObmenClick);
    for (int lane : {0, 1}) {
        // Lane 1's penalties carry negative numbers, lane 2's positive ones.
        const int sign = lane == 0 ? -1 : 1;
        for (std::size_t i = 0; i < LanePenalties.size(); ++i)
            connect(f.penalties[std::size_t(lane)][i], &QPushButton::clicked, this,
                    [this, number = sign * LanePenalties[i].seconds] { bStrafeClick(number); });
        connect(f.disqualify[std::size_t(lane)], &QPushButton::clicked, this,
                [this, lane] { bDisqulifikation1Click(lane); });
        connect(f.dropOut[std::size_t(lane)], &QPushButton::clicked, this,
                [this, lane] { sb1delClick(lane); });
    }
}

// --- change notification --------------------------------------------------------

void ProtocolController::NoteChange(Change change, int row)
{
    if (change == Change::Content || change == Change::Row)
        m_modified = true;
    if (change == Change::Content)
        m_pendingChange.cellsEdited = true;
    if (change == Change::Row)
        m_pendingChange.rows.push_back(row);
    else if (change != Change::Lanes)
        m_pendingChange.wholeTable = true;
    if (m_batchDepth > 0)
        m_changePending = true;
    else
        Notify();
}

void ProtocolController::Notify()
{
    emit protocolChanged(std::exchange(m_pendingChange, {}));
}

bool ProtocolController::ProtocolModified() const
{
    return m_modified && HasProtocol();
}

// Announced as a change, so that the recovery journal learns the results
// are safe in a file.
void ProtocolController::MarkProtocolSaved()
{
    m_modified = false;
    NoteChange(Change::Lanes);
}

void ProtocolController::RestoreProtocol(ProtocolTable rows, const std::vector<int> &startOrder,
                                         int lane1, int lane2, bool modified)
{
    const ChangeBatch batch(this);
    NoteChange(Change::Arrangement);
    m_controls.grid->BeginUpdate();
    WriteTable(rows);
    WriteStartOrder(*m_controls.grid, startOrder);
    m_controls.grid->EndUpdate();
    FollowDecimalMarkOfTimes();
    FillSelectors();
    PutLanesOn(lane1, lane2);
    m_modified = modified;
    emit protocolReplaced();
}

void ProtocolController::PutLanesOn(int lane1, int lane2)
{
    m_lanes->PutOn(lane1, lane2);
    RefreshControlStates();
    RefreshLaneButtons();
    emit rowCountChanged();
}

std::vector<int> ProtocolController::StartOrder() const
{
    std::vector<int> places = ReadStartOrder(*m_controls.grid);
    for (std::size_t k = 0; k < places.size(); ++k) {
        if (places[k] != int(k))
            return places;
    }
    return {};
}

int ProtocolController::StoredStartPlace(int row) const
{
    return ::StoredStartPlace(*m_controls.grid, row);
}

bool ProtocolController::ConfirmDiscardingChanges(const QString &action)
{
    return !ProtocolModified() || !*m_controls.questions ||
           Confirm(QStringLiteral("Das Protokoll ist nicht gespeichert. Trotzdem %1?").arg(action));
}

bool ProtocolController::UnsavedResultsKept()
{
    return !ProtocolModified() || !KeepUnsavedResults || KeepUnsavedResults();
}

bool ProtocolController::HeatInProgress() const
{
    return m_controls.clock->isActive() || m_controls.resetEntry->isEnabled();
}

bool ProtocolController::Confirm(const QString &question) const
{
    TFDlgYesNo *questions = *m_controls.questions;
    return questions && questions->Confirm(question);
}

void ProtocolController::ShowNotice(const QString &text)
{
    m_controls.statusLine->showMessage(text);
}

void ProtocolController::ShowListNotice(const QString &text)
{
    m_listNotice = text;
    ShowNotice(text);
}

// --- table access -------------------------------------------------------------

ProtocolRow ProtocolController::ReadRow(int row) const
{
    return ProtocolGridRow(m_controls.grid, row);
}

void ProtocolController::WriteRow(int row, const ProtocolRow &cells)
{
    for (int column = 0; column < ProtocolColumnCount; ++column)
        if (m_controls.grid->Cells(column, row) != cells[column])
            m_controls.grid->SetCells(column, row, cells[column]);
}

ProtocolTable ProtocolController::Table() const
{
    ProtocolTable table;
    const int rowCount = m_controls.grid->RowCount();
    table.reserve(std::max(0, rowCount - 1));
    for (int row = 1; row < rowCount; ++row)
        table.push_back(ReadRow(row));
    return table;
}

ProtocolColumns ProtocolController::Columns() const
{
    ProtocolColumns columns;
    const TSortGrid *grid = m_controls.grid;
    columns.rows = std::size_t(std::max(0, grid->RowCount() - 1));
    for (int column = 0; column < ProtocolColumnCount; ++column)
        columns.cells[column] = grid->ColumnTexts(column);
    return columns;
}

// Grid row k + 1 shows table[k]; the texts move into the grid. An empty
// table leaves the one blank row a grid needs below its header. Inside the
// grid's update bracket.
void ProtocolController::WriteTable(ProtocolTable &table)
{
    const int rows = static_cast<int>(table.size());
    m_controls.grid->ReplaceDataRows(
        std::max(1, rows), ProtocolColumnCount, [&](int column, int k) {
            return k < rows ? std::move(table[std::size_t(k)][column]) : QString();
        });
}

// Any written row is a protocol (a row of blanks included): a start number
// that an edit emptied and that ranking then sorted to the top must not
// hide the table's results from saving, editing and racing.
bool ProtocolController::HasProtocol() const
{
    const TSortGrid *grid = m_controls.grid;
    for (int row = 1; row < grid->RowCount(); ++row) {
        for (int column = 0; column < ProtocolColumnCount; ++column) {
            if (!grid->Cells(column, row).isEmpty())
                return true;
        }
    }
    return false;
}

// --- recording and ranking ------------------------------------------------------

bool ProtocolController::RecordLaneTime(int column, int lane, const QString &text)
{
    // The lane's row, never another row that happens to show the same
    // start number: numbers repeat across classes and edits change them.
    const int row = m_lanes->Row(lane - 1);
    if (row < 0)
        return false;
    const ChangeBatch batch(this);
    const ProtocolRow before = ReadRow(row);
    TSortGrid *grid = m_controls.grid;
    grid->SetCells(column, row, text);
    grid->SetCells(column + 1, row, FormatRaceTime(0));
    grid->SetCells(column + 2, row, text);
    NoteChange(Change::Row, row);
    m_undo->TimeRecorded(row, column, before);
    RefreshControlStates();
    return true;
}

QString ProtocolController::LaneCell(int lane, int column) const
{
    const int row = m_lanes->Row(lane - 1);
    return row < 0 ? QString() : m_controls.grid->Cells(column, row);
}

void ProtocolController::LaneCountChanged()
{
    if (!HasProtocol() || HeatInProgress())
        return;
    if (PutLanesOnNextTeams(m_settings.CountBahn))
        ShowNotice(StartedOverNotice);
    RefreshLaneButtons();
    RefreshControlStates();
}

bool ProtocolController::PutLanesOnNextTeams(int laneCount)
{
    const ChangeBatch batch(this);
    return m_lanes->PutOnNextTeams(laneCount, m_settings.CountBahn);
}

void ProtocolController::SortGrid1GetSortStyle(int column, TSortStyle &style)
{
    style = ProtocolGridSortStyle(column);
    if (style == ssCustom)
        m_controls.grid->SortOptions().SortCompare = CompareResultText;
}

// The rows are ranked where they stand: the grid moves them into their
// ranked order and only the places that change are written.
void ProtocolController::RankProtocol()
{
    const ChangeBatch batch(this);
    NoteChange(Change::Arrangement);
    TSortGrid *grid = m_controls.grid;
    const int current = grid->Row();
    grid->BeginUpdate();
    const std::vector<int> newRow = PutRowsInRankedOrder(grid);
    grid->EndUpdate();
    ShowRankedOrder(grid);
    // The current row stays on its team.
    if (current >= 1 && current < int(newRow.size()))
        grid->SetRow(newRow[current]);
    // The lanes' markers moved with their rows.
    m_lanes->RowsMoved(newRow);
    FollowLaneRows();
}

// The blank row of an empty protocol is no team: a selector item for it
// would offer START for nobody.
int ProtocolController::TeamCount() const
{
    return HasProtocol() ? m_controls.grid->RowCount() - 1 : 0;
}

void ProtocolController::FillSelectors()
{
    m_lanes->Fill(TeamCount());
}

// After the operator sorts by a header click the rows have moved: each lane
// keeps its row, so the red rows, the penalty writes and the next recorded
// time still point at the same team.
void ProtocolController::SortGrid1EndSort()
{
    const ChangeBatch batch(this);
    NoteChange(Change::Arrangement);
    FollowLaneRows();
    m_controls.grid->InvalidateGrid();
}

void ProtocolController::FollowLaneRows()
{
    m_lanes->Follow(TeamCount());
}

void ProtocolController::FollowDecimalMarkOfTimes()
{
    const ProtocolColumns columns = Columns();
    for (std::size_t row = 0; row < columns.rows; ++row) {
        for (const int column : {ColZeit, ColStrafzeit, ColTotal}) {
            if (const std::optional<QChar> mark =
                    DecimalMarkOfRaceTime(columns.Cell(row, column))) {
                SetRaceTimeDecimalMark(mark);
                return;
            }
        }
    }
    SetRaceTimeDecimalMark(std::nullopt);
}

bool ProtocolController::FocusStartWhenReady()
{
    if (!m_controls.start->isEnabled())
        return false;
    m_controls.start->setFocus();
    return true;
}

void ProtocolController::RefreshControlStates()
{
    const Controls &f = m_controls;
    const bool clockOff = !f.clock->isActive();
    // A heat waiting for its reset is not over yet.
    const int position1 = m_lanes->Position(0);
    const int position2 = m_lanes->Position(1);
    const bool twoLanes = m_settings.CountBahn == 2;
    const bool ready = f.laneSelectors[0]->count() > 0 && !HeatInProgress() &&
                       (!twoLanes || (f.laneSelectors[1]->count() > 0 && position1 != position2));
    // Each racing lane needs a team; edits may change the very rows the
    // lanes point at, so no race meanwhile.
    const bool lanesHaveTeams = position1 >= 0 && (!twoLanes || position2 >= 0);
    const bool startAvailable = ready && lanesHaveTeams && !f.editMode->isChecked();
    f.start->setEnabled(startAvailable);
    f.start->SetColor(startAvailable ? StartColour : TBitBtnWithColor::ButtonFace());

    const bool hasProtocol = HasProtocol();
    for (QWidget *control : f.needProtocol)
        control->setEnabled(hasProtocol);
    // Leaving edit mode re-sorts the rows, which must not happen while the
    // lanes' selectors still point at the teams on the track.
    f.editMode->setEnabled(hasProtocol && clockOff);
    f.document->setEnabled(hasProtocol && QFile::exists(*f.templatePath));
    f.removeRow->setEnabled(ready && hasProtocol);
    f.clearAll->setEnabled(ready && hasProtocol);
    f.swapLanes->setEnabled(ready);
}

// --- starter lists --------------------------------------------------------------

bool ProtocolController::LoadStarterList(const QString &fileName)
{
    StarterListText list = ReadStarterList(fileName);
    if (!list.ok) {
        CurrentPlatform().MessageBox(
            m_controls.window, Title(),
            QStringLiteral("Die Starterliste kann nicht gelesen werden:\n") + fileName +
                QStringLiteral("\n") + list.error,
            Platform::MessageKind::Error);
        return false;
    }
    // What the old list told no longer holds.
    if (!m_listNotice.isEmpty() && m_controls.statusLine->currentMessage() == m_listNotice)
        m_controls.statusLine->clearMessage();
    if (!UnsavedResultsKept())
        return false;
    const ChangeBatch batch(this);
    NoteChange(Change::Arrangement);
    m_undo->Forget();
    // The old rows' lanes mean nothing in the new list.
    m_lanes->Mark(0, -1);
    m_lanes->Mark(1, -1);
    TSortGrid *grid = m_controls.grid;
    grid->BeginUpdate();
    // The old rows go before the new ones are made, whose texts then take
    // the memory the old ones freed: the program does not grow by a list.
    grid->ReplaceDataRows(1, 0, [](int, int) { return QString(); });
    ProtocolColumns columns = ParseStarterListColumns(std::exchange(list.text, {}));
    // Measured while the texts lie in the order they were read, quicker
    // than through the grid's ranked rows.
    emit textsArriving(columns);
    // An empty list leaves the one blank row a grid needs below its header.
    grid->ReplaceDataRows(std::max(1, int(columns.rows)), columns.cells);
    NumberRowsInStartOrder(*grid);
    PutRowsInRankedOrder(grid);
    ShowRankedOrder(grid);
    grid->EndUpdate();
    FollowDecimalMarkOfTimes();
    FollowLaneRows();
    // The row count changed inside the update bracket, which moves no
    // cursor: the take-over buttons and edit mode start on the first team.
    m_controls.grid->GoToCell(0, 1, true);
    EventName = ::EventName(fileName);
    ListPath = fileName;
    m_controls.window->setWindowTitle(Title() + QStringLiteral(": ") + EventName);
    m_lanes->EnableForTeams();
    // Both lanes, for a switch to two lanes later on.
    if (PutLanesOnNextTeams(2))
        ShowListNotice(StartedOverNotice);
    RefreshControlStates();
    // The list on disk holds everything shown now.
    MarkProtocolSaved();
    if (list.controlsRemoved > 0)
        ShowListNotice(ControlsRemovedNotice(list.controlsRemoved));
    emit protocolReplaced();
    return true;
}

void ProtocolController::sbLoadClick()
{
    if (!ConfirmDiscardingChanges(QStringLiteral("neue Starterliste laden")))
        return;
    const Platform::FileDialogAnswer answer =
        CurrentPlatform().OpenFileDialog(m_controls.window, *m_controls.openDialog);
    if (!answer.accepted)
        return;
    m_controls.openDialog->filterIndex = answer.filterIndex;
    m_controls.openDialog->folder = QFileInfo(answer.fileName).absolutePath();
    if (!LoadStarterList(answer.fileName))
        return;
    m_controls.saveDialog->fileName = PathWithoutExtension(answer.fileName);
    TSortGrid *grid = m_controls.grid;
    grid->SetSelection({0, grid->Row(), grid->ColCount() - 1, grid->Row()});
    RefreshLaneButtons();
    FocusStartWhenReady();
}

// --- lane buttons ---------------------------------------------------------------

void ProtocolController::bStrafeClick(int number)
{
    const PenaltyButton button = DecodePenaltyButton(number);
    const std::uint32_t elapsed = LaneElapsed ? LaneElapsed(button.lane - 1) : 0;
    ChangeLaneRow(button.lane - 1, QStringLiteral("S%1").arg(button.seconds),
                  [&](ProtocolRow &cells) { WritePenalty(cells, elapsed, button.seconds); });
}

void ProtocolController::bDisqulifikation1Click(int laneIndex)
{
    ChangeLaneRow(laneIndex, QStringLiteral("Disqulifikation"),
                  [](ProtocolRow &cells) { WriteResultMark(cells, DisqualifiedMark); });
}

void ProtocolController::sb1delClick(int laneIndex)
{
    ChangeLaneRow(laneIndex, QStringLiteral("Ausfall"),
                  [](ProtocolRow &cells) { WriteResultMark(cells, DropOutMark); });
}

void ProtocolController::ChangeLaneRow(int laneIndex, const QString &what,
                                       const std::function<void(ProtocolRow &)> &change)
{
    const int row = m_lanes->Row(laneIndex);
    if (row < 0)
        return;
    const ProtocolRow before = ReadRow(row);
    ProtocolRow cells = before;
    change(cells);
    const ChangeBatch batch(this);
    WriteRow(row, cells);
    NoteChange(Change::Row, row);
    m_undo->RowChanged(what, row, before);
}

// Programmatic selection raises no change notification, so neither the
// control states nor the grid are refreshed here.
void ProtocolController::seObmenClick()
{
    const ChangeBatch batch(this);
    m_lanes->Swap();
}

// --- lane selection and editing ---------------------------------------------------

void ProtocolController::cbBuhnChange()
{
    RefreshControlStates();
    m_controls.grid->InvalidateGrid();
}

void ProtocolController::sb1Click(int lane)
{
    m_lanes->Selector(lane - 1)->setCurrentIndex(m_controls.grid->Row() - 1);
    cbBuhnChange();
}

// The hidden take-over button's rule also holds for the double click: a
// running race keeps its team on the lane, or its time would go to another.
void ProtocolController::SortGrid1DblClick()
{
    if (m_settings.CountBahn == 1 && TakeOverAvailable(1))
        sb1Click(1);
}

void ProtocolController::SortGrid1RowSelected()
{
    RefreshLaneButtons();
}

// The settings button is unavailable while a race runs.
bool ProtocolController::TakeOverAvailable(int lane) const
{
    return m_controls.settingsButton->isEnabled() && m_lanes->Selector(lane - 1)->count() > 0;
}

void ProtocolController::RefreshLaneButtons()
{
    m_controls.takeOverButtons[0]->setEnabled(TakeOverAvailable(1));
    m_controls.takeOverButtons[1]->setEnabled(TakeOverAvailable(2));
}

void ProtocolController::cbEditONClick()
{
    const ChangeBatch batch(this);
    TSortGrid *grid = m_controls.grid;
    if (m_controls.editMode->isChecked()) {
        grid->SetOptions((grid->Options() | goEditing) & ~TGridOptions(goRowSelect));
        grid->SetSelection({LastSelectedColumn, grid->Row(), LastSelectedColumn, grid->Row()});
        grid->SetCol(LastSelectedColumn);
    } else {
        grid->SetOptions((grid->Options() | goRowSelect) & ~TGridOptions(goEditing));
        RankProtocol();
    }
    RefreshControlStates();
}

// A typed "Zeit" or "Strafzeit" sets "Total" as the race would have; the
// places follow when edit mode is left.
void ProtocolController::CellTyped(int column, int row, const QString &before)
{
    ProtocolRow previous = ReadRow(row);
    previous[column] = before;
    ProtocolRow cells = ReadRow(row);
    DeriveTotalAfterHandEdit(cells, column);
    const ChangeBatch batch(this);
    WriteRow(row, cells);
    NoteChange(Change::Row, row);
    m_undo->RowChanged(QStringLiteral("Zelle geändert"), row, previous);
}
