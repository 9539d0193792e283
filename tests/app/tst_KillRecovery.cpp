// A second copy started meanwhile leaves the running one's journal alone.
// The program killed with SIGKILL at random moments of a race day run by
// the barrier simulator, restarted and recovered each time (a build of it
// that answers the recovery question itself with "Ja"): no recorded result
// is lost, none is invented, and the journal on disk is never seen half
// written. Every other run is killed once both stops are in the change log
// (at the latest after 5 s) and restarts from what the program wrote
// itself, so the restart has to bring back the logged times; after the other runs the test moves
// the lanes on to the next teams, as the reset would, so the day covers the whole list.
#include "comms/SimSerialDevice.h"
#include "protocol/Journal.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>
#include <sys/stat.h>

namespace {

// The program's name, which names its settings and data folders too.
const QString Title = QStringLiteral("duobahn_unattended");

// 5 in every test run; more by hand: DUOBAHN_KILL_RUNS=100.
int Kills()
{
    const int runs = qEnvironmentVariableIntValue("DUOBAHN_KILL_RUNS");
    return runs > 0 ? runs : 5;
}
constexpr int Teams = 12;
// The heat's script: start, lane 1 stops, lane 2 stops (ms after start);
// the lockout after the start is 1000 ms.
constexpr int Lane1Stop = 1150;
constexpr int Lane2Stop = 1350;
constexpr int Tolerance = 250;

ino_t InodeOf(const QString &path)
{
    struct stat status
    {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// The results of a state: "row: Zeit/Strafzeit/Total" of rows with a time.
QMap<QString, QString> Results(const JournalState &state)
{
    QMap<QString, QString> results;
    for (const ProtocolRow &row : state.rows) {
        if (!IsBlankText(row[ColZeit]))
            results[row[ColNr]] = row[ColZeit] + '/' + row[ColStrafzeit] + '/' + row[ColTotal];
    }
    return results;
}

// Change records in the log of the journal's snapshot.
std::size_t LoggedChanges(const QString &journal)
{
    QFile snapshot(journal);
    QFile log(QFileInfo(journal).dir().filePath("Wiederherstellung.log"));
    quint64 key = 0;
    if (!snapshot.open(QIODevice::ReadOnly) || !ReadJournalText(snapshot.readAll(), &key) ||
        !log.open(QIODevice::ReadOnly))
        return 0;
    return JournalLogPayloads(log.readAll(), key).size();
}

double Seconds(const QString &raceTime)
{
    return QString(raceTime).replace(',', '.').toDouble();
}

} // namespace

class TestKillRecovery : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;
    QString m_journal;
    QString m_socket;

    QProcessEnvironment ProgramEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        environment.insert("XDG_DATA_HOME", m_dir.filePath("data"));
        environment.insert("XDG_RUNTIME_DIR", m_dir.path());
        environment.insert(BarrierSimEnvironmentVariable, m_socket);
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        return environment;
    }

    void StoreSettings()
    {
        QSettings store(m_dir.filePath("config/Chronalt/" + Title + ".conf"), QSettings::IniFormat);
        const std::pair<const char *, int> values[] = {
            {"Port", 1},      {"Alg", 0},       {"Left", 0},
            {"Top", 0},       {"Width", 808},   {"Height", 541},
            {"FilterInd", 1}, {"CountBahn", 2}, {"TimerGesperrt", 1000},
            {"Laps", 1}};
        for (const auto &[key, value] : values)
            store.setValue(key, value);
    }

    JournalState FirstState() const
    {
        JournalState state;
        for (int team = 1; team <= Teams; ++team)
            state.rows.push_back({QString::number(team), QStringLiteral("Team%1").arg(team), "1",
                                  QStringLiteral("Fahrer%1").arg(team)});
        state.eventName = "Renntag";
        state.listPath = m_dir.filePath("Renntag.txt");
        state.caption = Title + ": Renntag";
        state.lane1 = 0;
        state.lane2 = 1;
        state.unsaved = true;
        state.stamp = QDateTime::currentDateTime();
        return state;
    }

    // Settings, a journal of the first state, and the places of program,
    // journal and barrier simulator.
    void Prepare()
    {
        m_program = QCoreApplication::applicationDirPath() + '/' + Title;
        QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
        m_journal = m_dir.filePath("data/" + Title + "/Wiederherstellung.txt");
        m_socket = m_dir.filePath("barrier.sock");
        StoreSettings();
        QString error;
        QVERIFY2(Journal(m_journal).Write(FirstState(), &error), qPrintable(error));
    }

