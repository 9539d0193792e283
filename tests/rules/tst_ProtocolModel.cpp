// The protocol's rules on their own, without any window: a lane's time,
// penalties, marks and hand edits, the ranking, who runs next, removed
// rows, taking changes back, and the one notification of each action.
#include "protocol/Penalties.h"
#include "protocol/ProtocolModel.h"

#include <QSignalSpy>
#include <QtTest>
#include <functional>

using Action = std::function<void(ProtocolModel &)>;
using Edit = std::function<bool(ProtocolModel &)>; // false: nothing to change
using Rows = std::vector<int>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(ProtocolChange)
Q_DECLARE_METATYPE(TakenBack::Outcome)

namespace {

using Cells = QList<std::pair<ProtocolColumn, QString>>;

ProtocolRow Team(const QString &nr, const QString &name, const QString &klasse,
                 const Cells &results = {})
{
    ProtocolRow row;
    row[ColNr] = nr;
    row[ColTeamName] = name;
    row[ColKlasse] = klasse;
    for (const auto &[column, text] : results)
        row[column] = text;
    return row;
}

// The result cells of a team that has run without a penalty.
Cells Ran(const QString &time, const QString &place = {})
{
    return {{ColZeit, time}, {ColStrafzeit, "0,00"}, {ColTotal, time}, {ColPlatz, place}};
}

// Adler has run; Biber, Dachs and Elch wait, in start order, all of class 1.
const QStringList RaceDayNames = {"Adler", "Biber", "Dachs", "Elch"};
ProtocolTable RaceDay()
{
    return {Team("1", "Adler", "1", Ran("40,00", "1")), Team("2", "Biber", "1"),
            Team("3", "Dachs", "1"), Team("4", "Elch", "1")};
}

QStringList Column(const ProtocolModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.RowCount(); ++row)
        texts << model.Cell(row, column).toString();
    return texts;
}

// "Biber/Dachs": the teams of two rows, "-" for none.
QString NamesOf(const ProtocolModel &model, const std::array<int, 2> &rows)
{
    const auto name = [&](int row) {
        return row < 0 ? QStringLiteral("-") : model.Cell(row, ColTeamName).toString();
    };
    return name(rows[0]) + '/' + name(rows[1]);
}

QString Lanes(const ProtocolModel &model)
{
    return NamesOf(model, {model.LaneRow(0), model.LaneRow(1)});
}

QStringList Results(const ProtocolModel &model, int row)
{
    return {model.Cell(row, ColZeit).toString(), model.Cell(row, ColStrafzeit).toString(),
            model.Cell(row, ColTotal).toString(), model.Cell(row, ColPlatz).toString()};
}

// Lane 1's team, stopped at 45 s, gets 15 s.
bool Penalty15(ProtocolModel &model)
{
    return model.ChangeLaneRow(0, "S15", [](ProtocolRow &row) { WritePenalty(row, 45000, 15); });
}

ProtocolChange ChangeOf(const QSignalSpy &changes, qsizetype index)
{
    return changes.at(index).at(0).value<ProtocolChange>();
}

} // namespace

class TestProtocolModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Biber, on lane 1, has run unless `earlier` is empty.
    void changesTheLanesTeam_data()
    {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QStringList>("biber");
        QTest::addColumn<QString>("what"); // kept for taking back
        const auto add = [](const char *name, QString earlier, Edit edit, bool written,
                            QStringList biber, QString what) {
            QTest::newRow(name) << earlier << edit << written << biber << what;
        };
        const auto record = [](int lane) {
            return Edit([=](ProtocolModel &m) { return m.RecordLaneTime(lane, ColZeit, "12,34"); });
        };
        const Edit dropOut = [](ProtocolModel &model) {
            return model.ChangeLaneRow(0, "Ausfall",
                                       [](ProtocolRow &row) { WriteResultMark(row, DropOutMark); });
        };
        const auto type = [](int column, QString text) {
            return Edit([=](ProtocolModel &model) {
                const QString before = model.Cell(1, column).toString();
                model.TypeCell(1, column, text);
                model.FinishHandEdit(1, column, before);
                return true;
            });
        };
        const QStringList timed = {"12,34", "0,00", "12,34", "2"};
        const QStringList out = {"AUS", "AUS", "AUS", "AUS"};
        const QString typed = "Zelle geändert Team 2 Biber";
        add("first time", "", record(0), true, {"12,34", "0,00", "12,34", ""}, "");
        add("blank time is none", " ", record(0), true, timed, "");
        add("replaced time", "45,00", record(0), true, timed, "Zeit ersetzt Team 2 Biber");
        add("lane without team", "", record(1), false, {"", "", "", ""}, "");
        add("penalty", "45,00", Penalty15, true, {"45,00", "15,00", "60,00", "2"},
            "S15 Team 2 Biber");
        add("drop-out", "45,00", dropOut, true, out, "Ausfall Team 2 Biber");
        add("typed penalty", "45,00", type(ColStrafzeit, "5,5"), true,
            {"45,00", "5,5", "50,50", "2"}, typed);
        add("typed time", "45,00", type(ColZeit, "38,1"), true, {"38,1", "0,00", "38,10", "2"},
            typed);
        add("typed mark", "45,00", type(ColZeit, "AUS"), true, out, typed);
    }
    void changesTheLanesTeam()
    {
        QFETCH(QString, earlier);
        QFETCH(Edit, edit);
        QFETCH(bool, written);
        QFETCH(QString, what);
        ProtocolModel model;
        model.Restore({Team("1", "Adler", "1", Ran("40,00", "1")),
                       Team("2", "Biber", "1", earlier.isEmpty() ? Cells{} : Ran(earlier, "2"))},
                      {}, 1, -1, false);
        const QStringList before = Results(model, 1);
        QSignalSpy changes(&model, &ProtocolModel::changed);

        QCOMPARE(edit(model), written);
        QTEST(Results(model, 1), "biber");
        QCOMPARE(model.Modified(), written);
        QCOMPARE(changes.isEmpty(), !written);
        if (written)
            QCOMPARE(ChangeOf(changes, changes.size() - 1).rows, Rows{1});
        model.MarkSaved();
        QVERIFY(!model.Modified());
        QCOMPARE(model.UndoStack().count(), what.isEmpty() ? 0 : 1);
        if (!what.isEmpty()) {
            const TakenBack taken = model.TakeBack(false);
            QCOMPARE(taken.outcome, TakenBack::Outcome::Done);
            QCOMPARE(taken.what, what);
            QCOMPARE(Results(model, int(Column(model, ColTeamName).indexOf("Biber"))), before);
        }
    }

    // Classes in order, totals in order within a class, ties sharing a
    // place, teams without a total in start order, "AUS" last keeping its
    // mark; the lanes stay on their teams.
    void ranksByClassThenTotal()
    {
        ProtocolModel model;
        model.Restore({Team("1", "Adler", "2", Ran("50,00")), Team("2", "Biber", "1"),
                       Team("3", "Dachs", "1", Ran("40,50")), Team("4", "Elch", "1", Ran("40,5")),
                       Team("5", "Fuchs", "1", Ran("41,00")), Team("6", "Gans", "2"),
                       Team("7", "Hase", "1", {{ColPlatz, "4"}}),
                       Team("8", "Igel", "2", Ran(DropOutMark, DropOutMark))},
                      {0, 7, 2, 3, 4, 5, 1, 6}, 4, 1, false);
        QSignalSpy changes(&model, &ProtocolModel::changed);

        model.Rank();
        QCOMPARE(Column(model, ColTeamName),
                 QStringList({"Dachs", "Elch", "Fuchs", "Hase", "Biber", "Adler", "Gans", "Igel"}));
        QCOMPARE(Column(model, ColPlatz), QStringList({"1", "1", "3", "", "", "1", "", "AUS"}));
        QCOMPARE(Lanes(model), "Fuchs/Biber");
        QCOMPARE(model.StartPlaces(), Rows({2, 3, 4, 1, 7, 0, 5, 6}));
        QCOMPARE(changes.size(), 1);
        QVERIFY(ChangeOf(changes, 0).wholeTable);
        QCOMPARE(ChangeOf(changes, 0).movedFrom, Rows({2, 3, 4, 6, 1, 0, 5, 7}));
    }

    // Start order: Biber, Dachs, Elch, Adler.
    void findsTheNextTeams_data()
    {
        QTest::addColumn<QStringList>("times"); // of Adler, Biber, Dachs, Elch
        QTest::addColumn<int>("laneCount");
        QTest::addColumn<int>("racingLanes");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QList<bool>>("startedOver");
        QTest::addColumn<QString>("beside"); // the first next team
        const auto add = [](const char *name, QStringList times, int laneCount, int racingLanes,
                            QString next, QList<bool> startedOver, QString beside) {
            QTest::newRow(name) << times << laneCount << racingLanes << next << startedOver
                                << beside;
        };
        const QStringList threeRan = {"", "41,00", "42,00", "43,00"};
        add("nobody has run", {"", "", "", ""}, 2, 2, "Biber/Dachs", {false, false}, "Dachs/-");
        add("results skipped", {"", "41,00", "", ""}, 2, 2, "Dachs/Elch", {false, false}, "Elch/-");
        add("blank time is none", {"", " ", "", ""}, 2, 2, "Biber/Dachs", {false, false},
            "Dachs/-");
        add("one team left", threeRan, 2, 2, "Adler/Biber", {false, true}, "-/-");
        add("one team left, one lane racing", threeRan, 2, 1, "Adler/Biber", {false, true}, "-/-");
        add("everybody has run", {"40,00", "41,00", "42,00", "43,00"}, 2, 2, "Biber/Dachs",
            {true, true}, "-/-");
        add("one lane", {"", "41,00", "", ""}, 1, 1, "Dachs/-", {false, false}, "Elch/-");
    }
    void findsTheNextTeams()
    {
        QFETCH(QStringList, times);
        QFETCH(int, laneCount);
        QFETCH(int, racingLanes);
        QFETCH(QList<bool>, startedOver);
        ProtocolTable rows = RaceDay();
        for (std::size_t row = 0; row < rows.size(); ++row)
            rows[row][ColZeit] = times[qsizetype(row)];
        ProtocolModel model;
        model.Restore(rows, {3, 0, 1, 2}, -1, -1, false);
        QSignalSpy changes(&model, &ProtocolModel::changed);

        const NextTeams next = model.FindNextTeams(laneCount);
        QTEST(NamesOf(model, next.rows), "next");
        QCOMPARE(QList<bool>({next.startedOver[0], next.startedOver[1]}), startedOver);
        QTEST(NamesOf(model, {model.NextTeamBeside(next.rows[0]), -1}), "beside");
        QCOMPARE(model.PutLanesOnNextTeams(laneCount, racingLanes) == StartedOverNotice,
                 startedOver.mid(0, racingLanes).contains(true));
        QTEST(Lanes(model), "next");
        QCOMPARE(changes.size(), 1);
    }

    void removedRowLeavesItsLanes_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("lanes");
        QTest::addColumn<QString>("moved");
        QTest::addColumn<QString>("lanesAfter");
        const auto add = [](const char *name, QString removed, QString lanes, QString moved,
                            QString lanesAfter) {
            QTest::newRow(name) << removed << lanes << moved << lanesAfter;
        };
        add("lane 1's team", "Biber", "Biber/Dachs", "Elch/-", "Elch/Dachs");
        add("lane 2's team", "Dachs", "Biber/Dachs", "-/Elch", "Biber/Elch");
        add("back to an earlier team", "Elch", "Dachs/Elch", "-/Biber", "Dachs/Biber");
        add("both lanes' team", "Biber", "Biber/Biber", "Dachs/Elch", "Dachs/Elch");
        add("no lane's team", "Adler", "Biber/Dachs", "-/-", "Biber/Dachs");
    }
    void removedRowLeavesItsLanes()
    {
        QFETCH(QString, removed);
        QFETCH(QString, lanes);
        const QStringList onLanes = lanes.split('/');
        const int row = int(RaceDayNames.indexOf(removed));
        ProtocolModel model;
        model.Restore(RaceDay(), {}, int(RaceDayNames.indexOf(onLanes[0])),
                      int(RaceDayNames.indexOf(onLanes[1])), false);
        QSignalSpy changes(&model, &ProtocolModel::changed);

        QTEST(NamesOf(model, model.RemoveRow(row)), "moved");
        QTEST(Lanes(model), "lanesAfter");
        QVERIFY(!Column(model, ColTeamName).contains(removed));
        QCOMPARE(changes.size(), 1);
        QVERIFY(ChangeOf(changes, 0).wholeTable && ChangeOf(changes, 0).cellsEdited);

        QCOMPARE(model.TakeBack(false).what,
                 QString("Zeile entfernt Team %1 %2").arg(row + 1).arg(removed));
        QCOMPARE(Column(model, ColTeamName), RaceDayNames);
        QCOMPARE(Lanes(model), lanes);
    }

    // Biber and Dachs are on the lanes; nothing is unsaved.
    void takesBackTheNewestChange_data()
    {
        QTest::addColumn<Action>("change");
        QTest::addColumn<bool>("heat");
        QTest::addColumn<TakenBack::Outcome>("outcome");
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("modified");
        const auto add = [](const char *name, Action change, bool heat, TakenBack::Outcome outcome,
                            QString what, bool modified) {
            QTest::newRow(name) << change << heat << outcome << what << modified;
        };
        using enum TakenBack::Outcome;
        const Action none = [](ProtocolModel &) {};
        const Action penalized = [](ProtocolModel &model) { Penalty15(model); };
        const Action sorted = [](ProtocolModel &model) {
            Penalty15(model);
            model.Reorder({3, 2, 1, 0});
        };
        const Action loaded = [](ProtocolModel &model) {
            Penalty15(model);
            model.LoadList(ColumnsOf(RaceDay()));
        };
        const Action removal = [](ProtocolModel &model) { model.RemoveRow(1); };
        const Action clearing = [](ProtocolModel &model) { model.Clear(); };
        const QString penalty = "S15 Team 2 Biber", removed = "Zeile entfernt Team 2 Biber";
        add("nothing", none, false, Nothing, "", false);
        add("penalty", penalized, false, Done, penalty, true);
        add("penalty during a heat", penalized, true, Done, penalty, true);
        add("penalty, then a sort", sorted, false, Done, penalty, true);
        add("penalty, then a loaded list", loaded, false, Nothing, "", false);
        add("removed row", removal, false, Done, removed, true);
        add("removed row during a heat", removal, true, AfterHeat, removed, true);
        add("cleared", clearing, false, Done, "Protokoll gelöscht", false);
        add("cleared during a heat", clearing, true, AfterHeat, "Protokoll gelöscht", false);
    }
    void takesBackTheNewestChange()
    {
        QFETCH(Action, change);
        QFETCH(bool, heat);
        QFETCH(TakenBack::Outcome, outcome);
        ProtocolModel model;
        model.Restore(RaceDay(), {}, 1, 2, false);
        change(model);
        const ProtocolTable after = model.Table();
        const QString lanesAfter = Lanes(model);
        QSignalSpy changes(&model, &ProtocolModel::changed);

        const TakenBack taken = model.TakeBack(heat);
        QCOMPARE(taken.outcome, outcome);
        QTEST(taken.what, "what");
        QTEST(model.Modified(), "modified");
        const bool done = outcome == TakenBack::Outcome::Done;
        QVERIFY(model.Table() == (done ? RaceDay() : after));
        QCOMPARE(Lanes(model), done ? "Biber/Dachs" : lanesAfter);
        QCOMPARE(changes.size(), done ? 1 : 0);
        // Cells that came back exist nowhere else: the recovery journal
        // takes a whole-table change without edited cells for a mere move.
        const ProtocolChange back = done ? ChangeOf(changes, 0) : ProtocolChange{};
        QVERIFY2(!back.wholeTable || back.cellsEdited, "taken back as if the rows only moved");
        const bool kept = outcome == TakenBack::Outcome::AfterHeat; // still on the stack
        QCOMPARE(model.TakeBack(heat).outcome, kept ? outcome : TakenBack::Outcome::Nothing);
    }
};

QTEST_GUILESS_MAIN(TestProtocolModel)
#include "tst_ProtocolModel.moc"
