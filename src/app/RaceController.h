// The race clock: starts one or two lanes together, stops them one by one
// (button, key, mouse press or light barrier), false start and reset. The
// race state lives in the main window's controls (which buttons are
// available, their colours, the clock timer); this class only drives them,
// and it reaches the protocol only through HeatResults and its signals.
#pragma once

#include "app/LanePenalties.h"
#include "app/PressTime.h"
#include "comms/ModemLineEvent.h"
#include "race/BarrierLineFilter.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QStatusBar;
class QTimer;
class QWidget;
class TBitBtnWithColor;
class TDigit;
class TLed;
struct MainSettings;

// What the race asks of the protocol: the teams on the lanes, their times,
// and at a heat's end the ranking and the next teams.
class HeatResults
{
public:
    // A cell of the team on the lane (1 or 2); a null text when the lane has no team.
    virtual QString LaneCell(int lane, int column) const = 0;
    // Both lanes hold one team.
    virtual bool LanesOnOneTeam() const = 0;
    // Writes the time into the column and the two beside it of the lane's
    // (1 or 2) team; false when the lane has no team.
    virtual bool RecordLaneTime(int column, int lane, const QString &text) = 0;
    virtual void RankProtocol() = 0;
    // What the operator is told of the move: a run finished, or a racing
    // lane went back to the first teams; "" for neither.
    virtual QString PutLanesOnNextTeams(int laneCount) = 0;

protected:
    ~HeatResults() = default;
};

class RaceController : public QObject
{
    Q_OBJECT

public:
    // One lane's controls.
    struct LaneControls
    {
        TBitBtnWithColor *stop = nullptr;
        QAction *stopEntry = nullptr;
        // The stopped lane's results: "Ausfall", the penalties, "Disqulifikation".
        TBitBtnWithColor *dropOut = nullptr;
        LanePenaltyButtons penalties{};
        TBitBtnWithColor *disqualify = nullptr;
        std::array<TDigit *, 5> digits{};
        QTimer *lockout = nullptr;
        TLed *led = nullptr;
        QLabel *laps = nullptr;
        QWidget *ledPanel = nullptr;
    };
    // The window's controls the race drives.
    struct Controls
    {
        TBitBtnWithColor *start = nullptr;
        TBitBtnWithColor *falseStart = nullptr;
        TBitBtnWithColor *reset = nullptr;
        QAction *startEntry = nullptr;
        QAction *falseStartEntry = nullptr;
        QAction *resetEntry = nullptr;
        std::array<LaneControls, 2> lanes{};
        QTimer *clock = nullptr;
        // Unavailable while a heat runs.
        std::array<QComboBox *, 2> laneSelectors{};
        QWidget *settingsButton = nullptr;
        QWidget *loadButton = nullptr;
        QCheckBox *editMode = nullptr;
        std::array<QWidget *, 2> takeOverButtons{};
        // Takes the focus that must leave "Fehlstart".
        QWidget *timerBand = nullptr;
        QStatusBar *statusLine = nullptr;
    };

    // Wires the race buttons, key entries and timers to this controller.
    // The stop sound "4.wav" is looked for in the working folder, then in
    // the data folder (as the window finds it, when the sound is played).
    RaceController(const Controls &controls, const MainSettings &settings,
                   const QString &dataFolder, HeatResults &results, QObject *parent);

    // The start sound "3.wav" found when the program started (working
    // folder first, then the data folder); "" for a silent start.
    QString StartSoundFile;

    // Tick at START, shared by both lanes.
    std::uint32_t StartTick = 0;
    // A lane's final time once it stopped (0 from START on); the penalty
    // buttons add to it.
    std::int32_t LaneElapsed[2] = {0, 0};
    // Barrier pulses counted per lane since START.
    std::int32_t LapCount[2] = {0, 0};
    // The barrier inputs: DSR serves lane 1, CTS lane 2.
    BarrierLineFilter LineState[2] = {BarrierLineFilter(MS_DSR_ON), BarrierLineFilter(MS_CTS_ON)};