    // Starts the program; its message boxes go to `messages` when given.
    void Launch(QProcess &child, bool messages = false)
    {
        child.setProcessEnvironment(ProgramEnvironment());
        child.setWorkingDirectory(m_dir.path());
        child.setProcessChannelMode(messages ? QProcess::SeparateChannels
                                             : QProcess::ForwardedErrorChannel);
        child.setStandardOutputFile(QProcess::nullDevice());
        child.start(m_program, {});
        QVERIFY(child.waitForStarted());
    }

    // Every file of the journal's folder (but the lock) with its bytes.
    QMap<QString, QByteArray> FolderContents() const
    {
        const QDir folder = QFileInfo(m_journal).dir();
        QMap<QString, QByteArray> contents;
        for (const QString &name : folder.entryList(QDir::Files)) {
            QFile file(folder.filePath(name));
            if (!name.endsWith(".lock") && file.open(QIODevice::ReadOnly))
                contents.insert(name, file.readAll());
        }
        return contents;
    }

    // One barrier pulse: the line switched on and off again.
    void Pulse(int client, const char *line)
    {
        QVERIFY(AskSim(client, QStringLiteral("%1 toggle").arg(line)).startsWith("ok"));
        QTest::qSleep(20);
        QVERIFY(AskSim(client, QStringLiteral("%1 toggle").arg(line)).startsWith("ok"));
    }

private slots:
    // A second copy started by the same user while the first one races
    // asks nothing and leaves every file of the journal's folder as it is,
    // even a snapshot the first one is writing just then; the first one's
    // stops after it are in its journal when it is killed.
    void secondCopyLeavesTheFirstOnesJournalAlone()
    {
        Prepare();
        const ino_t before = InodeOf(m_journal);
        QProcess first;
        Launch(first);
        QTRY_VERIFY_WITH_TIMEOUT(InodeOf(m_journal) != before, 30000);
        int client = -1;
        QTRY_VERIFY_WITH_TIMEOUT((client = ConnectToSim(m_socket)) >= 0, 30000);
        QFile writing(m_journal + ".Wk3pQz");
        QVERIFY(writing.open(QIODevice::WriteOnly));
        writing.write("Nr.\tTeamName\tim Schreiben");
        writing.close();
        const QMap<QString, QByteArray> contents = FolderContents();

        QProcess second;
        Launch(second, true);
        QByteArray told;
        QTRY_VERIFY_WITH_TIMEOUT(
            (told += second.readAllStandardError())
                .contains("Duobahn läuft bereits: dieses Fenster sichert nichts für die "
                          "Wiederherstellung"),
            30000);
        second.kill();
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(FolderContents(), contents);

        // Well after the lockout: a loaded machine may take the start late.
        Pulse(client, "dsr");
        QTest::qSleep(1500);
        Pulse(client, "dsr");
        QTest::qSleep(300);
        Pulse(client, "cts");
        QElapsedTimer waited;
        waited.start();
        while (LoggedChanges(m_journal) < 2 && waited.elapsed() < 5000)
            QTest::qSleep(20);
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        ::close(client);
        QVERIFY(LoggedChanges(m_journal) >= 1);
        JournalState last;
        QCOMPARE(Journal(m_journal).Read(last), Journal::Found::Readable);
        QVERIFY(Results(last).size() >= 1);
    }

