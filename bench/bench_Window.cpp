// The main window at work, driven the way an operator drives it: the open
// dialog answered by the fake platform, key presses handed over as the
// platform hands them (with their time stamps), header clicks, button
// clicks; the clock is the machine's. Prints, for 1 000 / 10 000 / 100 000
// teams, how long the GUI thread is busy per action (min / median / max of
// at least five runs), the memory a list takes over reloads, how far apart
// two stops pressed 1 ms apart are recorded, and what a running race costs
// in digit paints, flushes to the screen and CPU. --without-journal leaves
// the recovery journal out, to tell its share from the window's;
// --teams=1000,10000 measures only those list sizes, --only=actions or
// --only=race one of the two parts; --runs=3 gives every team three runs.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "app/ProtocolController.h"
#include "app/RaceController.h"
#include "app/RecoveryJournal.h"
#include "display/AudienceSource.h"
#include "display/AudienceWindow.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/DigitScreenBatch.h"
#include "widgets/SortGrid.h"
#include "widgets/Udigit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>

#include <optional>
#include <thread>

using namespace bench;

namespace {

const int Runs = Measured(5, 1);
const int RaceTeams = Measured(100000, 1000);
const int RaceSeconds = Measured(3, 1);
const int RaceRuns = Measured(5, 1);
constexpr auto BusyBeforePresses = std::chrono::milliseconds(100);

// Counts what reaches the screen: a pass of a window's repaint manager that
// paints anything ends in one flush of that window, and the race clock's
// digits copied straight into the window's surface are flushed outside it.
class CountingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    int paints = 0;
    int digitPaints = 0;
    int flushes = 0;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            digitPaints += qobject_cast<TDigit *>(receiver) != nullptr;
        }
        if (event->type() != QEvent::UpdateRequest || !receiver->isWidgetType() ||
            !static_cast<QWidget *>(receiver)->isWindow())
            return QApplication::notify(receiver, event);
        const int before = paints;
        const bool handled = QApplication::notify(receiver, event);
        flushes += paints > before;
        return handled;
    }
    int Flushes() const { return flushes + TDigitScreenBatch::DirectFlushes(); }
};

struct SizeFigures
{
    int teams = 0;
    std::vector<double> load, stop, laneButton, reset, headerSort;
    // Building the audience's view and showing it, after a stop, a penalty
    // and a reset (done once per pass of the event loop after the action).
    std::vector<double> audience;
    // Wall time from the end of a load, reset or sort until the journal's
    // snapshot of it, written on the journal's thread, is on the disk.
    std::vector<double> snapshotLanded;
    double listBytes = 0;
    double residentAfterFirstLoad = 0;
    double residentAfterLastLoad = 0;
    std::vector<double> skew, skewBusy, busyError;
};

class WindowBench
{
public:
    WindowBench(CountingApplication &app, bool withJournal, int runs)
        : m_app(app), m_platform(m_window.platform), m_form(m_window.form), m_runs(runs)
    {
        m_window.SetRuns(runs);
        // The recovery journal's share of each action shows when it is left out.
        if (!withJournal)
            QObject::disconnect(m_form->Protocol, nullptr, m_form->Journal, nullptr);
        m_residentBefore = ResidentBytes();
    }

