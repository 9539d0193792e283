// Several runs per team on the protocol model: the scores, the run the
// lanes go to, the lane change, teams set aside, late entries and a
// change of the number of runs.
#include "protocol/Penalties.h"
#include "protocol/ProtocolModel.h"
#include "race/RaceTime.h"

#include <QtTest>

namespace {

using Runs = QStringList;

ProtocolColumns List(const QStringList &teams)
{
    ProtocolTable rows;
    for (const QString &team : teams) {
        const QStringList fields = team.split(' ');
        ProtocolRow &row = rows.emplace_back();
        row[ColNr] = fields[0];
        row[ColTeamName] = fields[1];
        row[ColKlasse] = fields[2];
    }
    return ColumnsOf(rows);
}

RoundsSetup Rounds(int runs, Scoring scoring = Scoring::Sum,
                   std::vector<std::pair<QString, Scoring>> classes = {})
{
    return {runs, scoring, std::move(classes), true};
}

int RowOf(const ProtocolModel &model, const QString &name)
{
    for (int row = 0; row < model.RowCount(); ++row) {
        if (model.Cell(row, ColTeamName) == name)
            return row;
    }
    return -1;
}

QString Name(const ProtocolModel &model, int row)
{
    return row < 0 ? QStringLiteral("-") : model.Cell(row, ColTeamName).toString();
}

QString Lanes(const ProtocolModel &model)
{
    return Name(model, model.LaneRow(0)) + '/' + Name(model, model.LaneRow(1));
}

// One heat as the window runs it: each lane's time (empty: "AUS"), the
// ranking at the reset and the lanes on to the next teams. The notice.
QString Heat(ProtocolModel &model, const QString &lane1, const QString &lane2)
{
    for (const int lane : {0, 1}) {
        const QString &time = lane == 0 ? lane1 : lane2;
        if (time.isEmpty())
            model.ChangeLaneRow(lane, "Ausfall",
                                [](ProtocolRow &row) { WriteResultMark(row, DropOutMark); });
        else
            model.RecordLaneTime(lane, ColZeit, time);
    }
    model.Rank();
    return model.PutLanesOnNextTeams(2, 2);
}

// "Adler 40,00/41,00 → 81,00 (1)": a team's runs, score and place.
QString Standing(const ProtocolModel &model, const QString &name)
{
    const int row = RowOf(model, name);
    QStringList runs;
    for (int run = 1; run <= model.Runs(); ++run)
        runs << model.Cell(row, RunColumn(run)).toString();
    return QStringLiteral("%1 %2 → %3 (%4)")
        .arg(name, runs.join('/'), model.Cell(row, ColTotal).toString(),
             model.Cell(row, ColPlatz).toString());
}

} // namespace

