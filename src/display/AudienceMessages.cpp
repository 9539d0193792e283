#include "display/AudienceMessages.h"

#include "race/RaceTime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString PhaseName(AudienceLanePhase phase)
{
    switch (phase) {
    case AudienceLanePhase::Empty:
        return QStringLiteral("empty");
    case AudienceLanePhase::Ready:
        return QStringLiteral("ready");
    case AudienceLanePhase::Running:
        return QStringLiteral("running");
    case AudienceLanePhase::Stopped:
        return QStringLiteral("stopped");
    case AudienceLanePhase::Finished:
        return QStringLiteral("finished");
    }
    return QStringLiteral("empty");
}

QJsonObject TeamObject(const AudienceTeam &team)
{
    return {{"nr", team.nr},
            {"teamName", team.teamName},
            {"klasse", team.klasse},
            {"fahrer", team.fahrer}};
}

// A lane's runs and score travel only with several runs per team: with one
// run the message stays as it always was.
QJsonArray LanesArray(const QList<AudienceLane> &lanes)
{
    QJsonArray array;
    for (const AudienceLane &lane : lanes) {
        QJsonObject object{
            {"lane", lane.lane},  {"phase", PhaseName(lane.phase)}, {"team", TeamObject(lane.team)},
            {"time", lane.time},  {"penalty", lane.penalty},        {"result", lane.result},
            {"place", lane.place}};
        if (!lane.runs.isEmpty())
            object.insert("runs", QJsonArray::fromStringList(lane.runs));
        if (!lane.score.isEmpty())
            object.insert("score", lane.score);
        array.append(object);
    }
    return array;
}

QJsonArray NextUpArray(const QList<QList<AudienceTeam>> &nextUp)
{
    QJsonArray lanes;
    for (const QList<AudienceTeam> &teams : nextUp) {
        QJsonArray array;
        for (const AudienceTeam &team : teams)
            array.append(TeamObject(team));
        lanes.append(array);
    }
    return lanes;
}

QJsonArray StandingsArray(const QList<AudienceClassStandings> &standings)
{
    QJsonArray classes;
    for (const AudienceClassStandings &klasse : standings) {
        QJsonArray rows;
        for (const AudienceStandingsRow &row : klasse.rows)
            rows.append(QJsonObject{{"platz", row.platz},
                                    {"nr", row.nr},
                                    {"teamName", row.teamName},
                                    {"total", row.total}});
        classes.append(QJsonObject{{"klasse", klasse.klasse}, {"rows", rows}});
    }
    return classes;
}

// Milliseconds each running lane has run at nowTick.
QJsonArray ClockArray(const QList<AudienceLane> &lanes, std::uint32_t nowTick)
{
    QJsonArray clock;
    for (const AudienceLane &lane : lanes)
        if (lane.phase == AudienceLanePhase::Running)
            clock.append(QJsonObject{{"lane", lane.lane},
                                     {"elapsed", qint64(ElapsedMs(lane.startTick, nowTick))}});
    return clock;
}

QByteArray Message(QJsonObject message, const AudienceView &view, std::uint32_t nowTick)
{
    return AudienceMessages::WithClock(QJsonDocument(message).toJson(QJsonDocument::Compact), view,
                                       nowTick);
}

} // namespace

namespace AudienceMessages {

QByteArray WholeSections(const AudienceView &view, const QString &decimalPoint)
{
    QJsonObject whole{{"whole", true},
                      // The running clock writes its seconds as the protocol does.
                      {"decimalPoint", decimalPoint},
                      {"lanes", LanesArray(view.lanes)},
                      {"nextUp", NextUpArray(view.nextUp)},
                      {"standings", StandingsArray(view.standings)},
                      {"showStandings", view.showStandings}};
    // Without it the page shows no run: one run per team.
    if (!view.run.isEmpty())
        whole.insert("run", view.run);
    return QJsonDocument(whole).toJson(QJsonDocument::Compact);
}

QByteArray WithClock(const QByteArray &message, const AudienceView &view, std::uint32_t nowTick)
{
    const QByteArray clock =
        "\"clock\":" +
        QJsonDocument(ClockArray(view.lanes, nowTick)).toJson(QJsonDocument::Compact);
    return message.chopped(1) + (message.size() > 2 ? "," : "") + clock + "}";
}

QByteArray Changes(const AudienceView &before, const AudienceView &after, std::uint32_t nowTick)
{
    QJsonObject message;
    if (after.lanes != before.lanes)
        message.insert("lanes", LanesArray(after.lanes));
    if (after.nextUp != before.nextUp)
        message.insert("nextUp", NextUpArray(after.nextUp));
    if (after.standings != before.standings)
        message.insert("standings", StandingsArray(after.standings));
    if (after.showStandings != before.showStandings)
        message.insert("showStandings", after.showStandings);
    // Back to one run: "" takes the run off the page.
    if (after.run != before.run)
        message.insert("run", after.run);
    if (message.isEmpty())
        return {};
    return Message(message, after, nowTick);
}

QByteArray KeepAlive(const AudienceView &view, std::uint32_t nowTick)
{
    return Message({}, view, nowTick);
}

} // namespace AudienceMessages
