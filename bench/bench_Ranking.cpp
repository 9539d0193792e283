// Loading and ranking a very large starter list, timed against GNU sort on
// the same file. sort does not do the same work (it neither parses fields
// into rows nor counts places); it only tells whether the ranking is in the
// right league.
#include "protocol/Ranking.h"
#include "protocol/StarterList.h"
#include "race/RaceTime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int TeamCount = 100000;
constexpr int ClassCount = 20;
constexpr int Rounds = 7;

// Mostly times between 20 and 200 s, with a few teams that did not run,
// dropped out or were disqualified.
QString RandomTotal(std::mt19937 &random)
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

QByteArray GeneratedList()
{
    std::mt19937 random(20240501);
    QString text = QStringLiteral("Nr.;TeamName;Klasse;Fahrer;Beifahrer1;Beifahrer2;Zeit;"
                                  "Strafzeit;Total;Platz\r\n");
    for (int team = 1; team <= TeamCount; ++team) {
        const QString total = RandomTotal(random);
        const int klasse = std::uniform_int_distribution<int>(1, ClassCount)(random);
        text += QStringLiteral("%1;Team Nummer %1;%2;Fahrer %1;Beifahrer A%1;Beifahrer B%1;%3;0,00;"
                               "%3;\r\n")
                    .arg(team)
                    .arg(klasse)
                    .arg(total);
    }
    return text.toUtf8();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct RankingTimes
{
    double totalMs;
    double rankMs;
};

RankingTimes TimeRanking(const QString &fileName)
{
    QElapsedTimer timer;
    timer.start();
    StarterListLoad load = LoadStarterList(fileName);
    const qint64 loadedNs = timer.nsecsElapsed();
    RankProtocol(load.rows);
    const qint64 rankedNs = timer.nsecsElapsed();
    if (!load.ok || load.rows.size() != std::size_t(TeamCount))
        qFatal("ranking read %zu rows: %s", load.rows.size(), qPrintable(load.error));
    return {double(rankedNs) / 1e6, double(rankedNs - loadedNs) / 1e6};
}

double TimeSort(const QString &fileName)
{
    QProcess sort;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sort.setProcessEnvironment(environment);
    sort.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    sort.start(QStringLiteral("sort"), {QStringLiteral("-t;"), QStringLiteral("-k3,3n"),
                                        QStringLiteral("-k9,9"), fileName});
    if (!sort.waitForFinished(-1) || sort.exitCode() != 0)
        qFatal("sort failed: %s", qPrintable(sort.errorString()));
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("Starterliste.csv"));
    QFile file(fileName);
    const QByteArray bytes = GeneratedList();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
    file.close();

    // Alternate the two so that a change in the machine's speed hits both.
    std::vector<double> ranking;
    std::vector<double> rankOnly;
    std::vector<double> sorting;
    std::vector<double> ratios;
    TimeRanking(fileName);
    TimeSort(fileName);
    for (int round = 0; round < Rounds; ++round) {
        const RankingTimes times = TimeRanking(fileName);
        ranking.push_back(times.totalMs);
        rankOnly.push_back(times.rankMs);
        sorting.push_back(TimeSort(fileName));
        ratios.push_back(ranking.back() / sorting.back());
    }
    const double rankingMs = Median(ranking);
    const double sortMs = Median(sorting);
    std::printf("%d teams in %d classes, %.1f MB, median of %d rounds\n", TeamCount, ClassCount,
                double(bytes.size()) / 1e6, Rounds);
    std::printf("LoadStarterList + RankProtocol:      %8.1f ms (RankProtocol alone %.1f ms)\n",
                rankingMs, Median(rankOnly));
    std::printf("sort -t';' -k3,3n -k9,9 (LC_ALL=C): %8.1f ms\n", sortMs);
    std::printf(
        "ratio ranking / sort: %.2f (median of the per-round ratios %.2f, range %.2f-%.2f)\n",
        rankingMs / sortMs, Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
        *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
