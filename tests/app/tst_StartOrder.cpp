// Who runs next, in the real main window: the teams go onto the lanes in
// the order their list gave them (class, then file order), whatever the
// operator did to the rows between the heats.
#include "MainWindowFixture.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/FileTypeNames.h"
#include "settings/Cfg.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>
#include <QtTest>
#include <functional>

using Lanes = QPair<QString, QString>;
using Action = std::function<void(MainWindowFixture &)>;
Q_DECLARE_METATYPE(Action)

namespace {

const QString EndOfList = QStringLiteral("Ende der Starterliste: wieder die ersten Teams");

int GridRowOf(const MainWindowFixture &fixture, const QString &teamName)
{
    const QList<QStringList> rows = fixture.GridRows();
    for (int k = 0; k < rows.size(); ++k) {
        if (rows[k][ColTeamName] == teamName)
            return k + 1;
    }
    return -1;
}

void SetLaneCount(MainWindowFixture &fixture, int lanes)
{
    fixture.Platform().dialogAnswers.enqueue([lanes](QDialog *dialog) {
        static_cast<TCfgDialog *>(dialog)->SetRgBahnIndex(lanes - 1);
        return int(QDialog::Accepted);
    });
    fixture.Form()->bCFGClick();
}

} // namespace

class TestStartOrder : public QObject
{
    Q_OBJECT

    MainWindowFixture m_fixture;

