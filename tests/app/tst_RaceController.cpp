// The race clock in the real main window: buttons, keys, mouse presses,
// barrier events and timers, on a fake tick; no test waits for a timer.
#include "MainWindowFixture.h"
#include "PaintCounter.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/Dmn_led.h"
#include "widgets/SortGrid.h"
#include "widgets/Udigit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using Positions = QPair<int, int>;

namespace {

const QColor Yellow(255, 255, 0);
const QColor DimGrey(64, 64, 64);

QColor ButtonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

enum class ResetBy { Button, MousePress, AltZero, FalseStart };
enum class PressBy { AltKey, MousePress };

// START at HeatStart; a stop pressed at Pressed reaches the GUI thread at
// Handled, after it was busy with other work.
constexpr std::uint32_t HeatStart = 1000000;
constexpr std::uint32_t Pressed = HeatStart + 5000;
constexpr std::uint32_t Handled = Pressed + 300;

} // namespace

Q_DECLARE_METATYPE(ResetBy)
Q_DECLARE_METATYPE(PressBy)

class TestRaceController : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;
    TFormMain *m_form = nullptr;
    RaceController *m_race = nullptr;

    void UseLanes(int laneCount)
    {
        m_form->Settings.CountBahn = laneCount;
        m_form->ApplyLaneCount();
    }

    // Teams "Team1" ... "Team<count>" of class 1.
    void LoadStarters(int count)
    {
        QStringList names;
        for (int nr = 1; nr <= count; ++nr)
            names << QStringLiteral("Team%1").arg(nr);
        m_program.Load(MainWindowFixture::Teams(names));
    }

    void SetPositions(int lane1, int lane2)
    {
        m_form->cbBuhn1->setCurrentIndex(lane1);
        m_form->cbBuhn2->setCurrentIndex(lane2);
        m_form->Protocol->RefreshControlStates();
    }

    Positions CurrentPositions() const
    {
        return {m_form->cbBuhn1->currentIndex(), m_form->cbBuhn2->currentIndex()};
    }

    // "Zeit" of the team selected on a lane (0 or 1), found by its start number.
    QString RecordedTime(int lane) const
    {
        const QComboBox *list = lane == 0 ? m_form->cbBuhn1 : m_form->cbBuhn2;
        const QString number = list->currentText().section(QLatin1Char(' '), 0, 0);
        for (const QStringList &row : m_program.GridRows()) {
            if (row[ColNr] == number)
                return row[ColZeit];
        }
        return QStringLiteral("<no row>");
    }

    int RecordedCount() const
    {
        const QStringList times = m_program.GridColumn(ColZeit);
        return int(times.size() - times.count(QString()));
    }

    QList<TDigit *> Digits(int lane) const
    {
        if (lane == 0)
            return {m_form->Digit1_1, m_form->Digit1_2, m_form->Digit1_3, m_form->Digit1_4,
                    m_form->Digit1_5};
        return {m_form->Digit2_1, m_form->Digit2_2, m_form->Digit2_3, m_form->Digit2_4,
                m_form->Digit2_5};
    }

    // The lane's display as text, "083,45".
    QString Shown(int lane) const
    {
        QString text;
        for (TDigit *digit : Digits(lane))
            text += QString::number(digit->Value());
        return text.insert(3, QLatin1Char(','));
    }

    // One beam interruption on a barrier input: the line goes on at tick
    // and off again width ms later.
    void Interrupt(int lane, std::uint32_t tick, std::uint32_t width = 0)
    {
        const std::uint8_t on = lane == 0 ? MS_DSR_ON : MS_CTS_ON;
        const ModemLineEvent events[] = {{tick, on}, {tick + width, 0}};
        for (const ModemLineEvent &event : events)
            lane == 0 ? m_race->ComPortDSR(event) : m_race->ComPortCTS(event);
    }

    void EndLockouts()
    {
        m_race->TimerGesperrtTimer(0);
        m_race->TimerGesperrtTimer(1);
    }

    // A press as the platform delivers it, with the time stamp it carries
    // (0: none).
    void PressStop(int lane, PressBy by, std::uint32_t stamp)
    {
        if (by == PressBy::AltKey) {
            QVERIFY(qt_sendShortcutOverrideEvent(m_form, stamp, lane == 0 ? Qt::Key_1 : Qt::Key_2,
                                                 Qt::AltModifier));
            return;
        }
        TBitBtnWithColor *button = lane == 0 ? m_form->bSTOP1 : m_form->bSTOP2;
        const QPointF at = button->rect().center();
        QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        press.setTimestamp(stamp);
        QApplication::sendEvent(button, &press);
    }

    void StartActiveWindow()
    {
        LoadStarters(5);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        m_program.Platform().SetTick(HeatStart);
        m_form->mStart->trigger();
    }

    void StopSecondLaneIfArmed()
    {
        if (m_form->mStop2->isEnabled())
            m_form->mStop2->trigger();
    }

