// The results protocol in the main window: the protocol model, shown by
// the grid SortGrid1 and the two lane selectors. It hands the operator's
// actions (lane times, penalties and marks, lists, removals, edits) to the
// model and keeps the availability of START and of the protocol buttons
// up to date.
#pragma once

#include "app/LanePenalties.h"
#include "app/RaceController.h"
#include "platform/Platform.h"
#include "protocol/ProtocolModel.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class LaneTeams;
class ProtocolGridView;
class QAction;
class QCheckBox;
class QComboBox;
class QStatusBar;
class QTimer;
class QToolButton;
class TBitBtnWithColor;
class TFDlgYesNo;
class TSortGrid;
struct MainSettings;

class ProtocolController : public QObject, public HeatResults
{
    Q_OBJECT

public:
    // The window's controls and records the protocol uses.
    struct Controls
    {
        TSortGrid *grid = nullptr;
        std::array<QComboBox *, 2> laneSelectors{};
        QToolButton *load = nullptr;
        std::array<QToolButton *, 2> takeOverButtons{};
        QCheckBox *editMode = nullptr;
        QToolButton *removeRow = nullptr;
        QToolButton *clearAll = nullptr;
        QToolButton *swapLanes = nullptr;
        // Each lane's result buttons: "Ausfall", the penalties, "Disqulifikation".
        std::array<TBitBtnWithColor *, 2> dropOut{};
        std::array<LanePenaltyButtons, 2> penalties{};
        std::array<TBitBtnWithColor *, 2> disqualify{};
        QAction *undoEntry = nullptr;
        // The run the next heat records, and each lane's "n.a." button.
        QComboBox *runChooser = nullptr;
        std::array<QToolButton *, 2> setAside{};
        // A team registered on the day: the button and its key entry.
        QToolButton *lateEntry = nullptr;
        QAction *lateEntryEntry = nullptr;
        // Available as far as the protocol allows.
        TBitBtnWithColor *start = nullptr;
        std::vector<QWidget *> needProtocol; // save, print, exports, certificates
        QToolButton *document = nullptr;     // also needs the template
        // The race's state, only read: a heat runs from START until its reset.
        const QTimer *clock = nullptr;
        const QAction *resetEntry = nullptr;
        const QWidget *settingsButton = nullptr;
        QStatusBar *statusLine = nullptr;
        // The window: its title names the event; the dialogs' parent.
        QWidget *window = nullptr;
        Platform::FileDialogRequest *openDialog = nullptr;
        Platform::FileDialogRequest *saveDialog = nullptr;
        // Known once the window has found its names, made its dialogs.
        const QString *applicationTitle = nullptr;
        const QString *templatePath = nullptr;
        TFDlgYesNo *const *questions = nullptr;
    };

    ProtocolController(const Controls &controls, const MainSettings &settings, QObject *parent);

    // Keeps the unsaved results in a copy of their own before the protocol
    // is cleared or replaced; false when they could not be kept, and then
    // nothing may replace them. Set by the recovery journal.
    std::function<bool()> KeepUnsavedResults;

    // The lane's stopped time, read by the penalty buttons; set by the owner.
    std::function<std::uint32_t(int laneIndex)> LaneElapsed;

    // Column of the most recently selected cell; edit mode opens there.
    int LastSelectedColumn = 0;
    // The loaded starter list's name without folder and extension.
    QString EventName;
    // The loaded starter list's full path ("" before the first list).
    QString ListPath;

    // The protocol itself.
    ProtocolModel &Model() { return *m_model; }
    const ProtocolModel &Model() const { return *m_model; }

    // Fills "Zeit", "Strafzeit" and "Total" (column, +1, +2) of the team on
    // the lane (1 or 2). false when the lane has no team; nothing is written then.
    bool RecordLaneTime(int column, int lane, const QString &text) override;
    // A cell of the team on the lane (1 or 2); a null text when the lane has no team.
    QString LaneCell(int lane, int column) const override;
    // Both lanes hold one team.
    bool LanesOnOneTeam() const override;
    // Sorts by class and total and writes the places per class.
    void RankProtocol() override;
    void RefreshControlStates();
    // START takes the focus when a heat can start, so that Enter starts it,
    // as after a reset; false when it cannot.
    bool FocusStartWhenReady();
    bool HasProtocol() const;
    // Puts lane 1 (and lane 2, with two lanes) on the next teams in start
    // order, in the next run once the current one is done. The notice for
    // the operator: a run finished, or a racing lane found no team left to
    // run and went back to the first teams.
    QString PutLanesOnNextTeams(int laneCount) override;

