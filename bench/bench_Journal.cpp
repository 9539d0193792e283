// Cost of the recovery journal for a protocol of 500, 10 000 and 100 000
// rows: a snapshot (text, temporary file, fsync, rename, folder fsync), as
// at a list load or a ranking; a change of one row (a stop: its record
// written into the change log and flushed with fdatasync), with the record
// text alone beside it, so the rest is the write and the flush; and the
// recovery at the next start (snapshot read and parsed, log applied). In
// the folder given as the first argument (default: a temporary folder on
// this machine's disk, which may be faster or slower than the user's data
// folder; a tmpfs would leave out the flushes).
#include "BenchSupport.h"
#include "protocol/Journal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

const int SnapshotRounds = bench::Measured(11, 1);
const int ChangeRounds = bench::Measured(201, 1);
// Changes in the log when the recovery is timed: a long heat's worth.
const int LoggedChanges = bench::Measured(200, 2);

JournalState RaceDay(int teams)
{
    JournalState state;
    for (int team = 1; team <= teams; ++team) {
        const QString n = QString::number(team);
        ProtocolRow row{n,
                        QStringLiteral("Team Nummer ") + n,
                        QString::number(team % 20 + 1),
                        QStringLiteral("Fahrer ") + n,
                        QStringLiteral("Beifahrer A") + n,
                        QStringLiteral("Beifahrer B") + n};
        if (team % 2) {
            row[ColZeit] = row[ColTotal] = QStringLiteral("%1,%2")
                                               .arg(20 + team % 90)
                                               .arg(team % 100, 2, 10, QLatin1Char('0'));
            row[ColStrafzeit] = QStringLiteral("0,00");
        }
        state.rows.push_back(row);
    }
    state.eventName = QStringLiteral("Mai 2024");
    state.listPath = QStringLiteral("/daten/Mai 2024.txt");
    state.caption = QStringLiteral("duobahn: Mai 2024");
    state.lane1 = 4;
    state.lane2 = 5;
    state.unsaved = true;
    state.stamp = QDateTime::currentDateTime();
    return state;
}

// What a stop writes: the team's row with its new time, and the notes.
JournalChange Stop(const JournalState &state, int round)
{
    JournalChange change;
    change.notes = state;
    change.notes.stamp = QDateTime::currentDateTime();
    const std::size_t index = std::size_t(round * 7919) % state.rows.size();
    ProtocolRow row = state.rows[index];
    row[ColZeit] = row[ColTotal] = QStringLiteral("%1,%2").arg(30 + round % 60).arg(round % 100);
    row[ColStrafzeit] = QStringLiteral("0,00");
    change.rows.emplace_back(index, row);
    return change;
}

double Milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void Measure(const QString &folder, int teams)
{
    Journal journal(folder + QStringLiteral("/Wiederherstellung.txt"));
    const JournalState state = RaceDay(teams);
    std::vector<double> snapshot;
    std::vector<double> change;
    std::vector<double> record;
    QString error;
    for (int round = 0; round < SnapshotRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (!journal.Write(state, &error))
            qFatal("snapshot not written: %s", qPrintable(error));
        snapshot.push_back(Milliseconds(timer));
    }
    for (int round = 0; round < ChangeRounds; ++round) {
        const JournalChange stop = Stop(state, round);
        QElapsedTimer timer;
        timer.start();
        const QByteArray text = JournalChangeText(stop);
        record.push_back(Milliseconds(timer));
        timer.restart();
        if (!journal.Append(stop) && !journal.Write(state, &error))
            qFatal("change not written: %s", qPrintable(error));
        change.push_back(Milliseconds(timer));
    }
    const bench::Spread changeSpread = bench::SpreadOf(change);
    std::vector<double> sorted = change;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%6d rows, snapshot %6.1f kB: snapshot %s ms; one-row change %s ms "
                "(90%% %.2f ms), its record text alone %.3f ms\n",
                teams, double(JournalText(state).size()) / 1e3,
                qPrintable(bench::SpreadText(bench::SpreadOf(snapshot), 2)),
                qPrintable(bench::SpreadText(changeSpread, 2)), sorted[sorted.size() * 9 / 10],
                bench::Median(record));
}

void MeasureRecovery(const QString &folder, int teams)
{
    Journal journal(folder + QStringLiteral("/Wiederherstellung.txt"));
    const JournalState state = RaceDay(teams);
    QString error;
    if (!journal.Write(state, &error))
        qFatal("snapshot not written: %s", qPrintable(error));
    for (int round = 0; round < LoggedChanges; ++round) {
        if (!journal.Append(Stop(state, round)))
            qFatal("change not logged");
    }
    std::vector<double> read;
    for (int round = 0; round < 5; ++round) {
        JournalState recovered;
        QElapsedTimer timer;
        timer.start();
        if (Journal(journal.FileName()).Read(recovered) != Journal::Found::Readable)
            qFatal("journal not readable");
        read.push_back(Milliseconds(timer));
    }
    std::printf("%6d rows + %d logged changes: recovery read %s ms\n", teams, LoggedChanges,
                qPrintable(bench::SpreadText(bench::SpreadOf(read), 1)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir(QDir::home().filePath(QStringLiteral(".duobahn-bench-XXXXXX")));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    std::printf("recovery journal in %s (min / median / max)\n", qPrintable(folder));
    for (int teams : bench::SizesToMeasure({500, 10000, 100000}))
        Measure(folder, teams);
    MeasureRecovery(folder, bench::Measured(100000, 500));
    return 0;
}
