// The recovery journal in the real main window: every change is on disk
// before its handler returns (a change of single rows or of the lanes in
// the change log, without writing the snapshot again), a journal with
// unsaved results is offered back at start (yes restores exactly, no keeps
// the file aside), and a journal that cannot be written is told once while
// the race goes on.
#include "MainWindowFixture.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "app/RecoveryJournal.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

const QByteArray RaceDayList = "Nr.;TeamName;Klasse;Fahrer;Beifahrer1;Beifahrer2\r\n"
                               "1;Die Blitze;2;Jürgen;Anna;Lukas\r\n"
                               "2;Grüne Flöhe;1;Sören;;\r\n"
                               "3;Rote Raketen;1;Paul;Eva;Ida\r\n"
                               "4;Schnecken;2;Tim;Lea;Max\r\n";

enum class Change {
    Load,
    Stop,
    Penalty,
    Disqualify,
    DropOut,
    Swap,
    TakeOver,
    Edit,
    Typed,
    Remove,
    Reset
};

} // namespace

Q_DECLARE_METATYPE(Change)

class TestRecoveryJournal : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;
    TFormMain *m_form = nullptr;

    void Start()
    {
        m_program.Restart();
        m_form = m_program.Form();
    }

    void Exit()
    {
        m_program.Quit();
        m_form = nullptr;
    }

    QString JournalPath() const { return RecoveryJournal::DefaultFileName(); }

    JournalState OnDisk() const
    {
        JournalState state;
        if (Journal(JournalPath()).Read(state) != Journal::Found::Readable)
            qWarning("no readable journal at %s", qPrintable(JournalPath()));
        return state;
    }

    static QByteArray Bytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void SetBytes(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QString LogPath() const { return m_form->Journal->LogFileName(); }

    void LoadList() { m_program.Load(RaceDayList, QStringLiteral("Mai.txt")); }

    void Heat(std::uint32_t lane1, std::uint32_t lane2)
    {
        m_program.Platform().SetTick(100000);
        m_form->bSTART->click();
        m_program.Platform().SetTick(100000 + lane1);
        m_form->bSTOP1->click();
        m_program.Platform().SetTick(100000 + lane2);
        m_form->bSTOP2->click();
    }

    // Everything the operator sees of the protocol and the lanes.
    QStringList Snapshot() const
    {
        QStringList state;
        for (const QStringList &row : m_program.GridRows())
            state << row.join(QLatin1Char('|'));
        for (const QComboBox *lane : {m_form->cbBuhn1, m_form->cbBuhn2}) {
            QStringList items;
            for (int i = 0; i < lane->count(); ++i)
                items << lane->itemText(i);
            state << items.join(QLatin1Char('/')) << QString::number(lane->currentIndex());
        }
        const TSortGrid *grid = m_form->SortGrid1;
        QStringList widths;
        for (int col = 0; col < grid->ColCount(); ++col)
            widths << QString::number(grid->ColWidths(col));
        state << widths.join(QLatin1Char('/')) << m_form->windowTitle()
              << m_form->Protocol->EventName << m_form->SaveDialog1.fileName;
        return state;
    }

    // Where the change starts from: a list just loaded, or a heat with both
    // lanes stopped (one lane for the changes a stopped lane offers), and
    // the reset done for the changes that need the lanes at rest.
    void Prepare(Change change)
    {
        if (change == Change::Load)
            return;
        LoadList();
        if (change == Change::TakeOver)
            return;
        m_program.Platform().SetTick(0);
        m_form->bSTART->click();
        m_program.Platform().SetTick(9990);
        m_form->bSTOP2->click();
        if (change != Change::Penalty && change != Change::DropOut && change != Change::Stop)
            m_form->bSTOP1->click();
        if (change == Change::Swap || change == Change::TakeOver || change == Change::Edit ||
            change == Change::Typed || change == Change::Remove)
            m_form->bRESET->click();
        if (change == Change::Typed) {
            QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
            TSortGrid *grid = m_form->SortGrid1;
            grid->SetRow(3);
            grid->SetCol(ColFahrer);
            grid->setFocus();
            grid->SetEditorMode(true);
            QTest::keyClick(grid->InplaceEditor(), Qt::Key_End);
        }
    }

    void Perform(Change change)
    {
        switch (change) {
        case Change::Load:
            LoadList();
            break;
        case Change::Stop:
            m_program.Platform().SetTick(12340);
            m_form->bSTOP1->click();
            break;
        case Change::Penalty:
            m_form->bStrafe15_2->click();
            break;
        case Change::Disqualify:
            m_form->bDisqulifikation1->click();
            break;
        case Change::DropOut:
            m_form->sb2del->click();
            break;
        case Change::Swap:
            m_form->seObmen->click();
            break;
        case Change::TakeOver:
            m_form->SortGrid1->SetRow(4);
            m_form->sb2->click();
            break;
        case Change::Edit:
            QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
            m_form->SortGrid1->SetCells(ColTeamName, 3, QStringLiteral("Umbenannt"));
            QTest::mouseClick(m_form->cbEditON, Qt::LeftButton);
            break;
        case Change::Typed:
            QTest::keyClick(m_form->SortGrid1->InplaceEditor(), Qt::Key_A);
            break;
        case Change::Remove:
            m_form->SortGrid1->SetRow(3);
            m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
            m_form->sbCLS->click();
            break;
        case Change::Reset:
            m_form->bRESET->click();
            break;
        }
    }

private slots:
    void initTestCase() { m_program.Enter(); }

    void init()
    {
        m_program.Open();
        m_form = m_program.Form();
    }

    void cleanup() { m_program.Close(); }

    // Read straight after the click, before any event is processed: the
    // journal on disk already holds the window's new state. Changes of
    // single rows and of the lanes leave the snapshot as it was. Rows only
    // loaded or ranked go into a snapshot written behind the window's back,
    // read here once it has landed.
    void everyChangeIsOnDiskBeforeTheHandlerReturns_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("inBackground");
        QTest::newRow("list loaded") << Change::Load << true << true;
        QTest::newRow("time recorded") << Change::Stop << false << false;
        QTest::newRow("penalty") << Change::Penalty << false << false;
        QTest::newRow("DIS") << Change::Disqualify << false << false;
        QTest::newRow("AUS") << Change::DropOut << false << false;
        QTest::newRow("lane swap") << Change::Swap << false << false;
        QTest::newRow("team taken onto a lane") << Change::TakeOver << false << false;
        QTest::newRow("cell edited, ranked as editing ends") << Change::Edit << true << true;
        QTest::newRow("key typed into a cell, still editing") << Change::Typed << false << false;
        QTest::newRow("row removed") << Change::Remove << true << false;
        QTest::newRow("ranking at the reset") << Change::Reset << true << true;
    }
    void everyChangeIsOnDiskBeforeTheHandlerReturns()
    {
        QFETCH(Change, change);
        QFETCH(bool, snapshot);
        QFETCH(bool, inBackground);
        Prepare(change);
        m_form->Journal->WaitUntilWritten();
        const QByteArray snapshotBefore = Bytes(JournalPath());
        const QByteArray logBefore = Bytes(LogPath());
        Perform(change);
        if (inBackground)
            m_form->Journal->WaitUntilWritten();
        const JournalState disk = OnDisk();
        JournalState shown = m_form->Journal->CurrentState();
        shown.stamp = disk.stamp;
        QCOMPARE(disk, shown);
        QCOMPARE(Bytes(JournalPath()) != snapshotBefore, snapshot);
        if (!snapshot)
            QVERIFY(Bytes(LogPath()) != logBefore);
    }

    // A ranking's snapshot may still be on its way when the next heat's
    // times come in: they wait for it and are logged against the new order,
    // so each time stays with its team.
    void stopsRightAfterARankingStayWithTheirTeams()
    {
        LoadList();
        for (int heat = 0; heat < 3; ++heat) {
            m_form->SortGrid1->SetRow(1 + heat);
            m_form->sb1->click();
            m_form->SortGrid1->SetRow(4 - heat);
            m_form->sb2->click();
            Heat(20000 - 1000 * std::uint32_t(heat), 15000 + 700 * std::uint32_t(heat));
            m_form->bRESET->click();
        }
        m_form->SortGrid1->SetRow(1);
        m_form->sb1->click();
        Heat(5000, 6000);
        const JournalState disk = OnDisk();
        JournalState shown = m_form->Journal->CurrentState();
        shown.stamp = disk.stamp;
        QCOMPARE(disk, shown);
        QCOMPARE(RecordedResultCount(disk.rows), 4);
    }

    void recoveryAfterAKill_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Ja restores") << TFDlgYesNo::ResultYes;
        QTest::newRow("Nein keeps the file aside") << TFDlgYesNo::ResultCancel;
    }
    void recoveryAfterAKill()
    {
        QFETCH(int, answer);
        LoadList();
        Heat(12340, 13450);
        m_form->bStrafe15_1->click();
        m_form->bRESET->click();
        Heat(9990, 10000);
        m_form->sb2del->click();
        const QStringList shown = Snapshot();
        const QByteArray killedWith = Bytes(JournalPath());
        const QByteArray killedLog = Bytes(LogPath());
        const JournalState killedState = OnDisk();
        const QDateTime stamp = killedState.stamp;

        Exit();
        // The process died instead: the journal is what the last change wrote.
        SetBytes(JournalPath(), killedWith);
        SetBytes(QFileInfo(JournalPath()).dir().filePath("Wiederherstellung.log"), killedLog);
        m_program.Platform().dialogsShown = 0;
        // The question is longer than the box's designed three lines: it
        // grows (wider for its path, taller for its lines) so that the
        // counts can be read, and shrinks back after.
        bool wholeQuestionShown = false;
        m_program.Platform().dialogAnswers.enqueue([&](QDialog *box) {
            const auto *dialog = static_cast<TFDlgYesNo *>(box);
            const QLabel *label = dialog->Label1;
            wholeQuestionShown = (label->height() > 49 || label->width() > 169) &&
                                 label->height() >= label->heightForWidth(label->width()) &&
                                 dialog->OKBtn->y() > label->geometry().bottom();
            return answer;
        });
        Start();
        QCOMPARE(m_program.Platform().dialogsShown, 1);
        QVERIFY(wholeQuestionShown);
        QCOMPARE(m_program.Windows().FDlgYesNo->size(), QSize(222, 94));
        QVERIFY(m_program.Windows().FDlgYesNo->Label1->text().startsWith(
            QStringLiteral(
                "Letzten Stand vom %1 wiederherstellen? (4\u00a0Teams,\u00a04\u00a0Zeiten)")
                .arg(stamp.toString(QStringLiteral("dd.MM.yyyy HH:mm")))));

        const QStringList entries = QDir(QFileInfo(JournalPath()).path()).entryList(QDir::Files);
        if (answer == TFDlgYesNo::ResultYes) {
            // Back on the teams of the interrupted heat, ready to start it again.
            QCOMPARE(Snapshot(), shown);
            QVERIFY(m_form->bSTART->isEnabled() && m_form->cbBuhn2->isEnabled());
            QVERIFY(OnDisk().unsaved);
            QCOMPARE(entries, QStringList({"Wiederherstellung.lock", "Wiederherstellung.log",
                                           "Wiederherstellung.txt"}));
            // The next start asks again: the results are still in no saved file.
            Exit();
            m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
            Start();
            QCOMPARE(m_program.Platform().dialogsShown, 2);
            QCOMPARE(Snapshot(), shown);
        } else {
            QVERIFY(!m_form->Protocol->HasProtocol());
            QVERIFY(!m_form->bSTART->isEnabled());
            const QString kept = QStringLiteral("Mai – aufbewahrt %1.txt")
                                     .arg(stamp.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
            QVERIFY2(entries.contains(kept), qPrintable(entries.join(',')));
            JournalState aside;
            QCOMPARE(Journal(QFileInfo(JournalPath()).dir().filePath(kept)).Read(aside),
                     Journal::Found::Readable);
            QCOMPARE(aside, killedState);
            QVERIFY(!WorthRecovering(OnDisk()));
        }
    }

    // The rows' start order comes back with them, and the records of the
    // next stops keep it.
    void startOrderComesBackWithTheRows()
    {
        LoadList();
        Heat(12340, 13450);
        JournalState kept = OnDisk();
        Exit();
        kept.startOrder = {2, 0, 3, 1};
        QString error;
        QVERIFY2(Journal(JournalPath()).Write(kept, &error), qPrintable(error));
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        Start();
        QCOMPARE(m_form->Protocol->StartOrder(), kept.startOrder);
        const QByteArray snapshot = Bytes(JournalPath());
        Heat(5000, 6000);
        QCOMPARE(Bytes(JournalPath()), snapshot);
        QCOMPARE(OnDisk().startOrder, kept.startOrder);
    }

    void exitAsksNextTimeOnlyWhenUnsaved_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("questions");
        QTest::newRow("saved, then a normal exit") << true << 0;
        QTest::newRow("normal exit without saving") << false << 1;
    }
    void exitAsksNextTimeOnlyWhenUnsaved()
    {
        QFETCH(bool, saved);
        LoadList();
        Heat(12340, 13450);
        if (saved)
            m_form->Protocol->MarkProtocolSaved();
        Exit();
        m_program.Platform().dialogsShown = 0;
        Start();
        QTEST(m_program.Platform().dialogsShown, "questions");
    }

    // Root ignores permission bits: a data folder below a regular file
    // cannot be created by anyone.
    void unwritableJournalIsToldOnce()
    {
        Exit();
        QFile blocker(m_program.Folder().FilePath(QStringLiteral("Sperre")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName()));
        const auto restore = qScopeGuard(
            [&] { qputenv("XDG_DATA_HOME", QFile::encodeName(m_program.Folder().DataPath())); });
        Start();
        LoadList();
        const QString notice = m_form->statusBar()->currentMessage();
        QVERIFY2(notice.startsWith(QStringLiteral("Wiederherstellungsdatei nicht geschrieben: ") +
                                   blocker.fileName()),
                 qPrintable(notice));
        m_form->statusBar()->clearMessage();
        Heat(12340, 13450);
        QCOMPARE(m_form->statusBar()->currentMessage(), QString());
        QCOMPARE(m_program.GridRows()[1][ColZeit], QStringLiteral("13,45"));
    }

    // A snapshot cut off by a crash before its rename leaves its temporary
    // file; the next start removes it and nothing else.
    void snapshotsCutOffAreRemovedAtStart()
    {
        LoadList();
        Exit();
        const QDir folder = QFileInfo(JournalPath()).dir();
        SetBytes(JournalPath() + ".kV7KrJ", "Nr.\tTeamName\tabgeschn");
        SetBytes(JournalPath() + ".alt", "eigene Kopie");
        Start();
        QCOMPARE(folder.entryList(QDir::Files),
                 QStringList({"Wiederherstellung.lock", "Wiederherstellung.log",
                              "Wiederherstellung.txt", "Wiederherstellung.txt.alt"}));
    }

    void damagedJournalIsKeptAside()
    {
        Exit();
        QVERIFY(QDir().mkpath(QFileInfo(JournalPath()).path()));
        QFile journal(JournalPath());
        QVERIFY(journal.open(QIODevice::WriteOnly));
        journal.write("Nr.\tTeamName\tabgeschnitten");
        journal.close();
        m_program.Platform().dialogsShown = 0;
        Start();
        QCOMPARE(m_program.Platform().dialogsShown, 0);
        const QStringList entries = QDir(QFileInfo(JournalPath()).path())
                                        .entryList({QStringLiteral("Wiederherstellung vom *")});
        QCOMPARE(entries.size(), 1);
        QVERIFY2(m_form->statusBar()->currentMessage().contains(entries[0]),
                 qPrintable(m_form->statusBar()->currentMessage()));
    }
};

QTEST_MAIN(TestRecoveryJournal)
#include "tst_RecoveryJournal.moc"
