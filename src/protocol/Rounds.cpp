#include "protocol/Rounds.h"

#include "race/RaceTime.h"
#include "text/NumericText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

QString ScoringName(Scoring scoring)
{
    switch (scoring) {
    case Scoring::BestRun:
        return QStringLiteral("Bestzeit");
    case Scoring::Consistency:
        return QStringLiteral("Gleichmäßigkeit");
    case Scoring::Sum:
        break;
    }
    return QStringLiteral("Summe");
}

Scoring RoundsSetup::ScoringOf(QStringView klasse) const
{
    if (runs < 2)
        return Scoring::Sum;
    if (classScoring.empty())
        return scoring;
    const QStringView trimmed = klasse.trimmed();
    for (const auto &[name, choice] : classScoring) {
        if (name == trimmed)
            return choice;
    }
    // "01" is class "1", as the ranking takes it.
    const NumericTextKey key = NumericTextKeyOf(trimmed);
    for (const auto &[name, choice] : classScoring) {
        if (CompareNumericTextKeys(NumericTextKeyOf(name), name, key, trimmed) == 0)
            return choice;
    }
    return scoring;
}

QString ClassScoringText(const std::vector<std::pair<QString, Scoring>> &choices)
{
    QStringList entries;
    for (const auto &[klasse, scoring] : choices)
        entries << klasse + QLatin1Char(':') + QString::number(int(scoring));
    return entries.join(QLatin1Char(','));
}

std::vector<std::pair<QString, Scoring>> ReadClassScoring(QStringView text)
{
    std::vector<std::pair<QString, Scoring>> choices;
    for (const QStringView entry : text.split(u',')) {
        const qsizetype colon = entry.lastIndexOf(u':');
        if (colon <= 0)
            continue;
        bool ok = false;
        const int number = entry.sliced(colon + 1).toInt(&ok);
        const QString klasse = entry.first(colon).trimmed().toString();
        const bool known = std::any_of(choices.begin(), choices.end(),
                                       [&](const auto &choice) { return choice.first == klasse; });
        if (ok && number >= 0 && number < ScoringCount && !klasse.isEmpty() && !known)
            choices.emplace_back(klasse, Scoring(number));
    }
    return choices;
}

namespace {

// What the runs done hold, worst first. The times stay on the stack: a
// list of 100 000 teams is scored at every load.
struct RunsRead
{
    bool disqualified = false;
    bool droppedOut = false;                    // "AUS" or "n.a."
    QStringView unreadable;                     // the first run that is neither a time nor a mark
    std::array<std::uint32_t, MaxRuns> times{}; // in ms, the first `timeCount`
    int timeCount = 0;
};

// "83,45", "83.45" or "83" in ms, read digit by digit: scoring a list reads
// every run of every team, and nearly all are written so. Other forms
// (blanks around, more decimals) are left to the general reader.
std::optional<std::uint32_t> PlainRaceMs(QStringView text)
{
    const auto digitAt = [&](qsizetype i) {
        return i < text.size() && text[i] >= u'0' && text[i] <= u'9' ? text[i].unicode() - u'0'
                                                                     : -1;
    };
    qsizetype i = 0;
    std::uint64_t ms = 0;
    for (; digitAt(i) >= 0 && i < 7; ++i)
        ms = ms * 10 + std::uint64_t(digitAt(i));
    if (i == 0)
        return std::nullopt;
    ms *= 1000;
    if (i < text.size() && (text[i] == u',' || text[i] == u'.')) {
        const qsizetype fraction = ++i;
        for (std::uint64_t scale = 100; digitAt(i) >= 0 && scale > 0; ++i, scale /= 10)
            ms += scale * std::uint64_t(digitAt(i));
        if (i == fraction)
            return std::nullopt;
    }
    if (i != text.size() || ms > UINT32_MAX)
        return std::nullopt;
    return std::uint32_t(ms);
}

// The run's time in ms; none for a text that is no time.
std::optional<std::uint32_t> RunMs(QStringView run)
{
    if (const std::optional<std::uint32_t> ms = PlainRaceMs(run))
        return ms;
    const std::optional<double> seconds = ReadRaceNumber(run);
    if (!seconds || *seconds < 0 || *seconds * 1000.0 > double(UINT32_MAX))
        return std::nullopt;
    return std::uint32_t(std::llround(*seconds * 1000.0));
}

RunsRead ReadRuns(std::span<const QStringView> runs)
{
    RunsRead read;
    for (const QStringView run : runs.first(std::min(runs.size(), std::size_t(MaxRuns)))) {
        if (IsBlankText(run))
            continue;
        if (run == DisqualifiedMark)
            read.disqualified = true;
        else if (run == DropOutMark || run == NotStartedMark)
            read.droppedOut = true;
        else if (const std::optional<std::uint32_t> ms = RunMs(run))
            read.times[std::size_t(read.timeCount++)] = *ms;
        else if (read.unreadable.isNull())
            read.unreadable = run;
    }
    return read;
}

} // namespace

QString ScoreOfRuns(std::span<const QStringView> runs, Scoring scoring)
{
    const RunsRead read = ReadRuns(runs);
    if (read.disqualified)
        return DisqualifiedMark;
    const bool keepsBestRun = scoring == Scoring::BestRun && read.timeCount > 0;
    if (read.droppedOut && !keepsBestRun)
        return DropOutMark;
    // Kept as written: the team ranks after the times, as an unreadable total does.
    if (!read.unreadable.isNull())
        return read.unreadable.toString();
    if (read.timeCount == 0)
        return {};
    const auto times = std::span(read.times).first(std::size_t(read.timeCount));
    const auto [fastest, slowest] = std::minmax_element(times.begin(), times.end());
    switch (scoring) {
    case Scoring::BestRun:
        return FormatRaceTime(*fastest);
    case Scoring::Consistency:
        return times.size() < 2 ? QString() : FormatRaceTime(*slowest - *fastest);
    case Scoring::Sum:
        break;
    }
    std::uint64_t sum = 0;
    for (const std::uint32_t time : times)
        sum += time;
    return FormatRaceTime(std::uint32_t(std::min<std::uint64_t>(sum, UINT32_MAX)));
}

int RunsDone(std::span<const QStringView> runs)
{
    return int(
        std::count_if(runs.begin(), runs.end(), [](QStringView run) { return !IsBlankText(run); }));
}
