// The results protocol in the real main window: a whole race day through
// its buttons and keys on a fake tick, starter lists through the scripted
// open dialog, penalties and marks, lane selection, edit mode and removing
// rows. Nothing here waits for a timer.
#include "MainWindowFixture.h"
#include "PaintCounter.h"
#include "ProtocolCells.h"
#include "TestFiles.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>
#include <cerrno>
#include <memory>
#include <sys/stat.h>

using Rows = QList<QStringList>;

namespace {

const QColor Red(255, 0, 0);
const QColor StartGreen(0, 128, 0);

// Six teams in two classes, in a mixed order so that ranking moves rows;
// tab-separated with a header, blanks inside names, empty co-drivers.
const QByteArray RaceDayList = "Nr.\tTeamName\tKlasse\tFahrer\tBeifahrer1\tBeifahrer2\r\n"
                               "1\tDie Blitze\t2\tJürgen Köhler\tAnna Schäfer\tLukas Brück\r\n"
                               "2\tGrüne Flöhe\t1\tSören Müller\tMarie Großmann\t\r\n"
                               "3\tRote Raketen\t1\tPaul Weiß\t\tEva Roth\r\n"
                               "4\tSchnecken\t2\tTim Bauer\tLea Bauer\tMax Bauer\r\n"
                               "5\tWirbelwind\t1\tIda Frank\t\t\r\n"
                               "6\tTurbo Omas\t2\tErna Huber\tGerda Huber\tHilde Huber\r\n";

// "a|b|c" → the cells of a row, missing trailing cells empty.
QStringList Cells(const char *joined)
{
    QStringList cells = QString::fromUtf8(joined).split(QLatin1Char('|'));
    while (cells.size() < ProtocolColumnCount)
        cells.append(QString());
    return cells;
}

QString ButtonFaceName()
{
    return QApplication::palette().color(QPalette::Button).name();
}

} // namespace

class TestProtocolController : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;
    TFormMain *m_form = nullptr;
    TSortGrid *m_grid = nullptr;
    ProtocolController *m_protocol = nullptr;
    RaceController *m_race = nullptr;

    static QStringList Items(const QComboBox *list)
    {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }

    // The columns fill the grid's client width, one pixel per grid line aside.
    int ColumnWidthSum() const
    {
        int sum = 0;
        for (int col = 0; col < m_grid->ColCount(); ++col)
            sum += m_grid->ColWidths(col);
        return sum;
    }

    QPair<int, int> Positions() const
    {
        return {m_form->cbBuhn1->currentIndex(), m_form->cbBuhn2->currentIndex()};
    }

    // The data rows drawn in red.
    QList<int> RedRows() const
    {
        QList<int> rows;
        for (int row = 1; row < m_grid->RowCount(); ++row) {
            if (m_grid->CellFormat(1, row, TGridDrawState()).FontColor == Red)
                rows << row;
        }
        return rows;
    }

    // START's availability and colour, e.g. "on #008000".
    QString StartState() const
    {
        return QStringLiteral("%1 %2").arg(m_form->bSTART->isEnabled() ? "on" : "off",
                                           m_form->bSTART->Color().name());
    }
    QString StartOn() const { return QStringLiteral("on ") + StartGreen.name(); }
    QString StartOff() const { return QStringLiteral("off ") + ButtonFaceName(); }

    QList<QWidget *> ProtocolButtons() const
    {
        return {m_form->sbSave,    m_form->sbExcel,  m_form->sbPrint, m_form->sbInet,
                m_form->sbGramoty, m_form->cbEditON, m_form->sbCLS,   m_form->sbCLSall};
    }

    // Starts a heat at a fixed tick; stops are given as elapsed milliseconds.
    static constexpr std::uint32_t HeatStart = 500000;
    void StartHeat()
    {
        m_program.Platform().SetTick(HeatStart);
        m_form->bSTART->click();
        QVERIFY(m_form->Clock->isActive());
        QCOMPARE(StartState(), StartOff());
    }
    void StopAt(int lane, std::uint32_t elapsed, const std::function<void()> &stop)
    {
        m_program.Platform().SetTick(HeatStart + elapsed);
        stop();
        QCOMPARE(m_race->LaneElapsed[lane], std::int32_t(elapsed));
    }

    void UseLanes(int count)
    {
        m_form->Settings.CountBahn = count;
        m_form->ApplyLaneCount();
    }

    // Protocol content, caption and selectors, to show that something left them alone.
    QStringList Snapshot() const
    {
        QStringList state;
        for (const QStringList &row : m_program.GridRows())
            state << row.join(QLatin1Char('|'));
        state << m_form->windowTitle() << m_protocol->EventName << Items(m_form->cbBuhn1).join('/')
              << Items(m_form->cbBuhn2).join('/')
              << QStringLiteral("%1,%2").arg(Positions().first).arg(Positions().second);
        return state;
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }

    void ActivateWindow()
    {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }

    // "team time" of every row, sorted: who has which time, wherever it stands.
    QStringList TimesByTeam() const
    {
        QStringList times;
        for (const QStringList &row : m_program.GridRows())
            times << row[ColTeamName] + QLatin1Char(' ') + row[ColZeit];
        times.sort();
        return times;
    }

