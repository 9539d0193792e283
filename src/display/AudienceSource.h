// Builds what the audience sees from the protocol model and the race: the
// teams on the lanes (the model's lanes, or after the reset the heat that
// just ran), the state of the heat, the results as the protocol holds them, who
// starts next by the start order and the standings per class. A new view
// is built once per pass of the event loop after any change, so the steps
// of one operator action never show on their own, and handed to the feed.
#pragma once

#include "display/AudienceView.h"
#include "protocol/ProtocolTable.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <span>

class AudienceFeed;
class ProtocolModel;
class QTimer;

class AudienceSource : public QObject
{
    Q_OBJECT

public:
    // What the view is read from.
    struct Inputs
    {
        const ProtocolModel *protocol = nullptr;
        std::function<int()> laneCount;
        // The tick the running heat started at.
        std::function<std::uint32_t()> startTick;
    };

    // After this long without a start, stop, penalty or reset, and no
    // clock running, the standings take the screen (ms).
    static constexpr std::uint32_t StandingsAfterMs = 20000;

    AudienceSource(Inputs inputs, AudienceFeed *feed, QObject *parent = nullptr);

    void HeatStarted();
    void LaneStopped(int lane);
    void HeatReset(bool heatRan);
    void ProtocolChanged();
    // Other teams took the protocol's place: the lanes show the model's
    // teams again, not those of the heat that ran before.
    void ProtocolReplaced();
    // Something else the view shows changed (the lane count): a new view
    // follows in this pass of the event loop.
    void Refresh();

    // The view of this moment.
    AudienceView BuildView() const;
    // Builds the view and hands it to the feed (once per pass of the event
    // loop after changes).
    void Publish();

private:
    enum class Heat { Ready, Running, Finished };

    // A start, stop, penalty or reset: the heat takes the screen again.
    void NoteActivity();
    void CheckIdle();
    bool ClockRunning() const;
    // The rows of the teams the lanes show (-1: none): the model's lanes,
    // or after the reset those that ran the heat.
    std::array<int, 2> LaneRows() const;
    AudienceLane LaneView(int laneIndex, int row, const ProtocolColumns &columns) const;
    QList<QList<AudienceTeam>> NextUp(const ProtocolColumns &columns) const;

    Inputs m_in;
    AudienceFeed *m_feed;
    Heat m_heat = Heat::Ready;
    std::array<bool, 2> m_stopped = {false, false};
    // The start-order places of the teams that ran the last heat, and
    // their totals when it started (those their places were ranked by).
    std::array<int, 2> m_heatTeams = {-1, -1};
    std::array<QString, 2> m_rankedTotals;
    std::uint32_t m_lastActivity = 0;
    bool m_idle = false;
    QTimer *m_publishSoon;
    QTimer *m_idleCheck;
};

// Every text the audience sees is cut to this many characters ("…" last),
// so that no cell of the protocol can make the view too large to send.
inline constexpr qsizetype AudienceTextLimit = 200;
QString AudienceText(QStringView text);
// The cells of a team as the audience sees them; row 0 is the first team.
AudienceTeam AudienceTeamOf(const ProtocolColumns &columns, std::size_t row);
// "+15" for a penalty of 15 s ("15,00" or "15.00"); "" for none.
QString AudiencePenaltyText(QStringView strafzeit);
// The teams with a result, class by class in ranked order, at most
// AudienceStandingsPerClass per class and AudienceStandingsInAll in all;
// the rows `unranked` (whose total changed since the last ranking) without
// their place. runsDone: as the protocol's ranking counts them (none with one run).
QList<AudienceClassStandings> AudienceStandings(const ProtocolColumns &columns,
                                                std::span<const std::size_t> unranked = {},
                                                std::span<const int> runsDone = {});
