// Slips of the operator's hands in the real main window, on a fake tick:
// a double-click on START, Enter long after the start, Enter after a
// penalty, a stray lane-2 signal in one-lane mode, a re-run. None of them
// may cost a run or surprise anyone.
#include "MainWindowFixture.h"
#include "ProtocolCells.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/RaceController.h"
#include "settings/Cfg.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QComboBox>
#include <QStyleHints>
#include <QToolButton>
#include <QtTest>
#include <array>

using Lanes = QPair<QString, QString>;

namespace {

const QString FalseStartNotice = QStringLiteral("Fehlstart: Lauf abgebrochen");

int DoubleClickInterval()
{
    return QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

} // namespace

class TestOperatorSlips : public QObject
{
    Q_OBJECT

    MainWindowFixture m_fixture;

    TFormMain *Form() const { return m_fixture.Form(); }
    bool Running() const { return Form()->Clock->isActive(); }

    void ShowWindow()
    {
        Form()->show();
        QVERIFY(QTest::qWaitForWindowActive(Form()));
    }

    void Press(Qt::Key key)
    {
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), key);
    }

    // START pressed with the mouse: the race starts at the press.
    void MouseStart()
    {
        QTest::mousePress(Form()->bSTART, Qt::LeftButton);
        QVERIFY(Running());
        QTest::mouseRelease(Form()->bSTART, Qt::LeftButton);
    }

