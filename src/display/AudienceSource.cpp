// The audience view built from the protocol model and the race.
#include "display/AudienceSource.h"

#include "display/AudienceFeed.h"
#include "platform/TickClock.h"
#include "protocol/ProtocolModel.h"
#include "protocol/Ranking.h"
#include "race/RaceTime.h"
#include "text/NumericText.h"

#include <QTimer>
#include <cmath>

namespace {

// How often the idle time is looked at (ms).
constexpr int IdleCheckMs = 1000;

// The rows with a total and their classes and totals. Only they are in
// the standings, and during a race day most rows have none yet: ranking
// just these is the same order (the ranking is stable) at a fraction of
// the work on a long list.
struct RowsWithTotal
{
    std::vector<std::size_t> rows;
    std::vector<QStringView> classes, totals;
    std::vector<int> runsDone;
};

RowsWithTotal RowsWithTotalOf(const ProtocolColumns &columns, std::span<const int> runsDone)
{
    RowsWithTotal found;
    for (std::size_t row = 0; row < columns.rows; ++row) {
        const QStringView total = columns.Cell(row, ColTotal);
        if (IsBlankText(total))
            continue;
        found.rows.push_back(row);
        found.classes.push_back(columns.Cell(row, ColKlasse));
        found.totals.push_back(total);
        if (row < runsDone.size())
            found.runsDone.push_back(runsDone[row]);
    }
    return found;
}

bool SameClass(QStringView a, QStringView b)
{
    // Rows of one class mostly carry the same text: no keys to work out.
    return a == b || CompareNumericTextKeys(NumericTextKeyOf(a), a, NumericTextKeyOf(b), b) == 0;
}

} // namespace

QString AudienceText(QStringView text)
{
    if (text.size() <= AudienceTextLimit)
        return text.toString();
    qsizetype kept = AudienceTextLimit - 1;
    // A character beyond the basic plane stays whole or goes whole.
    if (text.at(kept - 1).isHighSurrogate())
        --kept;
    return text.left(kept).toString() + QChar(0x2026);
}

AudienceTeam AudienceTeamOf(const ProtocolColumns &columns, std::size_t row)
{
    return {AudienceText(columns.Cell(row, ColNr)), AudienceText(columns.Cell(row, ColTeamName)),
            AudienceText(columns.Cell(row, ColKlasse)), AudienceText(columns.Cell(row, ColFahrer))};
}

QString AudiencePenaltyText(QStringView strafzeit)
{
    const std::optional<double> seconds = ReadRaceNumber(strafzeit);
    if (!seconds || *seconds <= 0)
        return {};
    const double whole = std::round(*seconds);
    return QLatin1Char('+') +
           (whole == *seconds ? QString::number(qint64(whole)) : strafzeit.trimmed().toString());
}

QList<AudienceClassStandings> AudienceStandings(const ProtocolColumns &columns,
                                                std::span<const std::size_t> unranked,
                                                std::span<const int> runsDone)
{
    const RowsWithTotal found = RowsWithTotalOf(columns, runsDone);
    const RankedRows ranked = RankRows(found.classes, found.totals, {}, found.runsDone);
    QList<AudienceClassStandings> standings;
    int shown = 0;
    for (const std::size_t index : ranked.previousIndex) {
        if (shown == AudienceStandingsInAll)
            break;
        const QStringView klasse = found.classes[index];
        if (standings.isEmpty() || !SameClass(standings.last().klasse, klasse))
            standings.append(AudienceClassStandings{AudienceText(klasse), {}});
        if (standings.last().rows.size() == AudienceStandingsPerClass)
            continue;
        ++shown;
        const std::size_t row = found.rows[index];
        const bool placed = std::find(unranked.begin(), unranked.end(), row) == unranked.end();
        standings.last().rows.append(AudienceStandingsRow{
            placed ? AudienceText(columns.Cell(row, ColPlatz)) : QString(),
            AudienceText(columns.Cell(row, ColNr)), AudienceText(columns.Cell(row, ColTeamName)),
            AudienceText(found.totals[index])});
    }
    return standings;
}

AudienceSource::AudienceSource(Inputs inputs, AudienceFeed *feed, QObject *parent)
    : QObject(parent), m_in(std::move(inputs)), m_feed(feed), m_publishSoon(new QTimer(this)),
      m_idleCheck(new QTimer(this))
{
    m_lastActivity = CurrentTickClock().TickCount();
    m_publishSoon->setSingleShot(true);
    m_publishSoon->setInterval(0);
    connect(m_publishSoon, &QTimer::timeout, this, &AudienceSource::Publish);
    m_idleCheck->setInterval(IdleCheckMs);
    connect(m_idleCheck, &QTimer::timeout, this, &AudienceSource::CheckIdle);
    m_idleCheck->start();
    Refresh();
}

void AudienceSource::HeatStarted()
{
    const ProtocolModel &protocol = *m_in.protocol;
    for (int lane = 0; lane < 2; ++lane) {
        const int row = protocol.LaneRow(lane);
        m_heatTeams[lane] = row >= 0 ? protocol.StartPlaces()[std::size_t(row)] : -1;
        m_rankedTotals[lane] = row >= 0 ? protocol.Cell(row, ColTotal).toString() : QString();
    }
    m_heat = Heat::Running;
    m_stopped = {false, false};
    NoteActivity();
}

void AudienceSource::LaneStopped(int lane)
{
    m_stopped[std::size_t(lane)] = true;
    NoteActivity();
}

void AudienceSource::HeatReset(bool heatRan)
{
    m_heat = heatRan ? Heat::Finished : Heat::Ready;
    NoteActivity();
}