    // The teams' classes, each once, in class order.
    QStringList Classes() const { return m_model->Classes(); }
    // Takes the runs per team, the scorings and the lane change from the
    // settings. With results in the protocol a new number of runs is asked
    // for first, and refused (with a notice) while a run that would go holds
    // results; false when the rounds stay as they were.
    bool ChangeRounds(const RoundsSetup &rounds);
    // The operator chose the run the next heat records.
    void ChooseRun(int run);
    // The team on the lane (0 or 1) did not come to the start of this run.
    void SetAsideLaneTeam(int laneIndex);
    // Asks for a team registered on the day and adds it to the start order.
    void AddLateEntry();

    // After the lane count changed: each shown lane holds the next team in
    // start order that has no result and is not on the other lane.
    void LaneCountChanged();

    // Replaces the protocol by the rows of a starter list, keeping unsaved
    // results aside first. false, the protocol untouched, when the file
    // cannot be read (an error box says so) or those results could not be
    // kept (the status line says so).
    bool LoadStarterList(const QString &fileName);
    void sbLoadClick();

    // Lane buttons: the penalty number carries lane (sign) and seconds;
    // the others carry the lane index 0 or 1.
    void bStrafeClick(int number);
    void bDisqulifikation1Click(int laneIndex);
    void sb1delClick(int laneIndex);
    void seObmenClick();

    void cbBuhnChange();
    void sb1Click(int lane);
    void SortGrid1DblClick();
    void SortGrid1RowSelected();
    void cbEditONClick();
    // Removes the current row (all = false) or the whole protocol.
    void sbCLSClick(bool all);
    // Ctrl+Z: takes back the newest change and says so in the status line.
    void TakeBack();

    // Times, penalties, marks or cells changed since the list was loaded or
    // the protocol last saved; an empty protocol has nothing to lose.
    bool ProtocolModified() const { return m_model->Modified(); }
    void MarkProtocolSaved() { m_model->MarkSaved(); }
    // Each row's place in the start order, row 0 first, as the recovery
    // journal keeps it; empty while it is the rows' own order.
    std::vector<int> StartOrder() const { return m_model->StartOrder(); }
    // Puts back a protocol kept by the recovery journal: its rows, their
    // start order (none: the rows' own order), both lanes' teams (rows),
    // its not-saved mark, its runs per team and the run the next heat records.
    void RestoreProtocol(ProtocolTable rows, const std::vector<int> &startOrder, int lane1,
                         int lane2, bool modified, int runs = 1, int currentRun = 1);
    // true when nothing unsaved would be lost, or the operator agrees to
    // lose it for the action ("beenden", "neue Starterliste laden").
    bool ConfirmDiscardingChanges(const QString &action = QStringLiteral("beenden"));

signals:
    // The runs per team changed with a list or a protocol put back.
    void roundsTaken(const RoundsSetup &rounds);
    // Any change of the rows, their cells, order or places, or of the teams
    // on the lanes; one notification per operator action, saying what it covers.
    void protocolChanged(const ProtocolChange &change);
    // Other teams took the protocol's place (a list loaded, a protocol put
    // back, the protocol cleared): no heat that ran before concerns them.
    void protocolReplaced();
    // A list's texts are about to be shown: the columns may widen for them.
    void textsArriving(const ProtocolColumns &columns);
    // Rows came or went: the columns share the grid's width anew.
    void rowCountChanged();

private:
    void Wire();
    // The model changed: the views that are not its own follow.
    void ModelChanged(const ProtocolChange &change);
    bool TakeOverAvailable() const;
    void RefreshLaneButtons();
    // "Lauf k von N" for each run, the current one chosen; hidden with one run.
    void RefreshRunChooser();
    void RemoveCurrentRowAndMoveItsLanes();
    void ClearSelectors();
    // Lanes on these rows (-1: none), the selectors enabled as far as the
    // rows allow, and the controls that depend on them refreshed.
    void PutLanesOn(int lane1, int lane2);
    // Writes `change` into the row of the lane's team, kept for taking back as `what`.
    void ChangeLaneRow(int laneIndex, const QString &what,
                       const std::function<void(ProtocolRow &)> &change);

    // A heat runs from START until its reset.
    bool HeatInProgress() const;
    // true when nothing unsaved is in the protocol, or it has been kept.
    bool UnsavedResultsKept();
    // Asks the operator; false when the window has no dialog to ask with.
    bool Confirm(const QString &question) const;
    void ShowNotice(const QString &text);
    // A notice about the loaded list, which goes with the list.
    void ShowListNotice(const QString &text);
    const QString &Title() const { return *m_controls.applicationTitle; }

    Controls m_controls;
    const MainSettings &m_settings;
    ProtocolModel *m_model;
    ProtocolGridView *m_gridView;
    LaneTeams *m_lanes;
    QFont m_startFont; // as designed for one run
    QString m_listNotice;
    int m_lastRowCount = 0;
};