private slots:
    void initTestCase() { m_program.Enter(); }

    void init()
    {
        m_program.Open();
        m_form = m_program.Form();
        m_grid = m_form->SortGrid1;
        m_protocol = m_form->Protocol;
        m_race = m_form->Race;
        m_form->resize(1000, 700);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }

    void cleanup() { m_program.Close(); }

    void gridConfiguration()
    {
        QCOMPARE(m_grid->ColCount(), 10);
        QCOMPARE(m_grid->RowCount(), 2);
        QCOMPARE(m_grid->FixedRows(), 1);
        QCOMPARE(m_grid->FixedCols(), 0);
        QStringList headers;
        for (int col = 0; col < 10; ++col)
            headers << m_grid->Cells(col, 0);
        QCOMPARE(headers, QStringList({"Nr.", "TeamName", "Klasse", "Fahrer", "Beifahrer1",
                                       "Beifahrer2", "Zeit", "Strafzeit", "Total", "Platz"}));
        QCOMPARE(m_grid->SortOptions().SortCol(), 2);
        QCOMPARE(m_grid->SortOptions().SecondaryIndex(), QStringLiteral("8"));
        QVERIFY(m_grid->SortOptions().SortCaseSensitive());
        QVERIFY(m_grid->SortOptions().CanSort());
        QCOMPARE(m_grid->Options(),
                 TGridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                              goDrawFocusSelected | goColSizing | goRowSelect));
        QCOMPARE(m_grid->DefaultRowHeight(), 19);
        QCOMPARE(m_grid->DefaultColWidth(), 32);
        QCOMPARE(m_grid->ScrollBars(), ssVertical);
        QVERIFY(QFontInfo(m_grid->font()).fixedPitch());

        // The sort style of each column; the result columns bring their comparison.
        const TSortStyle expected[10] = {ssNumeric, ssNormal, ssNumeric, ssNormal, ssNormal,
                                         ssNormal,  ssCustom, ssCustom,  ssCustom, ssCustom};
        for (int col = 0; col < 10; ++col) {
            m_grid->SortOptions().SortCompare = nullptr;
            TSortStyle style = ssAutomatic;
            m_grid->OnGetSortStyle(m_grid, col, style);
            QCOMPARE(style, expected[col]);
            QCOMPARE(bool(m_grid->SortOptions().SortCompare), style == ssCustom);
            if (style == ssCustom)
                QVERIFY(m_grid->SortOptions().SortCompare(QStringLiteral("9,99"),
                                                          QStringLiteral("10,00")) < 0);
        }

        // At start-up: no protocol, nothing to race with.
        QCOMPARE(StartState(), StartOff());
        for (QWidget *control : ProtocolButtons())
            QVERIFY(!control->isEnabled());
        QVERIFY(m_form->sbLoad->isEnabled());
        QVERIFY(!m_form->cbBuhn1->isEnabled() && !m_form->cbBuhn2->isEnabled());
    }

    void raceDay()
    {
        m_program.Load(RaceDayList, QStringLiteral("Mai 2024.txt"));
        QCOMPARE(m_program.Platform().openRequests.size(), 1);
        QCOMPARE(m_program.Platform().openRequests[0].title, QStringLiteral("Starterliste öffnen"));
        QCOMPARE(m_protocol->EventName, QStringLiteral("Mai 2024"));
        QCOMPARE(m_form->windowTitle(), m_form->ApplicationTitle + QStringLiteral(": Mai 2024"));
        QCOMPARE(m_form->SaveDialog1.fileName,
                 m_program.Folder().FilePath(QStringLiteral("Mai 2024")));
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"2", "3", "5", "1", "4", "6"}));
        QCOMPARE(Items(m_form->cbBuhn1),
                 QStringList({"2 Grüne Flöhe 1", "3 Rote Raketen 1", "5 Wirbelwind 1",
                              "1 Die Blitze 2", "4 Schnecken 2", "6 Turbo Omas 2"}));
        QCOMPARE(Items(m_form->cbBuhn2), Items(m_form->cbBuhn1));
        QCOMPARE(Positions(), qMakePair(0, 1));
        QCOMPARE(RedRows(), QList<int>({1, 2}));
        QCOMPARE(StartState(), StartOn());

        // Heat 1, stopped with the buttons: 10,00 and 9,99.
        StartHeat();
        StopAt(1, 9990, [&] { m_form->bSTOP2->click(); });
        StopAt(0, 10000, [&] { m_form->bSTOP1->click(); });
        QCOMPARE(StartState(), StartOff());
        QCOMPARE(ResultCellsOf(m_program.GridRows()[0]),
                 QStringList({"10,00", "0,00", "10,00", ""}));
        QCOMPARE(ResultCellsOf(m_program.GridRows()[1]), QStringList({"9,99", "0,00", "9,99", ""}));
        m_form->bRESET->click();
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"3", "2", "5", "1", "4", "6"}));
        QCOMPARE(m_program.GridColumn(ColPlatz), QStringList({"1", "2", "", "", "", ""}));
        QCOMPARE(Positions(), qMakePair(2, 3));
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("5 Wirbelwind 1"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("1 Die Blitze 2"));
        QCOMPARE(RedRows(), QList<int>({3, 4}));
        QCOMPARE(StartState(), StartOn());

        // A false start records nothing and keeps the lanes' teams.
        StartHeat();
        m_program.Platform().SetTick(HeatStart + 700);
        m_form->bFSTART->click();
        QCOMPARE(m_program.GridColumn(ColZeit), QStringList({"9,99", "10,00", "", "", "", ""}));
        QCOMPARE(Positions(), qMakePair(2, 3));
        QCOMPARE(StartState(), StartOn());

        // Heat 2, stopped with the keys: 9,99 for lane 1, and lane 2 gets
        // S15, then S30 which replaces it.
        StartHeat();
        StopAt(0, 9999, [&] { m_form->mSTOP1->trigger(); });
        StopAt(1, 20000, [&] { m_form->mStop2->trigger(); });
        m_form->bStrafe15_2->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[3]),
                 QStringList({"20,00", "15,00", "35,00", ""}));
        m_form->bStrafe30_2->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[3]),
                 QStringList({"20,00", "30,00", "50,00", ""}));
        m_form->mReset->trigger();
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"3", "5", "2", "1", "4", "6"}));
        QCOMPARE(Positions(), qMakePair(4, 5));

        // Heat 3, stopped through the race controller: lane 1 disqualified,
        // lane 2 dropped out after a penalty.
        StartHeat();
        StopAt(0, 12000, [&] { m_race->mSTOPClick(0); });
        StopAt(1, 31000, [&] { m_race->mSTOPClick(1); });
        m_form->bStrafe15_2->click();
        m_form->sb2del->click();
        m_form->bDisqulifikation1->click();
        QCOMPARE(StartState(), StartOff());
        m_race->mResetClick(true);

        const Rows expected = {
            Cells("3|Rote Raketen|1|Paul Weiß| |Eva Roth|9,99|0,00|9,99|1"),
            Cells("5|Wirbelwind|1|Ida Frank| | |9,99|0,00|9,99|1"),
            Cells("2|Grüne Flöhe|1|Sören Müller|Marie Großmann| |10,00|0,00|10,00|3"),
            Cells("1|Die Blitze|2|Jürgen Köhler|Anna Schäfer|Lukas Brück|20,00|30,00|50,00|1"),
            Cells("6|Turbo Omas|2|Erna Huber|Gerda Huber|Hilde Huber|AUS|AUS|AUS|AUS"),
            Cells("4|Schnecken|2|Tim Bauer|Lea Bauer|Max Bauer|DIS|DIS|DIS|DIS"),
        };
        QCOMPARE(m_program.GridRows(), expected);
        // Past the end of the list both lanes start over at the first
        // teams in start order.
        QCOMPARE(Positions(), qMakePair(2, 0));
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("2 Grüne Flöhe 1"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("3 Rote Raketen 1"));
        QCOMPARE(Items(m_form->cbBuhn1),
                 QStringList({"3 Rote Raketen 1", "5 Wirbelwind 1", "2 Grüne Flöhe 1",
                              "1 Die Blitze 2", "6 Turbo Omas 2", "4 Schnecken 2"}));
        QCOMPARE(RedRows(), QList<int>({1, 3}));
        QCOMPARE(StartState(), StartOn());
        QVERIFY(m_form->sbCLS->isEnabled() && m_form->seObmen->isEnabled());
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Ende der Starterliste: wieder die ersten Teams"));
    }

    // Every operator action that changes the protocol or the lanes' teams
    // is announced; only results and edited cells make it "not saved".
    void changesAreAnnouncedAndMarked()
    {
        QSignalSpy changes(m_protocol, &ProtocolController::protocolChanged);
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QCOMPARE(changes.count(), 1);
        QVERIFY(!m_protocol->ProtocolModified());

        struct Step
        {
            const char *action;
            std::function<void()> perform;
            bool modified;
        };
        const auto confirmNext = [this] {
            m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        };
        const Step steps[] = {
            {"lane chosen by key",
             [&] {
                 m_form->cbBuhn2->setFocus();
                 QTest::keyClick(m_form->cbBuhn2, Qt::Key_Down);
             },
             false},
            {"lanes swapped", [&] { m_form->seObmen->click(); }, false},
            {"header sort", [&] { m_program.ClickHeader(ColTeamName); }, false},
            {"time recorded",
             [&] {
                 StartHeat();
                 StopAt(0, 9000, [&] { m_form->bSTOP1->click(); });
             },
             true},
            {"penalty", [&] { m_form->bStrafe15_1->click(); }, true},
            {"time recorded by lane 2", [&] { StopAt(1, 9500, [&] { m_form->bSTOP2->click(); }); },
             true},
            {"DIS", [&] { m_form->bDisqulifikation2->click(); }, true},
            {"AUS", [&] { m_form->sb1del->click(); }, true},
            {"reset ranks and moves on", [&] { m_form->bRESET->click(); }, false},
            {"cell edited",
             [&] {
                 QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
                 m_grid->SetRow(2);
                 m_grid->SetCol(1);
                 m_grid->setFocus();
                 m_grid->SetEditorMode(true);
                 QTest::keyClicks(m_grid->InplaceEditor(), QStringLiteral("x"));
                 QTest::keyClick(m_grid->InplaceEditor(), Qt::Key_Return);
                 QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
             },
             true},
            {"row removed",
             [&] {
                 confirmNext();
                 m_form->sbCLS->click();
             },
             true},
            // Nothing left that could be saved.
            {"protocol cleared",
             [&] {
                 confirmNext();
                 m_form->sbCLSall->click();
             },
             false},
        };
        for (const Step &step : steps) {
            m_protocol->MarkProtocolSaved();
            changes.clear();
            step.perform();
            QVERIFY2(changes.count() > 0, step.action);
            QVERIFY2(m_protocol->ProtocolModified() == step.modified, step.action);
        }
        QCOMPARE(m_grid->RowCount(), 2);

        // A new list is the saved state again, and so is a protocol after saving.
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QVERIFY(!m_protocol->ProtocolModified());
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 1, QStringLiteral("1,00")));
        QVERIFY(m_protocol->ProtocolModified());
        m_protocol->MarkProtocolSaved();
        QVERIFY(!m_protocol->ProtocolModified());
    }

    // The review's race: lanes on Gamma and Delta, Gamma's start number
    // edited to that of no team, edit mode left on. No key or button starts
    // a race then; once edit mode ends, lane 1's time and penalty reach
    // Gamma, never Alpha, which carries Gamma's old number.
    void editModeAndRacingExcludeEachOther()
    {
        m_program.Load("1;Alpha;1;Anna\n2;Beta;1;Bert\n1;Gamma;2;Gina\n"
                       "2;Delta;2;Dora\n",
                       QStringLiteral("Liste.txt"));
        ActivateWindow();
        m_form->cbBuhn1->setFocus();
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        m_form->cbBuhn2->setFocus();
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("1 Gamma 2"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("2 Delta 2"));
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        m_program.EditCell(ColNr, 3, QStringLiteral("3"));
        QCOMPARE(StartState(), StartOff());
        const Rows before = m_program.GridRows();
        m_program.Platform().SetTick(HeatStart);
        Press(Qt::Key_F5);
        QVERIFY(!m_form->Clock->isActive());
        m_form->bSTART->click();
        QTest::mousePress(m_form->bSTART, Qt::LeftButton);
        QVERIFY(!m_form->Clock->isActive());
        m_program.Platform().SetTick(HeatStart + 15000);
        Press(Qt::Key_1, Qt::AltModifier);
        Press(Qt::Key_2, Qt::AltModifier);
        m_form->bStrafe15_1->click();
        QCOMPARE(m_program.GridRows(), before);
        QVERIFY(m_grid->Options().testFlag(goEditing));

        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("3 Gamma 2"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("2 Delta 2"));
        QCOMPARE(StartState(), StartOn());
        m_program.Platform().SetTick(HeatStart);
        Press(Qt::Key_F5);
        QVERIFY(m_form->Clock->isActive());
        QVERIFY(!m_form->cbEditON->isEnabled());
        m_program.Platform().SetTick(HeatStart + 15000);
        Press(Qt::Key_1, Qt::AltModifier);
        m_form->bStrafe15_1->click();
        QCOMPARE(TimesByTeam(), QStringList({"Alpha ", "Beta ", "Delta ", "Gamma 15,00"}));
        QCOMPARE(TimeCellsOf(m_program.GridRows()[2]), QStringList({"15,00", "15,00", "30,00"}));
        QVERIFY(m_form->statusBar()->currentMessage().isEmpty());
    }

    // Two copies of each team: a lane stays on its row (not on the first
    // row with its text) through whatever moves or changes rows, and the
    // second heat's times reach the second copies.
    void laneFollowsItsRow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QPair<int, int>>("positions");
        QTest::addColumn<QStringList>("times");
        const QStringList bothHeats{"Blitz 10,00", "Blitz 12,00", "Flink 11,00", "Flink 13,00"};
        QTest::newRow("header sort that moves nothing")
            << "sort Total" << qMakePair(2, 3) << bothHeats;
        QTest::newRow("header sort by Nr.") << "sort Nr." << qMakePair(1, 3) << bothHeats;
        QTest::newRow("edit that moves the lane's row")
            << "edit" << qMakePair(0, 3)
            << QStringList{"Blitz 10,00", "Blitz 2 12,00", "Flink 11,00", "Flink 13,00"};
        QTest::newRow("ranking") << "rank" << qMakePair(2, 3) << bothHeats;
        QTest::newRow("removing another row")
            << "remove" << qMakePair(1, 2)
            << QStringList{"Blitz 12,00", "Flink 11,00", "Flink 13,00"};
        QTest::newRow("second list load")
            << "load" << qMakePair(2, 3)
            << QStringList{"Blitz ", "Blitz 12,00", "Flink ", "Flink 13,00"};
    }
    void laneFollowsItsRow()
    {
        QFETCH(QString, action);
        const QByteArray twice = "5;Blitz;1\n6;Flink;1\n5;Blitz;1\n6;Flink;1\n";
        m_program.Load(twice, QStringLiteral("Liste.txt"));
        StartHeat();
        StopAt(0, 10000, [this] { m_form->bSTOP1->click(); });
        StopAt(1, 11000, [this] { m_form->bSTOP2->click(); });
        m_form->bRESET->click();
        QCOMPARE(Positions(), qMakePair(2, 3));
        QCOMPARE(RedRows(), QList<int>({3, 4}));

        if (action == "sort Total") {
            m_program.ClickHeader(ColTotal);
        } else if (action == "sort Nr.") {
            m_program.ClickHeader(ColNr);
        } else if (action == "edit") {
            // Lane 1's Blitz is renamed and put in class 0, which ranks it first.
            QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
            m_program.EditCell(ColTeamName, 3, QStringLiteral("Blitz 2"));
            m_program.EditCell(ColKlasse, 3, QStringLiteral("0"));
            QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
            QCOMPARE(m_program.GridColumn(ColTeamName),
                     QStringList({"Blitz 2", "Blitz", "Flink", "Flink"}));
        } else if (action == "rank") {
            m_protocol->RankProtocol();
        } else if (action == "remove") {
            m_grid->SetRow(1);
            m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
            m_form->sbCLS->click();
        } else if (action == "load") {
            m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes); // heat 1 is not saved
            m_program.Load(twice, QStringLiteral("Liste.txt"));
            m_form->cbBuhn1->setCurrentIndex(2);
            m_form->cbBuhn2->setCurrentIndex(3);
            m_protocol->RefreshControlStates();
            m_program.ClickHeader(ColTotal);
        }
        QTEST(Positions(), "positions");
        QCOMPARE(RedRows(), QList<int>({Positions().first + 1, Positions().second + 1}));
        StartHeat();
        StopAt(0, 12000, [this] { m_form->bSTOP1->click(); });
        StopAt(1, 13000, [this] { m_form->bSTOP2->click(); });
        QTEST(TimesByTeam(), "times");
        // The second list kept the first one's unsaved heat aside and said so.
        const QString message = m_form->statusBar()->currentMessage();
        QVERIFY2(message.isEmpty() ||
                     (action == "load" && message.startsWith("Letzter Stand aufbewahrt unter ")),
                 qPrintable(message));
    }

    // A time typed in edit mode counts as a timed one: "Total" is the sum
    // of "Zeit" and "Strafzeit" and the place follows when edit mode is
    // left; a mark typed into "Zeit" fills the result cells as its button.
    void typedResultsAreTotalledAndRanked_data()
    {
        QTest::addColumn<QString>("team");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("results"); // Zeit, Strafzeit, Total, Platz
        QTest::newRow("time of a team without one")
            << "C" << int(ColZeit) << "12,34" << QStringList{"12,34", "0,00", "12,34", "2"};
        QTest::newRow("time of a timed team")
            << "A" << int(ColZeit) << "30,00" << QStringList{"30,00", "0,00", "30,00", "2"};
        QTest::newRow("penalty") << "A" << int(ColStrafzeit) << "15,00"
                                 << QStringList{"10,00", "15,00", "25,00", "2"};
        QTest::newRow("AUS") << "B" << int(ColZeit) << "AUS"
                             << QStringList{"AUS", "AUS", "AUS", "AUS"};
    }
    void typedResultsAreTotalledAndRanked()
    {
        QFETCH(QString, team);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QStringList, results);
        m_program.Load(MainWindowFixture::Teams({"A", "B", "C", "D"}));
        m_program.Heat(10000, 20000);
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        m_program.EditCell(column, int(m_program.GridColumn(ColTeamName).indexOf(team)) + 1, typed);
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        const QStringList row = m_program.TeamRow(team);
        QCOMPARE(row.mid(ColZeit, 4), results);
    }

    // Leaving edit mode refreshes START; a row whose number an edit
    // emptied is still a team and still a protocol. START needs a team on
    // each racing lane: a removal can take one away.
    void startNeedsATeamOnEachLane()
    {
        m_program.Load("1;A;1\n2;B;1\n3;C;2\n", QStringLiteral("Liste.txt"));
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QCOMPARE(StartState(), StartOff());
        m_program.EditCell(ColNr, 1, QString());
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QCOMPARE(Items(m_form->cbBuhn1), QStringList({" A 1", "2 B 1", "3 C 2"}));
        QCOMPARE(Positions(), qMakePair(0, 1));
        QCOMPARE(StartState(), StartOn());
        for (QWidget *control : ProtocolButtons())
            QVERIFY(control->isEnabled());

        // Lane 2's team leaves the protocol: lane 2 goes on with the next
        // team without a result.
        m_grid->SetRow(2);
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        m_form->sbCLS->click();
        QCOMPARE(Positions(), qMakePair(0, 1));
        QCOMPARE(StartState(), StartOn());
        m_grid->SetRow(2);
        m_form->sb2->click();
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("3 C 2"));
        QCOMPARE(StartState(), StartOn());
    }

    // A new list over results not saved anywhere asks first.
    void loadingOverAnUnsavedProtocolAsks_data()
    {
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("nothing recorded") << false << 0 << 0 << true;
        QTest::newRow("recorded, Nein") << true << 2 << 1 << false;
        QTest::newRow("recorded, Ja") << true << int(TFDlgYesNo::ResultYes) << 1 << true;
    }
    void loadingOverAnUnsavedProtocolAsks()
    {
        QFETCH(bool, recorded);
        QFETCH(int, answer);
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        if (recorded) {
            StartHeat();
            StopAt(0, 9000, [this] { m_form->bSTOP1->click(); });
            StopAt(1, 9500, [this] { m_form->bSTOP2->click(); });
            m_form->bRESET->click();
        }
        const QStringList before = Snapshot();
        QString question;
        m_program.Platform().dialogAnswers.enqueue([&](QDialog *dialog) {
            question = static_cast<TFDlgYesNo *>(dialog)->Label1->text();
            return answer;
        });
        const qsizetype openRequests = m_program.Platform().openRequests.size();
        // The open dialog comes only once the question is answered with "Ja".
        m_program.Platform().openAnswers.enqueue(
            {true, m_program.WriteFile(QStringLiteral("Zweite.txt"), "1;Neu;1\n2;Neuer;1\n"), 1});
        m_form->sbLoad->click();
        QTEST(int(m_program.Platform().dialogAnswers.isEmpty()), "questions");
        QFETCH(bool, loaded);
        QCOMPARE(m_program.Platform().openRequests.size(), openRequests + (loaded ? 1 : 0));
        QCOMPARE(m_protocol->EventName,
                 loaded ? QStringLiteral("Zweite") : QStringLiteral("Liste"));
        if (!loaded)
            QCOMPARE(Snapshot(), before);
        if (recorded)
            QCOMPARE(question, QStringLiteral("Das Protokoll ist nicht gespeichert. Trotzdem neue "
                                              "Starterliste laden?"));
        m_program.Platform().dialogAnswers.clear();
    }

    void cellFormat()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        for (int col = 0; col < 10; ++col) {
            const bool right = col == 0 || col >= 6;
            QCOMPARE(m_grid->CellFormat(col, 1, TGridDrawState()).AlignmentHorz,
                     right ? taRightJustify : taLeftJustify);
            QCOMPARE(m_grid->CellFormat(col, 2, TGridDrawState()).FontColor, Red);
            QVERIFY(m_grid->CellFormat(col, 3, TGridDrawState()).FontColor != Red);
            // The header row keeps the grid's defaults.
            QCOMPARE(m_grid->CellFormat(col, 0, TGridDrawState()).AlignmentHorz, taLeftJustify);
            QVERIFY(m_grid->CellFormat(col, 0, TGridDrawState()).FontColor != Red);
        }
    }

    // On the screen: rows of 19 pixels, and the lanes' rows in red, the
    // selected one (lane 1's after a load) as red text on the selection colour.
    void redLaneRowsOnScreen()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QCOMPARE(m_grid->Row(), 1);
        QCOMPARE(m_grid->CellRect(1, 2).height(), 19);
        QCOMPARE(m_grid->CellRect(1, 3).top() - m_grid->CellRect(1, 2).top(), 20);
        const QImage image = m_grid->viewport()->grab().toImage();
        const auto redPixels = [&](int row) {
            const QRect cell = m_grid->CellRect(1, row);
            int count = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    count += pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60;
                }
            return count;
        };
        const QColor selection = m_grid->palette().color(QPalette::Highlight);
        const QRect selected = m_grid->CellRect(1, 1);
        QCOMPARE(image.pixelColor(selected.right() - 1, selected.top() + 1), selection);
        QVERIFY2(redPixels(1) > 20, "lane 1's selected row is red");
        QVERIFY2(redPixels(2) > 20, "lane 2's row is red");
        QCOMPARE(redPixels(3), 0);
        const QRect plain = m_grid->CellRect(1, 2);
        QVERIFY(image.pixelColor(plain.right() - 1, plain.top() + 1) != selection);
    }

    // Dragging a column border in the header widens the column and sorts nothing.
    void columnBorderDrag()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        const QStringList order = m_program.GridColumn(ColNr);
        const QRect header = m_grid->CellRect(3, 0);
        const int before = m_grid->ColWidths(3);
        QWidget *viewport = m_grid->viewport();
        const QPoint border(header.right(), header.center().y());
        QTest::mousePress(viewport, Qt::LeftButton, {}, border);
        QTest::mouseMove(viewport, border + QPoint(25, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, border + QPoint(25, 0));
        QVERIFY(qAbs(m_grid->ColWidths(3) - (before + 25)) <= 1);
        QCOMPARE(m_program.GridColumn(ColNr), order);
        QCOMPARE(m_grid->SortOptions().SortCol(), 2);
    }

    // The cursor was on row 4 of the first list: after the second load the
    // first team is current, and a take-over puts it on the lane.
    void secondLoadStartsOnTheFirstTeam()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->CellRect(1, 4).center());
        QCOMPARE(m_grid->Row(), 4);
        m_program.Load("7;Adler;1\n8;Biber;1\n9;Dachse;1\n10;Elche;1\n"
                       "11;Falken;1\n",
                       QStringLiteral("Zweite.txt"));
        QCOMPARE(m_grid->Row(), 1);
        QCOMPARE(m_grid->Selection().Top, 1);
        m_form->sb2->click();
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("7 Adler 1"));
    }

    // The designed widths at least; the name and class columns as wide as
    // their texts when the window has room, "TeamName" takes the rest.
    void columnWidthsAfterLoad()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        const int designed[10] = {47, 0, 40, 90, 90, 90, 60, 77, 60, 46};
        for (int col = 0; col < 10; ++col) {
            QVERIFY(m_grid->ColWidths(col) >= designed[col]);
            if (col >= 6 || col == 0)
                QCOMPARE(m_grid->ColWidths(col), designed[col]);
        }
        const QFontMetrics metrics(m_grid->font());
        // "Klasse" with the sort arrow, the longest driver and co-driver.
        QVERIFY(m_grid->ColWidths(2) > metrics.horizontalAdvance(QStringLiteral("Klasse")) + 12);
        for (const auto &[col, text] :
             {std::pair{3, "Jürgen Köhler"}, std::pair{4, "Marie Großmann"}})
            QVERIFY(m_grid->ColWidths(col) > metrics.horizontalAdvance(QString::fromUtf8(text)));
        QCOMPARE(ColumnWidthSum() + 10, m_grid->viewport()->width());
    }

    void loadingCases_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Rows>("rows");
        // Each lane on the first team in start order without a result, or
        // on the first teams when all have one.
        QTest::addColumn<QPair<int, int>>("positions");
        const QPair<int, int> one(0, -1), two(0, 1);
        QTest::newRow("header skipped, ';' with six fields")
            << QByteArray("Nr.;TeamName;Klasse;Fahrer;Beifahrer1;Beifahrer2\r\n"
                          "8;Blitz;1;Anna;Ben;Cem\r\n9;Donner;1;Dora;Emil;Fritz\r\n")
            << Rows{Cells("8|Blitz|1|Anna|Ben|Cem"), Cells("9|Donner|1|Dora|Emil|Fritz")} << two;
        QTest::newRow("tabs keep blanks inside names")
            << QByteArray("7\tDie Blitze\t2\tAnna Lena Roth\n")
            << Rows{Cells("7|Die Blitze|2|Anna Lena Roth")} << one;
        QTest::newRow("';' with an empty co-driver keeps the columns")
            << QByteArray("7;Blitz;1;Anna;;Eva\n") << Rows{Cells("7|Blitz|1|Anna| |Eva")} << one;
        QTest::newRow("blanks only when neither tab nor ';'")
            << QByteArray("7   Blitz 1  Anna\n") << Rows{Cells("7|Blitz|1|Anna")} << one;
        QTest::newRow("12 fields: the last two dropped")
            << QByteArray("1;B;1;F;B1;B2;9,99;0,00;9,99;1;x;y\n")
            << Rows{Cells("1|B|1|F|B1|B2|9,99|0,00|9,99|1")} << one;
        QTest::newRow("a line of separators is a row of blanks")
            << QByteArray(";;;\n") << Rows{Cells(" | | | ")} << one;
        QTest::newRow("only 'Nr' lines are headers")
            << QByteArray("Nr 1\nNrX;Y\nnr;Kleinschrift;1\n\n") << Rows{Cells("nr|Kleinschrift|1")}
            << one;
        QTest::newRow("a saved protocol loads back with times and places")
            << QByteArray("Nr.\tTeamName\tKlasse\tFahrer\tBeifahrer1\tBeifahrer2\tZeit\t"
                          "Strafzeit\tTotal\tPlatz\t\r\n"
                          "3\tBlitz\t1\tAnna\t \t \t9,99\t0,00\t9,99\t1\t\r\n"
                          "5\tDonner\t1\tBen\tCem\t \t12,00\t15,00\t27,00\t2\t\r\n")
            << Rows{Cells("3|Blitz|1|Anna| | |9,99|0,00|9,99|1"),
                    Cells("5|Donner|1|Ben|Cem| |12,00|15,00|27,00|2")}
            << two;
        QTest::newRow("rows are ranked after loading")
            << QByteArray("1;Langsam;1;A;;;12,00;0,00;12,00\n2;Schnell;1;B;;;9,00;0,00;9,00\n")
            << Rows{Cells("2|Schnell|1|B| | |9,00|0,00|9,00|1"),
                    Cells("1|Langsam|1|A| | |12,00|0,00|12,00|2")}
            << qMakePair(1, 0);
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("a spreadsheet's Unicode text (UTF-16 LE, byte order mark)")
            << QByteArray(utf16.encode(u"Nr.\tTeamName\tKlasse\r\n4\tFlöhe\t1\r\n"))
            << Rows{Cells("4|Flöhe|1")} << one;
        QTest::newRow("old export: lines end in a lone CR")
            << QByteArray("Nr.;Team\r8;Blitz;1\r9;Donner;1\r")
            << Rows{Cells("8|Blitz|1"), Cells("9|Donner|1")} << two;
    }
    void loadingCases()
    {
        QFETCH(QByteArray, file);
        QFETCH(Rows, rows);
        m_program.Load(file, QStringLiteral("Liste.csv"));
        QCOMPARE(m_program.GridRows(), rows);
        QCOMPARE(m_form->cbBuhn1->count(), rows.size());
        QTEST(Positions(), "positions");
        QVERIFY(m_form->cbBuhn1->isEnabled());
        QCOMPARE(m_form->cbBuhn2->isEnabled(), rows.size() >= 2);
        // The whole current row is selected, the take-over buttons are ready.
        const TGridRect selection = m_grid->Selection();
        QCOMPARE(selection.Left, 0);
        QCOMPARE(selection.Right, 9);
        QCOMPARE(selection.Top, m_grid->Row());
        QCOMPARE(selection.Bottom, m_grid->Row());
        QVERIFY(m_form->sb1->isEnabled() && m_form->sb2->isEnabled());
        QCOMPARE(m_form->cbEditON->isEnabled(), true);
        QCOMPARE(m_form->windowTitle(), m_form->ApplicationTitle + QStringLiteral(": Liste"));
    }

    // A list of nothing but its header leaves the one blank row a grid
    // needs below the header, which stays; the next list fills the grid.
    void headerOnlyListLeavesOneBlankRow()
    {
        m_program.Load("8;Blitz;1\n9;Donner;2\n", QStringLiteral("Liste.csv"));
        m_program.Load("Nr.;TeamName;Klasse\r\n", QStringLiteral("Leer.csv"));
        QCOMPARE(m_program.GridRows(), Rows{QStringList(10)});
        QCOMPARE(m_grid->Cells(ColKlasse, 0), QStringLiteral("Klasse"));
        m_program.Load("8;Blitz;1\n9;Donner;2\n", QStringLiteral("Liste.csv"));
        QCOMPARE(m_program.GridRows(), (Rows{Cells("8|Blitz|1"), Cells("9|Donner|2")}));
        QCOMPARE(m_grid->Cells(ColNr, 0), QStringLiteral("Nr."));
    }

    void oneTeam()
    {
        m_program.Load("7\tSolo\t1\tAnna\n", QStringLiteral("Einer.txt"));
        QCOMPARE(Items(m_form->cbBuhn1), QStringList{"7 Solo 1"});
        QCOMPARE(Items(m_form->cbBuhn2), QStringList{"7 Solo 1"});
        QVERIFY(m_form->cbBuhn1->isEnabled());
        QCOMPARE(m_form->cbBuhn1->currentIndex(), 0);
        QVERIFY(!m_form->cbBuhn2->isEnabled());
        QCOMPARE(m_form->cbBuhn2->currentIndex(), -1);
        QCOMPARE(RedRows(), QList<int>{1});
    }

    // A list without a single team leaves no team to race with.
    void listWithoutTeams()
    {
        m_program.Load("Nr.;TeamName;Klasse\r\n\r\n", QStringLiteral("Leer.txt"));
        QCOMPARE(m_program.GridRows(), Rows{Cells("")});
        QCOMPARE(m_form->cbBuhn1->count(), 0);
        QCOMPARE(m_form->cbBuhn2->count(), 0);
        QVERIFY(!m_form->cbBuhn1->isEnabled() && !m_form->cbBuhn2->isEnabled());
        QCOMPARE(StartState(), StartOff());
        for (QWidget *control : ProtocolButtons())
            QVERIFY(!control->isEnabled());
        QCOMPARE(m_protocol->EventName, QStringLiteral("Leer"));
    }

    void secondListReplacesTheFirst()
    {
        m_program.Load(RaceDayList, QStringLiteral("Erste.txt"));
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 1, QStringLiteral("11,11")));
        m_form->cbBuhn1->setCurrentIndex(4);
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes); // the time is not saved
        m_program.Load("20;Neu;3;Zoe\n21;Neuer;3;Yves\n", QStringLiteral("Zweite.txt"));
        QCOMPARE(m_program.GridRows(), Rows({Cells("20|Neu|3|Zoe"), Cells("21|Neuer|3|Yves")}));
        QCOMPARE(Items(m_form->cbBuhn1), QStringList({"20 Neu 3", "21 Neuer 3"}));
        QCOMPARE(Positions(), qMakePair(0, 1));
        QCOMPARE(m_protocol->EventName, QStringLiteral("Zweite"));
        // Nothing of the longer first list is kept behind the shorter one.
        m_grid->SetRowCount(6);
        for (int row = 3; row < 6; ++row) {
            for (int col = 0; col < ProtocolColumnCount; ++col)
                QVERIFY(m_grid->Cells(col, row).isEmpty());
            QVERIFY(!m_grid->Objects(0, row) && !m_grid->Objects(1, row));
        }
    }

    // A wrong pick must neither freeze the window nor eat the memory, and
    // the running protocol stays as it is.
    void unreadableListLeavesEverything_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << QStringLiteral("fehlt.txt") << "gibt es nicht";
        QTest::newRow("a folder") << QStringLiteral("Ordner.txt") << "keine gewöhnliche Datei";
        QTest::newRow("a FIFO nobody writes to")
            << QStringLiteral("Pipe.txt") << "keine gewöhnliche Datei";
        QTest::newRow("a .txt link to /dev/zero")
            << QStringLiteral("Null.txt") << "keine gewöhnliche Datei";
        QTest::newRow("a million teams") << QStringLiteral("Million.txt") << "mehr als 100.000";
    }
    void unreadableListLeavesEverything()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_program.Folder().Path()).mkpath(QStringLiteral("Ordner.txt")));
        const QByteArray pipe =
            QFile::encodeName(m_program.Folder().FilePath(QStringLiteral("Pipe.txt")));
        QVERIFY(::mkfifo(pipe.constData(), 0600) == 0 || errno == EEXIST);
        QFile::link(QStringLiteral("/dev/zero"),
                    m_program.Folder().FilePath(QStringLiteral("Null.txt")));
        if (name == QStringLiteral("Million.txt"))
            m_program.WriteFile(name, QByteArray("1;A;1\n").repeated(1000000));
        m_program.Load(RaceDayList, QStringLiteral("Mai.txt"));
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 2, QStringLiteral("11,11")));
        m_form->cbBuhn1->setCurrentIndex(3);
        const QStringList before = Snapshot();
        const QString saveName = m_form->SaveDialog1.fileName;

        const QString path = m_program.Folder().FilePath(name);
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes); // the time is not saved
        m_program.LoadFile(path);
        QCOMPARE(m_program.Platform().messages.size(), 1);
        QCOMPARE(m_program.Platform().messages[0].kind, Platform::MessageKind::Error);
        const QString text = m_program.Platform().messages[0].text;
        QVERIFY2(text.contains(path) && text.contains(reason), qPrintable(text));
        QCOMPARE(Snapshot(), before);
        QCOMPARE(m_form->SaveDialog1.fileName, saveName);
    }

    // In edit mode the operator clicks a cell and types: the keys go where
    // the focus is, as the window system delivers them. The editor opens
    // over that cell and keeps every key typed.
    void typingIntoAClickedCell()
    {
        m_program.Load(RaceDayList, QStringLiteral("Mai.txt"));
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        const QRect cell = m_grid->CellRect(ColFahrer, 3);
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
        for (const QChar key : QStringLiteral("Ida"))
            QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
        QWidget *editor = m_grid->InplaceEditor();
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->geometry(), cell);
        QCOMPARE(m_grid->Cells(ColFahrer, 3), QStringLiteral("Ida"));
    }

    // A cell the operator is still typing in belongs to the old list; it
    // must not write into the new one.
    void loadingWhileEditingACell()
    {
        m_program.Load(RaceDayList, QStringLiteral("Erste.txt"));
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        m_grid->SetRow(2);
        m_grid->SetCol(3);
        m_grid->setFocus();
        m_grid->SetEditorMode(true);
        QTest::keyClicks(m_grid->InplaceEditor(), QStringLiteral("Xaver"));
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes); // the edit is not saved
        m_program.Load("20;Neu;3;Zoe\n21;Neuer;3;Yves\n", QStringLiteral("Zweite.txt"));
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QVERIFY(!m_form->cbEditON->isChecked());
        QCOMPARE(m_program.GridRows(), Rows({Cells("20|Neu|3|Zoe"), Cells("21|Neuer|3|Yves")}));
    }

    void cancelledDialogChangesNothing()
    {
        m_program.Load(RaceDayList, QStringLiteral("Mai.txt"));
        const QStringList before = Snapshot();
        m_form->sbLoad->click(); // no answer queued: cancelled
        QCOMPARE(m_program.Platform().openRequests.size(), 2);
        QCOMPARE(Snapshot(), before);
        QVERIFY(m_program.Platform().messages.isEmpty());
    }

    void startNeedsTwoDifferentTeams()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        // The operator moves lane 2 onto lane 1's team with the keyboard.
        m_form->cbBuhn2->setFocus();
        QTest::keyClick(m_form->cbBuhn2, Qt::Key_Up);
        QCOMPARE(Positions(), qMakePair(0, 0));
        QCOMPARE(StartState(), StartOff());
        QVERIFY(!m_form->sbCLS->isEnabled() && !m_form->seObmen->isEnabled());
        QCOMPARE(RedRows(), QList<int>{1});
        QTest::keyClick(m_form->cbBuhn2, Qt::Key_Down);
        QTest::keyClick(m_form->cbBuhn2, Qt::Key_Down);
        QCOMPARE(Positions(), qMakePair(0, 2));
        QCOMPARE(StartState(), StartOn());
        QCOMPARE(RedRows(), QList<int>({1, 3}));

        // One lane: lane 2's position plays no part.
        UseLanes(1);
        m_form->cbBuhn2->setCurrentIndex(0);
        m_protocol->RefreshControlStates();
        QCOMPARE(StartState(), StartOn());
        QCOMPARE(RedRows(), QList<int>{1});
    }

    void noEditModeWhileLanesRun()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QVERIFY(m_form->cbEditON->isEnabled());
        StartHeat();
        QVERIFY(!m_form->cbEditON->isEnabled());
        StopAt(0, 12340, [this] { m_form->bSTOP1->click(); });
        QVERIFY(!m_form->cbEditON->isEnabled()); // lane 2 still runs
        StopAt(1, 13000, [this] { m_form->bSTOP2->click(); });
        QVERIFY(m_form->cbEditON->isEnabled());
    }

    void wordButtonNeedsTheTemplate()
    {
        m_form->ProtocolTemplatePath =
            m_program.Folder().FilePath(QStringLiteral("Protokollvorlage.doc"));
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QVERIFY(!m_form->sbWord->isEnabled());
        m_program.WriteFile(QStringLiteral("Protokollvorlage.doc"), "doc");
        m_protocol->RefreshControlStates();
        QVERIFY(m_form->sbWord->isEnabled());
    }

    void takeOverButtons()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_grid->SetRow(5);
        m_form->sb2->click();
        QCOMPARE(Positions(), qMakePair(0, 4));
        QCOMPARE(RedRows(), QList<int>({1, 5}));
        m_grid->SetRow(3);
        m_form->sb1->click();
        QCOMPARE(Positions(), qMakePair(2, 4));

        // While a race runs the take-over buttons are unavailable, even after a row selection.
        m_form->bSTART->click();
        m_grid->SetRow(2);
        QVERIFY(!m_form->sb1->isEnabled() && !m_form->sb2->isEnabled());
    }

    // Both selectors show one list of the teams in table order, which the
    // drop-down offers whole; the team picked there goes onto the lane.
    void teamPickedFromTheDropDown()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_form->show();
        ActivateWindow();
        QCOMPARE(m_form->cbBuhn1->model(), m_form->cbBuhn2->model());
        QComboBox *lane2 = m_form->cbBuhn2;
        lane2->showPopup();
        QAbstractItemView *list = lane2->view();
        QTRY_VERIFY(list->isVisible());
        QStringList offered;
        for (int item = 0; item < list->model()->rowCount(); ++item)
            offered << list->model()->index(item, 0).data().toString();
        QStringList rows;
        for (const QStringList &row : m_program.GridRows())
            rows << row.mid(0, 3).join(QLatin1Char(' '));
        QCOMPARE(offered, rows);
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(list, Qt::Key_Down);
        QCoreApplication::processEvents();
        PaintCounter gridPaints(m_grid->viewport()); // the red rows move on screen too
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
        QTRY_VERIFY(gridPaints.count > 0);
        QCOMPARE(Positions(), qMakePair(0, 4));
        QCOMPARE(lane2->currentText(), QStringLiteral("4 Schnecken 2"));
        QCOMPARE(RedRows(), QList<int>({1, 5}));
        QCOMPARE(StartState(), StartOn());
    }

    void laneSwap()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_form->seObmen->click();
        QCOMPARE(Positions(), qMakePair(1, 0));
        QCOMPARE(RedRows(), QList<int>({1, 2}));
        m_form->cbBuhn2->setCurrentIndex(4);
        m_form->seObmen->click();
        QCOMPARE(Positions(), qMakePair(4, 1));
    }

    void oneLaneDoubleClick()
    {
        UseLanes(1);
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QCOMPARE(RedRows(), QList<int>{1});
        const QPoint cell = m_grid->CellRect(1, 4).center();
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(m_form->cbBuhn1->currentIndex(), 3);
        QCOMPARE(RedRows(), QList<int>{4});
        QCOMPARE(StartState(), StartOn());

        // During a race the lane keeps its team: its time must reach that row.
        m_program.Platform().SetTick(1000);
        m_form->bSTART->click();
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->CellRect(1, 2).center());
        QCOMPARE(m_form->cbBuhn1->currentIndex(), 3);
        m_program.Platform().SetTick(5000);
        m_form->bSTOP1->click();
        QCOMPARE(TimeCellsOf(m_program.GridRows()[3]), QStringList({"4,00", "0,00", "4,00"}));

        // Two lanes: a double click changes nothing.
        m_form->bRESET->click();
        UseLanes(2);
        const auto before = Positions();
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->CellRect(1, 6).center());
        QCOMPARE(Positions(), before);
    }

    void editModeReranks()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        // Class 1: 2 → 9,00, 3 → 9,50 (lane 1 on item 0, lane 2 on item 1).
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 1, QStringLiteral("9,00")));
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 2, QStringLiteral("9,50")));
        m_protocol->RankProtocol();
        QCOMPARE(m_program.GridColumn(ColPlatz).mid(0, 3), QStringList({"1", "2", ""}));

        m_grid->SetCol(4);
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QVERIFY(m_form->cbEditON->isChecked());
        QVERIFY(m_grid->Options().testFlag(goEditing));
        QVERIFY(!m_grid->Options().testFlag(goRowSelect));
        QCOMPARE(m_grid->Col(), 4);
        QCOMPARE(m_grid->Selection().Left, 4);
        QCOMPARE(m_grid->Selection().Right, 4);

        // The operator types a time for team 5 into its cell, empties team
        // 2's total and moves team 1 into class 1.
        m_grid->SetRow(3);
        m_grid->SetCol(8);
        m_grid->setFocus();
        m_grid->SetEditorMode(true);
        QVERIFY(m_grid->InplaceEditor() && m_grid->InplaceEditor()->isVisible());
        QTest::keyClicks(m_grid->InplaceEditor(), QStringLiteral("8,00"));
        m_grid->SetCells(ColTotal, 1, QStringLiteral("  "));
        m_grid->SetCells(ColKlasse, 4, QStringLiteral("1"));
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QVERIFY(!m_form->cbEditON->isChecked());
        QVERIFY(!m_grid->Options().testFlag(goEditing));
        QVERIFY(m_grid->Options().testFlag(goRowSelect));
        // Without a total, the rows of a class follow the start order.
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"5", "3", "2", "1", "4", "6"}));
        // Team 2's old place 1 does not survive without a total.
        QCOMPARE(m_program.GridColumn(ColPlatz), QStringList({"1", "2", "", "", "", ""}));
        QCOMPARE(Items(m_form->cbBuhn1).first(), QStringLiteral("5 Wirbelwind 1"));
        QCOMPARE(Items(m_form->cbBuhn1).at(3), QStringLiteral("1 Die Blitze 1"));
        // The lanes stay on their teams 2 and 3 wherever ranking put them.
        QCOMPARE(Positions(), qMakePair(2, 1));
    }

    void removingRows_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QPoint>("current"); // column, row
        QTest::addColumn<bool>("start");
        const QByteArray three = "1;A;1\n2;B;1\n3;C;1\n";
        // Lane 2's team goes: lane 2 goes on with the next team.
        QTest::newRow("a middle row")
            << three << 2 << 6 << QStringList{"1", "3"} << QPoint(2, 2) << true;
        // The last row no longer exists to be selected again: the grid's own
        // choice after a deletion stands.
        QTest::newRow("the last row")
            << three << 3 << 6 << QStringList{"1", "2"} << QPoint(0, 1) << true;
        QTest::newRow("'Nein' keeps it")
            << three << 2 << 2 << QStringList{"1", "2", "3"} << QPoint(2, 2) << true;
        QTest::newRow("the only row")
            << QByteArray("1;A;1\n") << 1 << 6 << QStringList{""} << QPoint(2, 1) << false;
    }
    void removingRows()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, row);
        QFETCH(int, answer);
        m_program.Load(file, QStringLiteral("Liste.txt"));
        m_grid->SetRow(row);
        m_grid->SetCol(2);
        QString question;
        m_program.Platform().dialogAnswers.enqueue([&](QDialog *dialog) {
            question = static_cast<TFDlgYesNo *>(dialog)->Label1->text();
            return answer;
        });
        m_form->sbCLS->click();
        QCOMPARE(question, QStringLiteral("Zeile entfernen?"));
        QTEST(m_program.GridColumn(ColNr), "numbers");
        QTEST(QPoint(m_grid->Col(), m_grid->Row()), "current");

        QStringList items;
        for (const QString &number : m_program.GridColumn(ColNr)) {
            if (!number.isEmpty())
                items << QStringLiteral("%1 %2 1").arg(number, QChar('A' + number.toInt() - 1));
        }
        QCOMPARE(Items(m_form->cbBuhn1), items);
        QCOMPARE(Items(m_form->cbBuhn2), items);
        const bool empty = items.isEmpty();
        for (QWidget *control : ProtocolButtons())
            QCOMPARE(control->isEnabled(), !empty);
        QFETCH(bool, start);
        QCOMPARE(StartState(), start ? StartOn() : StartOff());
        QCOMPARE(m_form->cbBuhn1->isEnabled(), !empty);
        QCOMPARE(m_form->sb1->isEnabled(), !empty);
        QVERIFY(m_form->sbLoad->isEnabled());
        QCOMPARE(ColumnWidthSum() + 10, m_grid->viewport()->width());
    }

    void clearingTheProtocol()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        QString question;
        m_program.Platform().dialogAnswers.enqueue([&](QDialog *dialog) {
            question = static_cast<TFDlgYesNo *>(dialog)->Label1->text();
            return TFDlgYesNo::ResultYes;
        });
        m_form->sbCLSall->click();
        QCOMPARE(question, QStringLiteral("Zeitenprotokoll  löschen?"));
        QCOMPARE(m_program.GridRows(), Rows{Cells("")});
        QCOMPARE(m_form->cbBuhn1->count() + m_form->cbBuhn2->count(), 0);
        QVERIFY(!m_form->cbBuhn1->isEnabled() && !m_form->cbBuhn2->isEnabled());
        QVERIFY(!m_form->sb1->isEnabled() && !m_form->sb2->isEnabled());
        QCOMPARE(StartState(), StartOff());
        for (QWidget *control : ProtocolButtons())
            QVERIFY(!control->isEnabled());
    }

    // A start number written 07 still gets its time; a lane without a team
    // names the time it could not record.
    void recordingFindsTheStartNumber()
    {
        m_program.Load("07;Nullsieben;1\n", QStringLiteral("Liste.txt"));
        m_program.Platform().SetTick(1000);
        QCOMPARE(StartState(), StartOff()); // lane 2 has no team
        m_form->mStart->trigger();
        m_program.Platform().SetTick(24450);
        m_form->bSTOP1->click();
        QCOMPARE(TimeCellsOf(m_program.GridRows()[0]), QStringList({"23,45", "0,00", "23,45"}));
        QVERIFY(m_form->statusBar()->currentMessage().isEmpty());

        const Rows before = m_program.GridRows();
        m_program.Platform().SetTick(26000);
        m_form->bSTOP2->click();
        QCOMPARE(m_form->statusBar()->currentMessage(),
                 QStringLiteral("Rennspur 2: 25,00 nicht eingetragen"));
        QCOMPARE(m_program.GridRows(), before);
        QVERIFY(m_form->bRESET->isEnabled());
    }

    // Only the lane's own selector counts; the time goes to the lane's row
    // whatever number it carries, and a lane without a team writes nothing.
    void recordLaneTimeOnTheLanesRow()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_form->cbBuhn1->setCurrentIndex(4);
        m_form->cbBuhn2->setCurrentIndex(-1);
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 1, QStringLiteral("23,45")));
        QCOMPARE(ResultCellsOf(m_program.GridRows()[4]),
                 QStringList({"23,45", "0,00", "23,45", ""}));
        const Rows before = m_program.GridRows();
        QVERIFY(!m_protocol->RecordLaneTime(ColZeit, 2, QStringLiteral("1,00")));
        QCOMPARE(m_program.GridRows(), before);
        m_grid->SetCells(ColNr, 5, QStringLiteral("1"));
        QVERIFY(m_protocol->RecordLaneTime(ColZeit, 1, QStringLiteral("1,00")));
        QCOMPARE(ResultCellsOf(m_program.GridRows()[4]), QStringList({"1,00", "0,00", "1,00", ""}));
        QCOMPARE(m_program.GridRows()[3], before[3]); // the first row with number 1
    }

    void laneWithoutTeamWritesNothing()
    {
        m_program.Load("7;Solo;1\n", QStringLiteral("Einer.txt"));
        m_program.Platform().SetTick(1000);
        m_form->mStart->trigger();
        m_program.Platform().SetTick(3000);
        m_form->bSTOP2->click();
        const Rows before = m_program.GridRows();
        for (TBitBtnWithColor *button : {m_form->bStrafe15_2, m_form->bStrafe30_2,
                                         m_form->bDisqulifikation2, m_form->sb2del}) {
            QVERIFY(button->isEnabled());
            button->click();
            QCOMPARE(m_program.GridRows(), before);
        }
    }

    void marksAndPenaltiesOverwrite()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_program.Platform().SetTick(0);
        m_form->bSTART->click();
        m_program.Platform().SetTick(83459);
        m_form->bSTOP1->click();
        m_form->bDisqulifikation1->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[0]), QStringList({"DIS", "DIS", "DIS", "DIS"}));
        m_form->bStrafe15_1->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[0]),
                 QStringList({"DIS", "15,00", "98,45", "DIS"}));
        m_form->bStrafe30_1->click();
        m_form->bStrafe30_1->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[0]),
                 QStringList({"DIS", "30,00", "113,45", "DIS"}));
        m_form->sb1del->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[0]), QStringList({"AUS", "AUS", "AUS", "AUS"}));
        QCOMPARE(ResultCellsOf(m_program.GridRows()[1]), QStringList({"", "", "", ""}));
    }

    // Start numbers counted per class: each lane's time reaches its own
    // team, also after a header click has moved the rows.
    void repeatedStartNumbers_data()
    {
        QTest::addColumn<int>("header"); // -1: no header click
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QPair<int, int>>("positions");
        QTest::newRow("as loaded") << -1 << QStringList{"A", "B", "X", "Y"} << qMakePair(2, 3);
        QTest::newRow("sorted by Nr.") << 0 << QStringList{"A", "X", "B", "Y"} << qMakePair(1, 3);
    }
    void repeatedStartNumbers()
    {
        QFETCH(int, header);
        m_program.Load("1;A;1\n2;B;1\n1;X;2\n2;Y;2\n", QStringLiteral("Liste.txt"));
        m_form->cbBuhn1->setCurrentIndex(2);
        m_form->cbBuhn2->setCurrentIndex(3);
        if (header >= 0)
            m_program.ClickHeader(header);
        QTEST(m_program.GridColumn(ColTeamName), "order");
        QTEST(Positions(), "positions");
        StartHeat();
        StopAt(0, 5000, [this] { m_form->bSTOP1->click(); });
        StopAt(1, 6000, [this] { m_form->bSTOP2->click(); });
        m_form->bStrafe15_1->click();
        const Rows rows = m_program.GridRows();
        for (int index = 0; index < rows.size(); ++index) {
            const QString team = rows[index][ColTeamName];
            const QStringList expected = team == "X"   ? QStringList{"5,00", "15,00", "20,00"}
                                         : team == "Y" ? QStringList{"6,00", "0,00", "6,00"}
                                                       : QStringList{"", "", ""};
            QCOMPARE(TimeCellsOf(rows[index]), expected);
        }
    }

    // Leaving edit mode after the heat re-sorts the rows; the stopped
    // lanes' penalty and mark buttons still write into their own teams.
    void editModeBeforeResetKeepsTheLanesTeams()
    {
        m_program.Load("1;A;1\n2;B;1\n3;C;1\n4;D;1\n", QStringLiteral("Liste.txt"));
        m_form->cbBuhn1->setCurrentIndex(2);
        m_form->cbBuhn2->setCurrentIndex(3);
        m_protocol->RefreshControlStates();
        StartHeat();
        StopAt(0, 5000, [this] { m_form->bSTOP1->click(); });
        StopAt(1, 6000, [this] { m_form->bSTOP2->click(); });
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"3", "4", "1", "2"}));
        QCOMPARE(Positions(), qMakePair(0, 1));
        m_form->bStrafe15_1->click();
        m_form->sb2del->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[0]),
                 QStringList({"5,00", "15,00", "20,00", "1"}));
        QCOMPARE(ResultCellsOf(m_program.GridRows()[1]), QStringList({"AUS", "AUS", "AUS", "AUS"}));
        QCOMPARE(ResultCellsOf(m_program.GridRows()[2]), QStringList({"", "", "", ""}));
        m_form->bRESET->click();
        // On to the teams still to run, 1 and 2, behind team 3's time.
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"3", "1", "2", "4"}));
        QCOMPARE(Positions(), qMakePair(1, 2));
    }

    // A header click sorts the rows; each lane stays on its team.
    void headerSortKeepsTheLanesTeams()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_form->cbBuhn1->setCurrentIndex(0); // team 2
        m_form->cbBuhn2->setCurrentIndex(4); // team 4
        m_program.ClickHeader(ColNr);
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"1", "2", "3", "4", "5", "6"}));
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("2 Grüne Flöhe 1"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("4 Schnecken 2"));
        QCOMPARE(Positions(), qMakePair(1, 3));
        QCOMPARE(Items(m_form->cbBuhn1).first(), QStringLiteral("1 Die Blitze 2"));
        QCOMPARE(Items(m_form->cbBuhn2), Items(m_form->cbBuhn1));
        QCOMPARE(RedRows(), QList<int>({2, 4}));

        m_program.Platform().SetTick(0);
        m_form->bSTART->click();
        m_program.Platform().SetTick(12340);
        m_form->bSTOP1->click();
        m_form->bStrafe15_1->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[1]),
                 QStringList({"12,34", "15,00", "27,34", ""}));
        // Sorting again while the race waits for its reset still follows the teams.
        m_program.ClickHeader(ColNr);
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"6", "5", "4", "3", "2", "1"}));
        QCOMPARE(Positions(), qMakePair(4, 2));
        m_form->bStrafe30_1->click();
        QCOMPARE(ResultCellsOf(m_program.GridRows()[4]),
                 QStringList({"12,34", "30,00", "42,34", ""}));
        m_program.Platform().SetTick(13000);
        m_form->bSTOP2->click();
        QCOMPARE(TimeCellsOf(m_program.GridRows()[2]), QStringList({"13,00", "0,00", "13,00"}));
    }

    // A lane whose start number an edit changed stays on its team.
    void headerSortWithAnEditedStartNumber()
    {
        m_program.Load(RaceDayList, QStringLiteral("Liste.txt"));
        m_grid->SetCells(ColNr, 1, QStringLiteral("20")); // lane 1's team, formerly 2
        m_program.ClickHeader(ColTeamName);
        QCOMPARE(m_program.GridColumn(ColTeamName),
                 QStringList({"Die Blitze", "Grüne Flöhe", "Rote Raketen", "Schnecken",
                              "Turbo Omas", "Wirbelwind"}));
        QCOMPARE(Positions(), qMakePair(1, 2));
        QCOMPARE(m_form->cbBuhn1->currentText(), QStringLiteral("20 Grüne Flöhe 1"));
        QCOMPARE(m_form->cbBuhn2->currentText(), QStringLiteral("3 Rote Raketen 1"));
        QCOMPARE(StartState(), StartOn());
    }

    // Class names that are no numbers and hand-typed totals, ranked by the
    // reset after a heat and ordered again by a header click on "Klasse":
    // one block per class, places counted from 1 in each. Rows are
    // "Nr;Klasse;Total"; two teams of class Z run the heat.
    void rankingClassNamesAndTotals_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("ranked"); // "Nr:Platz"
        QTest::newRow("class names")
            << QStringList{"1;2;10,00",  "2;1a;11,00", "3;10;12,00", "4;2;13,00",
                           "5;1a;10,50", "6;10;9,00",  "7;1;14,00",  "8;01;12,00",
                           "9;U12;9,50", "10;-;11,00", "11;;12,00",  "12;U12;10,00"}
            << QStringList{"11:1", "10:1", "8:1", "7:2", "1:1",  "4:2",  "6:1",
                           "3:2",  "5:1",  "2:2", "9:1", "12:2", "98:1", "99:2"};
        QTest::newRow("totals") << QStringList{"1;1;9,99",   "2;1;12,5",  "3;1;12,50",
                                               "4;1;100,00", "5;1;",      "6;1;AUS",
                                               "7;1;DIS",    "8;1;1O,00", "9;1;10,00"}
                                << QStringList{"1:1", "9:2",   "2:3",   "3:3",  "4:5", "8:6",
                                               "5:",  "6:AUS", "7:DIS", "98:1", "99:2"};
    }
    void rankingClassNamesAndTotals()
    {
        QFETCH(QStringList, rows);
        QByteArray list;
        for (const QString &row : rows) {
            const QStringList fields = row.split(QLatin1Char(';'));
            const QString &total = fields[2];
            const bool mark = total == "AUS" || total == "DIS";
            const QString results = total.isEmpty() ? QString()
                                    : mark          ? QStringList(4, total).join(';')
                                                    : total + ";0,00;" + total + ";";
            list +=
                QStringLiteral("%1;Team%1;%2;;;;%3\n").arg(fields[0], fields[1], results).toUtf8();
        }
        list += "98;zz1;Z\n99;zz2;Z\n";
        m_program.Load(list, QStringLiteral("Klassen.txt"));
        m_program.ClickHeader(ColTeamName); // by team name, so the ranking has to move rows
        m_form->cbBuhn1->setCurrentIndex(m_form->cbBuhn1->findText(QStringLiteral("98 zz1 Z")));
        m_form->cbBuhn2->setCurrentIndex(m_form->cbBuhn2->findText(QStringLiteral("99 zz2 Z")));
        m_protocol->RefreshControlStates();
        StartHeat();
        StopAt(0, 5000, [this] { m_form->bSTOP1->click(); });
        StopAt(1, 6000, [this] { m_form->bSTOP2->click(); });
        m_form->bRESET->click();
        const auto numbersAndPlaces = [this] {
            QStringList cells;
            for (const QStringList &row : m_program.GridRows())
                cells << row[ColNr] + ':' + row[ColPlatz];
            return cells;
        };
        const QStringList ranked = numbersAndPlaces();
        QTEST(ranked, "ranked");

        m_program.ClickHeader(ColTeamName);
        QVERIFY(numbersAndPlaces() != ranked);
        m_program.ClickHeader(ColKlasse); // "Klasse" ascending, then "Total"
        QCOMPARE(m_grid->SortOptions().SortDirection(), sdAscending);
        QCOMPARE(numbersAndPlaces(), ranked);
    }

    // Whatever direction the header clicks left, ranking orders ascending.
    void rankingAfterDescendingSort()
    {
        m_program.Load(
            "1;A;1;;;;12,34;0,00;12,34\n2;B;1;;;;13,00;0,00;13,00\n3;C;1;;;;12,34;0,00;12,34\n"
            "4;D;2;;;;9,99;0,00;9,99\n5;E;2;;;;10,00;0,00;10,00\n",
            QStringLiteral("Liste.txt"));
        m_program.ClickHeader(ColKlasse); // "Klasse" was sorted ascending: now descending
        QCOMPARE(m_grid->SortOptions().SortDirection(), sdDescending);
        QCOMPARE(m_program.GridColumn(ColKlasse), QStringList({"2", "2", "1", "1", "1"}));
        m_protocol->RankProtocol();
        QCOMPARE(m_program.GridColumn(ColNr), QStringList({"1", "3", "2", "4", "5"}));
        QCOMPARE(m_program.GridColumn(ColPlatz), QStringList({"1", "1", "3", "1", "2"}));
    }
};

QTEST_MAIN(TestProtocolController)
#include "tst_ProtocolController.moc"
