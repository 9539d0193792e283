// Ctrl+Z in the main window: each kind of protocol change is taken back,
// the grid, its places and the lanes as they were, the status line saying
// what came back, the recovery journal on the disk following.

#include "MainWindowFixture.h"

#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RecoveryJournal.h"
#include "protocol/Journal.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

enum class Change {
    Strafe15Lane1,
    Strafe30Lane2,
    AusfallLane1,
    DisqualifikationLane2,
    ReRun,
    EditedClass,
    RemovedRow,
    RemovedLaneRow,
    Cleared
};

const QStringList RaceDay = {"12\tBlitz\t1\tAnna", "13\tDonner\t1\tBen", "14\tFlink\t1\tCarl",
                             "15\tWind\t2\tDora",  "16\tSturm\t2\tEmil", "17\tHagel\t2\tFrida"};

} // namespace

class tst_ProtocolUndo : public QObject
{
    Q_OBJECT

    MainWindowFixture m_fixture;

    TFormMain *Form() const { return m_fixture.Form(); }
    void Undo() { m_fixture.Key(Qt::Key_Z, Qt::ControlModifier); }

    void Heat(const QString &lane1, const QString &lane2, std::uint32_t ms1, std::uint32_t ms2,
              bool reset)
    {
        m_fixture.PutOnLane(1, lane1);
        m_fixture.PutOnLane(2, lane2);
        m_fixture.Heat(ms1, ms2, reset);
    }

    // Blitz and Wind have run; Donner and Sturm are on the lanes.
    void RaceDayAfterOneHeat()
    {
        m_fixture.Load(RaceDay);
        Heat(QStringLiteral("Blitz"), QStringLiteral("Wind"), 41230, 45670, true);
        m_fixture.PutOnLane(1, QStringLiteral("Donner"));
        m_fixture.PutOnLane(2, QStringLiteral("Sturm"));
    }

    void ConfirmNext() { m_fixture.Platform().QueueDialogResult(TFDlgYesNo::ResultYes); }

    void RemoveRowOf(const QString &teamName)
    {
        Form()->SortGrid1->SetRow(int(m_fixture.GridRows().indexOf(m_fixture.TeamRow(teamName))) +
                                  1);
        ConfirmNext();
        Form()->sbCLS->click();
    }

    // Edit mode on, the cell typed anew and entered, edit mode off (which ranks).
    void EditCell(const QString &teamName, int column, const QString &text)
    {
        TSortGrid *grid = Form()->SortGrid1;
        QTest::mouseClick(Form()->cbEditON, Qt::LeftButton);
        grid->SetRow(int(m_fixture.GridRows().indexOf(m_fixture.TeamRow(teamName))) + 1);
        grid->SetCol(column);
        grid->setFocus();
        grid->SetEditorMode(true);
        QWidget *editor = grid->InplaceEditor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::mouseClick(Form()->cbEditON, Qt::LeftButton);
        QVERIFY(!Form()->cbEditON->isChecked());
    }

    // Lane stops still waiting for the reset: the changes a lane's
    // buttons make happen there.
    static bool InHeat(Change change) { return change <= Change::ReRun; }

