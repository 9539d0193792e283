// The race clock and the lane state machine of the main window.
#include "app/RaceController.h"

#include "app/MainSettings.h"
#include "app/ProgramFolders.h"
#include "platform/Platform.h"
#include "protocol/ProtocolModel.h"
#include "protocol/ProtocolTable.h"
#include "race/RaceTime.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/DigitScreenBatch.h"
#include "widgets/Dmn_led.h"
#include "widgets/Udigit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QStyleHints>
#include <QTimer>

namespace {

const QColor StartGreen(0, 128, 0);
const QColor StopRed(255, 0, 0);
const QColor ResetDarkRed(176, 0, 0);
const QColor DropOutYellow(255, 255, 0);
const QColor DisqualifyBlack(0, 0, 0);
// On-segment colour of a digit by significance: a leading zero is drawn dim.
const std::array<QColor, 2> DigitColours = {QColor(64, 64, 64), QColor(255, 255, 0)};

// After a counted lap the lane's barrier is deaf this long (ms), so that a
// bouncing contact counts one lap, not several.
constexpr std::uint32_t LapBounceMs = 100;
// How long after START Enter and Space on the focused "Fehlstart" declare
// a false start (ms).
constexpr std::uint32_t FalseStartKeysMs = 5000;

bool IsButtonKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

RaceController::RaceController(const Controls &controls, const MainSettings &settings,
                               const QString &dataFolder, HeatResults &results, QObject *parent)
    : QObject(parent), m_controls(controls), m_settings(settings), m_dataFolder(dataFolder),
      m_results(results), m_falseStartKeys(new QTimer(this))
{
    WireControls();
}

void RaceController::WireControls()
{
    const Controls &form = m_controls;
    // Enter on the focused button must offer the next step of the race.
    for (TBitBtnWithColor *button :
         {form.start, form.falseStart, form.lanes[0].stop, form.lanes[1].stop, form.reset})
        button->setAutoDefault(true);

    // The buttons' clicks serve the keyboard (accelerator, Space, Enter); a
    // mouse press acts at once and leaves the button unavailable, so its
    // release clicks nothing. Each takes the tick of its press.
    connect(form.start, &QPushButton::clicked, this, [this] { mStartClick(m_pressTime.Tick()); });
    connect(form.startEntry, &QAction::triggered, this,
            [this] { mStartClick(m_pressTime.Tick()); });
    connect(form.start, &TBitBtnWithColor::OnMouseDown, this,
            [this] { PerformStart(m_pressTime.Tick()); });

    for (int lane = 0; lane < 2; ++lane) {
        const LaneControls &controls = m_lanes[lane];
        connect(controls.stop, &QPushButton::clicked, this,
                [this, lane] { mSTOPClick(lane, m_pressTime.Tick()); });
        connect(controls.stopEntry, &QAction::triggered, this,
                [this, lane] { mSTOPClick(lane, m_pressTime.Tick()); });
        connect(controls.stop, &TBitBtnWithColor::OnMouseDown, this,
                [this, lane] { PerformStop(lane, m_pressTime.Tick()); });
        connect(controls.lockout, &QTimer::timeout, this,
                [this, lane] { TimerGesperrtTimer(lane); });
    }

    connect(form.falseStart, &QPushButton::pressed, this,
            [this] { m_falseStartPressTick = m_pressTime.Tick(); });
    connect(form.falseStart, &QPushButton::clicked, this, &RaceController::FalseStartButtonClicked);
    connect(form.falseStartEntry, &QAction::triggered, this, &RaceController::bFSTARTClick);
    form.falseStart->installEventFilter(this);
    m_falseStartKeys->setSingleShot(true);
    m_falseStartKeys->setInterval(int(FalseStartKeysMs));
    connect(m_falseStartKeys, &QTimer::timeout, this, &RaceController::FalseStartKeysTimer);

    connect(form.reset, &QPushButton::clicked, this, [this] { mResetClick(true); });
    connect(form.resetEntry, &QAction::triggered, this, [this] { mResetClick(true); });
    connect(form.reset, &TBitBtnWithColor::OnMouseDown, this, [this] { PerformReset(); });

    connect(form.clock, &QTimer::timeout, this, &RaceController::ClockTimer);
}

void RaceController::PerformStart(std::optional<std::uint32_t> startTick)
{
    if (m_controls.startEntry->isEnabled())
        mStartClick(startTick);
}

void RaceController::PerformStop(int lane, std::optional<std::uint32_t> stopTick)
{
    if (m_lanes[lane].stopEntry->isEnabled())
        mSTOPClick(lane, stopTick);
}

void RaceController::PerformReset()
{
    if (m_controls.resetEntry->isEnabled())
        mResetClick(true);
}

void RaceController::mStartClick(std::optional<std::uint32_t> startTick)
{
    const Controls &form = m_controls;
    // Edit mode may change the rows the lanes stand on: no start of any
    // kind (button, F5, barrier) until it ends.
    if (form.editMode->isChecked())
        return;
    ClearRaceNotices();
    // The sound request does not block, so it may come before the time stamp.
    if (!StartSoundFile.isEmpty())
        CurrentPlatform().PlaySoundFile(StartSoundFile);
    StartTick = startTick.value_or(CurrentPlatform().TickCount());
    form.falseStart->show();
    for (int lane = 0; lane < 2; ++lane) {
        LapCount[lane] = 0;
        m_lapCounted[lane] = false;
        m_lanes[lane].laps->setText(QStringLiteral("0"));
        LaneElapsed[lane] = 0;
    }
    // Both inputs are locked out whatever the lane count: the start pulse
    // itself must not count as a lap of either lane.
    LockOut(0);
    LockOut(1);
    form.clock->start();

    for (QWidget *widget : std::initializer_list<QWidget *>{
             form.laneSelectors[0], form.laneSelectors[1], form.settingsButton, form.loadButton})
        widget->setEnabled(false);
    MakeUnavailable(form.start);
    form.startEntry->setEnabled(false);
    form.falseStart->setEnabled(true);
    form.falseStartEntry->setEnabled(true);
    MakeUnavailable(form.reset);
    form.resetEntry->setEnabled(false);
    for (QWidget *widget : std::initializer_list<QWidget *>{form.editMode, form.takeOverButtons[0],
                                                            form.takeOverButtons[1]})
        widget->setEnabled(false);

    // One-lane mode arms the hidden lane 2 as well; the first stop disarms it.
    for (LaneControls &controls : m_lanes) {
        MakeAvailable(controls.stop, StopRed);
        controls.stopEntry->setEnabled(true);
    }
    form.falseStart->setFocus();
    m_falseStartKeys->start();
    AnnounceReRuns();
    emit heatStarted();
}

void RaceController::AnnounceReRuns()
{
    const HeatResults &protocol = m_results;
    for (int lane = 0; lane < m_settings.CountBahn; ++lane) {
        const QString time = protocol.LaneCell(lane + 1, ColZeit);
        if (IsBlankText(time))
            continue;
        const QString total = protocol.LaneCell(lane + 1, ColTotal);
        SetLaneNotice(
            lane, QStringLiteral("Rennspur %1: Team %2 hat schon %3 – der neue Lauf "
                                 "ersetzt die Zeit")
                      .arg(lane + 1)
                      .arg(protocol.LaneCell(lane + 1, ColNr), IsBlankText(total) ? time : total));
    }
}

// Both lanes' changed digits go to the screen together, straight into the
// window's surface: a hundred times a second, the window's paint pass would
// cost more than the digits.
void RaceController::ClockTimer()
{
    const std::uint32_t now = CurrentPlatform().TickCount();
    const TDigitScreenBatch toScreen;
    for (int lane = 0; lane < 2; ++lane) {
        if (m_lanes[lane].stop->isEnabled())
            ShowLaneTime(lane, ElapsedMs(StartTick, now));
    }
}

void RaceController::mSTOPClick(int lane, std::optional<std::uint32_t> stopTick)
{
    if (LaneSwitchedOff(lane)) {
        TellLaneSwitchedOff();
        return;
    }
    // The time stamp comes before anything else, the sound right after it.
    const std::uint32_t tick = stopTick.value_or(CurrentPlatform().TickCount());
    PlayStopSound();
    const std::uint32_t elapsed = ElapsedMs(StartTick, tick);

    const Controls &form = m_controls;
    const LaneControls &controls = m_lanes[lane];
    DisarmLane(lane);
    MakeResultsAvailable(controls);
    form.falseStart->hide();
    form.falseStart->setEnabled(false);
    form.falseStartEntry->setEnabled(false);
    ShowLaneTime(lane, elapsed);
    RecordTime(lane, elapsed);
    LaneElapsed[lane] = std::int32_t(elapsed);
    if (m_settings.CountBahn == 1)
        DisarmLane(1);
    const bool finished =
        !form.lanes[0].stopEntry->isEnabled() && !form.lanes[1].stopEntry->isEnabled();
    form.reset->setEnabled(finished);
    form.resetEntry->setEnabled(finished);
    FocusNextStep();
    emit laneStopped(lane);
}

void RaceController::PlayStopSound()
{
    const QString stopSound = FindSoundFile(QStringLiteral("4.wav"), m_dataFolder);
    if (!stopSound.isEmpty())
        CurrentPlatform().PlaySoundFile(stopSound);
    else
        CurrentPlatform().PlayDefaultSound();
}

void RaceController::RecordTime(int lane, std::uint32_t elapsed)
{
    // A lane without a team keeps its time on the digits only; the race
    // goes on, the operator just learns about it. A re-run replaces the
    // team's time, but never unannounced.
    HeatResults &protocol = m_results;
    const QString text = FormatRaceTime(elapsed);
    const QString before = protocol.LaneCell(lane + 1, ColZeit);
    const bool replaces = !IsBlankText(before);
    if (OtherLaneRecordedThisTeam(lane) || !protocol.RecordLaneTime(ColZeit, lane + 1, text))
        SetLaneNotice(lane,
                      QStringLiteral("Rennspur %1: %2 nicht eingetragen").arg(lane + 1).arg(text));
    else if (replaces) {
        SetLaneNotice(lane, QStringLiteral("Team %1 %2: %3 ersetzt durch %4")
                                .arg(protocol.LaneCell(lane + 1, ColNr),
                                     protocol.LaneCell(lane + 1, ColTeamName), before, text));
        m_replacingTimes[lane] = text;
    }
}

void RaceController::ForgetNoticesOfTakenBackTimes()
{
    bool forgotten = false;
    for (int lane : {0, 1}) {
        QString &time = m_replacingTimes[lane];
        if (time.isEmpty() || m_results.LaneCell(lane + 1, ColZeit) == time)
            continue;
        time.clear();
        m_raceNotices[lane].clear();
        forgotten = true;
    }
    if (!forgotten)
        return;
    // Only what the race shows is taken down; another notice stays.
    if (!m_shownRaceNotices.isEmpty() &&
        m_controls.statusLine->currentMessage() == m_shownRaceNotices)
        ShowRaceNotices();
}

// Each lane's notice stays readable until the next START, next to the
// other lane's and to the reset's.
void RaceController::SetLaneNotice(int lane, const QString &text)
{
    m_raceNotices[lane] = text;
    m_replacingTimes[lane].clear();
    ShowRaceNotices();
}

void RaceController::ShowRaceNotices()
{
    QStringList shown;
    for (const QString &notice : m_raceNotices) {
        if (!notice.isEmpty())
            shown << notice;
    }
    m_shownRaceNotices = shown.join(QStringLiteral("   |   "));
    m_controls.statusLine->showMessage(m_shownRaceNotices);
}

// Other notices (the barrier port's) that came since stay.
void RaceController::ClearRaceNotices()
{
    for (QString &notice : m_raceNotices)
        notice.clear();
    m_replacingTimes = {};
    if (!m_shownRaceNotices.isEmpty() &&
        m_controls.statusLine->currentMessage() == m_shownRaceNotices)
        m_controls.statusLine->clearMessage();
    m_shownRaceNotices.clear();
}

// F5 starts even when both lanes' selectors name one team; the time the
// other lane already wrote into that team's row in this heat stays.
bool RaceController::OtherLaneRecordedThisTeam(int lane) const
{
    return m_settings.CountBahn > 1 && m_results.LanesOnOneTeam() &&
           m_lanes[1 - lane].dropOut->isEnabled();
}

void RaceController::DisarmLane(int lane)
{
    // A focused button that becomes unavailable hands the focus on along
    // the window's tab order, to the protocol grid, which repaints whole on
    // it, only for the next step to take it back: it lets go of it first.
    if (m_lanes[lane].stop->hasFocus())
        m_lanes[lane].stop->clearFocus();
    MakeUnavailable(m_lanes[lane].stop);
    m_lanes[lane].stopEntry->setEnabled(false);
}

// Enter always offers the next step: the other running lane's stop, or the
// reset once every lane has stopped.
void RaceController::FocusNextStep()
{
    const Controls &form = m_controls;
    if (form.lanes[0].stop->isEnabled()) {
        form.lanes[0].stop->setFocus();
    } else if (form.lanes[1].stop->isEnabled()) {
        form.lanes[1].stop->setFocus();
    } else if (form.reset->isEnabled()) {
        form.clock->stop();
        form.reset->setFocus();
        form.reset->SetColor(ResetDarkRed);
        form.editMode->setEnabled(true);
    }
}

bool RaceController::LaneSwitchedOff(int lane) const
{
    return lane == 1 && m_settings.CountBahn == 1;
}

void RaceController::TellLaneSwitchedOff()
{
    SetLaneNotice(1, QStringLiteral("Rennspur 2 ist ausgeschaltet: Zeit nicht eingetragen"));
}

// START acts at its press and shows "Fehlstart" under the pointer.
void RaceController::FalseStartButtonClicked()
{
    const auto doubleClickMs =
        std::uint32_t(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    if (ElapsedMs(StartTick, m_falseStartPressTick) >= doubleClickMs)
        bFSTARTClick();
}

void RaceController::bFSTARTClick()
{
    m_controls.clock->stop();
    DisarmLane(0);
    DisarmLane(1);
    mResetClick(false);
    m_raceNotices[2] = QStringLiteral("Fehlstart: Lauf abgebrochen");
    ShowRaceNotices();
}

bool RaceController::FalseStartKeysActive() const
{
    return ElapsedMs(StartTick, m_pressTime.Tick()) < FalseStartKeysMs;
}

void RaceController::FalseStartKeysTimer()
{
    TakeFocusOffFalseStart();
}

// Enter and Space, meant for "Fehlstart" right after START, must neither
// abort the run later nor stop a lane: the focus goes where they do
// nothing. F6 and a click still declare the false start.
void RaceController::TakeFocusOffFalseStart()
{
    if (m_controls.falseStart->hasFocus())
        m_controls.timerBand->setFocus();
}

// A held key repeats: never a false start. Only key presses are looked
// at: the window is being taken down when other events come last.
bool RaceController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || watched != m_controls.falseStart)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (!IsButtonKey(key->key()) || (!key->isAutoRepeat() && FalseStartKeysActive()))
        return false;
    TakeFocusOffFalseStart();
    return true;
}

