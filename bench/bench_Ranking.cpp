// The program's ranking against GNU sort, both doing the same work on a
// protocol of 100 000 timed teams: read the file, split it into fields,
// sort by class and then by total, write the result to a file. The program
// does it the way the operator gets it: "Starterliste öffnen" through the
// main window (read, parse, rank, places) and "Protokoll speichern" as the
// ";" file. --runs=3 gives every team three runs.
// The two alternate, so a change in the machine's speed hits both; the
// figure is the median of the per-round ratios.
#include "BenchSupport.h"
#include "BenchWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>

using namespace bench;

namespace {

const int TeamCount = Measured(100000, 100);
const int Rounds = Measured(7, 1);

double ProgramMillis(BenchWindow &window, const QString &list, const QString &result)
{
    return MillisOf([&] {
        window.Load(list, TeamCount);
        window.Save(result, FileType::SemicolonList);
    });
}

// Class as a number, then the total: "83,45" reads as 83 in the C locale,
// which is as much parsing per key as the program does.
double SortMillis(const QString &list, const QString &result)
{
    QProcess sort;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sort.setProcessEnvironment(environment);
    return MillisOf([&] {
        sort.start(QStringLiteral("sort"),
                   {QStringLiteral("-t;"), QStringLiteral("-k3,3n"), QStringLiteral("-k9,9n"),
                    QStringLiteral("-o"), result, list});
        if (!sort.waitForFinished(-1) || sort.exitCode() != 0)
            qFatal("sort failed: %s", qPrintable(sort.errorString()));
    });
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BenchWindow window;
    const int runs = RunsArgument(app.arguments());
    window.SetRuns(runs);
    const QString list = window.FilePath(QStringLiteral("Protokoll.csv"));
    const QByteArray bytes = StarterListBytes(TeamCount, true, runs);
    WriteFile(list, bytes);
    const QString ranked = window.FilePath(QStringLiteral("ranked.csv"));
    const QString sorted = window.FilePath(QStringLiteral("sorted.csv"));

    ProgramMillis(window, list, ranked);
    SortMillis(list, sorted);
    std::vector<double> program, sort, ratios;
    for (int round = 0; round < Rounds; ++round) {
        program.push_back(ProgramMillis(window, list, ranked));
        sort.push_back(SortMillis(list, sorted));
        ratios.push_back(program.back() / sort.back());
    }
    if (QFileInfo(ranked).size() < bytes.size() / 2 || QFileInfo(sorted).size() < bytes.size() / 2)
        qFatal("a result file is short");
    std::printf("%d timed teams in 20 classes, %d run(s) each, %.1f MB; wall time in ms, min / "
                "median / max of %d alternating rounds\n",
                TeamCount, runs, double(bytes.size()) / 1e6, Rounds);
    std::printf("program (load, rank, save as text): %s\n",
                qPrintable(SpreadText(SpreadOf(program))));
    std::printf("sort -t';' -k3,3n -k9,9n -o (C):    %s\n", qPrintable(SpreadText(SpreadOf(sort))));
    std::printf("ratio program / sort: median %.2f (range %s)\n", Median(ratios),
                qPrintable(SpreadText(SpreadOf(ratios), 2)));
    return 0;
}
