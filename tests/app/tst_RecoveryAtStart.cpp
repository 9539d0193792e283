// What the program does with the recovery journal as it starts, through the
// real window: a second copy leaves the first one's journal alone, damaged
// files are told in a box and put aside while the next stops are kept
// again, the question says where "Nein" keeps the state, and a state
// discarded on purpose at the last exit is kept aside without a question.
#include "MainWindowFixture.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "app/RecoveryJournal.h"
#include "protocol/Journal.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

namespace {

const QString SecondCopyNotice = QStringLiteral(
    "Duobahn läuft bereits: dieses Fenster sichert nichts für die Wiederherstellung");

QString JournalPath()
{
    return RecoveryJournal::DefaultFileName();
}

QDir JournalFolder()
{
    return QFileInfo(JournalPath()).dir();
}

QString LogPath()
{
    return JournalFolder().filePath(QStringLiteral("Wiederherstellung.log"));
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SetBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Every file of the journal's folder (but the lock) with its bytes.
QMap<QString, QByteArray> FolderContents()
{
    QMap<QString, QByteArray> contents;
    for (const QString &name : JournalFolder().entryList(QDir::Files)) {
        if (!name.endsWith(QStringLiteral(".lock")))
            contents.insert(name, Bytes(JournalFolder().filePath(name)));
    }
    return contents;
}

quint32 LittleEndian32(const QByteArray &bytes, qsizetype at)
{
    return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 |
           quint32(quint8(bytes[at + 2])) << 16 | quint32(quint8(bytes[at + 3])) << 24;
}

// Text cut off at a side of the label leaves ink in its outer columns.
bool InkAtTheSides(QLabel *label)
{
    const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (const int x : {0, image.width() - 1}) {
            if (qGray(image.pixel(x, y)) < 100)
                return true;
        }
    }
    return false;
}

enum class Damage { SnapshotDigit, LogBit, LogOverTheLimit };

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestRecoveryAtStart : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;

    void LoadRaceDay()
    {
        m_program.Load(
            MainWindowFixture::Teams({"Blitz", "Flöhe", "Raketen", "Schnecken", "Donner"}));
    }

    QStringList MessagesShown() const
    {
        QStringList texts;
        for (const FakePlatform::Message &message : m_program.Platform().messages)
            texts << message.text;
        return texts;
    }

private slots:
    void initTestCase() { m_program.Enter(); }
    void init() { m_program.Open(); }
    void cleanup() { m_program.Close(); }

    // A second window of the same user starts without a journal: no
    // question about the first one's state, not one file of the folder
    // written, moved or removed (not even the first one's snapshot being
    // written), at its start, its changes or its exit. The first one goes
    // on and its stops come back after a kill.
    void secondCopyLeavesTheFirstOnesJournalAlone()
    {
        LoadRaceDay();
        m_program.Heat(12340, 13450);
        m_program.Form()->Journal->WaitUntilWritten();
        SetBytes(JournalPath() + QStringLiteral(".q7Rt2x"), "Nr.\tTeamName\tim Schreiben");
        const QMap<QString, QByteArray> before = FolderContents();
        const int dialogs = m_program.Platform().dialogsShown;
        {
            ApplicationWindows second;
            QCOMPARE(m_program.Platform().dialogsShown, dialogs);
            QCOMPARE(second.FormMain->statusBar()->currentMessage(), SecondCopyNotice);
            QCOMPARE(MessagesShown(), QStringList({SecondCopyNotice}));
            QCOMPARE(FolderContents(), before);
            m_program.Platform().openAnswers.enqueue(
                {true, m_program.Folder().FilePath(QStringLiteral("Liste.txt")), 1});
            second.FormMain->sbLoad->click();
            QVERIFY(second.FormMain->Protocol->HasProtocol());
            second.FormMain->Journal->WaitUntilWritten();
            QCOMPARE(FolderContents(), before);
        }
        QCOMPARE(FolderContents(), before);

        m_program.Heat(9990, 10000, false);
        const QList<QStringList> shown = m_program.GridRows();
        m_program.Kill();
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        m_program.Restart();
        QCOMPARE(m_program.GridRows(), shown);
    }

