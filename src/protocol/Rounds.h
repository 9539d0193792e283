// Several timed runs per team ("Wertungsläufe"): how many, how each class
// turns its runs into a score, and whether the lanes change between runs.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QString>
#include <QStringView>
#include <span>
#include <utility>
#include <vector>

// How a class ranks its teams' runs.
enum class Scoring {
    Sum = 0,         // "Summe": the sum of the runs done, more runs first
    BestRun = 1,     // "Bestzeit": the fastest run
    Consistency = 2, // "Gleichmäßigkeit": slowest minus fastest run
};
inline constexpr int ScoringCount = 3;

// "Summe", "Bestzeit", "Gleichmäßigkeit"
QString ScoringName(Scoring scoring);

struct RoundsSetup
{
    int runs = 1;                   // 1 ... MaxRuns
    Scoring scoring = Scoring::Sum; // every class without a choice of its own
    // The classes with another choice than `scoring`, as listed.
    std::vector<std::pair<QString, Scoring>> classScoring;
    bool laneChange = true; // each run on the other lane than the run before

    // The scoring of a class; with one run every class ranks its one time.
    Scoring ScoringOf(QStringView klasse) const;
    bool operator==(const RoundsSetup &) const = default;
};

// The class choices as stored: "Open:2,5:1" (class, colon, scoring number,
// separated by commas). Reading skips an entry that does not read, or
// names a class twice (the first counts).
QString ClassScoringText(const std::vector<std::pair<QString, Scoring>> &choices);
std::vector<std::pair<QString, Scoring>> ReadClassScoring(QStringView text);

// A team's score over the run cells it has ("" for a run not done), as
// "Total" shows it: a time, "AUS", "DIS", a run's unreadable text, or
// empty while there is nothing to score.
QString ScoreOfRuns(std::span<const QStringView> runs, Scoring scoring);
// The runs done (a time, a mark or any text): the first key of a "Summe" ranking.
int RunsDone(std::span<const QStringView> runs);