void RaceController::mResetClick(bool moveListsOn)
{
    const Controls &form = m_controls;
    // A running lockout runs out (its LED stays lit until then): the rest of
    // a beam interruption or a car still in the beam must not start a race.
    for (LaneControls &controls : m_lanes)
        controls.laps->clear();
    ShowLaneTime(0, 0);
    ShowLaneTime(1, 0);
    // The lanes move on: their teams' times are no longer theirs to check.
    m_replacingTimes = {};
    m_results.RankProtocol();
    if (moveListsOn)
        MoveListsOn();
    form.settingsButton->setEnabled(true);
    form.loadButton->setEnabled(true);
    MakeAvailable(form.start, StartGreen);
    // Straight to the next step, before the buttons that had the focus go:
    // not by way of the grid next in the tab order, which would repaint.
    form.start->setFocus();
    form.startEntry->setEnabled(true);
    MakeUnavailable(form.reset);
    form.resetEntry->setEnabled(false);
    for (const LaneControls &controls : m_lanes)
        MakeResultsUnavailable(controls);
    form.falseStart->hide();
    form.falseStart->setEnabled(false);
    form.falseStartEntry->setEnabled(false);
    form.laneSelectors[0]->setEnabled(true);
    form.laneSelectors[1]->setEnabled(true);
    emit heatReset(moveListsOn);
}