    // The audience window open (as on a race day) or closed; the operator's
    // window has the keys.
    void ShowAudienceWindow(bool shown)
    {
        if (shown)
            m_form->bAnzeigeClick();
        else if (m_form->AudienceScreen)
            m_form->AudienceScreen->hide();
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form))
            qFatal("the main window did not become active");
    }

    SizeFigures Measure(int teams)
    {
        SizeFigures figures;
        figures.teams = teams;
        const QString list = m_window.FilePath(QStringLiteral("Starterliste%1.csv").arg(teams));
        const QByteArray bytes = StarterListBytes(teams, false, m_runs);
        WriteFile(list, bytes);
        figures.listBytes = bytes.size();
        for (int run = 0; run < Runs; ++run) {
            figures.load.push_back(Load(list, teams));
            AwaitJournal(figures);
            const double resident = ResidentBytes() - m_residentBefore;
            if (run == 0)
                figures.residentAfterFirstLoad = resident;
            figures.residentAfterLastLoad = resident;
        }
        for (int run = 0; run < Runs; ++run)
            Heat(figures);
        for (int run = 0; run < Runs; ++run) {
            figures.headerSort.push_back(Busy([&] { ClickHeader(1 + run % 2); }));
            AwaitJournal(figures);
        }
        for (int run = 0; run < Runs; ++run)
            StopsOneMillisecondApart(figures);
        return figures;
    }

    struct RaceFigures
    {
        int ticks = 0;
        int digitPaints = 0;
        int flushes = 0;
        std::vector<double> cpuPercent; // one figure per race
    };

    // Running races, nobody touching anything: RaceRuns races of
    // RaceSeconds each, started by F5 and ended by a false start (F6).
    RaceFigures Race(int teams)
    {
        if (m_form->SortGrid1->RowCount() != teams + 1) {
            const QString list = m_window.FilePath(QStringLiteral("Rennen%1.csv").arg(teams));
            WriteFile(list, StarterListBytes(teams, false, m_runs));
            Load(list, teams);
        }
        RaceFigures figures;
        QObject counter;
        QObject::connect(m_form->Clock, &QTimer::timeout, &counter, [&] { ++figures.ticks; });
        for (int run = 0; run < RaceRuns; ++run) {
            // The last ranking's snapshot is on the disk long before a race.
            m_form->Journal->WaitUntilWritten();
            Press(Qt::Key_F5);
            Settle();
            const int paints = m_app.digitPaints;
            const int flushes = m_app.Flushes();
            const double cpu = ProcessCpuMillis();
            const double wall = MillisOf(RunEventLoop);
            figures.cpuPercent.push_back(100.0 * (ProcessCpuMillis() - cpu) / wall);
            figures.digitPaints += m_app.digitPaints - paints;
            figures.flushes += m_app.Flushes() - flushes;
            Press(Qt::Key_F6);
            Settle();
        }
        return figures;
    }

private:
    // The program's own event loop, as it runs while nobody touches anything
    // (a test's wait loop would sleep between its rounds and shift the ticks).
    static void RunEventLoop()
    {
        QEventLoop loop;
        QTimer::singleShot(RaceSeconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // Posted work the action left behind (repaints included) is part of it.
    static void Settle() { QCoreApplication::sendPostedEvents(); }

    // CPU time of the GUI thread: other load on the machine does not count.
    static double Busy(const std::function<void()> &action)
    {
        const double before = ThreadCpuMillis();
        action();
        Settle();
        return ThreadCpuMillis() - before;
    }

    // A key press as the platform hands it over: shortcuts first, stamped
    // with the moment of the press.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Press(key, modifiers, m_platform.TickCount());
    }
    void Press(int key, Qt::KeyboardModifiers modifiers, std::uint32_t pressedAt)
    {
        if (!qt_sendShortcutOverrideEvent(m_form, pressedAt, key, modifiers))
            qFatal("key %d was no shortcut", key);
    }

    double Load(const QString &list, int teams)
    {
        return Busy([&] { m_window.Load(list, teams); });
    }

    // START, both stops, a penalty and a disqualification, the reset.
    void Heat(SizeFigures &figures)
    {
        Press(Qt::Key_F5);
        Settle();
        figures.stop.push_back(Busy([&] { Press(Qt::Key_1, Qt::AltModifier); }));
        figures.audience.push_back(Busy([&] { ShowAudience(); }));
        figures.stop.push_back(Busy([&] { Press(Qt::Key_2, Qt::AltModifier); }));
        figures.laneButton.push_back(Busy([&] { m_form->bStrafe15_1->click(); }));
        figures.audience.push_back(Busy([&] { ShowAudience(); }));
        figures.laneButton.push_back(Busy([&] { m_form->bDisqulifikation2->click(); }));
        figures.reset.push_back(Busy([&] { Press(Qt::Key_0, Qt::AltModifier); }));
        figures.audience.push_back(Busy([&] { ShowAudience(); }));
        // The next heat starts long after the snapshot of the ranking landed.
        AwaitJournal(figures);
    }

    // What the pass of the event loop after an action does for the audience.
    void ShowAudience() { m_form->AudienceBuilder->Publish(); }

    void AwaitJournal(SizeFigures &figures)
    {
        figures.snapshotLanded.push_back(MillisOf([&] { m_form->Journal->WaitUntilWritten(); }));
    }

    void ClickHeader(int column)
    {
        TSortGrid *grid = m_form->SortGrid1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(column, 0).center());
    }

    // Alt+1 and Alt+2 pressed 1 ms apart; once handled at once, once after
    // the GUI thread was busy with something else.
    void StopsOneMillisecondApart(SizeFigures &figures)
    {
        for (bool busy : {false, true}) {
            Press(Qt::Key_F5);
            Settle();
            const std::uint32_t pressed = m_platform.TickCount();
            if (busy)
                std::this_thread::sleep_for(BusyBeforePresses);
            Press(Qt::Key_1, Qt::AltModifier, pressed);
            Press(Qt::Key_2, Qt::AltModifier, pressed + 1);
            Settle();
            const RaceController *race = m_form->Race;
            // The protocol keeps hundredths, cut off.
            const double apart = (race->LaneElapsed[1] / 10 - race->LaneElapsed[0] / 10) / 100.0;
            (busy ? figures.skewBusy : figures.skew).push_back(apart);
            if (busy)
                figures.busyError.push_back(
                    double(race->LaneElapsed[0] - std::int32_t(pressed - race->StartTick)));
            Press(Qt::Key_0, Qt::AltModifier);
            Settle();
        }
    }

    CountingApplication &m_app;
    BenchWindow m_window;
    RealClockPlatform &m_platform;
    TFormMain *m_form;
    int m_runs;
    double m_residentBefore = 0;
};