void AudienceSource::ProtocolReplaced()
{
    m_heat = Heat::Ready;
    m_heatTeams = {-1, -1};
    Refresh();
}

// Penalties, drop-outs and disqualifications come between the stop and
// the reset; other changes of the protocol leave the standings alone.
void AudienceSource::ProtocolChanged()
{
    if (m_heat == Heat::Running && (m_stopped[0] || m_stopped[1]))
        NoteActivity();
    else
        Refresh();
}

void AudienceSource::NoteActivity()
{
    m_lastActivity = CurrentTickClock().TickCount();
    m_idle = false;
    Refresh();
}

void AudienceSource::CheckIdle()
{
    if (m_idle || ClockRunning() ||
        ElapsedMs(m_lastActivity, CurrentTickClock().TickCount()) < StandingsAfterMs)
        return;
    m_idle = true;
    Refresh();
}

void AudienceSource::Refresh()
{
    m_publishSoon->start();
}

void AudienceSource::Publish()
{
    m_feed->Publish(BuildView());
}

bool AudienceSource::ClockRunning() const
{
    const int lanes = m_in.laneCount();
    return m_heat == Heat::Running && (!m_stopped[0] || (lanes > 1 && !m_stopped[1]));
}

AudienceView AudienceSource::BuildView() const
{
    const ProtocolColumns columns = m_in.protocol->Columns();
    AudienceView view;
    const std::array<int, 2> rows = LaneRows();
    for (int lane = 0; lane < m_in.laneCount(); ++lane)
        view.lanes.append(LaneView(lane, rows[std::size_t(lane)], columns));
    view.nextUp = NextUp(columns);
    // In a running heat (up to the reset, which ranks again) a team whose
    // total changed has not earned a place with it yet.
    std::vector<std::size_t> unranked;
    for (int lane = 0; m_heat == Heat::Running && lane < m_in.laneCount(); ++lane) {
        const int row = rows[std::size_t(lane)];
        if (row >= 0 &&
            columns.Cell(std::size_t(row), ColTotal) != m_rankedTotals[std::size_t(lane)])
            unranked.push_back(std::size_t(row));
    }
    view.standings = AudienceStandings(columns, unranked, m_in.protocol->RunsDoneForRanking());
    if (columns.runs >= 2)
        view.run =
            QStringLiteral("Lauf %1 von %2").arg(m_in.protocol->CurrentRun()).arg(columns.runs);
    view.showStandings = m_idle && !view.standings.isEmpty();
    return view;
}

std::array<int, 2> AudienceSource::LaneRows() const
{
    const ProtocolModel &protocol = *m_in.protocol;
    if (m_heat != Heat::Finished)
        return {protocol.LaneRow(0), protocol.LaneRow(1)};
    // The rows may have moved since the heat (ranking, sort): found by place.
    const std::vector<int> &places = protocol.StartPlaces();
    std::array<int, 2> rows = {-1, -1};
    for (std::size_t lane = 0; lane < rows.size(); ++lane) {
        const auto found = std::find(places.begin(), places.end(), m_heatTeams[lane]);
        if (m_heatTeams[lane] >= 0 && found != places.end())
            rows[lane] = int(found - places.begin());
    }
    return rows;
}

AudienceLane AudienceSource::LaneView(int laneIndex, int row, const ProtocolColumns &columns) const
{
    AudienceLane lane;
    lane.lane = laneIndex + 1;
    if (row < 0)
        return lane;
    const auto team = std::size_t(row);
    lane.team = AudienceTeamOf(columns, team);
    for (int run = 1; columns.runs >= 2 && run <= columns.runs; ++run)
        lane.runs.append(AudienceText(columns.Cell(team, RunColumn(run))));
    if (columns.runs >= 2)
        lane.score = AudienceText(columns.Cell(team, ColTotal));
    if (m_heat == Heat::Ready) {
        lane.phase = AudienceLanePhase::Ready;
        return lane;
    }
    if (m_heat == Heat::Running && !m_stopped[std::size_t(laneIndex)]) {
        lane.phase = AudienceLanePhase::Running;
        lane.startTick = m_in.startTick();
        return lane;
    }
    lane.phase =
        m_heat == Heat::Finished ? AudienceLanePhase::Finished : AudienceLanePhase::Stopped;
    const QStringView time = columns.Cell(team, ColZeit);
    if (IsResultMark(time)) {
        lane.result = time.toString();
        return lane;
    }
    lane.time = AudienceText(time);
    lane.penalty = AudienceText(AudiencePenaltyText(columns.Cell(team, ColStrafzeit)));
    if (lane.phase == AudienceLanePhase::Finished)
        lane.place = AudienceText(columns.Cell(team, ColPlatz));
    return lane;
}

// Before the reset the teams that follow the ones on the lanes, after it
// the teams now on the lanes.
QList<QList<AudienceTeam>> AudienceSource::NextUp(const ProtocolColumns &columns) const
{
    const ProtocolModel &protocol = *m_in.protocol;
    const int laneCount = m_in.laneCount();
    std::array<int, 2> rows = {protocol.LaneRow(0), laneCount > 1 ? protocol.LaneRow(1) : -1};
    if (m_heat != Heat::Finished && protocol.TeamCount() > 0)
        rows = protocol.FindNextTeams(laneCount, {rows[0], rows[1]}).rows;
    QList<QList<AudienceTeam>> next;
    for (int lane = 0; lane < laneCount; ++lane) {
        const int row = rows[std::size_t(lane)];
        next.append(row >= 0 ? QList<AudienceTeam>{AudienceTeamOf(columns, std::size_t(row))}
                             : QList<AudienceTeam>{});
    }
    return next;
}
