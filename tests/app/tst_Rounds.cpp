// A race day of two runs per team through the real window: one class by
// sum, one by consistency, the lanes exchanged in run 2, a late entry, a
// team not at the start, a re-run of run 1 after run 2 began, "AUS" and
// "DIS", a kill in the middle of run 2, then a save and a reload.
#include "MainWindowFixture.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/FileTypeNames.h"
#include "app/ProtocolController.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QtTest>

namespace {

// "Nr." to "Platz", then "Lauf 1" and "Lauf 2".
constexpr int Total = 8, Platz = 9, Lauf1 = 10, Lauf2 = 11;

} // namespace

class TestRounds : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;

    // "Lauf 1/Lauf 2 → Total (Platz)" of a team as shown.
    QString Standing(const QString &team) const
    {
        const QStringList row = m_program.TeamRow(team);
        return QStringLiteral("%1/%2 → %3 (%4)")
            .arg(row.value(Lauf1), row.value(Lauf2), row.value(Total), row.value(Platz));
    }

private slots:
    void initTestCase() { m_program.Enter(); }
    void cleanup()
    {
        m_program.Close();
        MainWindowFixture::UseLocale(QLocale(QLocale::German, QLocale::Germany));
    }

    void raceDayOfTwoRuns_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("C") << QLocale::c();
    }
    void raceDayOfTwoRuns()
    {
        QFETCH(QLocale, locale);
        m_program.Open();
        MainWindowFixture::UseLocale(locale);
        TFormMain *form = m_program.Form();
        m_program.Load(
            MainWindowFixture::Teams({"Adler", "Biber", "Dachs", "Elch", "Fuchs", "Gams"}, 1) +
            MainWindowFixture::Teams({"Hase", "Igel", "Kauz", "Luchs", "Marder"}, 2)
                .replaceInStrings(QRegularExpression("^(\\d+)"), "2\\1"));
        m_program.SetRounds(2, {{"2", "Gleichmäßigkeit"}});

        // Run 1, a late entry after its first heat.
        m_program.Heat(40000, 41000);
        m_program.AddLateEntry({"26", "Nerz", "2", "Nina"});
        m_program.Heat(42000, 43000, false);
        form->sb2del->click(); // Elch: "Ausfall"
        form->mReset->trigger();
        m_program.Heat(44000, 45000, false);
        form->bDisqulifikation1->click(); // Fuchs
        form->mReset->trigger();
        m_program.Heat(50000, 51000);
        m_program.Heat(52000, 53000);
        QCOMPARE(m_program.LaneTeams(), qMakePair(QString("Marder"), QString("Nerz")));
        m_program.Heat(54000, 55000);
        QVERIFY(m_program.StatusText().contains("Lauf 1 beendet – weiter mit Lauf 2"));

        // Run 2: each pair of run 1 on exchanged lanes; Elch does not come.
        QCOMPARE(m_program.LaneTeams(), qMakePair(QString("Biber"), QString("Adler")));
        m_program.Heat(41500, 40500);
        QCOMPARE(m_program.LaneTeams(), qMakePair(QString("Elch"), QString("Dachs")));
        m_program.SetAside(1);
        QCOMPARE(m_program.LaneTeams(), qMakePair(QString("Gams"), QString("Dachs")));
        m_program.Heat(45500, 42500);

        // Killed in the middle of run 2 and recovered.
        const QList<QStringList> beforeKill = m_program.GridRows();
        m_program.Kill();
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        m_program.Restart();
        form = m_program.Form();
        QCOMPARE(m_program.GridRows(), beforeKill);
        QCOMPARE(form->cbLauf->currentText(), QString("Lauf 2 von 2"));
        QCOMPARE(m_program.LaneTeams(), qMakePair(QString("Igel"), QString("Fuchs")));
        m_program.Heat(51500, 44500);

        // A re-run of run 1 for Elch and Kauz, then back to run 2.
        m_program.ChooseRun(1);
        QCOMPARE(form->bSTART->text(), QString("&START Lauf 1"));
        m_program.PutOnLane(1, "Elch");
        m_program.PutOnLane(2, "Kauz");
        m_program.Heat(43000, 52200);
        QCOMPARE(form->cbLauf->currentText(), QString("Lauf 2 von 2"));
        QCOMPARE(m_program.LaneTeams(), qMakePair(QString("Kauz"), QString("Hase")));
        m_program.Heat(52500, 50500);
        m_program.Heat(53500, 54500);

        const QStringList expected = {
            "Adler 40,00/40,50 → 80,50 (1)", "Biber 41,00/41,50 → 82,50 (2)",
            "Dachs 42,00/42,50 → 84,50 (3)", "Gams 45,00/45,50 → 90,50 (4)",
            "Elch 43,00/n.a. → AUS (AUS)",   "Fuchs DIS/44,50 → DIS (DIS)",
            "Kauz 52,20/52,50 → 0,30 (1)",   "Hase 50,00/50,50 → 0,50 (2)",
            "Igel 51,00/51,50 → 0,50 (2)",   "Luchs 53,00/53,50 → 0,50 (2)",
            "Marder 54,00/54,50 → 0,50 (2)", "Nerz 55,00/ →  ()"};
        QStringList shown;
        for (const QStringList &row : m_program.GridRows())
            shown << row.value(1) + ' ' + Standing(row.value(1));
        // Teams of one place may stand in either order.
        QStringList wanted = expected;
        wanted.replaceInStrings(",", QString(locale.decimalPoint()));
        shown.sort();
        wanted.sort();
        QCOMPARE(shown, wanted);
        // Every team that ran both runs changed its lane.
        const ProtocolModel &model = form->Protocol->Model();
        for (int row = 0; row < model.RowCount(); ++row) {
            if (model.Cell(row, ColLauf2) == NotStartedMark || model.Cell(row, ColLauf2).isEmpty())
                continue;
            QVERIFY2(model.LaneOfRun(row, 1) != model.LaneOfRun(row, 2),
                     qPrintable(model.Cell(row, ColTeamName).toString()));
        }

        // Saved and loaded again: the same runs, scores and places, and on with run 2.
        const QString path = m_program.Folder().FilePath("Lauf.txt");
        m_program.Save(path, SaveDialogIndex(FileType::TabText));
        // (An empty co-driver comes back as the list reader's single blank.)
        const auto results = [this] {
            QStringList rows;
            for (const QStringList &row : m_program.GridRows())
                rows << row.value(1) + ':' + row.mid(6).join('|');
            return rows;
        };
        const QStringList saved = results();
        m_program.LoadFile(path);
        QCOMPARE(results(), saved);
        QCOMPARE(form->cbLauf->currentText(), QString("Lauf 2 von 2"));
        QCOMPARE(m_program.LaneTeams().first, QString("Nerz"));
    }

    // Other runs on a protocol with results are asked for first, and fewer
    // are refused while a run that would go holds results.
    void changingTheRunsKeepsEveryRun()
    {
        m_program.Open();
        TFormMain *form = m_program.Form();
        m_program.Load(MainWindowFixture::Teams({"Adler", "Biber", "Dachs", "Elch"}));
        m_program.SetRounds(2);
        m_program.Heat(40000, 41000);
        m_program.Heat(42000, 43000);
        m_program.Heat(44000, 45000);
        const QStringList adler = m_program.TeamRow("Adler");

        m_program.SetRounds(1);
        QVERIFY(m_program.StatusText().contains("Wertungsläufe nicht geändert"));
        m_program.SetRounds(3, {}, TFDlgYesNo::ResultCancel);
        QCOMPARE(form->cbLauf->currentText(), QString("Lauf 2 von 2"));
        m_program.SetRounds(3, {}, TFDlgYesNo::ResultYes);
        QCOMPARE(form->cbLauf->currentText(), QString("Lauf 2 von 3"));
        QCOMPARE(m_program.TeamRow("Adler"), adler + QStringList{""});
    }

    // A protocol saved with three runs goes on with them in a program set to one.
    void aListOfRunsBringsThem()
    {
        m_program.Open();
        m_program.Load(QStringList{"Nr.\tTeamName\tKlasse\tLauf 1\tLauf 2\tLauf 3",
                                   "1\tAdler\t1\t40,00\t41,00\t", "2\tBiber\t1\t42,00\t\t"});
        QCOMPARE(m_program.Form()->cbLauf->currentText(), QString("Lauf 2 von 3"));
        QCOMPARE(m_program.Form()->Settings.Wertungslaeufe, 3);
        QCOMPARE(m_program.TeamRow("Adler").mid(8),
                 (QStringList{"81,00", "1", "40,00", "41,00", ""}));
        QCOMPARE(m_program.LaneTeams().first, QString("Biber"));
    }
};

QTEST_MAIN(TestRounds)
#include "tst_Rounds.moc"