QString Verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("NOT met");
}

void PrintRow(const QString &action, const QStringList &cells, const QString &goal, bool met)
{
    std::printf("| %s | %s | %s (%s) |\n", qPrintable(action), qPrintable(cells.join(" | ")),
                qPrintable(goal), qPrintable(Verdict(met)));
}

using Column = std::vector<double> SizeFigures::*;

// A timed action: min / median / max per list size; the goal is on the
// median at 10 000 and at 100 000 teams.
void PrintTimedRow(const QString &action, const std::vector<SizeFigures> &sizes, Column column,
                   double goalAt100000)
{
    QStringList cells;
    bool met = true;
    for (const SizeFigures &size : sizes) {
        cells << SpreadText(SpreadOf(size.*column), 2);
        const double median = Median(size.*column);
        met = met && !(size.teams == 10000 && median >= 20) &&
              !(size.teams == 100000 && median >= goalAt100000);
    }
    PrintRow(action, cells,
             QStringLiteral("< 20 ms at 10 000, < %1 ms at 100 000").arg(goalAt100000), met);
}

void PrintSkewRow(const QString &action, const std::vector<SizeFigures> &sizes, Column column)
{
    QStringList cells;
    bool met = true;
    for (const SizeFigures &size : sizes) {
        const Spread spread = SpreadOf(size.*column);
        cells << QStringLiteral("%1–%2 s").arg(spread.min, 0, 'f', 2).arg(spread.max, 0, 'f', 2);
        met = met && spread.min >= 0 && spread.max <= 0.01;
    }
    PrintRow(action, cells, QStringLiteral("0.00–0.01 s"), met);
}

void PrintMemoryRow(const std::vector<SizeFigures> &sizes)
{
    QStringList cells;
    bool met = true;
    for (const SizeFigures &size : sizes) {
        cells << QStringLiteral("%1 → %2 MB (%3× file)")
                     .arg(size.residentAfterFirstLoad / 1e6, 0, 'f', 0)
                     .arg(size.residentAfterLastLoad / 1e6, 0, 'f', 0)
                     .arg(size.residentAfterLastLoad / size.listBytes, 0, 'f', 1);
        met = met && size.residentAfterLastLoad < 1.1 * size.residentAfterFirstLoad + 2e6;
    }
    met = met && (sizes.back().teams < 100000 ||
                  sizes.back().residentAfterLastLoad < 10 * sizes.back().listBytes);
    PrintRow(QStringLiteral("memory after 1st → 5th load"), cells,
             QStringLiteral("not growing, < 10× file at 100 000"), met);
}

// What the command line asks for: which list sizes and parts to measure.
struct BenchOptions
{
    bool withJournal = true;
    bool actions = true;
    bool race = true;
    std::vector<int> teamCounts = SizesToMeasure({1000, 10000, 100000});
    int runs = 1;
};

BenchOptions OptionsOf(const QStringList &arguments)
{
    BenchOptions options;
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--without-journal")) {
            options.withJournal = false;
        } else if (argument == QStringLiteral("--only=actions")) {
            options.race = false;
        } else if (argument == QStringLiteral("--only=race")) {
            options.actions = false;
        } else if (argument.startsWith(QStringLiteral("--runs="))) {
            options.runs = RunsArgument({argument});
        } else if (argument.startsWith(QStringLiteral("--teams="))) {
            options.teamCounts.clear();
            for (const QString &count : argument.mid(8).split(u','))
                options.teamCounts.push_back(count.toInt());
        } else {
            qFatal("usage: bench_Window [--without-journal] [--only=actions|race] "
                   "[--teams=N,...] [--runs=N]");
        }
    }
    return options;
}