class tst_ProtocolRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void scoresTheRuns_data()
    {
        QTest::addColumn<Runs>("runs");
        QTest::addColumn<Scoring>("scoring");
        QTest::addColumn<QString>("score");
        const auto add = [](const char *name, const Runs &runs, Scoring scoring,
                            const QString &score) {
            QTest::newRow(name) << runs << scoring << score;
        };
        add("sum", {"40,00", "41,50", ""}, Scoring::Sum, "81,50");
        add("sum, nothing yet", {"", "", ""}, Scoring::Sum, "");
        add("best", {"40,00", "39,99", "41,00"}, Scoring::BestRun, "39,99");
        add("consistency", {"40,00", "41,50", "40,20"}, Scoring::Consistency, "1,50");
        add("consistency waits for two runs", {"40,00", "", ""}, Scoring::Consistency, "");
        add("DIS wins over all", {"40,00", "AUS", "DIS"}, Scoring::BestRun, "DIS");
        add("AUS ends a sum", {"40,00", "AUS", ""}, Scoring::Sum, "AUS");
        add("not at the start is AUS", {"n.a.", "40,00", ""}, Scoring::Consistency, "AUS");
        add("best keeps its time past AUS", {"n.a.", "40,00", ""}, Scoring::BestRun, "40,00");
        add("best of none is AUS", {"AUS", "n.a.", ""}, Scoring::BestRun, "AUS");
        add("unreadable run kept as text", {"40,00", "4O,00", ""}, Scoring::Sum, "4O,00");
        add("short, long and spaced times", {"40,5", " 39,505 ", "1.0001"}, Scoring::Sum, "81,00");
    }
    void scoresTheRuns()
    {
        QFETCH(Runs, runs);
        QFETCH(Scoring, scoring);
        std::vector<QStringView> cells(runs.begin(), runs.end());
        QTEST(ScoreOfRuns(cells, scoring), "score");
    }

    // Two classes, two runs with lane change: class 1 by sum (more runs
    // first while run 2 is under way), class 2 by consistency.
    void racesTwoRunsWithLaneChange()
    {
        ProtocolModel model;
        model.SetRounds(Rounds(2, Scoring::Sum, {{"2", Scoring::Consistency}}));
        model.LoadList(
            List({"1 Adler 1", "2 Biber 1", "3 Dachs 1", "4 Elch 1", "5 Fuchs 2", "6 Gams 2"}));
        QCOMPARE(model.PutLanesOnNextTeams(2, 2), QString());
        QCOMPARE(Lanes(model), "Adler/Biber");
        QCOMPARE(Heat(model, "40,00", "41,00"), QString());
        QCOMPARE(Lanes(model), "Dachs/Elch");
        QCOMPARE(Heat(model, "42,00", "39,00"), QString());
        QCOMPARE(Heat(model, "50,00", "52,00"), RunFinishedNotice(1));
        QCOMPARE(model.CurrentRun(), 2);
        // Run 2: each pair of run 1 on exchanged lanes.
        QCOMPARE(Lanes(model), "Biber/Adler");
        QCOMPARE(Heat(model, "40,50", "45,00"), QString());
        // Adler and Biber have two runs, ahead of the one-run teams.
        QCOMPARE(Standing(model, "Adler"), "Adler 40,00/45,00 → 85,00 (2)");
        QCOMPARE(Standing(model, "Biber"), "Biber 41,00/40,50 → 81,50 (1)");
        QCOMPARE(Standing(model, "Elch"), "Elch 39,00/ → 39,00 (3)");
        QCOMPARE(Lanes(model), "Elch/Dachs");
        QCOMPARE(Heat(model, "", "42,00"), QString());
        QCOMPARE(Standing(model, "Elch"), "Elch 39,00/AUS → AUS (AUS)");
        QCOMPARE(Lanes(model), "Gams/Fuchs");
        QCOMPARE(Heat(model, "51,00", "53,00"), StartedOverNotice);
        QCOMPARE(Standing(model, "Fuchs"), "Fuchs 50,00/53,00 → 3,00 (2)");
        QCOMPARE(Standing(model, "Gams"), "Gams 52,00/51,00 → 1,00 (1)");
        QCOMPARE(model.LaneOfRun(RowOf(model, "Gams"), 1), 1);
        QCOMPARE(model.LaneOfRun(RowOf(model, "Gams"), 2), 0);
        // A class written another way is the same class.
        QCOMPARE(model.Rounds().ScoringOf(u" 02 "), Scoring::Consistency);
    }

    // A team set aside in run 2 leaves its partner of run 1 to the next
    // team that needs the other lane; taking it back brings the team back.
    void setsATeamAside()
    {
        ProtocolModel model;
        model.SetRounds(Rounds(2));
        model.LoadList(List({"1 Adler 1", "2 Biber 1", "3 Dachs 1", "4 Elch 1"}));
        model.PutLanesOnNextTeams(2, 2);
        Heat(model, "40,00", "41,00");
        Heat(model, "42,00", "43,00");
        QCOMPARE(Lanes(model), "Biber/Adler");
        QVERIFY(model.SetAsideLaneTeam(1));
        QCOMPARE(model.Cell(RowOf(model, "Adler"), ColLauf2), NotStartedMark);
        // Dachs ran on lane 1 and changes to lane 2 beside Biber; Elch,
        // whose partner is gone, runs alone on lane 1.
        QCOMPARE(Lanes(model), "Biber/Dachs");
        QCOMPARE(Heat(model, "40,00", "44,00"), StartedOverNotice);
        QCOMPARE(Lanes(model), "Elch/Adler");
        QCOMPARE(Standing(model, "Adler"), "Adler 40,00/n.a. → AUS (AUS)");

        ProtocolModel oneRun;
        oneRun.LoadList(List({"1 Adler 1", "2 Biber 1", "3 Dachs 1"}));
        oneRun.PutLanesOnNextTeams(1, 1);
        QVERIFY(oneRun.SetAsideLaneTeam(0));
        QCOMPARE(Name(oneRun, oneRun.LaneRow(0)), "Biber");
        QCOMPARE(oneRun.Cell(RowOf(oneRun, "Adler"), ColTotal), NotStartedMark);
        // Ranked as "AUS": after the teams still to run, without a place.
        oneRun.Rank();
        QCOMPARE(RowOf(oneRun, "Adler"), oneRun.RowCount() - 1);
        QCOMPARE(oneRun.Cell(oneRun.RowCount() - 1, ColPlatz), NotStartedMark);
        QCOMPARE(oneRun.TakeBack(false).what, "Nicht angetreten Team 1 Adler");
        QCOMPARE(oneRun.Cell(RowOf(oneRun, "Adler"), ColTotal), QString());
    }

    void addsALateEntry()
    {
        ProtocolModel model;
        model.SetRounds(Rounds(2));
        model.LoadList(List({"1 Adler 1", "2 Biber 1", "3 Dachs 2"}));
        model.PutLanesOnNextTeams(2, 2);
        Heat(model, "40,00", "41,00");
        ProtocolRow team{};
        team[ColNr] = "4";
        team[ColTeamName] = "Kauz";
        team[ColKlasse] = "1";
        model.AddLateEntry(team);
        // At the end of class 1, before class 2, and without a result in run 1.
        QCOMPARE(model.StartPlaces()[std::size_t(RowOf(model, "Kauz"))], 2);
        QCOMPARE(model.StartPlaces()[std::size_t(RowOf(model, "Dachs"))], 3);
        QCOMPARE(Lanes(model), "Dachs/Kauz");
        QCOMPARE(model.TakeBack(false).what, "Nachmeldung Team 4 Kauz");
        QCOMPARE(RowOf(model, "Kauz"), -1);
        QCOMPARE(model.StartPlaces()[std::size_t(RowOf(model, "Dachs"))], 2);
        QCOMPARE(Lanes(model), "Dachs/Adler");
    }

    // More runs keep the results as run 1; fewer are refused while a run
    // that would go holds a result.
    void changesTheNumberOfRuns()
    {
        ProtocolModel model;
        model.LoadList(List({"1 Adler 1", "2 Biber 1"}));
        model.PutLanesOnNextTeams(2, 2);
        Heat(model, "40,00", "41,00");
        QVERIFY(model.SetRounds(Rounds(3)));
        QCOMPARE(model.ColumnCount(), ColLauf3 + 1);
        QCOMPARE(Standing(model, "Adler"), "Adler 40,00// → 40,00 (1)");
        QCOMPARE(model.PutLanesOnNextTeams(2, 2), RunFinishedNotice(1));
        Heat(model, "42,00", "39,00");
        QVERIFY(!model.SetRounds(Rounds(1)));
        QCOMPARE(model.Runs(), 3);
        QVERIFY(model.SetRounds(Rounds(2, Scoring::BestRun)));
        // The one run had no lanes noted: no change of lanes in run 2.
        QCOMPARE(Standing(model, "Biber"), "Biber 41,00/39,00 → 39,00 (1)");
        QCOMPARE(Standing(model, "Adler"), "Adler 40,00/42,00 → 40,00 (2)");
    }
};

Q_DECLARE_METATYPE(Scoring)

QTEST_GUILESS_MAIN(tst_ProtocolRuns)
#include "tst_ProtocolRuns.moc"
