// Cost of one recovery journal write (text, temporary file, fsync, rename,
// folder fsync) for a protocol of 500 and of 10 000 rows, in the folder
// given as the first argument (default: a temporary folder, which may sit
// on a faster or slower disk than the user's data folder).
#include "protocol/Journal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 41;

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

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::size_t(fraction * double(values.size() - 1))];
}

void Measure(const QString &folder, int teams)
{
    const Journal journal(folder + QStringLiteral("/Wiederherstellung.txt"));
    const JournalState state = RaceDay(teams);
    std::vector<double> text;
    std::vector<double> write;
    QString error;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = JournalText(state);
        text.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        if (!journal.Write(state, &error))
            qFatal("journal not written: %s", qPrintable(error));
        write.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%6d rows, %7.1f kB: whole write median %6.2f ms (90%% %6.2f ms, max %6.2f ms); "
                "text alone %5.2f ms\n",
                teams, double(JournalText(state).size()) / 1e3, Percentile(write, 0.5),
                Percentile(write, 0.9), Percentile(write, 1.0), Percentile(text, 0.5));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    std::printf("journal writes in %s, %d rounds each\n", qPrintable(folder), Rounds);
    for (int teams : {500, 10000})
        Measure(folder, teams);
    return 0;
}