    // A snapshot whose digit changed on the disk, a change log with a bit
    // flipped, a log over the reader's limit: each is told in a box and in
    // the status line (whose tooltip keeps the whole text), and put aside
    // as it is; what could be read is offered back (all but lane 2's stop,
    // the log's last record, when that is damaged), and the stops after it
    // are recovered after the next kill.
    void damagedFilesAreToldAndPutAside_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("asideSuffix");
        QTest::addColumn<int>("stopsRecovered");
        QTest::newRow("digit of a time in the snapshot")
            << Damage::SnapshotDigit << "Wiederherstellungsdatei unlesbar, aufbewahrt als "
            << ".txt" << -1;
        QTest::newRow("bit of the second stop in the log")
            << Damage::LogBit << "Änderungsprotokoll ab Eintrag %1 unlesbar: beiseitegelegt als "
            << ".log" << 1;
        QTest::newRow("log over the reader's limit")
            << Damage::LogOverTheLimit
            << "Änderungsprotokoll ab Eintrag 1 unlesbar: beiseitegelegt als "
            << ".log" << 0;
    }
    void damagedFilesAreToldAndPutAside()
    {
        QFETCH(Damage, damage);
        QFETCH(QString, notice);
        QFETCH(QString, asideSuffix);
        QFETCH(int, stopsRecovered);
        LoadRaceDay();
        m_program.Heat(12340, 13450);
        const QList<QStringList> ranked = m_program.GridRows();
        m_program.Heat(9990, 10000, false);
        const QList<QStringList> stopped = m_program.GridRows();
        m_program.Kill();

        QByteArray damaged;
        if (damage == Damage::SnapshotDigit) {
            damaged = Bytes(JournalPath());
            QVERIFY(damaged.contains("\t12,34\t"));
            SetBytes(JournalPath(), damaged.replace("\t12,34\t", "\t82,34\t"));
        } else if (damage == Damage::LogBit) {
            damaged = Bytes(LogPath());
            qsizetype last = 0;
            int records = 1;
            for (qsizetype next = 16 + LittleEndian32(damaged, 0);
                 LittleEndian32(damaged, next) != 0; next += 16 + LittleEndian32(damaged, next)) {
                last = next;
                ++records;
            }
            notice = notice.arg(records);
            damaged[last + 20] = char(damaged[last + 20] ^ 0x04);
            SetBytes(LogPath(), damaged);
        } else {
            QFile log(LogPath());
            QVERIFY(log.resize(MaxJournalBytes + 1));
        }
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        const int dialogs = m_program.Platform().dialogsShown;
        m_program.Restart();

        const QString status = m_program.StatusText();
        QVERIFY2(status.startsWith(notice), qPrintable(status));
        const QString aside = status.mid(notice.size());
        QVERIFY2(aside.endsWith(asideSuffix) && QFileInfo(aside).dir() == JournalFolder(),
                 qPrintable(aside));
        QCOMPARE(m_program.Form()->statusBar()->toolTip(), status);
        QCOMPARE(MessagesShown(), QStringList({status}));
        if (damage == Damage::LogOverTheLimit)
            QCOMPARE(QFileInfo(aside).size(), MaxJournalBytes + 1);
        else
            QCOMPARE(Bytes(aside), damaged);
        if (stopsRecovered < 0) {
            QCOMPARE(m_program.Platform().dialogsShown, dialogs);
            QVERIFY(!m_program.Form()->Protocol->HasProtocol());
            LoadRaceDay();
        } else {
            QCOMPARE(m_program.Platform().dialogsShown, dialogs + 1);
            // Lane 1 stopped first, at 9,99: its record is the first.
            QList<QStringList> expected = ranked;
            for (qsizetype row = 0; row < expected.size() && stopsRecovered > 0; ++row) {
                if (stopped[row][ColZeit] == QStringLiteral("9,99"))
                    expected[row] = stopped[row];
            }
            QCOMPARE(m_program.GridRows(), expected);
        }

        m_program.Heat(7000, 8000, false);
        const QList<QStringList> later = m_program.GridRows();
        m_program.Kill();
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        m_program.Restart();
        QCOMPARE(m_program.GridRows(), later);
        QCOMPARE(MessagesShown().size(), 1);
    }

    // The question shows every line of its text, the counts unbroken, and
    // says where "Nein" keeps the state; "Nein" keeps it there.
    void questionSaysWhereNeinKeepsTheState()
    {
        QStringList teams;
        for (int team = 1; team <= 15; ++team)
            teams << QStringLiteral("Team%1").arg(team);
        m_program.Load(MainWindowFixture::Teams(teams));
        m_program.Heat(12340, 13450, false);
        JournalState killed;
        m_program.Form()->Journal->WaitUntilWritten();
        QCOMPARE(Journal(JournalPath()).Read(killed), Journal::Found::Readable);
        m_program.Kill();
        const QString aside =
            JournalFolder().filePath(QStringLiteral("Liste – aufbewahrt %1.txt")
                                         .arg(killed.stamp.toString("yyyy-MM-dd HH-mm-ss")));
        QString question;
        bool whole = false;
        bool oneLinePerLine = false;
        m_program.Platform().dialogAnswers.enqueue([&](QDialog *box) {
            QLabel *label = static_cast<TFDlgYesNo *>(box)->Label1;
            question = label->text();
            whole =
                label->height() >= label->heightForWidth(label->width()) && !InkAtTheSides(label);
            // Each line of the question on a line of its own, the path unbroken.
            oneLinePerLine =
                label->heightForWidth(label->width()) == 3 * label->fontMetrics().lineSpacing();
            return TFDlgYesNo::ResultCancel;
        });
        m_program.Restart();
        QCOMPARE(question,
                 QStringLiteral("Letzten Stand vom %1 wiederherstellen? "
                                "(15\u00a0Teams,\u00a02\u00a0Zeiten)\nNein: der Stand wird "
                                "aufbewahrt unter\n%2")
                     .arg(killed.stamp.toString("dd.MM.yyyy HH:mm"), aside));
        QVERIFY(whole);
        QVERIFY(oneLinePerLine);
        JournalState kept;
        QCOMPARE(Journal(aside).Read(kept), Journal::Found::Readable);
        QCOMPARE(kept.rows, killed.rows);
    }

    // "Protokoll löschen" or a second list over unsaved results, each with
    // Enter on the question: the results are kept under a dated name of
    // their event first, as at the exit, and a kill after it loses none; the
    // kept copy loads back as the same event.
    void resultsClearedOrLoadedOverAreKept_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::newRow("Protokoll löschen") << true;
        QTest::newRow("second list") << false;
    }
    void resultsClearedOrLoadedOverAreKept()
    {
        QFETCH(bool, clear);
        m_program.Load(MainWindowFixture::Teams({"Blitz", "Flöhe", "Raketen", "Schnecken"}),
                       QStringLiteral("Pokal.txt"));
        m_program.Heat(12340, 13450);
        m_program.Heat(9990, 10000);
        const QList<QStringList> timed = m_program.GridRows();
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        if (clear)
            m_program.Form()->sbCLSall->click();
        else
            m_program.Load(MainWindowFixture::Teams({"Zweite"}), QStringLiteral("Zweite.txt"));
        QVERIFY(m_program.Platform().dialogAnswers.isEmpty());
        const QString notice = QStringLiteral("Letzter Stand aufbewahrt unter ");
        const QString status = m_program.StatusText();
        QVERIFY2(status.startsWith(notice), qPrintable(status));
        const QString kept = status.mid(notice.size());
        QCOMPARE(QFileInfo(kept).dir(), JournalFolder());
        QVERIFY2(QFileInfo(kept).fileName().startsWith(QStringLiteral("Pokal – aufbewahrt ")),
                 qPrintable(kept));

        m_program.Kill();
        const int dialogs = m_program.Platform().dialogsShown;
        m_program.Restart();
        QCOMPARE(m_program.Platform().dialogsShown, dialogs);
        m_program.LoadFile(kept);
        // The copy writes an empty cell as a blank, which reads as empty.
        QList<QStringList> loaded = m_program.GridRows();
        for (QStringList &row : loaded)
            row.replaceInStrings(QRegularExpression("^ $"), QString());
        QCOMPARE(loaded, timed);
        QCOMPARE(m_program.Form()->windowTitle(), m_program.Form()->ApplicationTitle + ": Pokal");
        QCOMPARE(m_program.Form()->SaveDialog1.fileName, JournalFolder().filePath("Pokal"));
    }

    // "Trotzdem beenden? Ja" discards the results on purpose: the next start
    // asks nothing, keeps them under their dated name and says where.
    void stateDiscardedOnPurposeIsKeptWithoutAsking()
    {
        LoadRaceDay();
        m_program.Heat(12340, 13450);
        const QList<QStringList> discarded = m_program.GridRows();
        m_program.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        QVERIFY(m_program.Form()->close());
        const int dialogs = m_program.Platform().dialogsShown;
        m_program.Restart();
        QCOMPARE(m_program.Platform().dialogsShown, dialogs);
        QVERIFY(!m_program.Form()->Protocol->HasProtocol());
        const QString notice = QStringLiteral("Letzter Stand aufbewahrt unter ");
        QVERIFY2(m_program.StatusText().startsWith(notice), qPrintable(m_program.StatusText()));
        JournalState kept;
        QCOMPARE(Journal(m_program.StatusText().mid(notice.size())).Read(kept),
                 Journal::Found::Readable);
        QCOMPARE(kept.rows.size(), std::size_t(discarded.size()));
        QCOMPARE(kept.rows[0][ColZeit], discarded[0][ColZeit]);
        // Nothing is left to offer back at the start after.
        m_program.Restart();
        QCOMPARE(m_program.Platform().dialogsShown, dialogs);
    }
};

QTEST_MAIN(TestRecoveryAtStart)
#include "tst_RecoveryAtStart.moc"