// On to the next teams in start order; past the end of the list the
// first teams run again, and their next times replace the old ones.
void RaceController::MoveListsOn()
{
    if (const QString notice = m_results.PutLanesOnNextTeams(m_settings.CountBahn);
        !notice.isEmpty()) {
        m_raceNotices[2] = notice;
        ShowRaceNotices();
    }
}

void RaceController::TimerGesperrtTimer(int lane)
{
    m_lanes[lane].lockout->stop();
    m_lanes[lane].led->SetValue(false);
}

void RaceController::LockOut(int lane)
{
    m_lanes[lane].lockout->start();
    m_lanes[lane].led->SetValue(true);
}

void RaceController::ComPortDSR(const ModemLineEvent &event)
{
    BarrierEvent(0, event);
}

void RaceController::ComPortCTS(const ModemLineEvent &event)
{
    BarrierEvent(1, event);
}

void RaceController::BarrierEvent(int lane, const ModemLineEvent &event)
{
    if (LineState[lane].IsPulse(event.modemStatus, m_settings.Alg))
        BarrierPulse(lane, event.tick);
}

// Only START and a barrier stop lock an input out; intermediate laps do not.
void RaceController::BarrierPulse(int lane, std::uint32_t tick)
{
    LaneControls &controls = m_lanes[lane];
    if (controls.lockout->isActive())
        return;
    if (m_controls.start->isEnabled()) {
        PerformStart(tick);
        LockOut(lane);
    } else if (LaneSwitchedOff(lane)) {
        if (controls.stop->isEnabled())
            TellLaneSwitchedOff();
    } else if (controls.stop->isEnabled()) {
        // A bouncing contact gives several pulses for one beam break.
        if (m_lapCounted[lane] && ElapsedMs(m_lapTick[lane], tick) < LapBounceMs)
            return;
        ++LapCount[lane];
        m_lapCounted[lane] = true;
        m_lapTick[lane] = tick;
        controls.laps->setText(QString::number(LapCount[lane]));
        // The car is on its way round: no false start to show any more, but
        // F6 still works.
        if (m_controls.falseStart->isEnabled()) {
            TakeFocusOffFalseStart();
            m_controls.falseStart->hide();
        }
        if (LapCount[lane] >= m_settings.Laps) {
            PerformStop(lane, tick);
            LockOut(lane);
        }
    }
}

