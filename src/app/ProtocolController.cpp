#include "app/ProtocolController.h"

#include "app/DlgYesNo.h"
#include "app/LaneTeams.h"
#include "app/LateEntryDialog.h"
#include "app/MainSettings.h"
#include "app/ProtocolGridView.h"
#include "platform/Platform.h"
#include "protocol/Penalties.h"
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
#include <utility>

namespace {

const QColor StartColour(0, 128, 0);

} // namespace

ProtocolController::ProtocolController(const Controls &controls, const MainSettings &settings,
                                       QObject *parent)
    : QObject(parent), m_controls(controls), m_settings(settings), m_model(new ProtocolModel(this)),
      m_gridView(new ProtocolGridView(controls.grid, *m_model, settings.CountBahn, this)),
      m_lanes(new LaneTeams(*m_model, controls.laneSelectors, this)),
      m_startFont(controls.start->font())
{
    Wire();
    connect(m_gridView, &ProtocolGridView::columnsChanged, this,
            &ProtocolController::rowCountChanged);
    // No protocol yet: times follow the locale.
    SetRaceTimeDecimalMark(std::nullopt);
}

void ProtocolController::Wire()
{
    const Controls &f = m_controls;
    TSortGrid *grid = f.grid;
    connect(m_model, &ProtocolModel::changed, this, &ProtocolController::ModelChanged);
    connect(m_model, &ProtocolModel::replaced, this, &ProtocolController::protocolReplaced);
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
            m_model->FinishHandEdit(row - 1, column, before);
    };
    grid->OnRowSelected = [this](QObject *) { SortGrid1RowSelected(); };
    grid->OnDblClick = [this](QObject *) { SortGrid1DblClick(); };

    connect(f.load, &QToolButton::clicked, this, &ProtocolController::sbLoadClick);
    for (QComboBox *selector : f.laneSelectors)
        connect(selector, &QComboBox::activated, this, &ProtocolController::cbBuhnChange);
    connect(f.takeOverButtons[0], &QToolButton::clicked, this, [this] { sb1Click(1); });
    connect(f.takeOverButtons[1], &QToolButton::clicked, this, [this] { sb1Click(2); });
    connect(f.editMode, &QCheckBox::clicked, this, &ProtocolController::cbEditONClick);
    connect(f.removeRow, &QToolButton::clicked, this, [this] { sbCLSClick(false); });
    connect(f.clearAll, &QToolButton::clicked, this, [this] { sbCLSClick(true); });
    connect(f.swapLanes, &QToolButton::clicked, this, &ProtocolController::seObmenClick);
    connect(f.undoEntry, &QAction::triggered, this, &ProtocolController::TakeBack);
    connect(f.lateEntry, &QToolButton::clicked, this, &ProtocolController::AddLateEntry);
    connect(f.lateEntryEntry, &QAction::triggered, this, &ProtocolController::AddLateEntry);
    connect(f.runChooser, &QComboBox::activated, this, [this](int index) { ChooseRun(index + 1); });
    connect(f.setAside[0], &QToolButton::clicked, this, [this] { SetAsideLaneTeam(0); });
    connect(f.setAside[1], &QToolButton::clicked, this, [this] { SetAsideLaneTeam(1); });
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

// Rows that came or went change how the columns share the grid's width.
void ProtocolController::ModelChanged(const ProtocolChange &change)
{
    RefreshRunChooser();
    emit protocolChanged(change);
    if (std::exchange(m_lastRowCount, m_model->TeamCount()) != m_model->TeamCount())
        emit rowCountChanged();
}

void ProtocolController::RestoreProtocol(ProtocolTable rows, const std::vector<int> &startOrder,
                                         int lane1, int lane2, bool modified, int runs,
                                         int currentRun)
{
    const ProtocolModel::Batch batch(*m_model);
    m_model->Restore(std::move(rows), startOrder, lane1, lane2, modified, runs, currentRun);
    emit roundsTaken(m_model->Rounds());
    PutLanesOn(m_model->LaneRow(0), m_model->LaneRow(1));
}