private slots:
    void initTestCase() { m_program.Enter(); }

    void init()
    {
        // Every test starts from the first-run settings.
        m_program.Open();
        m_form = m_program.Form();
        m_race = m_form->Race;
        QVERIFY(m_race);
    }

    void cleanup()
    {
        m_program.Close();
        QFile::remove(m_program.Folder().FilePath(QStringLiteral("4.wav")));
    }

    void stopShowsAndRecordsTime_data()
    {
        QTest::addColumn<int>("lane");
        QTest::addColumn<quint32>("startTick");
        QTest::addColumn<quint32>("elapsed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("firstDigit");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("lane 1, 83 459 ms")
            << 0 << 5000u << 83459u << "083,45" << DimGrey << "83,45";
        QTest::newRow("lane 2, 1234.5 s: hundreds digit overflows")
            << 1 << 5000u << 1234500u << "034,50" << Yellow << "1234,50";
        QTest::newRow("tick wraps during the race")
            << 0 << 0xFFFF0000u << 83459u << "083,45" << DimGrey << "83,45";
    }
    void stopShowsAndRecordsTime()
    {
        QFETCH(int, lane);
        QFETCH(quint32, startTick);
        QFETCH(quint32, elapsed);
        LoadStarters(5);
        m_program.Platform().SetTick(startTick);
        m_form->bSTART->click();
        m_program.Platform().AdvanceTick(elapsed);
        (lane == 0 ? m_form->bSTOP1 : m_form->bSTOP2)->click();

        QTEST(Shown(lane), "shown");
        QTEST(Digits(lane)[0]->ColorOn(), "firstDigit");
        QCOMPARE(Digits(lane)[1]->ColorOn(), Yellow);
        QTEST(RecordedTime(lane), "recorded");
        QCOMPARE(m_race->LaneElapsed[lane], std::int32_t(elapsed));

        const int other = 1 - lane;
        TBitBtnWithColor *stopped = lane == 0 ? m_form->bSTOP1 : m_form->bSTOP2;
        TBitBtnWithColor *running = lane == 0 ? m_form->bSTOP2 : m_form->bSTOP1;
        QVERIFY(!stopped->isEnabled());
        QCOMPARE(stopped->Color(), ButtonFace());
        QVERIFY(running->isEnabled());
        QCOMPARE(m_form->focusWidget(), running);
        const QList<TBitBtnWithColor *> laneButtons =
            lane == 0 ? QList<TBitBtnWithColor *>{m_form->sb1del, m_form->bStrafe15_1,
                                                  m_form->bStrafe30_1, m_form->bDisqulifikation1}
                      : QList<TBitBtnWithColor *>{m_form->sb2del, m_form->bStrafe15_2,
                                                  m_form->bStrafe30_2, m_form->bDisqulifikation2};
        const QList<QColor> colours{Yellow, QColor(0, 240, 240), QColor(0, 0, 255), Qt::black};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(laneButtons[i]->isEnabled());
            QCOMPARE(laneButtons[i]->Color(), colours[i]);
        }
        QVERIFY(!m_form->bFSTART->isEnabled() && !m_form->mFSTART->isEnabled());
        QVERIFY(m_form->bFSTART->isHidden());
        QVERIFY(!m_form->bRESET->isEnabled() && m_form->Clock->isActive());
        QCOMPARE(RecordedTime(other), QString());
    }

    void clockRefreshesRunningLanesOnly()
    {
        m_program.Platform().SetTick(0xFFFFFF00u);
        m_form->mStart->trigger();
        m_program.Platform().AdvanceTick(5000);
        m_race->ClockTimer();
        QCOMPARE(Shown(0), QStringLiteral("005,00"));
        QCOMPARE(Shown(1), QStringLiteral("005,00"));
        m_form->mSTOP1->trigger();
        m_program.Platform().AdvanceTick(3007);
        m_race->ClockTimer();
        QCOMPARE(Shown(0), QStringLiteral("005,00"));
        QCOMPARE(Shown(1), QStringLiteral("008,00"));
    }

    // F5 works without a starter list; the stops then record nothing.
    void raceWithoutStarterList()
    {
        QVERIFY(!m_form->bSTART->isEnabled());
        m_form->mStart->trigger();
        QVERIFY(m_form->Clock->isActive());
        QVERIFY(!m_form->mStart->isEnabled() && !m_form->bSTART->isEnabled());
        QVERIFY(m_form->bFSTART->isVisibleTo(m_form) && m_form->mFSTART->isEnabled());
        QCOMPARE(m_form->focusWidget(), m_form->bFSTART);
        for (QWidget *w : std::initializer_list<QWidget *>{m_form->cbBuhn1, m_form->cbBuhn2,
                                                           m_form->bCFG, m_form->sbLoad})
            QVERIFY(!w->isEnabled());
        for (TBitBtnWithColor *stop : {m_form->bSTOP1, m_form->bSTOP2}) {
            QVERIFY(stop->isEnabled());
            QCOMPARE(stop->Color(), QColor(255, 0, 0));
        }
        QVERIFY(m_form->Led1->Value() && m_form->Led2->Value());
        QVERIFY(m_form->TimerGesperrt1->isActive() && m_form->TimerGesperrt2->isActive());
        QCOMPARE(m_form->LabC2->text(), QStringLiteral("0"));

        m_program.Platform().AdvanceTick(2000);
        m_form->mSTOP1->trigger();
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Rennspur 1: 2,00 nicht eingetragen"));
        m_form->mStop2->trigger();
        QVERIFY(!m_form->Clock->isActive());
        QVERIFY(m_form->bRESET->isEnabled() && m_form->mReset->isEnabled());
        QCOMPARE(m_form->bRESET->Color(), QColor(176, 0, 0));
        QCOMPARE(m_form->focusWidget(), m_form->bRESET);
        QVERIFY(m_form->cbEditON->isEnabled());

        m_form->mReset->trigger();
        QCOMPARE(Shown(0), QStringLiteral("000,00"));
        QCOMPARE(Digits(1)[1]->ColorOn(), DimGrey);
        // The start's lockout runs out on its own, its LED lit until then.
        QVERIFY(m_form->Led1->Value() && m_form->TimerGesperrt1->isActive());
        EndLockouts();
        QVERIFY(!m_form->Led1->Value() && !m_form->Led2->Value());
        QVERIFY(m_form->LabC1->text().isEmpty());
        QVERIFY(!m_form->bRESET->isEnabled() && !m_form->mReset->isEnabled());
        QVERIFY(!m_form->bStrafe30_2->isEnabled());
        QCOMPARE(m_form->bStrafe30_2->Color(), ButtonFace());
        QVERIFY(m_form->mStart->isEnabled());
        QVERIFY(m_form->bCFG->isEnabled() && m_form->cbBuhn1->isEnabled());
    }

    // START is unavailable with both lanes on one team, but F5 still
    // starts: the first stop's time stays, the second is only reported.
    void bothLanesOnOneTeam_data()
    {
        QTest::addColumn<int>("firstLane");
        QTest::newRow("lane 1 stops first") << 0;
        QTest::newRow("lane 2 stops first") << 1;
    }
    void bothLanesOnOneTeam()
    {
        QFETCH(int, firstLane);
        LoadStarters(3);
        SetPositions(1, 1);
        QVERIFY(!m_form->bSTART->isEnabled());
        m_form->mStart->trigger();
        QAction *stops[2] = {m_form->mSTOP1, m_form->mStop2};
        m_program.Platform().AdvanceTick(3000);
        stops[firstLane]->trigger();
        m_program.Platform().AdvanceTick(3000);
        stops[1 - firstLane]->trigger();
        QCOMPARE(RecordedTime(0), QStringLiteral("3,00"));
        QCOMPARE(RecordedCount(), 1);
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Rennspur %1: 6,00 nicht eingetragen").arg(2 - firstLane));
    }

    // The working folder's own sounds come first; an installed program,
    // working in the user's home, falls back to the ones it ships.
    void sounds_data()
    {
        QTest::addColumn<QString>("startSound");
        QTest::addColumn<QStringList>("stopSoundIn");
        QTest::addColumn<QStringList>("played");
        QTest::newRow("both in the working folder")
            << "3.wav" << QStringList{"working"} << QStringList{"3.wav", "4.wav"};
        QTest::newRow("stop sound only in the data folder")
            << "" << QStringList{"data"} << QStringList{"DATA/4.wav"};
        QTest::newRow("the working folder's sound wins")
            << "" << QStringList{"working", "data"} << QStringList{"4.wav"};
        QTest::newRow("no files: silent start, default stop sound")
            << "" << QStringList{} << QStringList{"<default>"};
    }
    void sounds()
    {
        QFETCH(QString, startSound);
        QFETCH(QStringList, stopSoundIn);
        QFETCH(QStringList, played);
        const QString dataFolder = m_program.Folder().FilePath(QStringLiteral("daten"));
        QVERIFY(QDir().mkpath(dataFolder));
        m_form->DataFolder = dataFolder;
        QFile::remove(dataFolder + QStringLiteral("/4.wav"));
        for (const QString &folder : stopSoundIn) {
            QFile file(folder == "data" ? dataFolder + QStringLiteral("/4.wav")
                                        : QStringLiteral("4.wav"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_race->StartSoundFile = startSound;
        m_form->mStart->trigger();
        m_form->mSTOP1->trigger();
        QCOMPARE(m_program.Platform().soundsPlayed, played.replaceInStrings("DATA", dataFolder));
    }

    // Five teams 1..5 at positions 0..4: the lanes move on to the first
    // teams in start order without a time; a false start keeps them.
    void resetMovesListsOn_data()
    {
        QTest::addColumn<int>("lanes");
        QTest::addColumn<ResetBy>("resetBy");
        QTest::addColumn<Positions>("before");
        QTest::addColumn<Positions>("teams"); // start numbers on lane 1 and 2 after the reset
        QTest::newRow("button, both wrap")
            << 2 << ResetBy::Button << Positions{4, 3} << Positions{1, 2};
        QTest::newRow("mouse press acts once")
            << 2 << ResetBy::MousePress << Positions{4, 3} << Positions{1, 2};
        QTest::newRow("Alt+0") << 2 << ResetBy::AltZero << Positions{0, 1} << Positions{3, 4};
        QTest::newRow("false start keeps the lists")
            << 2 << ResetBy::FalseStart << Positions{4, 3} << Positions{5, 4};
        QTest::newRow("one lane: the first team without a time")
            << 1 << ResetBy::Button << Positions{2, 1} << Positions{1, 2};
        QTest::newRow("one lane wraps")
            << 1 << ResetBy::AltZero << Positions{4, 1} << Positions{1, 2};
    }
    void resetMovesListsOn()
    {
        QFETCH(int, lanes);
        QFETCH(ResetBy, resetBy);
        QFETCH(Positions, before);
        UseLanes(lanes);
        LoadStarters(5);
        SetPositions(before.first, before.second);
        QVERIFY(m_form->bSTART->isEnabled());
        m_form->bSTART->click();
        m_program.Platform().AdvanceTick(1000);
        if (resetBy == ResetBy::FalseStart) {
            m_form->bFSTART->click();
        } else {
            m_form->mSTOP1->trigger();
            StopSecondLaneIfArmed();
            if (resetBy == ResetBy::Button)
                m_form->bRESET->click();
            else if (resetBy == ResetBy::AltZero)
                m_form->mReset->trigger();
            else {
                QTest::mousePress(m_form->bRESET, Qt::LeftButton);
                QTest::mouseRelease(m_form->bRESET, Qt::LeftButton);
            }
        }
        const auto team = [](const QComboBox *list) {
            return list->currentText().section(QLatin1Char(' '), 0, 0).toInt();
        };
        QTEST(Positions(team(m_form->cbBuhn1), team(m_form->cbBuhn2)), "teams");
        QVERIFY(!m_form->Clock->isActive() && !m_form->mFSTART->isEnabled());
        QVERIFY(m_form->bSTART->isEnabled() && m_form->mStart->isEnabled());
        QCOMPARE(m_form->bSTART->Color(), QColor(0, 128, 0));
        QCOMPARE(m_form->focusWidget(), m_form->bSTART);
        QCOMPARE(RecordedCount(), resetBy == ResetBy::FalseStart ? 0 : lanes);
    }

    void barrierCountsLapsOutsideLockouts()
    {
        m_form->Settings.Laps = 3;
        LoadStarters(2);
        const std::uint32_t start = 50000;
        m_program.Platform().SetTick(start);
        m_form->bSTART->click();
        Interrupt(0, start + 1000); // still locked out by the start
        QCOMPARE(m_race->LapCount[0], 0);
        m_race->TimerGesperrtTimer(0); // two seconds after the start
        QVERIFY(!m_form->Led1->Value() && m_form->Led2->Value());

        Interrupt(0, start + 3000);
        QVERIFY(m_form->bFSTART->isHidden() && m_form->mFSTART->isEnabled());
        Interrupt(0, start + 4000);
        QCOMPARE(m_form->LabC1->text(), QStringLiteral("2"));
        QVERIFY(!m_form->TimerGesperrt1->isActive()); // laps do not lock out
        m_program.Platform().SetTick(start + 5100);   // the GUI thread is late
        Interrupt(0, start + 5000);
        QCOMPARE(m_race->LapCount[0], 3);
        QCOMPARE(m_race->LaneElapsed[0], 5000);
        QCOMPARE(RecordedTime(0), QStringLiteral("5,00"));
        QVERIFY(!m_form->bSTOP1->isEnabled() && m_form->bSTOP2->isEnabled());
        QVERIFY(m_form->Led1->Value() && m_form->TimerGesperrt1->isActive());
        QCOMPARE(m_form->TimerGesperrt1->interval(), 2000);
        m_race->TimerGesperrtTimer(0);
        QVERIFY(!m_form->Led1->Value() && !m_form->TimerGesperrt1->isActive());
        Interrupt(0, start + 9000); // a stopped lane counts nothing
        QCOMPARE(m_race->LapCount[0], 3);
    }

    // "Wechseln": both edges are pulses; the start's lockout swallows the
    // second edge of the interruption that started the race.
    void changeModeStartsAndCountsBothEdges()
    {
        m_form->Settings.Alg = ContactChange;
        m_form->Settings.Laps = 10;
        LoadStarters(2);
        Interrupt(1, 70000);
        QVERIFY(m_form->Clock->isActive());
        QCOMPARE(m_race->StartTick, 70000u);
        QCOMPARE(m_race->LapCount[1], 0);
        EndLockouts();
        Interrupt(1, 73000, 150);
        QCOMPARE(m_race->LapCount[1], 2);
        QCOMPARE(m_race->LapCount[0], 0);
    }

    void lapsBelowTwoStopAtFirstPulse_data()
    {
        QTest::addColumn<int>("laps");
        QTest::newRow("0") << 0;
        QTest::newRow("1") << 1;
    }
    void lapsBelowTwoStopAtFirstPulse()
    {
        QFETCH(int, laps);
        m_form->Settings.Laps = laps;
        m_form->mStart->trigger();
        EndLockouts();
        Interrupt(1, m_program.Platform().TickCount() + 700);
        QCOMPARE(m_race->LaneElapsed[1], 700);
        QVERIFY(!m_form->bSTOP2->isEnabled() && m_form->bSTOP1->isEnabled());
    }

    void enterAndKeysDriveTheRace()
    {
        LoadStarters(5);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        m_form->bSTART->setFocus();
        auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        };
        press(Qt::Key_Return); // START
        QVERIFY(m_form->Clock->isActive());
        m_program.Platform().AdvanceTick(1000);
        press(Qt::Key_Return); // false start
        QVERIFY(!m_form->Clock->isActive());
        QCOMPARE(CurrentPositions(), Positions(0, 1));
        QCOMPARE(QApplication::focusWidget(), m_form->bSTART);
        press(Qt::Key_Return);
        m_program.Platform().AdvanceTick(1000);
        press(Qt::Key_1, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), m_form->bSTOP2);
        m_program.Platform().AdvanceTick(1000);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), m_form->bRESET);
        QCOMPARE(RecordedTime(1), QStringLiteral("2,00"));
        press(Qt::Key_Return);
        QCOMPARE(CurrentPositions(), Positions(2, 3));
        QCOMPARE(QApplication::focusWidget(), m_form->bSTART);
        press(Qt::Key_F5);
        QVERIFY(m_form->Clock->isActive());
    }

    // One lane: the hidden lane 2 is armed, but its barrier counts no lap
    // and Alt+2 records nothing; lane 1's stop ends the heat.
    void oneLaneHiddenSecondLaneCountsNothing()
    {
        UseLanes(1);
        m_form->Settings.Laps = 3;
        LoadStarters(5);
        QCOMPARE(m_form->bSTOP1->text(), QStringLiteral("STOPP"));
        m_form->bSTART->click();
        QVERIFY(m_form->bSTOP2->isEnabled() && !m_form->bSTOP2->isVisibleTo(m_form));
        EndLockouts();
        Interrupt(1, m_program.Platform().TickCount() + 1000);
        QCOMPARE(m_race->LapCount[1], 0);
        QVERIFY(m_form->bFSTART->isVisibleTo(m_form));
        m_program.Platform().AdvanceTick(4000);
        m_form->mStop2->trigger();
        QCOMPARE(RecordedCount(), 0);
        QVERIFY(m_form->bSTOP1->isEnabled() && !m_form->bRESET->isEnabled());
        m_form->bSTOP1->click();
        QVERIFY(!m_form->Clock->isActive() && m_form->bRESET->isEnabled());
    }

    void oneLaneStopDisarmsHiddenLane()
    {
        UseLanes(1);
        LoadStarters(5);
        m_form->mStart->trigger();
        m_form->mSTOP1->trigger();
        QVERIFY(!m_form->bSTOP2->isEnabled() && !m_form->mStop2->isEnabled());
        QVERIFY(!m_form->Clock->isActive() && m_form->mReset->isEnabled());
        QCOMPARE(RecordedTime(1), QString());
    }

    // The reset moves each lane on to the team that followed in the heat's
    // order, even when ranking sorts an AUS or DIS team behind the teams
    // still to run.
    void resetMovesOnByTeam_data()
    {
        QTest::addColumn<int>("markedLane");
        QTest::addColumn<bool>("disqualified");
        QTest::newRow("lane 1 AUS") << 0 << false;
        QTest::newRow("lane 2 DIS") << 1 << true;
    }
    void resetMovesOnByTeam()
    {
        QFETCH(int, markedLane);
        QFETCH(bool, disqualified);
        LoadStarters(6);
        m_form->bSTART->click();
        m_program.Platform().AdvanceTick(5000);
        m_form->bSTOP1->click();
        m_form->bSTOP2->click();
        const std::array<TBitBtnWithColor *, 2> marks =
            disqualified ? std::array{m_form->bDisqulifikation1, m_form->bDisqulifikation2}
                         : std::array{m_form->sb1del, m_form->sb2del};
        marks[markedLane]->click();
        m_form->bRESET->click();
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("3 Team3 1"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("4 Team4 1"));
        QCOMPARE(CurrentPositions(), Positions(1, 2));
        QVERIFY(m_form->bSTART->isEnabled());
    }

    // A stop that finds a time in its team's row replaces it and says so,
    // as START said it would; the status line also says when the lists
    // start over.
    void replacedTimeIsAnnounced()
    {
        LoadStarters(2);
        m_form->bSTART->click();
        m_program.Platform().AdvanceTick(1000);
        m_form->bSTOP1->click();
        m_program.Platform().AdvanceTick(1000);
        m_form->bSTOP2->click();
        QVERIFY(m_form->statusBar()->currentMessage().isEmpty());
        m_form->bRESET->click();
        QCOMPARE(CurrentPositions(), Positions(0, 1));
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Ende der Starterliste: wieder die ersten Teams"));

        m_form->bSTART->click();
        const QString lane2Before =
            QStringLiteral("Rennspur 2: Team 2 hat schon 2,00 – der neue Lauf ersetzt die Zeit");
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Rennspur 1: Team 1 hat schon 1,00 – der neue Lauf ersetzt die "
                                "Zeit   |   ") +
                     lane2Before);
        m_program.Platform().AdvanceTick(3000);
        m_form->bSTOP1->click();
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Team 1 Team1: 1,00 ersetzt durch 3,00   |   ") + lane2Before);
        m_program.Platform().AdvanceTick(1000);
        m_form->bSTOP2->click();
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Team 1 Team1: 1,00 ersetzt durch 3,00   |   "
                                "Team 2 Team2: 2,00 ersetzt durch 4,00"));
        QCOMPARE(RecordedTime(0), QStringLiteral("3,00"));
        QCOMPARE(RecordedTime(1), QStringLiteral("4,00"));
    }

    // One lane: lane 2 is switched off. Its stop records nothing for its
    // selector's team, in no heat, and says so; lane 1 walks the list.
    void hiddenLaneNeverRecords()
    {
        UseLanes(1);
        LoadStarters(3);
        for (const QString &lane1Team :
             {QStringLiteral("1 Team1 1"), QStringLiteral("2 Team2 1")}) {
            QCOMPARE(m_form->cbBuhn1->currentText(), lane1Team);
            const std::uint32_t start = m_program.Platform().TickCount();
            m_form->mStart->trigger();
            m_program.Platform().SetTick(start + 4000);
            m_form->mStop2->trigger();
            QCOMPARE(RecordedTime(1), QString());
            QCOMPARE(m_form->statusBar()->currentMessage(),
                     QStringLiteral("Rennspur 2 ist ausgeschaltet: Zeit nicht eingetragen"));
            m_program.Platform().SetTick(start + 5000);
            m_form->mSTOP1->trigger();
            QCOMPARE(RecordedTime(0), QStringLiteral("5,00"));
            m_form->mReset->trigger();
        }
        QCOMPARE(RecordedCount(), 2);
    }

    // A lane's notice stays next to the other's through the reset; START
    // clears them.
    void laneNoticesStayUntilStart()
    {
        m_form->mStart->trigger();
        m_program.Platform().AdvanceTick(2000);
        m_form->mSTOP1->trigger();
        m_program.Platform().AdvanceTick(1000);
        m_form->mStop2->trigger();
        const QString both = QStringLiteral(
            "Rennspur 1: 2,00 nicht eingetragen   |   Rennspur 2: 3,00 nicht eingetragen");
        QCOMPARE(m_form->statusBar()->currentMessage(), both);
        m_form->mReset->trigger();
        QCOMPARE(m_form->statusBar()->currentMessage(), both);
        m_form->mStart->trigger();
        QVERIFY(m_form->statusBar()->currentMessage().isEmpty());
    }

    // The first lap hides the focused "Fehlstart": Enter must not stop
    // lane 1 then, while F6 still declares the false start.
    void enterAfterTheFirstLapStopsNothing()
    {
        LoadStarters(4);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        m_form->bSTART->setFocus();
        const auto press = [](int key) {
            QVERIFY(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        };
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), m_form->bFSTART);
        EndLockouts();
        Interrupt(0, m_program.Platform().TickCount() + 3000);
        QCOMPARE(m_race->LapCount[0], 1);
        QVERIFY(m_form->bFSTART->isHidden());
        press(Qt::Key_Return);
        QVERIFY(m_form->bSTOP1->isEnabled() && m_form->bSTOP2->isEnabled());
        press(Qt::Key_F6);
        QVERIFY(!m_form->Clock->isActive());
        QCOMPARE(RecordedCount(), 0);
        QCOMPARE(CurrentPositions(), Positions(0, 1));
    }

    void manualStopTakesTheTickOfItsPress_data()
    {
        QTest::addColumn<PressBy>("by");
        QTest::addColumn<quint32>("stamp");
        QTest::addColumn<int>("elapsed");
        QTest::newRow("Alt+1, GUI thread busy") << PressBy::AltKey << Pressed << 5000;
        QTest::newRow("mouse press, GUI thread busy") << PressBy::MousePress << Pressed << 5000;
        QTest::newRow("Alt+1 without a stamp: tick at handling") << PressBy::AltKey << 0u << 5300;
        QTest::newRow("stamp over a second away: tick at handling")
            << PressBy::AltKey << Handled - 1001 << 5300;
        QTest::newRow("mouse press stamped on another clock") << PressBy::MousePress << 42u << 5300;
    }
    void manualStopTakesTheTickOfItsPress()
    {
        QFETCH(PressBy, by);
        QFETCH(quint32, stamp);
        StartActiveWindow();
        m_program.Platform().SetTick(Handled);
        PressStop(0, by, stamp);
        QTEST(int(m_race->LaneElapsed[0]), "elapsed");
        QVERIFY(!m_form->bSTOP1->isEnabled() && m_form->bSTOP2->isEnabled());
    }

    void stopsPressedOneMillisecondApartRecordTogether()
    {
        StartActiveWindow();
        m_program.Platform().SetTick(Handled);
        PressStop(0, PressBy::AltKey, Pressed);
        m_program.Platform().AdvanceTick(40); // the first stop's work
        PressStop(1, PressBy::AltKey, Pressed + 1);
        QCOMPARE(m_race->LaneElapsed[0], 5000);
        QCOMPARE(m_race->LaneElapsed[1], 5001);
        QCOMPARE(RecordedTime(0), QStringLiteral("5,00"));
        QCOMPARE(RecordedTime(1), QStringLiteral("5,00"));
    }

    void startTakesTheTickOfItsPress()
    {
        LoadStarters(2);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        m_program.Platform().SetTick(HeatStart);
        QVERIFY(qt_sendShortcutOverrideEvent(m_form, HeatStart - 200, Qt::Key_F5, {}));
        QVERIFY(m_form->Clock->isActive());
        QCOMPARE(m_race->StartTick, HeatStart - 200);
    }

    // Once its event is handled, a stamp is not lent to a later click.
    void stampEndsWithItsEvent()
    {
        StartActiveWindow();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        key.setTimestamp(Pressed);
        QApplication::sendEvent(m_form->SortGrid1, &key);
        QCoreApplication::processEvents();
        m_program.Platform().SetTick(Handled);
        m_form->bSTOP1->click();
        QCOMPARE(m_race->LaneElapsed[0], 5300);
    }

    // A clock tick puts both lanes' changed digits on the screen before it
    // returns, without a paint pass: no digit gets a paint event, then or
    // later, and the window shows every digit with its new value.
    void clockTickShowsDigitsAtOnce_data()
    {
        QTest::addColumn<quint32>("elapsed");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("001,23: three digits change") << 1230u << QList<int>{0, 0, 1, 2, 3};
        QTest::newRow("000,01: the hundredths") << 10u << QList<int>{0, 0, 0, 0, 1};
        QTest::newRow("000,00: nothing changes") << 9u << QList<int>{0, 0, 0, 0, 0};
        QTest::newRow("123,45: all five") << 123450u << QList<int>{1, 2, 3, 4, 5};
    }
    void clockTickShowsDigitsAtOnce()
    {
        QFETCH(quint32, elapsed);
        QFETCH(QList<int>, values);
        LoadStarters(2);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        m_program.Platform().SetTick(HeatStart);
        m_form->mStart->trigger();
        QCoreApplication::processEvents();
        std::vector<std::unique_ptr<PaintCounter>> counters;
        for (int lane : {0, 1})
            for (TDigit *digit : Digits(lane))
                counters.push_back(std::make_unique<PaintCounter>(digit));

        m_program.Platform().AdvanceTick(elapsed);
        m_race->ClockTimer();
        const QImage screen = m_form->screen()->grabWindow(m_form->winId()).toImage();
        QCoreApplication::sendPostedEvents();
        for (const auto &counter : counters)
            QCOMPARE(counter->count, 0);
        for (int lane : {0, 1}) {
            for (int i = 0; i < 5; ++i) {
                TDigit *digit = Digits(lane)[i];
                QCOMPARE(digit->Value(), values[i]);
                const QRect shown(digit->mapTo(m_form, QPoint()), digit->size());
                QCOMPARE(screen.copy(shown).convertToFormat(QImage::Format_RGB32),
                         digit->grab().toImage().convertToFormat(QImage::Format_RGB32));
            }
        }
    }

    // A stop repaints what it changes and the team's row, never the whole
    // protocol grid: the focus goes from the stopped lane's button straight
    // to the next step, not by way of the grid next in the tab order.
    void stopsLeaveTheProtocolGridAlone_data()
    {
        QTest::addColumn<int>("firstKey");
        QTest::addColumn<int>("secondKey");
        QTest::newRow("lane 1 first") << int(Qt::Key_1) << int(Qt::Key_2);
        QTest::newRow("lane 2 first") << int(Qt::Key_2) << int(Qt::Key_1);
    }
    void stopsLeaveTheProtocolGridAlone()
    {
        QFETCH(int, firstKey);
        QFETCH(int, secondKey);
        StartActiveWindow();
        QCoreApplication::sendPostedEvents();
        PaintCounter gridPaints(m_form->SortGrid1->viewport());
        PaintCounter gridFocus(m_form->SortGrid1, QEvent::FocusIn);
        const auto stop = [](int key) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
            QCoreApplication::sendPostedEvents();
        };

        stop(firstKey);
        QCOMPARE(QApplication::focusWidget(),
                 firstKey == Qt::Key_1 ? m_form->bSTOP2 : m_form->bSTOP1);
        stop(secondKey);
        QCOMPARE(QApplication::focusWidget(), m_form->bRESET);
        QCOMPARE(gridFocus.count, 0);
        // The stopped teams' rows, each on its own.
        QVERIFY(gridPaints.count <= 2);
        QVERIFY(gridPaints.tallest <= m_form->SortGrid1->RowHeights(1) + 1);
        QCOMPARE(RecordedCount(), 2);
    }

    // A reset ranks the rows and shows the lanes' next teams in one repaint
    // of the protocol grid: with hundreds of rows on the screen, each
    // repaint is most of what a reset costs.
    void resetRepaintsTheGridOnce_data()
    {
        QTest::addColumn<ResetBy>("resetBy");
        QTest::newRow("Alt+0") << ResetBy::AltZero;
        QTest::newRow("button") << ResetBy::Button;
        QTest::newRow("false start") << ResetBy::FalseStart;
    }
    void resetRepaintsTheGridOnce()
    {
        QFETCH(ResetBy, resetBy);
        StartActiveWindow();
        if (resetBy != ResetBy::FalseStart) {
            m_form->mSTOP1->trigger();
            StopSecondLaneIfArmed();
        }
        m_program.Platform().AdvanceTick(1000);
        QCoreApplication::sendPostedEvents();
        const QString laneTeam = m_form->cbBuhn1->currentText();
        PaintCounter gridPaints(m_form->SortGrid1->viewport());

        if (resetBy == ResetBy::AltZero)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_0, Qt::AltModifier);
        else if (resetBy == ResetBy::Button)
            m_form->bRESET->click();
        else
            m_form->bFSTART->click();
        QCoreApplication::sendPostedEvents();
        QVERIFY(m_form->bSTART->isEnabled());
        // The lanes moved on to their next teams, or stay after a false start.
        QCOMPARE(m_form->cbBuhn1->currentText() == laneTeam, resetBy == ResetBy::FalseStart);
        QCOMPARE(gridPaints.count, 1);
    }

    void mousePressActsOnce()
    {
        LoadStarters(2);
        const std::uint32_t start = m_program.Platform().TickCount();
        QTest::mousePress(m_form->bSTART, Qt::RightButton);
        m_program.Platform().AdvanceTick(40);
        QTest::mouseRelease(m_form->bSTART, Qt::RightButton);
        QCOMPARE(m_race->StartTick, start);
        QVERIFY(m_form->Clock->isActive());

        m_program.Platform().AdvanceTick(4960);
        QTest::mousePress(m_form->bSTOP1, Qt::LeftButton);
        QCOMPARE(m_race->LaneElapsed[0], 5000);
        m_program.Platform().AdvanceTick(300);
        QTest::mouseRelease(m_form->bSTOP1, Qt::LeftButton);
        QCOMPARE(m_race->LaneElapsed[0], 5000);
        QCOMPARE(m_program.Platform().soundsPlayed, QStringList{"<default>"});
        QVERIFY(m_form->bSTOP2->isEnabled());
    }
};

QTEST_MAIN(TestRaceController)
#include "tst_RaceController.moc"
