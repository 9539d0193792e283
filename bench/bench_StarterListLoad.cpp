// Where a starter list load spends the GUI thread's time: reading the file,
// decoding it, parsing it into columns, the protocol taking them over
// (grid, ranking, lane selectors), fitting the column widths and painting
// the window, each on its own, beside the whole load as "Starterliste
// öffnen" runs it. 10 000 and 100 000 teams, the recovery journal left out
// (bench_Window shows its share); min / median / max of several runs of
// the thread's CPU time, and the memory the largest list takes. A team
// count as argument measures that size only.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "app/ProtocolController.h"
#include "app/RecoveryJournal.h"
#include "protocol/RegularFile.h"
#include "protocol/StarterList.h"
#include "protocol/TextDecoding.h"

#include <QApplication>

#include <cstdlib>

using namespace bench;

namespace {

const int Runs = Measured(7, 1);

struct Stage
{
    const char *name;
    std::function<void()> work;
};

double Busy(const std::function<void()> &work)
{
    const double before = ThreadCpuMillis();
    work();
    QCoreApplication::sendPostedEvents();
    return ThreadCpuMillis() - before;
}

void PrintStages(int teams, const std::vector<Stage> &stages)
{
    std::printf("\n%d teams, GUI thread CPU in ms, min / median / max of %d runs\n", teams, Runs);
    for (const Stage &stage : stages) {
        std::vector<double> runs;
        for (int run = 0; run < Runs; ++run)
            runs.push_back(Busy(stage.work));
        std::printf("  %-52s %s\n", stage.name, qPrintable(SpreadText(SpreadOf(runs), 2)));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    BenchWindow window;
    TFormMain *form = window.form;
    QObject::disconnect(form->Protocol, nullptr, form->Journal, nullptr);
    const double residentBefore = ResidentBytes();
    double listBytes = 0;
    // A team count as argument measures that size only (for a profiler).
    std::vector<int> teamCounts = SizesToMeasure({10000, 100000});
    if (argc > 1)
        teamCounts = {std::atoi(argv[1])};
    for (int teams : teamCounts) {
        const QString list = window.FilePath(QStringLiteral("Starterliste%1.csv").arg(teams));
        const QByteArray bytes = StarterListBytes(teams, false);
        WriteFile(list, bytes);
        listBytes = double(bytes.size());
        const QString text = DecodeFileText(bytes);
        PrintStages(
            teams,
            {{"reading the file", [&] { ReadRegularFile(list, MaxStarterListBytes); }},
             {"decoding it (UTF-8)", [&] { DecodeFileText(bytes); }},
             {"parsing the text into columns", [&] { ParseStarterListColumns(text); }},
             {"all three", [&] { ParseStarterListColumns(ReadStarterList(list).text); }},
             {"protocol takes the list over (grid, ranking, lanes)",
              [&] { form->Protocol->LoadStarterList(list); }},
             {"fitting the column widths", [&] { form->FitProtocolColumnsToTexts(); }},
             {"painting the window", [&] { form->repaint(); }},
             {"whole load as \"Starterliste öffnen\" runs it", [&] { window.Load(list, teams); }}});
    }
    std::printf("\nmemory with the largest list loaded: %.0f MB (%.1f× the %.1f MB file)\n",
                (ResidentBytes() - residentBefore) / 1e6,
                (ResidentBytes() - residentBefore) / listBytes, listBytes / 1e6);
    return 0;
}