    TFormMain *Form() const { return m_fixture.Form(); }

private slots:
    void initTestCase() { m_fixture.Enter(); }
    void init()
    {
        m_fixture.Open();
        Form()->resize(1000, 700);
        Form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form()));
    }
    void cleanup() { m_fixture.Close(); }

    // Six teams of one class. A and B run, then C and D; between C and
    // D's stops and the reset the operator sorts or edits rows (removes
    // one right after the reset).
    // The reset puts E and F on the lanes all the same; after their heat
    // the list starts over at its first teams, and the status line says so.
    void nextTeamsFollowTheStartOrder_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<Lanes>("startOver");
        const Lanes ab("A", "B");
        QTest::newRow("nothing") << Action([](MainWindowFixture &) {}) << ab;
        QTest::newRow("TeamName descending") << Action([](MainWindowFixture &f) {
            f.ClickHeader(ColTeamName);
            f.ClickHeader(ColTeamName);
        }) << ab;
        QTest::newRow("sorted by Zeit")
            << Action([](MainWindowFixture &f) { f.ClickHeader(ColZeit); }) << ab;
        QTest::newRow("A moved to class 3") << Action([](MainWindowFixture &f) {
            QTest::mouseClick(f.Form()->cbEditON, Qt::LeftButton);
            f.EditCell(ColKlasse, GridRowOf(f, QStringLiteral("A")), QStringLiteral("3"));
            QTest::mouseClick(f.Form()->cbEditON, Qt::LeftButton);
        }) << ab;
        QTest::newRow("B removed after the reset") << Action([](MainWindowFixture &f) {
            f.Form()->mReset->trigger();
            f.Form()->SortGrid1->SetRow(GridRowOf(f, QStringLiteral("B")));
            f.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
            f.Form()->sbCLS->click();
        }) << Lanes("A", "C");
    }
    void nextTeamsFollowTheStartOrder()
    {
        QFETCH(Action, action);
        m_fixture.Load(MainWindowFixture::Teams({"A", "B", "C", "D", "E", "F"}));
        QCOMPARE(m_fixture.LaneTeams(), Lanes("A", "B"));
        m_fixture.Heat(20000, 21000);
        QCOMPARE(m_fixture.LaneTeams(), Lanes("C", "D"));
        m_fixture.Heat(10000, 11000, false);
        action(m_fixture);
        Form()->mReset->trigger();
        QCOMPARE(m_fixture.LaneTeams(), Lanes("E", "F"));
        QVERIFY(m_fixture.StatusText().isEmpty());

        m_fixture.Heat(12000, 13000);
        QTEST(m_fixture.LaneTeams(), "startOver");
        QCOMPARE(m_fixture.StatusText(), EndOfList);
    }

    // A saved protocol loaded as the list goes on at its first team
    // without a result, in the order of the classes and of the file; one
    // where every team has run starts over at the first teams.
    void loadedResultsAreSkipped_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<Lanes>("lanes");
        QTest::addColumn<QString>("status");
        const QStringList partly = {"1\tA\t2\tFa\t\t\t9,00\t0,00\t9,00\t1",
                                    "2\tB\t1\tFb\t\t\t12,00\t0,00\t12,00\t1",
                                    "3\tC\t2",
                                    "4\tD\t1\tFd\t\t\tAUS\tAUS\tAUS\tAUS",
                                    "5\tE\t1",
                                    "6\tF\t2"};
        QTest::newRow("some have run") << partly << Lanes("E", "C") << QString();
        const QStringList all = {"1\tA\t2\tFa\t\t\t9,00\t0,00\t9,00\t1",
                                 "2\tB\t1\tFb\t\t\t12,00\t0,00\t12,00\t1",
                                 "3\tC\t1\tFc\t\t\t10,00\t0,00\t10,00\t1"};
        QTest::newRow("all have run") << all << Lanes("B", "C") << EndOfList;
    }
    void loadedResultsAreSkipped()
    {
        QFETCH(QStringList, lines);
        m_fixture.Load(lines);
        QTEST(m_fixture.LaneTeams(), "lanes");
        QTEST(m_fixture.StatusText(), "status");
    }

    // A lane never keeps a team it cannot run: whenever the lane count
    // changes, each shown lane holds the next team without a result that
    // is not on the other lane (B, which ran on lane 1 meanwhile, is not
    // offered again); a removed lane team hands its lane to the next team.
    void lanesMoveOffTeamsTheyCannotRun_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<Lanes>("lanes");
        QTest::addColumn<QString>("status");
        QTest::newRow("one lane, two heats, two lanes again") << Action([](MainWindowFixture &f) {
            SetLaneCount(f, 1);
            f.Heat(3620, std::nullopt);
            f.Heat(4000, std::nullopt);
            SetLaneCount(f, 2);
        }) << Lanes("C", "D") << QString();
        QTest::newRow("lane 2's team removed") << Action([](MainWindowFixture &f) {
            f.Form()->SortGrid1->SetRow(GridRowOf(f, QStringLiteral("B")));
            f.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
            f.Form()->sbCLS->click();
        }) << Lanes("A", "C") << "Rennspur 2: Team 2 entfernt – jetzt Team 3";
    }
    void lanesMoveOffTeamsTheyCannotRun()
    {
        QFETCH(Action, action);
        m_fixture.Load(MainWindowFixture::Teams({"A", "B", "C", "D", "E", "F"}));
        action(m_fixture);
        QTEST(m_fixture.LaneTeams(), "lanes");
        QTEST(m_fixture.StatusText(), "status");
        QVERIFY(Form()->bSTART->isEnabled());
        // B keeps what it ran (or stays removed): START ran the lanes' teams.
        const QStringList b = m_fixture.TeamRow(QStringLiteral("B"));
        m_fixture.Heat(5000, 6000);
        QCOMPARE(m_fixture.TeamRow(QStringLiteral("B")), b);
    }

    // At every reset the teams without a result return to start order, so
    // a protocol saved after a name sort and the heats after it loads back
    // with the same next teams.
    void savedAfterASortGoesOnWithTheSameTeams()
    {
        m_fixture.Load(MainWindowFixture::Teams({"Zeta", "Yak", "Xeno", "Wolf", "Vier", "Uhu"}));
        m_fixture.Heat(20000, 21000);
        m_fixture.ClickHeader(ColTeamName);
        m_fixture.Heat(10000, 11000);
        QCOMPARE(m_fixture.LaneTeams(), Lanes("Vier", "Uhu"));
        const QString saved = m_fixture.Folder().FilePath(QStringLiteral("Gespeichert.txt"));
        m_fixture.Save(saved, SaveDialogIndex(FileType::TabText));
        m_fixture.LoadFile(saved);
        QCOMPARE(m_fixture.LaneTeams(), Lanes("Vier", "Uhu"));
    }

    // The recovery journal keeps the start order: a race day taken up again
    // with the rows sorted by name goes on with the same next teams.
    void recoveredRaceDayKeepsTheStartOrder()
    {
        m_fixture.Load(MainWindowFixture::Teams({"A", "B", "C", "D", "E", "F"}));
        m_fixture.Heat(20000, 21000);
        m_fixture.ClickHeader(ColTeamName);
        m_fixture.ClickHeader(ColTeamName);
        QCOMPARE(m_fixture.GridRows().first()[ColTeamName], QStringLiteral("F"));
        m_fixture.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        m_fixture.Restart();
        QVERIFY(m_fixture.Platform().dialogAnswers.isEmpty());
        QCOMPARE(m_fixture.LaneTeams(), Lanes("C", "D"));
        m_fixture.Heat(10000, 11000);
        QCOMPARE(m_fixture.LaneTeams(), Lanes("E", "F"));
    }
};

QTEST_MAIN(TestStartOrder)
#include "tst_StartOrder.moc"