    void Make(Change change)
    {
        TFormMain *f = Form();
        switch (change) {
        case Change::Strafe15Lane1:
            f->bStrafe15_1->click();
            break;
        case Change::Strafe30Lane2:
            f->bStrafe30_2->click();
            break;
        case Change::AusfallLane1:
            f->sb1del->click();
            break;
        case Change::DisqualifikationLane2:
            f->bDisqulifikation2->click();
            break;
        case Change::ReRun:
            m_fixture.Heat(39990, 47110, false);
            break;
        case Change::EditedClass:
            EditCell(QStringLiteral("Flink"), ColKlasse, QStringLiteral("2"));
            break;
        case Change::RemovedRow:
            RemoveRowOf(QStringLiteral("Blitz"));
            break;
        case Change::RemovedLaneRow:
            RemoveRowOf(QStringLiteral("Sturm"));
            break;
        case Change::Cleared:
            ConfirmNext();
            f->sbCLSall->click();
            break;
        }
    }

private slots:
    void initTestCase() { m_fixture.Enter(); }
    // Shown and active, as the key entries need.
    void init()
    {
        m_fixture.Open();
        Form()->show();
        Form()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form()));
    }
    void cleanup() { m_fixture.Close(); }

    void eachChangeIsTakenBack_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("status");
        const std::tuple<const char *, Change, int, const char *> cases[] = {
            {"S15", Change::Strafe15Lane1, 1, "S15 Team 13 Donner"},
            {"S30", Change::Strafe30Lane2, 1, "S30 Team 16 Sturm"},
            {"Ausfall", Change::AusfallLane1, 1, "Ausfall Team 13 Donner"},
            {"Disqulifikation", Change::DisqualifikationLane2, 1, "Disqulifikation Team 16 Sturm"},
            // Lane 2 stopped last: its replaced time comes back first.
            {"re-run", Change::ReRun, 2, "Zeit ersetzt Team 12 Blitz"},
            {"edited cell", Change::EditedClass, 1, "Zelle geändert Team 14 Flink"},
            {"removed row", Change::RemovedRow, 1, "Zeile entfernt Team 12 Blitz"},
            {"removed row of lane 2", Change::RemovedLaneRow, 1, "Zeile entfernt Team 16 Sturm"},
            {"cleared protocol", Change::Cleared, 1, "Protokoll gelöscht"},
        };
        const std::pair<const char *, QLocale> locales[] = {
            {"de", QLocale(QLocale::German, QLocale::Germany)},
            {"C", QLocale::c()},
            {"en", QLocale(QLocale::English, QLocale::UnitedStates)}};
        for (const auto &[localeName, locale] : locales) {
            for (const auto &[name, change, presses, status] : cases) {
                QTest::addRow("%s %s", name, localeName)
                    << locale << change << presses
                    << QStringLiteral("Zurückgenommen: ") + QString::fromUtf8(status);
            }
        }
    }

    // The state just before the change comes back whole: rows in their
    // order with their places, both lanes' teams, the edit mode off.
    void eachChangeIsTakenBack()
    {
        QFETCH(QLocale, locale);
        QFETCH(Change, change);
        QFETCH(int, presses);
        QFETCH(QString, status);
        MainWindowFixture::UseLocale(locale);
        RaceDayAfterOneHeat();
        if (change == Change::ReRun) {
            m_fixture.PutOnLane(1, QStringLiteral("Blitz"));
            m_fixture.PutOnLane(2, QStringLiteral("Wind"));
        } else {
            Heat(QStringLiteral("Donner"), QStringLiteral("Sturm"), 52340, 38760, !InHeat(change));
        }
        if (!InHeat(change)) {
            m_fixture.PutOnLane(1, QStringLiteral("Donner"));
            m_fixture.PutOnLane(2, QStringLiteral("Sturm"));
        }
        const QList<QStringList> before = m_fixture.GridRows();
        const QPair<QString, QString> lanes = m_fixture.LaneTeams();
        const std::vector<int> startOrder = Form()->Protocol->StartOrder();

        Make(change);
        QVERIFY(m_fixture.GridRows() != before);
        for (int press = 0; press < presses; ++press)
            Undo();

        QCOMPARE(m_fixture.StatusText(), status);
        QCOMPARE(m_fixture.GridRows(), before);
        QCOMPARE(m_fixture.LaneTeams(), lanes);
        QCOMPARE(Form()->Protocol->StartOrder(), startOrder); // who runs next
        QCOMPARE(Form()->bSTART->isEnabled(), !InHeat(change));
    }

    // What Ctrl+Z restored is on the disk before the key's handler returns:
    // a crash right after it brings back the protocol as the window shows it.
    void journalHoldsWhatWasTakenBack()
    {
        RaceDayAfterOneHeat();
        m_fixture.Heat(52340, 38760, false);
        const QList<QStringList> stopped = m_fixture.GridRows();
        Form()->sb1del->click();
        Undo();
        QCOMPARE(m_fixture.GridRows(), stopped);
        QVERIFY(JournalShowsWindow());

        Form()->mReset->trigger();
        const QList<QStringList> ranked = m_fixture.GridRows();
        ConfirmNext();
        Form()->sbCLSall->click();
        QVERIFY(JournalShowsWindow());
        Undo();
        QCOMPARE(m_fixture.GridRows(), ranked);
        QVERIFY(JournalShowsWindow());
    }

    // More than twenty changes come back one by one, each to the state
    // before it; a new list starts a new history; a heat on the track
    // keeps its rows until its reset.
    void historyIsDeepEndsWithTheListAndWaitsForTheHeat()
    {
        m_fixture.Load(RaceDay);
        Heat(QStringLiteral("Blitz"), QStringLiteral("Wind"), 41230, 45670, false);
        TBitBtnWithColor *const buttons[] = {Form()->bStrafe15_1, Form()->bStrafe30_2,
                                             Form()->sb1del,      Form()->bDisqulifikation2,
                                             Form()->bStrafe30_1, Form()->bStrafe15_2};
        QList<QList<QStringList>> states = {m_fixture.GridRows()};
        for (int change = 0; change < 24; ++change) {
            buttons[change % std::size(buttons)]->click();
            states << m_fixture.GridRows();
        }
        for (qsizetype state = states.size() - 2; state >= 0; --state) {
            Undo();
            QCOMPARE(m_fixture.GridRows(), states[state]);
        }
        Undo();
        QCOMPARE(m_fixture.StatusText(), QStringLiteral("Nichts zurückzunehmen"));
        QCOMPARE(m_fixture.GridRows(), states.first());

        Form()->bStrafe15_1->click();
        Form()->mReset->trigger();
        ConfirmNext(); // the results are not saved
        m_fixture.Load(RaceDay, QStringLiteral("Zweite.txt"));
        const QList<QStringList> loaded = m_fixture.GridRows();
        Undo();
        QCOMPARE(m_fixture.StatusText(), QStringLiteral("Nichts zurückzunehmen"));
        QCOMPARE(m_fixture.GridRows(), loaded);

        RemoveRowOf(QStringLiteral("Hagel"));
        const QList<QStringList> removed = m_fixture.GridRows();
        Form()->mStart->trigger();
        Undo();
        QCOMPARE(m_fixture.StatusText(),
                 QStringLiteral("Erst nach dem Lauf zurückzunehmen: Zeile entfernt Team 17 Hagel"));
        QCOMPARE(m_fixture.GridRows(), removed);
        QVERIFY(Form()->Clock->isActive());
        m_fixture.Platform().AdvanceTick(30000);
        Form()->mSTOP1->trigger();
        Form()->mStop2->trigger();
        Form()->mReset->trigger();
        Undo();
        QCOMPARE(m_fixture.StatusText(),
                 QStringLiteral("Zurückgenommen: Zeile entfernt Team 17 Hagel"));
        QCOMPARE(m_fixture.TeamRow(QStringLiteral("Hagel")).mid(0, 4),
                 QStringList({"17", "Hagel", "2", "Frida"}));
        QCOMPARE(m_fixture.GridRows().size(), RaceDay.size());
    }

    // A notice goes with its cause: a replaced time taken back during its
    // heat is not announced again beside the other lane's, and the old
    // list's notices (its own and its heats') go with the list.
    void noticesGoWithTheirCause_data()
    {
        QTest::addColumn<bool>("reRun");
        QTest::newRow("replaced time taken back") << true;
        QTest::newRow("the old list's notice") << false;
    }
    void noticesGoWithTheirCause()
    {
        QFETCH(bool, reRun);
        if (!reRun) {
            m_fixture.Load(QByteArray("1\tA\x01\t1\tF\n2\tB\t1\tF\n"), QStringLiteral("Alt.txt"));
            QCOMPARE(m_fixture.StatusText(),
                     QStringLiteral("Starterliste: 1 Steuerzeichen entfernt"));
            m_fixture.Load(RaceDay);
            QCOMPARE(m_fixture.StatusText(), QString());
            return;
        }
        RaceDayAfterOneHeat();
        m_fixture.PutOnLane(1, QStringLiteral("Blitz"));
        m_fixture.PutOnLane(2, QStringLiteral("Wind"));
        Form()->mStart->trigger();
        m_fixture.Platform().AdvanceTick(30000);
        Form()->mSTOP1->trigger();
        QVERIFY(m_fixture.StatusText().contains(QStringLiteral("Blitz")));
        Undo();
        m_fixture.Platform().AdvanceTick(1000);
        Form()->mStop2->trigger();
        QCOMPARE(m_fixture.StatusText(), QStringLiteral("Team 15 Wind: 45,67 ersetzt durch 31,00"));
        // The heat's notice is about the old list: it goes with it.
        Form()->mReset->trigger();
        Form()->Protocol->MarkProtocolSaved();
        m_fixture.Load(RaceDay, QStringLiteral("Zweite.txt"));
        QCOMPARE(m_fixture.StatusText(), QString());
    }

private:
    // The journal on the disk holds the rows and lanes the window shows.
    bool JournalShowsWindow() const
    {
        Form()->Journal->WaitUntilWritten();
        JournalState disk;
        if (Journal(Form()->Journal->FileName()).Read(disk) != Journal::Found::Readable)
            return false;
        const JournalState shown = Form()->Journal->CurrentState();
        return disk.rows == shown.rows && disk.lane1 == shown.lane1 && disk.lane2 == shown.lane2;
    }
};

QTEST_MAIN(tst_ProtocolUndo)
#include "tst_ProtocolUndo.moc"