void ProtocolController::PutLanesOn(int lane1, int lane2)
{
    m_model->SetLaneRows(lane1, lane2);
    m_lanes->EnableForTeams();
    RefreshControlStates();
    RefreshLaneButtons();
    emit rowCountChanged();
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

bool ProtocolController::HasProtocol() const
{
    return m_model->HasProtocol();
}

// --- recording and ranking ------------------------------------------------------

bool ProtocolController::RecordLaneTime(int column, int lane, const QString &text)
{
    if (!m_model->RecordLaneTime(lane - 1, column, text))
        return false;
    RefreshControlStates();
    return true;
}

QString ProtocolController::LaneCell(int lane, int column) const
{
    const int row = m_model->LaneRow(lane - 1);
    return row < 0 ? QString() : m_model->Cell(row, column).toString();
}

bool ProtocolController::LanesOnOneTeam() const
{
    return m_model->LaneRow(0) >= 0 && m_model->LaneRow(0) == m_model->LaneRow(1);
}

void ProtocolController::LaneCountChanged()
{
    if (!HasProtocol() || HeatInProgress())
        return;
    if (const QString notice = PutLanesOnNextTeams(m_settings.CountBahn); !notice.isEmpty())
        ShowNotice(notice);
    RefreshLaneButtons();
    RefreshControlStates();
}

QString ProtocolController::PutLanesOnNextTeams(int laneCount)
{
    return m_model->PutLanesOnNextTeams(laneCount, m_settings.CountBahn);
}

void ProtocolController::RankProtocol()
{
    m_model->Rank();
    m_gridView->ShowRankedOrder();
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
    const int lane1 = m_model->LaneRow(0);
    const int lane2 = m_model->LaneRow(1);
    const bool twoLanes = m_settings.CountBahn == 2;
    const bool ready =
        m_model->TeamCount() > 0 && !HeatInProgress() && (!twoLanes || lane1 != lane2);
    // Each racing lane needs a team; edits may change the very rows the
    // lanes point at, so no race meanwhile.
    const bool lanesHaveTeams = lane1 >= 0 && (!twoLanes || lane2 >= 0);
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
    f.runChooser->setEnabled(!HeatInProgress());
    // A late entry joins between heats; edits in progress keep their rows.
    const bool between = !HeatInProgress() && !f.editMode->isChecked();
    f.lateEntry->setEnabled(between);
    f.lateEntryEntry->setEnabled(between);
    for (const std::size_t lane : {0u, 1u})
        f.setAside[lane]->setEnabled(ready && m_model->LaneRow(int(lane)) >= 0);
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
    const ProtocolModel::Batch batch(*m_model);
    // The old rows go before the new ones are made, whose texts then take
    // the memory the old ones freed: the program does not grow by a list.
    m_model->LoadList({});
    ProtocolColumns columns = ParseStarterListColumns(std::exchange(list.text, {}));
    // Measured while the texts lie in the order they were read, quicker
    // than through the ranked rows.
    emit textsArriving(columns);
    m_model->LoadList(std::move(columns));
    emit roundsTaken(m_model->Rounds());
    m_gridView->ShowRankedOrder();
    // The take-over buttons and edit mode start on the first team.
    m_controls.grid->GoToCell(0, 1, true);
    EventName = ::EventName(fileName);
    ListPath = fileName;
    m_controls.window->setWindowTitle(Title() + QStringLiteral(": ") + EventName);
    m_lanes->EnableForTeams();
    // Both lanes, for a switch to two lanes later on.
    if (const QString notice = PutLanesOnNextTeams(2); !notice.isEmpty())
        ShowListNotice(notice);
    RefreshControlStates();
    if (list.controlsRemoved > 0)
        ShowListNotice(ControlsRemovedNotice(list.controlsRemoved));
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

// --- runs -------------------------------------------------------------------------

bool ProtocolController::ChangeRounds(const RoundsSetup &rounds)
{
    if (rounds.runs != m_model->Runs() && m_model->HasResults()) {
        if (m_model->LaterRunsHoldResults(rounds.runs)) {
            ShowNotice(QStringLiteral("Wertungsläufe nicht geändert: Lauf %1 hat schon Ergebnisse")
                           .arg(rounds.runs + 1));
            return false;
        }
        if (!Confirm(QStringLiteral("Wertungsläufe ändern? Vorhandene Läufe bleiben erhalten.")))
            return false;
    }
    const ProtocolModel::Batch batch(*m_model);
    if (!m_model->SetRounds(rounds))
        return false;
    m_gridView->ShowRankedOrder();
    return true;
}

void ProtocolController::ChooseRun(int run)
{
    m_model->ChooseRun(run, m_settings.CountBahn);
    RefreshControlStates();
}

void ProtocolController::SetAsideLaneTeam(int laneIndex)
{
    m_model->SetAsideLaneTeam(laneIndex);
    RefreshControlStates();
}

void ProtocolController::AddLateEntry()
{
    if (!m_controls.lateEntry->isEnabled())
        return;
    LateEntryDialog dialog(m_model->Classes(), NextFreeNumber(*m_model), m_controls.window);
    if (CurrentPlatform().ExecDialog(&dialog) != QDialog::Accepted)
        return;
    const ProtocolModel::Batch batch(*m_model);
    const bool firstTeams = m_model->TeamCount() == 0;
    m_model->AddLateEntry(dialog.Team());
    m_gridView->ShowRankedOrder();
    if (firstTeams)
        m_lanes->EnableForTeams();
    RefreshControlStates();
    RefreshLaneButtons();
    ShowNotice(QStringLiteral("Nachgemeldet: Team %1 %2")
                   .arg(dialog.Team()[ColNr], dialog.Team()[ColTeamName]));
}

void ProtocolController::RefreshRunChooser()
{
    QComboBox *chooser = m_controls.runChooser;
    const int runs = m_model->Runs();
    if (chooser->isVisibleTo(chooser->parentWidget()) != (runs >= 2))
        chooser->setVisible(runs >= 2);
    if (chooser->count() != runs) {
        chooser->clear();
        for (int run = 1; run <= runs; ++run)
            chooser->addItem(QStringLiteral("Lauf %1 von %2").arg(run).arg(runs));
    }
    chooser->setCurrentIndex(m_model->CurrentRun() - 1);
    // START names the run it records, in a smaller face to fit.
    TBitBtnWithColor *start = m_controls.start;
    QFont font = m_startFont;
    if (runs >= 2)
        font.setPixelSize(std::max(10, m_startFont.pixelSize() * 2 / 3));
    const QString caption = runs >= 2 ? QStringLiteral("&START Lauf %1").arg(m_model->CurrentRun())
                                      : QStringLiteral("&START");
    // Told of every stop: a button left as it is is not laid out again.
    if (start->text() != caption) {
        start->setFont(font);
        start->setText(caption);
    }
}

// --- lane buttons ---------------------------------------------------------------

void ProtocolController::bStrafeClick(int number)
{
    const PenaltyButton button = DecodePenaltyButton(number);
    const std::uint32_t elapsed = LaneElapsed ? LaneElapsed(button.lane - 1) : 0;
    m_model->ChangeLaneRow(
        button.lane - 1, QStringLiteral("S%1").arg(button.seconds),
        [&](ProtocolRow &cells) { WritePenalty(cells, elapsed, button.seconds); });
}

void ProtocolController::bDisqulifikation1Click(int laneIndex)
{
    m_model->ChangeLaneRow(laneIndex, QStringLiteral("Disqulifikation"),
                           [](ProtocolRow &cells) { WriteResultMark(cells, DisqualifiedMark); });
}

void ProtocolController::sb1delClick(int laneIndex)
{
    m_model->ChangeLaneRow(laneIndex, QStringLiteral("Ausfall"),
                           [](ProtocolRow &cells) { WriteResultMark(cells, DropOutMark); });
}

void ProtocolController::seObmenClick()
{
    m_model->SwapLanes();
}

// --- lane selection and editing ---------------------------------------------------

void ProtocolController::cbBuhnChange()
{
    RefreshControlStates();
    m_controls.grid->InvalidateGrid();
}

void ProtocolController::sb1Click(int lane)
{
    m_model->SetLaneRow(lane - 1, m_controls.grid->Row() - 1);
    cbBuhnChange();
}

// The hidden take-over button's rule also holds for the double click: a
// running race keeps its team on the lane, or its time would go to another.
void ProtocolController::SortGrid1DblClick()
{
    if (m_settings.CountBahn == 1 && TakeOverAvailable())
        sb1Click(1);
}

void ProtocolController::SortGrid1RowSelected()
{
    RefreshLaneButtons();
}

// The settings button is unavailable while a race runs.
bool ProtocolController::TakeOverAvailable() const
{
    return m_controls.settingsButton->isEnabled() && m_model->TeamCount() > 0;
}

void ProtocolController::RefreshLaneButtons()
{
    m_controls.takeOverButtons[0]->setEnabled(TakeOverAvailable());
    m_controls.takeOverButtons[1]->setEnabled(TakeOverAvailable());
}

void ProtocolController::cbEditONClick()
{
    const ProtocolModel::Batch batch(*m_model);
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

// --- taking back ------------------------------------------------------------------

void ProtocolController::TakeBack()
{
    const TakenBack taken = m_model->TakeBack(HeatInProgress());
    switch (taken.outcome) {
    case TakenBack::Outcome::Nothing:
        ShowNotice(QStringLiteral("Nichts zurückzunehmen"));
        return;
    case TakenBack::Outcome::AfterHeat:
        ShowNotice(QStringLiteral("Erst nach dem Lauf zurückzunehmen: ") + taken.what);
        return;
    case TakenBack::Outcome::Gone:
        ShowNotice(QStringLiteral("Nicht mehr zurückzunehmen: ") + taken.what);
        return;
    case TakenBack::Outcome::Done:
        break;
    }
    if (!HasProtocol()) {
        ClearSelectors();
    } else if (HeatInProgress()) {
        RefreshControlStates();
    } else {
        if (taken.ranked)
            m_gridView->ShowRankedOrder();
        PutLanesOn(m_model->LaneRow(0), m_model->LaneRow(1));
    }
    ShowNotice(QStringLiteral("Zurückgenommen: ") + taken.what);
}