void PrintActions(const std::vector<SizeFigures> &sizes, bool withJournal)
{
    QStringList teams;
    for (const SizeFigures &size : sizes)
        teams << QLocale().toString(size.teams);
    std::printf("GUI thread busy per action (its CPU time) in ms, min / median / max of %d runs "
                "(stops and lane buttons: %d), recovery journal %s\n\n",
                Runs, 2 * Runs, withJournal ? "on" : "off (--without-journal)");
    std::printf("| Action in the window | %s teams | goal |\n", qPrintable(teams.join(" | ")));
    std::printf("|---|%s---|\n", qPrintable(QStringLiteral("---|").repeated(sizes.size())));
    PrintTimedRow(QStringLiteral("Alt+1 / Alt+2 stop"), sizes, &SizeFigures::stop, 1);
    PrintTimedRow(QStringLiteral("S15 penalty / DIS click"), sizes, &SizeFigures::laneButton, 1);
    PrintTimedRow(QStringLiteral("Alt+0 reset (ranking)"), sizes, &SizeFigures::reset, 150);
    // One frame of the audience window.
    PrintTimedRow(QStringLiteral("audience view after stop / penalty / reset"), sizes,
                  &SizeFigures::audience, 20);
    PrintTimedRow(QStringLiteral("header click sort"), sizes, &SizeFigures::headerSort, 150);
    PrintTimedRow(QStringLiteral("list load until shown"), sizes, &SizeFigures::load, 500);
    QStringList landed;
    for (const SizeFigures &size : sizes)
        landed << SpreadText(SpreadOf(size.snapshotLanded), 1);
    std::printf("| then its snapshot on the disk, written behind the window (wall ms) | %s | "
                "no goal |\n",
                qPrintable(landed.join(" | ")));
    PrintMemoryRow(sizes);
    PrintSkewRow(QStringLiteral("Alt+1 and Alt+2 pressed 1 ms apart: lane 2 later by"), sizes,
                 &SizeFigures::skew);
    PrintSkewRow(QStringLiteral("same, GUI thread busy 100 ms first"), sizes,
                 &SizeFigures::skewBusy);
    QStringList errors;
    bool errorsMet = true;
    for (const SizeFigures &size : sizes) {
        const Spread spread = SpreadOf(size.busyError);
        errors << QStringLiteral("%1–%2 ms").arg(spread.min).arg(spread.max);
        errorsMet = errorsMet && spread.max < 10;
    }
    PrintRow(QStringLiteral("same: lane 1 recorded later than pressed by"), errors,
             QStringLiteral("< 10 ms"), errorsMet);
}

// The wall clock in the corner changes once a second on a timer of its own,
// so a second may bring one flush beside its ticks.
void PrintRace(const WindowBench::RaceFigures &race)
{
    const double perTick = race.ticks > 0 ? 1.0 / race.ticks : 0;
    const Spread cpu = SpreadOf(race.cpuPercent);
    const int seconds = RaceRuns * RaceSeconds;
    std::printf("\nRunning race, %d × %d s at %s teams: %d clock ticks, %.1f digit paints and %.2f "
                "flushes per tick (%d flushes), CPU %s %% of a core (min / median / max; goal: one "
                "flush per tick and one a second for the wall clock, median < 2 %%: %s)\n",
                RaceRuns, RaceSeconds, qPrintable(QLocale().toString(RaceTeams)), race.ticks,
                race.digitPaints * perTick, race.flushes * perTick, race.flushes,
                qPrintable(SpreadText(cpu)),
                qPrintable(Verdict(race.flushes <= race.ticks + seconds && cpu.median < 2)));
}

// The audience window redraws its running times on a frame timer of its own.
void PrintRaceWithAudience(const WindowBench::RaceFigures &race)
{
    std::printf("Same with the audience window open: %.2f flushes per tick, CPU %s %% of a core "
                "(no goal)\n",
                race.ticks > 0 ? double(race.flushes) / race.ticks : 0.0,
                qPrintable(SpreadText(SpreadOf(race.cpuPercent))));
}

} // namespace

int main(int argc, char **argv)
{
    CountingApplication app(argc, argv);
    const BenchOptions options = OptionsOf(app.arguments());
    WindowBench bench(app, options.withJournal, options.runs);
    std::vector<SizeFigures> sizes;
    bench.ShowAudienceWindow(true);
    if (options.actions) {
        for (int teams : options.teamCounts)
            sizes.push_back(bench.Measure(teams));
    }
    // The operator's window on its own, then beside the audience window.
    std::vector<WindowBench::RaceFigures> races;
    for (const bool withAudience : {false, true}) {
        if (options.race) {
            bench.ShowAudienceWindow(withAudience);
            races.push_back(bench.Race(RaceTeams));
        }
    }
    if (!sizes.empty())
        PrintActions(sizes, options.withJournal);
    if (!races.empty()) {
        PrintRace(races[0]);
        PrintRaceWithAudience(races[1]);
    }
    return 0;
}