    // Starts both lanes. A barrier start passes the tick its event was seen
    // at, a key or mouse start the tick of its press.
    void mStartClick(std::optional<std::uint32_t> startTick = std::nullopt);
    // Stops a lane (0 or 1). A barrier stop passes the tick its event was
    // seen at, a key or mouse stop the tick of its press; otherwise the tick
    // is taken before anything else happens.
    void mSTOPClick(int lane, std::optional<std::uint32_t> stopTick = std::nullopt);
    // Stops everything and returns to ready without recording or moving on.
    void bFSTARTClick();
    // Back to ready. The operator's reset moves the lane selectors on to
    // the next starters; the false start's does not.
    void mResetClick(bool moveListsOn);

    void ClockTimer();
    // A lane's barrier lockout ran out.
    void TimerGesperrtTimer(int lane);
    // The first seconds after START, in which Enter and Space on the
    // focused "Fehlstart" declare a false start, are over.
    void FalseStartKeysTimer();

    // Changes of the barrier lines, delivered on the GUI thread.
    void ComPortDSR(const ModemLineEvent &event);
    void ComPortCTS(const ModemLineEvent &event);
    // The lockout LEDs and lap counters are only of use with a port.
    void ComPortOpen();
    void ComPortClose();

    // Puts a time on a lane's five digits; any other lane number does nothing.
    void ShowLaneTime(int lane, std::uint32_t ms);

    // After any change of the protocol during a heat: a lane's notice that
    // its time replaced another goes when that time is no longer there
    // (taken back by Ctrl+Z).
    void ForgetNoticesOfTakenBackTimes();
    // The heat's notices go (at START, and when other teams took the
    // protocol's place); the status line is cleared only while it shows them.
    void ClearRaceNotices();

signals:
    // The course of a heat, told once the controls have followed it: START,
    // a lane's stop (0 or 1), and the way back to ready: heatRan after the
    // operator's reset, not after a false start, whose teams start again.
    void heatStarted();
    void laneStopped(int lane);
    void heatReset(bool heatRan);

protected:
    // Enter and Space on "Fehlstart" once its first seconds are over.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void WireControls();
    // The action of a key entry performed from elsewhere (a mouse press or
    // a barrier): like the key itself, it acts only while the entry is enabled.
    void PerformStart(std::optional<std::uint32_t> startTick = std::nullopt);
    void PerformStop(int lane, std::optional<std::uint32_t> stopTick = std::nullopt);
    void PerformReset();

    // "Fehlstart" clicked, by mouse or key: not by the second press of a
    // double-click whose first press started the race.
    void FalseStartButtonClicked();
    bool FalseStartKeysActive() const;
    void TakeFocusOffFalseStart();
    // One-lane mode: lane 2 records nothing, whatever arrives for it.
    bool LaneSwitchedOff(int lane) const;
    void TellLaneSwitchedOff();
    // START for a team that has a result already says so.
    void AnnounceReRuns();

    void BarrierEvent(int lane, const ModemLineEvent &event);
    void BarrierPulse(int lane, std::uint32_t tick);
    void LockOut(int lane);
    void DisarmLane(int lane);
    void FocusNextStep();
    void MoveListsOn();
    void PlayStopSound();
    void RecordTime(int lane, std::uint32_t elapsed);
    bool OtherLaneRecordedThisTeam(int lane) const;
    void SetLaneNotice(int lane, const QString &text);
    void ShowRaceNotices();
    void MakeResultsAvailable(const LaneControls &lane);
    static void MakeResultsUnavailable(const LaneControls &lane);

    static void MakeAvailable(TBitBtnWithColor *button, const QColor &colour);
    static void MakeUnavailable(TBitBtnWithColor *button);

    Controls m_controls;
    const MainSettings &m_settings;
    const QString &m_dataFolder;
    HeatResults &m_results;
    std::array<LaneControls, 2> &m_lanes = m_controls.lanes;
    // Notices of the heat: lane 1's, lane 2's and the reset's.
    std::array<QString, 3> m_raceNotices;
    QString m_shownRaceNotices;
    // The time each lane's notice says replaced an earlier one, until the
    // reset moves the lanes on.
    std::array<QString, 2> m_replacingTimes;
    // The tick of each lane's last counted lap, once one was counted.
    std::array<bool, 2> m_lapCounted = {false, false};
    std::array<std::uint32_t, 2> m_lapTick = {0, 0};
    PressTime m_pressTime;
    // The tick of the latest press on "Fehlstart".
    std::uint32_t m_falseStartPressTick = 0;
    QTimer *m_falseStartKeys = nullptr;
};
