// What the audience sees, as plain data: the teams on the lanes and their
// results, who starts next and the standings. The big-screen window and the
// web page both show exactly this; the main window's side builds it anew
// after every change and hands it to an AudienceFeed.
#pragma once

#include <QList>
#include <QString>
#include <cstdint>

struct AudienceTeam
{
    QString nr;
    QString teamName;
    QString klasse;
    QString fahrer;

    bool operator==(const AudienceTeam &) const = default;
};

enum class AudienceLanePhase {
    Empty,    // no team on this lane
    Ready,    // the team waits for START
    Running,  // the clock runs since startTick
    Stopped,  // the lane has its time; the heat is not reset yet
    Finished, // the heat was reset: the result stands with its place
};

struct AudienceLane
{
    int lane = 1; // 1 or 2, as the operator names them
    AudienceTeam team;
    AudienceLanePhase phase = AudienceLanePhase::Empty;
    // Running: the tick (32-bit milliseconds of the program's clock) the
    // lane started at; the viewer counts on from it.
    std::uint32_t startTick = 0;
    QString time;    // Stopped, Finished: exactly as the protocol writes it
    QString penalty; // "+15", "+30", ... or ""
    QString result;  // "AUS", "DIS", "n.a." or ""
    QString place;   // Finished: the team's place in its class, or ""
    // With several runs: the team's result in each run so far ("" for a run
    // not done), and its score over them, as the protocol writes them.
    QList<QString> runs;
    QString score;

    bool operator==(const AudienceLane &) const = default;
};

struct AudienceStandingsRow
{
    QString platz;
    QString nr;
    QString teamName;
    QString total;

    bool operator==(const AudienceStandingsRow &) const = default;
};

struct AudienceClassStandings
{
    QString klasse;
    QList<AudienceStandingsRow> rows; // in order of place

    bool operator==(const AudienceClassStandings &) const = default;
};

// The standings the audience sees are the top of each class: a big screen
// pages through them and a phone receives them whole, so a list of any
// size gives a message of bounded size (well below what a page may queue).
inline constexpr int AudienceStandingsPerClass = 100;
inline constexpr int AudienceStandingsInAll = 2000;

struct AudienceView
{
    QList<AudienceLane> lanes;         // one per racing lane (one-lane mode: one)
    QList<QList<AudienceTeam>> nextUp; // per lane, the teams that start next
    QList<AudienceClassStandings> standings;
    // "Lauf 2 von 3"; "" with one run per team.
    QString run;
    // No heat has run for a while: the standings take the screen.
    bool showStandings = false;

    bool operator==(const AudienceView &) const = default;
};
