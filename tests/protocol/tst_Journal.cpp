// The recovery journal: its snapshot text carries every cell exactly and
// reads as a starter list, its change records carry every change exactly,
// a damaged or cut-off snapshot is never taken for a journal, a change log
// is read up to its last whole record of its own snapshot, and a failed
// write keeps the previous files.
#include "JournalStates.h"
#include "ProtocolCells.h"
#include "protocol/Journal.h"
#include "protocol/StarterList.h"
#include "protocol/TextDecoding.h"

#include <QtTest>
#include <atomic>
#include <sys/mount.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(JournalState)
Q_DECLARE_METATYPE(JournalChange)
Q_DECLARE_METATYPE(StartOrder)
Q_DECLARE_METATYPE(StartOrderPlaces)

namespace {

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The third team of the race day after its first heat.
ProtocolRow SchneckenTimed()
{
    return Row({{ColNr, "3"},
                {ColTeamName, "Schnecken"},
                {ColKlasse, "2"},
                {ColFahrer, "Tim"},
                {ColZeit, "9,99"},
                {ColStrafzeit, "0,00"},
                {ColTotal, "9,99"}});
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void roundTripIsExact_data()
    {
        QTest::addColumn<JournalState>("state");
        QTest::newRow("race day") << RaceDay();
        QTest::newRow("empty protocol") << WithRows({ProtocolRow{}});
        QTest::newRow("no rows at all") << WithRows({});
        QTest::newRow("one blank, blanks around, only blanks")
            << WithRows({Row({" ", " x ", "  ", "   y"})});
        QTest::newRow("tab and line breaks inside cells")
            << WithRows({Row({"4", "Blitz\tund Donner", "1", "Zeile\r\nzwei", "\n"})});
        QTest::newRow("start number beginning with Nr")
            << WithRows({Row({"Nr5", "Nr5"}), Row({"Nr:Ende\t1"})});
        QTest::newRow("a list's blanks, an empty cell among them") << WithRows(
            {Row({"1", " ", "1", " "}), Row({"2", "", "1", " "}), Row({"3", " ", "1", ""})});
        QTest::newRow("escape character and umlauts")
            << WithRows({Row({"5", "100% Öko", "1", "%09"})});
        JournalState notes = RaceDay();
        notes.eventName = QStringLiteral("Tab\there %25\r\n");
        notes.listPath = QString();
        notes.caption = QStringLiteral("duobahn 1.0");
        notes.lane1 = -1;
        notes.lane2 = -1;
        notes.unsaved = false;
        QTest::newRow("odd notes, no lanes, saved") << notes;
    }
    void roundTripIsExact()
    {
        QFETCH(JournalState, state);
        const std::optional<JournalState> read = ReadJournalText(JournalText(state));
        QVERIFY(read);
        QCOMPARE(read->rows, state.rows);
        QCOMPARE(read->eventName, state.eventName);
        QCOMPARE(read->listPath, state.listPath);
        QCOMPARE(read->caption, state.caption);
        QCOMPARE(read->lane1, state.lane1);
        QCOMPARE(read->lane2, state.lane2);
        QCOMPARE(read->unsaved, state.unsaved);
        QCOMPARE(read->stamp, state.stamp);
        QCOMPARE(read->startOrder, state.startOrder);
    }

    // A person may load the journal as a starter list: the same teams, in
    // the same columns, and none of the program's notes.
    void readsAsAStarterList()
    {
        const JournalState state = RaceDay();
        const ProtocolTable list = ParseStarterList(DecodeFileText(JournalText(state)));
        QCOMPARE(list.size(), state.rows.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            for (int column = 0; column < ProtocolColumnCount; ++column) {
                const QString cell = state.rows[i][column];
                QCOMPARE(list[i][column].trimmed(), cell.trimmed());
            }
        }
    }

    void damagedTextIsRefused_data()
    {
        const QByteArray good = JournalText(RaceDay());
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a starter list") << QByteArray("1;Blitz;1\r\n");
        QTest::newRow("line after the end") << good + "4\tx\t1\t \t \t \t \t \t \t \t\r\n";
        QTest::newRow("row of nine cells") << QByteArray(good).replace(
            "3\tSchnecken\t2\tTim\t \t \t \t \t \t \t", "3\tSchnecken\t2\tTim\t \t \t \t \t \t");
        QTest::newRow("fewer rows than the end says")
            << QByteArray(good).replace("Nr:Ende\t3", "Nr:Ende\t4");
        QTest::newRow("unknown version")
            << QByteArray(good).replace("Nr:Wiederherstellung\t3", "Nr:Wiederherstellung\t4");
        QTest::newRow("start order beyond the rows")
            << QByteArray(good).replace("Nr:Startfolge\t0\t1", "Nr:Startfolge\t1\t1");
        QTest::newRow("no checksum in this version") << good.left(good.lastIndexOf('\t')) + "\r\n";
        QTest::newRow("start order not a number")
            << QByteArray(good).replace("Nr:Startfolge\t0\t1", "Nr:Startfolge\t0\tx");
        QTest::newRow("blank note of no column")
            << QByteArray(good).replace("Nr:Ungesichert", "Nr:Leerzellen\t10\r\nNr:Ungesichert");
        QTest::newRow("unknown note") << QByteArray(good).replace("Nr:Ungesichert", "Nr:Anders");
        QTest::newRow("bad stamp") << QByteArray(good).replace("2026-12-07", "2026-13-07");
        QTest::newRow("cell note beyond the rows")
            << QByteArray(good).replace("Nr:Zelle\t0\t4", "Nr:Zelle\t9\t4");
        QTest::newRow("lane below -1")
            << QByteArray(good).replace("Nr:Rennspuren\t2", "Nr:Rennspuren\t-2");
    }
    void damagedTextIsRefused()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!ReadJournalText(text));
    }

    // Journals written before the start order was kept, and before blanks
    // were noted per column, still read: the rows in their own start
    // order, blank cells empty, the single blanks from their notes.
    void earlierFormatStillReads_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
    }
    void earlierFormatStillReads()
    {
        QFETCH(int, version);
        QByteArray earlier = JournalText(RaceDay());
        earlier.replace("Nr:Wiederherstellung\t3",
                        "Nr:Wiederherstellung\t" + QByteArray::number(version));
        earlier.replace("Nr:Startfolge\t0\t1\t2\t0\r\n", "");
        earlier = earlier.left(earlier.lastIndexOf('\t')) + "\r\n"; // no checksum yet
        const std::optional<JournalState> read = ReadJournalText(earlier);
        QVERIFY(read);
        QCOMPARE(read->rows, RaceDay().rows);
        QCOMPARE(read->startOrder, StartOrder());
    }

    // A journal of a program whose protocol had other columns reads by the
    // names in its header: its cells land in the columns of those names,
    // those of a column this program lacks are dropped, and its change log
    // reads by the same names.
    void otherColumnsReadByName_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QList<int>>("columns"); // this program's column of each text column
        QTest::newRow("a column this program lacks")
            << QByteArray("Nr.\tTeamName\tKlasse\tVerein\t")
            << QList<int>{ColNr, ColTeamName, ColKlasse, -1};
        QTest::newRow("columns in another order")
            << QByteArray("Nr.\tTeamName\tFahrer\tKlasse\t")
            << QList<int>{ColNr, ColTeamName, ColFahrer, ColKlasse};
    }
    void otherColumnsReadByName()
    {
        QFETCH(QByteArray, header);
        QFETCH(QList<int>, columns);
        QByteArray text = JournalText(RaceDay());
        text.replace("Nr.\tTeamName\tKlasse\tFahrer\t", header);
        // Written before checksums, as the older program would have.
        text.replace("Nr:Wiederherstellung\t3", "Nr:Wiederherstellung\t2");
        text = text.left(text.lastIndexOf('\t')) + "\r\n";
        JournalColumns named;
        const std::optional<JournalState> read = ReadJournalText(text, nullptr, &named);
        QVERIFY(read);
        JournalColumns expected = ProtocolJournalColumns();
        std::copy(columns.begin(), columns.end(), expected.begin());
        QCOMPARE(named, expected);
        const auto moved = [&](const ProtocolRow &row) {
            ProtocolRow cells{};
            for (std::size_t k = 0; k < expected.size(); ++k) {
                if (expected[k] >= 0)
                    cells[std::size_t(expected[k])] = row[k];
            }
            return cells;
        };
        for (std::size_t k = 0; k < read->rows.size(); ++k)
            QCOMPARE(read->rows[k], moved(RaceDay().rows[k]));
        const std::optional<JournalChange> logged =
            ReadJournalChangeText(JournalChangeText(Change({{2, SchneckenTimed()}})), named);
        QVERIFY(logged);
        QCOMPARE(logged->rows.front().second, moved(SchneckenTimed()));
    }

    // The start order changes where a change says, and only there; the
    // rows' own order stays the empty one.
    void startOrderFollowsChanges_data()
    {
        QTest::addColumn<JournalState>("state");
        QTest::addColumn<StartOrderPlaces>("places");
        QTest::addColumn<StartOrder>("after");
        QTest::newRow("one place of three")
            << RaceDay() << StartOrderPlaces{{0, 7}} << StartOrder{7, 2, 0};
        QTest::newRow("back to the rows' own")
            << RaceDay() << StartOrderPlaces{{0, 0}, {1, 1}, {2, 2}} << StartOrder{};
        QTest::newRow("own order, one place moved")
            << WithRows(RaceDay().rows) << StartOrderPlaces{{2, 5}} << StartOrder{0, 1, 5};
        QTest::newRow("own order, a place as it was")
            << WithRows(RaceDay().rows) << StartOrderPlaces{{1, 1}} << StartOrder{};
    }
    void startOrderFollowsChanges()
    {
        QFETCH(JournalState, state);
        QFETCH(StartOrderPlaces, places);
        JournalChange change = Change({});
        change.startOrder = places;
        const std::optional<JournalChange> read = ReadJournalChangeText(JournalChangeText(change));
        QVERIFY(read);
        QCOMPARE(*read, change);
        QVERIFY(ApplyJournalChange(state, *read));
        QTEST(state.startOrder, "after");
    }

    // Whatever point a write stops at, the rest is never taken for a journal.
    void everyCutOffTextIsRefused()
    {
        const QByteArray good = JournalText(RaceDay());
        QVERIFY(ReadJournalText(good));
        for (qsizetype length = 0; length < good.size(); ++length)
            QVERIFY2(!ReadJournalText(good.left(length)), qPrintable(QString::number(length)));
    }

    // The checksum of the snapshot's text: whichever bit changes on the
    // disk, the text is never read as a journal (a time 0,72 never comes
    // back as 8,72).
    void everyChangedBitIsRefused()
    {
        const QByteArray good = JournalText(RaceDay());
        for (qsizetype at = 0; at < good.size(); ++at) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray changed = good;
                changed[at] = char(changed[at] ^ (1 << bit));
                QVERIFY2(!ReadJournalText(changed),
                         qPrintable(QStringLiteral("byte %1, bit %2").arg(at).arg(bit)));
            }
        }
    }

    void changeRoundTripIsExact_data()
    {
        QTest::addColumn<JournalChange>("change");
        QTest::newRow("a stop") << Change({{0, RaceDay().rows[0]}});
        QTest::newRow("only the lanes") << Change({});
        QTest::newRow("odd cells") << Change(
            {{2, Row({"", " ", "Tab\tim%25\r\nText", "Nr:Ende", "Zeile\t9"})}, {0, ProtocolRow{}}});
        JournalChange notes = Change({{1, Row({"2", "Flöhe"})}});
        notes.notes.eventName = QStringLiteral("Mai\t2024\r\n%");
        notes.notes.caption.clear();
        notes.notes.lane1 = -1;
        notes.notes.unsaved = false;
        QTest::newRow("odd notes") << notes;
    }
    void changeRoundTripIsExact()
    {
        QFETCH(JournalChange, change);
        const QByteArray text = JournalChangeText(change);
        const std::optional<JournalChange> read = ReadJournalChangeText(text);
        QVERIFY2(read, text.constData());
        QCOMPARE(*read, change);
    }

    void damagedChangeIsRefused_data()
    {
        const QByteArray good = JournalChangeText(Change({{2, RaceDay().rows[0]}}));
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no line end") << good.chopped(2);
        QTest::newRow("row of nine cells") << good.left(good.lastIndexOf('\t')) + "\r\n";
        QTest::newRow("negative row") << QByteArray(good).replace("Zeile\t2", "Zeile\t-2");
        QTest::newRow("unknown line") << good + "Zelle\t1\r\n";
        QTest::newRow("start order without its place") << good + "Startfolge\t1\r\n";
        QTest::newRow("no stamp") << good.mid(good.indexOf("\r\n") + 2);
    }
    void damagedChangeIsRefused()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!ReadJournalChangeText(text));
    }

    // A change naming a row the snapshot does not have changes nothing.
    void changeBeyondTheRowsIsNotApplied()
    {
        JournalState state = RaceDay();
        QVERIFY(!ApplyJournalChange(state, Change({{0, Row({"9"})}, {3, Row({"4"})}})));
        QCOMPARE(state, RaceDay());
        JournalChange placeBeyond = Change({{0, Row({"9"})}});
        placeBeyond.startOrder = {{0, 4}, {3, 1}};
        QVERIFY(!ApplyJournalChange(state, placeBeyond));
        QCOMPARE(state, RaceDay());
    }

    // The log reads up to the first record that a write did not finish, that
    // is damaged, or that belongs to another snapshot.
    void logReadsUpToTheLastWholeRecord()
    {
        const quint64 key = 0x1234567890abcdefULL;
        const QList<QByteArray> payloads = {"erster\r\n", "zweiter\r\n", "dritter\r\n"};
        QByteArray log;
        QList<qsizetype> ends;
        for (const QByteArray &payload : payloads) {
            log += JournalLogRecord(key, payload);
            ends << log.size();
        }
        bool damaged = false;
        const auto read = [&](QByteArrayView bytes, quint64 readKey = 0x1234567890abcdefULL) {
            QList<QByteArray> found;
            for (const QByteArrayView payload : JournalLogPayloads(bytes, readKey, &damaged))
                found << payload.toByteArray();
            return found;
        };
        QCOMPARE(read(log + QByteArray(4096, '\0')), payloads);
        QVERIFY(!damaged);
        for (qsizetype length = 0; length <= log.size(); ++length) {
            const qsizetype whole = std::count_if(ends.begin(), ends.end(),
                                                  [&](qsizetype end) { return end <= length; });
            QCOMPARE(read(log.left(length)), payloads.first(whole));
        }
        // A changed bit is damage, told, not the log's end.
        for (qsizetype at = ends[0]; at < ends[1]; ++at) {
            QByteArray flipped = log + QByteArray(16, '\0');
            flipped[at] = char(flipped[at] ^ 0x20);
            QCOMPARE(read(flipped), payloads.first(1));
            QVERIFY2(damaged, qPrintable(QString::number(at)));
        }
        QCOMPARE(read(log + QByteArray(15, '\0') + '\1'), payloads);
        QVERIFY(damaged);
        // The first record of an older log ends a log not written to yet.
        QCOMPARE(read(log, key + 1), QList<QByteArray>());
        QVERIFY(!damaged);
        const QByteArray older = JournalLogRecord(key + 1, "alt\r\n");
        QCOMPARE(read(log.left(ends[0]) + older + log.mid(ends[0])), payloads.first(1));
    }

    // A change log the reader cannot take whole (a bit changed, unreadable,
    // over the reader's limit) says from which record on; the writer then
    // starts a log that the reader takes again.
    void damagedLogIsToldAndTheNextOneReads_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("unreadableEntry");
        QTest::newRow("bit of the second record") << "bit" << 2;
        QTest::newRow("over the reader's limit") << "size" << 1;
        QTest::newRow("a folder") << "folder" << 1;
    }
    void damagedLogIsToldAndTheNextOneReads()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        QString error;
        const JournalChange first = Change({{0, Row({"1", "Erste"})}});
        const JournalChange second = Change({{1, Row({"2", "Zweite"})}});
        {
            Journal journal(dir.filePath("Wiederherstellung.txt"));
            QVERIFY(journal.Write(RaceDay(), &error));
            QVERIFY(journal.Append(first));
            QVERIFY(journal.Append(second));
        }
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        if (damage == "bit") {
            QByteArray log = FileBytes(journal.LogFileName());
            const qsizetype at = JournalLogRecord(1, JournalChangeText(first)).size() + 20;
            log[at] = char(log[at] ^ 0x01);
            WriteBytes(journal.LogFileName(), log);
        } else if (damage == "size") {
            QFile log(journal.LogFileName());
            QVERIFY(log.resize(MaxJournalBytes + 1));
        } else {
            QVERIFY(QFile::remove(journal.LogFileName()));
            QVERIFY(QDir().mkpath(journal.LogFileName()));
        }
        JournalState read;
        int unreadable = 0;
        QCOMPARE(journal.Read(read, &unreadable), Journal::Found::Readable);
        QTEST(unreadable, "unreadableEntry");
        QCOMPARE(read, Applied(RaceDay(), QList<JournalChange>{first}.first(unreadable - 1)));

        if (damage == "folder")
            QVERIFY(QDir(journal.LogFileName()).removeRecursively());
        QVERIFY(journal.Write(RaceDay(), &error));
        QVERIFY(journal.Append(second));
        QCOMPARE(journal.Read(read, &unreadable), Journal::Found::Readable);
        QCOMPARE(unreadable, 0);
        QCOMPARE(read, Applied(RaceDay(), {second}));
        QCOMPARE(QFileInfo(journal.LogFileName()).size(), JournalLog::Capacity);
    }

    // One running program holds the journal's folder; a lock left by one
    // that is gone (even one of this very process id, from before a
    // reboot) is taken over.
    void oneProgramHoldsTheFolder()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath("Wiederherstellung.txt");
        QByteArray lockLeft;
        {
            Journal holder(name);
            QVERIFY(holder.TakeFolder());
            QVERIFY(!Journal(name).TakeFolder());
            lockLeft = FileBytes(dir.filePath("Wiederherstellung.lock"));
            QVERIFY(!lockLeft.isEmpty());
        }
        QVERIFY(!QFileInfo::exists(dir.filePath("Wiederherstellung.lock")));
        WriteBytes(dir.filePath("Wiederherstellung.lock"), lockLeft);
        Journal next(name);
        QVERIFY(next.TakeFolder());
        QVERIFY(!Journal(name).TakeFolder());
    }

    // The counts never broken apart (joined by no-break spaces); where "Nein"
    // keeps the state on a line of its own.
    void question_data()
    {
        QTest::addColumn<JournalState>("state");
        QTest::addColumn<bool>("worth");
        QTest::addColumn<QString>("counts");
        QTest::newRow("unsaved race day") << RaceDay() << true << "3 Teams, 2 Zeiten";
        JournalState saved = RaceDay();
        saved.unsaved = false;
        QTest::newRow("saved") << saved << false << "3 Teams, 2 Zeiten";
        QTest::newRow("empty protocol")
            << WithRows({ProtocolRow{}}) << false << "0 Teams, 0 Zeiten";
    }
    void question()
    {
        QFETCH(JournalState, state);
        QFETCH(QString, counts);
        QTEST(WorthRecovering(state), "worth");
        const QString aside =
            QStringLiteral("/ablage/Wiederherstellung vom 2026-12-07 23-01-59.txt");
        QCOMPARE(RecoveryQuestion(state, aside),
                 QStringLiteral("Letzten Stand vom 07.12.2026 23:01 wiederherstellen? (%1)\n"
                                "Nein: der Stand wird aufbewahrt unter\n%2")
                     .arg(QString(counts).replace(u' ', QChar::Nbsp), aside));
    }

    void fileWrittenReadAndPutAside()
    {
        QTemporaryDir dir;
        Journal journal(dir.filePath("neu/Wiederherstellung.txt"));
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Nothing);
        QString error;
        QVERIFY2(journal.Write(RaceDay(), &error), qPrintable(error));
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, RaceDay());
        QCOMPARE(QDir(dir.filePath("neu")).entryList(QDir::Files),
                 QStringList({"Wiederherstellung.log", "Wiederherstellung.txt"}));

        // Put aside twice at the same moment: two files, neither replaced.
        const QString first = journal.PutAside(RaceDay().stamp);
        QCOMPARE(QFileInfo(first).fileName(), "Wiederherstellung vom 2026-12-07 23-01-59.txt");
        QVERIFY(journal.Write(WithRows({}), &error));
        const QString second = journal.PutAside(RaceDay().stamp);
        QCOMPARE(QFileInfo(second).fileName(), "Wiederherstellung vom 2026-12-07 23-01-59 (2).txt");
        QCOMPARE(journal.Read(read), Journal::Found::Nothing);
        QCOMPARE(Journal(first).Read(read), Journal::Found::Readable);
        QCOMPARE(read.rows, RaceDay().rows);
    }

    // A snapshot written on the journal's thread holds the table of the
    // moment it was asked for, though the caller's columns change at once;
    // a change appended meanwhile waits for it and lands in its log. Of
    // two snapshots asked for in a row, the disk ends with the later.
    void backgroundSnapshotHoldsItsMoment()
    {
        QTemporaryDir dir;
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        std::atomic<int> written = 0;
        journal.SetBackgroundOutcome([&](bool ok, const QString &) { written += ok; });
        const JournalState first = WithRows({Row({"9", "Vorher"})});
        ProtocolColumns columns = ColumnsOf(first.rows);
        journal.WriteInBackground(first, columns);
        columns = ColumnsOf(RaceDay().rows);
        journal.WriteInBackground(RaceDay(), columns, RaceDay().startOrder);
        columns.cells[ColZeit].Set(0, u"99,99");
        columns.cells[ColTeamName].Remove(columns.cells[ColTeamName].Size() - 1);
        const JournalChange change = Change({{2, SchneckenTimed()}});
        QVERIFY(journal.Append(change));
        QVERIFY(written >= 1);
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, Applied(RaceDay(), {change}));
    }

    // Notes that change while a snapshot is on its way (the saved mark, the
    // lanes) are logged behind it, unless a newer snapshot carries newer ones.
    void notesFollowTheSnapshotOnItsWay()
    {
        QTemporaryDir dir;
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        JournalChange saved;
        static_cast<JournalNotes &>(saved.notes) = RaceDay();
        saved.notes.unsaved = false;
        saved.notes.lane1 = 3;
        journal.WriteInBackground(RaceDay(), ColumnsOf(RaceDay().rows), RaceDay().startOrder);
        QVERIFY(journal.AppendNotes(saved));
        journal.WaitUntilWritten();
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, Applied(RaceDay(), {saved}));

        JournalState newer = RaceDay();
        newer.lane1 = 1;
        journal.WriteInBackground(RaceDay(), ColumnsOf(RaceDay().rows), RaceDay().startOrder);
        journal.AppendNotes(saved);
        journal.WriteInBackground(newer, ColumnsOf(newer.rows), newer.startOrder);
        journal.WaitUntilWritten();
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read.lane1, 1);
    }

    // Below a regular file no folder can be made: the outcome says so and
    // no change is logged against a snapshot that is not there.
    void failedBackgroundSnapshotIsTold()
    {
        QTemporaryDir dir;
        const QString blocker = WriteBytes(dir.filePath("Datei"), "x");
        Journal journal(blocker + "/Wiederherstellung.txt");
        std::atomic<int> failed = 0;
        QString reason;
        journal.SetBackgroundOutcome([&](bool ok, const QString &error) {
            reason = error;
            failed += !ok;
        });
        journal.WriteInBackground(RaceDay(), ColumnsOf(RaceDay().rows));
        journal.WaitUntilWritten();
        QCOMPARE(failed.load(), 1);
        QVERIFY(reason.contains(blocker));
        QVERIFY(!journal.Append(Change({})));
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Nothing);
    }

    // Changes go to the log, the snapshot stays as it was; a new snapshot
    // starts the log again, and what the old one held beyond is never
    // applied to it.
    void changesAreLoggedUntilTheNextSnapshot()
    {
        QTemporaryDir dir;
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        QVERIFY(!journal.Append(Change({}))); // no snapshot to change yet
        QString error;
        QVERIFY2(journal.Write(RaceDay(), &error), qPrintable(error));
        const QByteArray snapshot = FileBytes(journal.FileName());
        const QList<JournalChange> changes = {Change({{2, SchneckenTimed()}}), Change({}),
                                              Change({{0, ProtocolRow{}}})};
        JournalState read;
        for (qsizetype count = 1; count <= changes.size(); ++count) {
            QVERIFY(journal.Append(changes[count - 1]));
            QCOMPARE(journal.Read(read), Journal::Found::Readable);
            QCOMPARE(read, Applied(RaceDay(), changes.first(count)));
        }
        QCOMPARE(FileBytes(journal.FileName()), snapshot);
        QCOMPARE(QFileInfo(journal.LogFileName()).size(), JournalLog::Capacity);

        JournalState next = RaceDay();
        next.rows.pop_back();
        next.startOrder = {1, 0};
        QVERIFY(journal.Write(next, &error));
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, next);
        QVERIFY(journal.Append(changes[1]));
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, Applied(next, {changes[1]}));
        // A second journal object on the same files reads the same.
        QCOMPARE(Journal(journal.FileName()).Read(read), Journal::Found::Readable);
        QCOMPARE(read, Applied(next, {changes[1]}));
    }

    // A full log takes no more: the change goes into a snapshot, which
    // starts the log from its beginning again.
    void fullLogAsksForASnapshot()
    {
        QTemporaryDir dir;
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        JournalState state = RaceDay();
        state.rows.assign(2000, Row({"1", "Ein recht langer Teamname", "1", "Fahrerin"}));
        state.startOrder.clear();
        QString error;
        QVERIFY(journal.Write(state, &error));
        std::vector<std::pair<std::size_t, ProtocolRow>> rows;
        for (std::size_t i = 0; i < state.rows.size(); ++i)
            rows.emplace_back(i, Row({"2", "Ein noch etwas längerer Teamname", "2", "Fahrer"}));
        const JournalChange big = Change(rows);
        int appended = 0;
        while (journal.Append(big))
            ++appended;
        QVERIFY(appended >= 1);
        QVERIFY(qint64(appended + 1) * JournalChangeText(big).size() > JournalLog::Capacity);
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, Applied(state, {big}));
        QVERIFY(journal.Write(read, &error));
        QVERIFY(journal.Append(Change({})));
    }

    // A log that cannot be made (a folder or a pipe in its place) leaves the
    // snapshots to hold every change.
    void unusableLogLeavesTheSnapshots_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
    }
    void unusableLogLeavesTheSnapshots()
    {
        QFETCH(QString, what);
        QTemporaryDir dir;
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        const QByteArray log = QFile::encodeName(journal.LogFileName());
        QVERIFY(what == "folder" ? QDir().mkdir(journal.LogFileName())
                                 : ::mkfifo(log.constData(), 0600) == 0);
        QString error;
        QVERIFY2(journal.Write(RaceDay(), &error), qPrintable(error));
        QVERIFY(!journal.Append(Change({})));
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, RaceDay());
    }

    // The log's space is taken when it is made: on a disk that has filled up
    // since, stops still reach it, while a snapshot fails and leaves the
    // previous one with its changes.
    void fullDiskStillTakesChanges()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.filePath("data"));
        QVERIFY(QDir().mkpath(dir.filePath("data")));
        if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=2m") != 0)
            QSKIP("no small filesystem can be mounted here");
        const auto unmount = qScopeGuard([&] { ::umount(folder.constData()); });
        Journal journal(dir.filePath("data/Wiederherstellung.txt"));
        QString error;
        QVERIFY2(journal.Write(RaceDay(), &error), qPrintable(error));
        QFile filler(dir.filePath("data/Fueller"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();

        const JournalChange stop = Change({{2, SchneckenTimed()}});
        QVERIFY(journal.Append(stop));
        JournalState big = RaceDay();
        big.rows.assign(20000, Row({"1", "Ein recht langer Teamname", "1", "Fahrerin"}));
        big.startOrder.clear();
        QVERIFY(!journal.Write(big, &error));
        QVERIFY(!error.isEmpty());
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, Applied(RaceDay(), {stop}));
    }

    // "Nein" at the question: the state with its changes goes under a dated
    // name, the snapshot goes.
    void keptAsideWithItsChanges()
    {
        QTemporaryDir dir;
        Journal journal(dir.filePath("Wiederherstellung.txt"));
        QString error;
        QVERIFY(journal.Write(RaceDay(), &error));
        QVERIFY(journal.Append(Change({{1, Row({"2", "Neu"})}})));
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        const QString kept = journal.KeepAside(read);
        QCOMPARE(QFileInfo(kept).fileName(), "Mai 2024 – aufbewahrt 2026-12-07 23-02-59.txt");
        QVERIFY(!QFileInfo::exists(journal.FileName()));
        // A second copy of the same moment gets a number; both name the event.
        const QString second = journal.KeepCopy(read);
        QCOMPARE(QFileInfo(second).fileName(), "Mai 2024 – aufbewahrt 2026-12-07 23-02-59 (2).txt");
        QCOMPARE(EventName(kept), "Mai 2024");
        QCOMPARE(EventName(second), "Mai 2024");
        JournalState aside;
        QCOMPARE(Journal(kept).Read(aside), Journal::Found::Readable);
        QCOMPARE(aside, read);
    }

    void damagedFileIsTold_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cut off") << JournalText(RaceDay()).left(200);
        QTest::newRow("not a journal") << QByteArray("1;Blitz;1\n");
    }
    void damagedFileIsTold()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const Journal journal(WriteBytes(dir.filePath("Wiederherstellung.txt"), bytes));
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Damaged);
    }

    // Root ignores permission bits; a folder below a regular file and a
    // full filesystem stop every writer. The previous journal stays whole.
    void failedWriteKeepsThePreviousFile_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("folder below a regular file") << "below-file";
        QTest::newRow("full filesystem") << "full";
    }
    void failedWriteKeepsThePreviousFile()
    {
        QFETCH(QString, where);
        QTemporaryDir dir;
        QString folder = dir.filePath("data");
        QVERIFY(QDir().mkpath(folder));
        const bool full = where == "full";
        if (full &&
            ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP("no small filesystem can be mounted here");
        const auto unmount = qScopeGuard([&] {
            if (full)
                ::umount(QFile::encodeName(folder).constData());
        });
        Journal journal(folder + "/Wiederherstellung.txt");
        QString error;
        QVERIFY2(journal.Write(RaceDay(), &error), qPrintable(error));

        JournalState big = RaceDay();
        big.rows.assign(2000, Row({"1", "Ein recht langer Teamname", "1", "Fahrerin"}));
        big.startOrder.clear();
        Journal target(full ? journal.FileName() : dir.filePath("data/Sperre/x.txt"));
        if (!full)
            WriteBytes(dir.filePath("data/Sperre"), "kein Ordner");
        QVERIFY(!target.Write(big, &error));
        QVERIFY(!error.isEmpty());
        JournalState read;
        QCOMPARE(journal.Read(read), Journal::Found::Readable);
        QCOMPARE(read, RaceDay());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), full ? 1 : 3);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_Journal.moc"