private slots:
    void initTestCase() { m_fixture.Enter(); }
    void init()
    {
        m_fixture.Open();
        m_fixture.Load(MainWindowFixture::Teams({"A", "B", "C", "D"}));
        ShowWindow();
    }
    void cleanup() { m_fixture.Close(); }

    // Whenever the program becomes ready with teams on the lanes, START has
    // the focus: Enter starts the first heat, as after every reset.
    void enterStartsWhenReady_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("after a list load") << "load";
        QTest::newRow("after a recovery") << "recovery";
        QTest::newRow("after the settings") << "settings";
    }
    void enterStartsWhenReady()
    {
        QFETCH(QString, way);
        if (way == "load") {
            m_fixture.Load(MainWindowFixture::Teams({"E", "F", "G"}));
        } else if (way == "recovery") {
            m_fixture.Heat(5000, 6000);
            m_fixture.Kill();
            m_fixture.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
            m_fixture.Restart();
            ShowWindow();
        } else {
            Form()->SortGrid1->setFocus();
            m_fixture.Platform().dialogAnswers.enqueue([](QDialog *dialog) {
                static_cast<TCfgDialog *>(dialog)->OKBtn->click();
                return dialog->result();
            });
            Form()->bCFGClick();
        }
        Press(Qt::Key_Return);
        QVERIFY(Running());
    }

    // The second press of a double-click on START lands on "Fehlstart":
    // it is ignored within the double-click interval, later it aborts;
    // F6 aborts at once.
    void doubleClickOnStartKeepsTheRun_data()
    {
        QTest::addColumn<int>("after"); // ms from START to the second press
        QTest::addColumn<bool>("byF6");
        QTest::addColumn<bool>("aborted");
        QTest::newRow("second press of a double-click")
            << DoubleClickInterval() - 1 << false << false;
        QTest::newRow("press after the interval") << DoubleClickInterval() << false << true;
        QTest::newRow("F6 at once") << 50 << true << true;
    }
    void doubleClickOnStartKeepsTheRun()
    {
        QFETCH(int, after);
        QFETCH(bool, byF6);
        QFETCH(bool, aborted);
        MouseStart();
        m_fixture.Platform().AdvanceTick(std::uint32_t(after));
        if (byF6) {
            m_fixture.Key(Qt::Key_F6);
        } else {
            QVERIFY(Form()->bFSTART->isVisible());
            QTest::mouseClick(Form()->bFSTART, Qt::LeftButton);
        }
        QCOMPARE(Running(), !aborted);
        QCOMPARE(m_fixture.StatusText(), aborted ? FalseStartNotice : QString());
    }

    // Enter and Space abort the run only in its first five seconds; then
    // the focus leaves "Fehlstart". F6 and a click still abort.
    void enterAbortsOnlyRightAfterStart_data()
    {
        QTest::addColumn<int>("after");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("aborted");
        QTest::newRow("Enter at 3 s") << 3000 << Qt::Key_Return << true;
        QTest::newRow("Space at 4,9 s") << 4900 << Qt::Key_Space << true;
        QTest::newRow("Enter at 10 s") << 10000 << Qt::Key_Return << false;
        QTest::newRow("Space at 30 s") << 30000 << Qt::Key_Space << false;
        QTest::newRow("F6 at 30 s") << 30000 << Qt::Key_F6 << true;
    }
    void enterAbortsOnlyRightAfterStart()
    {
        QFETCH(int, after);
        QFETCH(Qt::Key, key);
        QFETCH(bool, aborted);
        Form()->bSTART->setFocus();
        Press(Qt::Key_Return);
        QVERIFY(Running());
        QCOMPARE(QApplication::focusWidget(), Form()->bFSTART);
        m_fixture.Platform().AdvanceTick(std::uint32_t(after));
        m_fixture.Key(key);
        QCOMPARE(Running(), !aborted);
        QCOMPARE(m_fixture.StatusText(), aborted ? FalseStartNotice : QString());
        if (!aborted)
            QVERIFY(QApplication::focusWidget() != Form()->bFSTART);
    }

    // Five seconds into the run the focus leaves "Fehlstart" by itself; a
    // click on it still aborts; the stops still hand the focus on.
    void focusLeavesFalseStartAfterFiveSeconds()
    {
        Form()->bSTART->setFocus();
        Press(Qt::Key_Return);
        m_fixture.Platform().AdvanceTick(5000);
        Form()->Race->FalseStartKeysTimer();
        QVERIFY(QApplication::focusWidget() != Form()->bFSTART);
        Press(Qt::Key_Return);
        QVERIFY(Running());
        m_fixture.Key(Qt::Key_1, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), Form()->bSTOP2);
        Press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Form()->bRESET);
        Press(Qt::Key_Return);

        m_fixture.Heat(std::nullopt, std::nullopt, false);
        m_fixture.Platform().AdvanceTick(40000);
        QTest::mouseClick(Form()->bFSTART, Qt::LeftButton);
        QVERIFY(!Running());
        QCOMPARE(m_fixture.StatusText(), FalseStartNotice);
    }

    // A penalty, a mark or a drop-out clicked with the mouse leaves the
    // focus on the reset: the next Enter resets and moves the lanes on.
    void enterAfterAPenaltyResets_data()
    {
        QTest::addColumn<int>("button"); // S15, S30, Disqulifikation, Ausfall
        QTest::newRow("S15 lane 1") << 0;
        QTest::newRow("S30 lane 2") << 1;
        QTest::newRow("Disqulifikation lane 1") << 2;
        QTest::newRow("Ausfall lane 2") << 3;
    }
    void enterAfterAPenaltyResets()
    {
        QFETCH(int, button);
        m_fixture.Heat(5000, 6000, false);
        QCOMPARE(QApplication::focusWidget(), Form()->bRESET);
        TBitBtnWithColor *penalty = std::array{Form()->bStrafe15_1, Form()->bStrafe30_2,
                                               Form()->bDisqulifikation1, Form()->sb2del}[button];
        QVERIFY(penalty->isEnabled());
        QTest::mouseClick(penalty, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), Form()->bRESET);
        Press(Qt::Key_Return);
        QCOMPARE(m_fixture.LaneTeams(), Lanes("C", "D"));
    }

    // One lane: whatever arrives for lane 2 records nothing and says so.
    void oneLaneNeverRecordsLaneTwo_data()
    {
        QTest::addColumn<bool>("barrier");
        QTest::newRow("Alt+2") << false;
        QTest::newRow("pulse on CTS") << true;
    }
    void oneLaneNeverRecordsLaneTwo()
    {
        QFETCH(bool, barrier);
        Form()->Settings.CountBahn = 1;
        Form()->ApplyLaneCount();
        m_fixture.Load(MainWindowFixture::Teams({"A", "B", "C"}));
        const std::uint32_t start = m_fixture.Platform().TickCount();
        Form()->mStart->trigger();
        Form()->Race->TimerGesperrtTimer(1);
        m_fixture.Platform().SetTick(start + 5000);
        if (barrier) {
            Form()->Settings.Laps = 1;
            Form()->Race->ComPortCTS({start + 5000, MS_CTS_ON});
        } else {
            m_fixture.Key(Qt::Key_2, Qt::AltModifier);
        }
        const QString notice =
            QStringLiteral("Rennspur 2 ist ausgeschaltet: Zeit nicht eingetragen");
        QCOMPARE(m_fixture.StatusText(), notice);
        QVERIFY(Running());
        m_fixture.Platform().SetTick(start + 10000);
        m_fixture.Key(Qt::Key_1, Qt::AltModifier);
        QCOMPARE(TimeCellsOf(m_fixture.TeamRow("A")), QStringList({"10,00", "0,00", "10,00"}));
        QCOMPARE(TimeCellsOf(m_fixture.TeamRow("B")), QStringList({"", "", ""}));
        QCOMPARE(m_fixture.StatusText(), notice);
    }

    // Teams that have a result are grey in the lane selectors; START for
    // such a team says, as the run begins, that the new run replaces its result.
    void reRunIsAnnounced_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("time");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "1,35";
        QTest::newRow("C") << QLocale::c() << "1.35";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "1.35";
    }
    void reRunIsAnnounced()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, time);
        MainWindowFixture::UseLocale(locale);
        m_fixture.Heat(1350, 2000);
        QCOMPARE(m_fixture.LaneTeams(), Lanes("C", "D"));
        const auto shade = [this](int item) {
            return Form()->cbBuhn1->itemData(item, Qt::ForegroundRole);
        };
        QCOMPARE(shade(0), QVariant(QColor(Qt::gray)));
        QCOMPARE(shade(1), QVariant(QColor(Qt::gray)));
        QCOMPARE(shade(2), QVariant());
        QCOMPARE(Form()->cbBuhn2->itemData(1, Qt::ForegroundRole), QVariant(QColor(Qt::gray)));

        const QRect teamA = Form()->SortGrid1->CellRect(1, 1);
        QTest::mouseClick(Form()->SortGrid1->viewport(), Qt::LeftButton, {}, teamA.center());
        Form()->sb1->click();
        QCOMPARE(m_fixture.LaneTeams(), Lanes("A", "D"));
        m_fixture.Key(Qt::Key_F5);
        QVERIFY(Running());
        QCOMPARE(m_fixture.StatusText(),
                 QStringLiteral("Rennspur 1: Team 1 hat schon %1 – der neue Lauf ersetzt die Zeit")
                     .arg(time));
    }
};

QTEST_MAIN(TestOperatorSlips)
#include "tst_OperatorSlips.moc"