// Lane 2's panel sits in lane 2's button panel, which the one-lane layout hides.
void RaceController::ComPortOpen()
{
    for (LaneControls &controls : m_lanes)
        controls.ledPanel->show();
}

void RaceController::ComPortClose()
{
    for (LaneControls &controls : m_lanes)
        controls.ledPanel->hide();
}

void RaceController::ShowLaneTime(int lane, std::uint32_t ms)
{
    if (lane < 0 || lane > 1)
        return;
    const LaneDigits split = SplitLaneTime(ms);
    for (std::size_t i = 0; i < split.values.size(); ++i) {
        TDigit *digit = m_lanes[lane].digits[i];
        digit->SetValue(split.values[i]);
        digit->SetColorOn(DigitColours[split.significant[i]]);
    }
}

void RaceController::MakeResultsAvailable(const LaneControls &lane)
{
    MakeAvailable(lane.dropOut, DropOutYellow);
    for (std::size_t i = 0; i < LanePenalties.size(); ++i)
        MakeAvailable(lane.penalties[i], QColor(LanePenalties[i].face));
    MakeAvailable(lane.disqualify, DisqualifyBlack);
}

void RaceController::MakeResultsUnavailable(const LaneControls &lane)
{
    MakeUnavailable(lane.dropOut);
    for (TBitBtnWithColor *penalty : lane.penalties)
        MakeUnavailable(penalty);
    MakeUnavailable(lane.disqualify);
}

void RaceController::MakeAvailable(TBitBtnWithColor *button, const QColor &colour)
{
    button->setEnabled(true);
    button->SetColor(colour);
}

// An unavailable button shows the plain button face whatever its role.
void RaceController::MakeUnavailable(TBitBtnWithColor *button)
{
    button->setEnabled(false);
    button->SetColor(TBitBtnWithColor::ButtonFace());
}