    void raceDayKilledAndRecovered()
    {
        Prepare();
        JournalState known = FirstState();
        QString error;
        const quint32 start = QRandomGenerator::global()->generate();
        QRandomGenerator random(start);
        qInfo("kill moments from random start %u", start);

        const int kills = Kills();
        int killsWithLoggedStops = 0;
        for (int kill = 0; kill < kills; ++kill) {
            const ino_t before = InodeOf(m_journal);
            QProcess child;
            Launch(child);

            // Recovered: the program answered its question and wrote the
            // restored state as its first journal.
            QTRY_VERIFY_WITH_TIMEOUT(InodeOf(m_journal) != before, 30000);
            JournalState restored;
            QCOMPARE(Journal(m_journal).Read(restored), Journal::Found::Readable);
            QCOMPARE(restored.rows, known.rows);
            QCOMPARE(restored.lane1, known.lane1);
            QCOMPARE(restored.lane2, known.lane2);
            QCOMPARE(restored.eventName, known.eventName);
            QVERIFY(restored.unsaved);

            int client = -1;
            QTRY_VERIFY_WITH_TIMEOUT((client = ConnectToSim(m_socket)) >= 0, 30000);
            const bool afterTheStops = kill % 2 == 1;
            const int killAt = afterTheStops ? Lane2Stop + int(random.bounded(300))
                                             : int(random.bounded(Lane2Stop + 300));
            QElapsedTimer clock;
            clock.start();
            QList<JournalState> seen;
            int step = 0;
            qint64 sentAt[3] = {-1, -1, -1};
            const int stepAt[3] = {0, Lane1Stop, Lane2Stop};
            const char *stepLine[3] = {"dsr", "dsr", "cts"};
            while (clock.elapsed() < killAt ||
                   (afterTheStops && LoggedChanges(m_journal) < 2 && clock.elapsed() < 5000)) {
                if (step < 3 && clock.elapsed() >= stepAt[step]) {
                    sentAt[step] = clock.elapsed();
                    Pulse(client, stepLine[step]);
                    ++step;
                }
                JournalState now;
                QCOMPARE(Journal(m_journal).Read(now), Journal::Found::Readable);
                seen << now;
                QTest::qSleep(5);
            }
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            ::close(client);
            // A heavily loaded machine may take the start late, so that the
            // stops fall into the lockout; most runs see both stops.
            if (afterTheStops && LoggedChanges(m_journal) >= 2)
                ++killsWithLoggedStops;

            JournalState last;
            QCOMPARE(Journal(m_journal).Read(last), Journal::Found::Readable);
            const QMap<QString, QString> results = Results(last);
            // Not one result seen on disk is missing after the kill (an old
            // time of a team that raced again may give way to its new one).
            const QMap<QString, QString> earlierResults = Results(known);
            const auto lanePassed = [&](const QString &team) {
                for (int lane : {0, 1}) {
                    const int row = lane == 0 ? known.lane1 : known.lane2;
                    if (known.rows[row][ColNr] == team && sentAt[lane + 1] >= 0)
                        return true;
                }
                return false;
            };
            for (const JournalState &state : seen) {
                const QMap<QString, QString> earlier = Results(state);
                for (auto it = earlier.begin(); it != earlier.end(); ++it)
                    if (!lanePassed(it.key()) || earlierResults.value(it.key()) != it.value())
                        QVERIFY2(results.value(it.key()) == it.value(),
                                 qPrintable(QStringLiteral("run %1, team %2: %3 seen, %4 after the "
                                                           "kill; lanes %5 %6, sent %7 %8 %9")
                                                .arg(kill)
                                                .arg(it.key(), it.value(), results.value(it.key()))
                                                .arg(known.lane1)
                                                .arg(known.lane2)
                                                .arg(sentAt[0])
                                                .arg(sentAt[1])
                                                .arg(sentAt[2])));
            }
            // None invented: results only where the lanes raced this time or
            // before, and each near the moment its barrier was passed.
            for (auto it = results.begin(); it != results.end(); ++it) {
                if (earlierResults.value(it.key()) == it.value())
                    continue;
                const int lane = it.key() == known.rows[known.lane1][ColNr]   ? 0
                                 : it.key() == known.rows[known.lane2][ColNr] ? 1
                                                                              : -1;
                QVERIFY2(lane >= 0, qPrintable("time for a team not on a lane: " + it.key()));
                QVERIFY2(sentAt[lane + 1] >= 0, "time for a lane whose barrier was not passed");
                const double expected = double(sentAt[lane + 1] - sentAt[0]) / 1000.0;
                const double time = Seconds(it.value().section('/', 0, 0));
                QVERIFY2(std::abs(time - expected) * 1000 < Tolerance,
                         qPrintable(QStringLiteral("%1 s for %2 s").arg(time).arg(expected)));
            }

            known = last;
            if (afterTheStops)
                continue;
            // The reset would move the lanes on to the next two teams.
            known.lane1 = (kill + 2) % Teams;
            known.lane2 = (kill + 3) % Teams;
            QVERIFY(Journal(m_journal).Write(known, &error));
        }
        QVERIFY(Results(known).size() >= 2);
        QVERIFY(killsWithLoggedStops > 0);
        qInfo("%d kills, %d of them with both stops in the change log only; %d teams with a "
              "result at the end",
              kills, killsWithLoggedStops, int(Results(known).size()));
    }
};

QTEST_GUILESS_MAIN(TestKillRecovery)
#include "tst_KillRecovery.moc"
