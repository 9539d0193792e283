// What the benchmarks share: generated starter lists, min / median / max of
// repeated runs, the process's resident memory and CPU time.
#pragma once

#include "race/RaceTime.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <random>
#include <unistd.h>
#include <vector>

namespace bench {

// `make test` runs every benchmark once at its smallest size, with the
// environment variable DUOBAHN_BENCH_SMALLEST set, so that a benchmark that
// no longer runs fails the tests; its figures mean nothing there.
inline bool SmallestRun()
{
    return qEnvironmentVariableIsSet("DUOBAHN_BENCH_SMALLEST");
}

// A size or a number of rounds: the measured one, or the smallest.
inline int Measured(int measured, int smallest)
{
    return SmallestRun() ? smallest : measured;
}

// The sizes to measure, smallest first: all of them, or the smallest.
inline std::vector<int> SizesToMeasure(std::initializer_list<int> sizes)
{
    return SmallestRun() ? std::vector<int>{*sizes.begin()} : std::vector<int>(sizes);
}

struct Spread
{
    double min = 0;
    double median = 0;
    double max = 0;
};

inline Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

inline double Median(const std::vector<double> &values)
{
    return SpreadOf(values).median;
}

// "2.1 / 2.3 / 3.0" (min / median / max).
inline QString SpreadText(const Spread &spread, int decimals = 1)
{
    return QStringLiteral("%1 / %2 / %3")
        .arg(spread.min, 0, 'f', decimals)
        .arg(spread.median, 0, 'f', decimals)
        .arg(spread.max, 0, 'f', decimals);
}

inline double MillisOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Mostly times between 20 and 200 s, with a few teams that did not run,
// dropped out or were disqualified.
inline QString RandomTotal(std::mt19937 &random)
{
    const int kind = std::uniform_int_distribution<int>(0, 99)(random);
    if (kind < 3)
        return QString();
    if (kind < 5)
        return QStringLiteral("AUS");
    if (kind < 6)
        return QStringLiteral("DIS");
    return FormatRaceTime(std::uniform_int_distribution<std::uint32_t>(20000, 200000)(random));
}

// A starter list of teams in 20 classes, ";"-separated with a header line;
// withResults fills "Zeit", "Strafzeit" and "Total" as a saved protocol would.
// With several runs the lines carry a column for each ("Lauf 1" ...), with
// a result in each run when withResults.
inline QByteArray StarterListBytes(int teams, bool withResults, int runs = 1)
{
    std::mt19937 random(20240501);
    QString text = QStringLiteral("Nr.;TeamName;Klasse;Fahrer;Beifahrer1;Beifahrer2;Zeit;"
                                  "Strafzeit;Total;Platz");
    for (int run = 1; runs >= 2 && run <= runs; ++run)
        text += QStringLiteral(";Lauf %1").arg(run);
    text += QStringLiteral("\r\n");
    text.reserve(teams * (96 + (runs >= 2 ? runs * 7 : 0)));
    for (int team = 1; team <= teams; ++team) {
        const QString total = withResults ? RandomTotal(random) : QString();
        const int klasse = std::uniform_int_distribution<int>(1, 20)(random);
        text += QStringLiteral("%1;Team Nummer %1;%2;Fahrer %1;Beifahrer A%1;Beifahrer B%1;%3;%4;"
                               "%3;")
                    .arg(team)
                    .arg(klasse)
                    .arg(total, withResults ? QStringLiteral("0,00") : QString());
        for (int run = 1; runs >= 2 && run <= runs; ++run)
            text += QLatin1Char(';') + (withResults ? RandomTotal(random) : QString());
        text += QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

// --runs=N among the arguments: the runs per team a benchmark measures with.
inline int RunsArgument(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument.startsWith(QStringLiteral("--runs=")))
            return std::clamp(argument.mid(7).toInt(), 1, 4);
    }
    return 1;
}

inline void WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
}

// Resident memory of this process in bytes.
inline double ResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

// CPU time this process used so far, all threads, in milliseconds.
inline double ProcessCpuMillis()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// CPU time the calling thread used so far, in milliseconds: what it was
// busy with, whatever else the machine runs meanwhile.
inline double ThreadCpuMillis()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

} // namespace bench
