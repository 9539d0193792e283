// Several runs per team: each run's result in its own column, the team's
// score in "Total", the run the next heat records, the lane change between
// runs, teams set aside for a run and late entries.
#include "protocol/ProtocolModel.h"

#include "protocol/Penalties.h"
#include "text/NumericText.h"

#include <algorithm>

QString RunFinishedNotice(int finishedRun)
{
    return QStringLiteral("Lauf %1 beendet – weiter mit Lauf %2")
        .arg(finishedRun)
        .arg(finishedRun + 1);
}

namespace {

// The lanes column's text with the lane (0 or 1) noted for the run.
QString WithLaneOfRun(QString lanes, int runs, int run, int laneIndex)
{
    if (lanes.size() < runs)
        lanes += QString(runs - lanes.size(), u'-');
    lanes[run - 1] = QChar(u'1' + laneIndex);
    return lanes;
}

bool IsScoreMark(QStringView score)
{
    return score == DropOutMark || score == DisqualifiedMark;
}

} // namespace

// --- reading ------------------------------------------------------------------------

QStringView ProtocolModel::RunResult(int row, int run) const
{
    return Runs() < 2 ? Cell(row, ColZeit) : Cell(row, RunColumn(run));
}

int ProtocolModel::LaneOfRun(int row, int run) const
{
    const QStringView lanes = Cell(row, ColBahnen);
    if (run < 1 || run > lanes.size())
        return -1;
    const QChar lane = lanes[run - 1];
    return lane == u'1' || lane == u'2' ? lane.unicode() - u'1' : -1;
}

QStringList ProtocolModel::Classes() const
{
    std::vector<std::pair<NumericTextKey, QStringView>> classes;
    for (int row = 0; row < TeamCount(); ++row) {
        if (const QStringView klasse = Cell(row, ColKlasse).trimmed(); !klasse.isEmpty())
            classes.emplace_back(NumericTextKeyOf(klasse), klasse);
    }
    const auto compare = [](const auto &a, const auto &b) {
        return CompareNumericTextKeys(a.first, a.second, b.first, b.second);
    };
    std::stable_sort(classes.begin(), classes.end(),
                     [&](const auto &a, const auto &b) { return compare(a, b) < 0; });
    // "1" and "01" are one class, named as its first team has it.
    QStringList names;
    for (std::size_t k = 0; k < classes.size(); ++k) {
        if (k == 0 || compare(classes[k - 1], classes[k]) != 0)
            names << classes[k].second.toString();
    }
    return names;
}

bool ProtocolModel::RunHasWaitingTeam(int run) const
{
    for (int row = 0; row < TeamCount(); ++row) {
        if (IsBlankText(RunResult(row, run)))
            return true;
    }
    return false;
}

bool ProtocolModel::LaneChangeApplies(int laneCount) const
{
    return laneCount >= 2 && Runs() >= 2 && m_rounds.laneChange && m_currentRun >= 2;
}

int ProtocolModel::WantedLane(int row) const
{
    const int before = LaneOfRun(row, m_currentRun - 1);
    return before < 0 ? -1 : 1 - before;
}

bool ProtocolModel::LaterRunsHoldResults(int runs) const
{
    for (int run = std::max(runs, 0) + 1; run <= Runs(); ++run) {
        for (int row = 0; row < TeamCount(); ++row) {
            if (!IsBlankText(RunResult(row, run)))
                return true;
        }
    }
    return false;
}

// --- scores ---------------------------------------------------------------------------

QString ProtocolModel::ScoreOf(const std::array<QStringView, MaxRuns> &runs,
                               QStringView klasse) const
{
    return ScoreOfRuns(std::span(runs.data(), std::size_t(Runs())), m_rounds.ScoringOf(klasse));
}

void ProtocolModel::Rescore(ProtocolRow &cells) const
{
    if (Runs() < 2)
        return;
    std::array<QStringView, MaxRuns> runs{};
    for (int run = 1; run <= Runs(); ++run)
        runs[std::size_t(run - 1)] = cells[std::size_t(RunColumn(run))];
    cells[ColTotal] = ScoreOf(runs, cells[ColKlasse]);
    if (IsScoreMark(cells[ColTotal]))
        cells[ColPlatz] = cells[ColTotal];
}

void ProtocolModel::FoldIntoRun(ProtocolRow &cells, int run, int laneIndex) const
{
    if (Runs() < 2)
        return;
    cells[std::size_t(RunColumn(run))] = cells[ColTotal];
    if (laneIndex >= 0)
        cells[ColBahnen] = WithLaneOfRun(cells[ColBahnen], Runs(), run, laneIndex);
    Rescore(cells);
}

int ProtocolModel::LatestRunOf(const ProtocolRow &cells) const
{
    for (int run = Runs(); run >= 1; --run) {
        if (!IsBlankText(cells[std::size_t(RunColumn(run))]))
            return run;
    }
    return m_currentRun;
}

std::vector<int> ProtocolModel::RunsDoneForRanking() const
{
    // Every reset ranks: a race whose classes all score alike looks at no
    // class, one without a summed class counts nothing.
    const bool alike = m_rounds.classScoring.empty();
    if (Runs() < 2 || (alike && m_rounds.scoring != Scoring::Sum))
        return {};
    std::vector<int> done(m_columns.rows);
    for (int run = 1; run <= Runs(); ++run) {
        const ProtocolTextColumn &cells = m_columns.cells[std::size_t(RunColumn(run))];
        const std::size_t written =
            cells.NeverHeldText() ? 0 : std::min(done.size(), std::size_t(cells.Size()));
        for (std::size_t row = 0; row < written; ++row)
            done[row] += IsBlankText(cells.At(qsizetype(row))) ? 0 : 1;
    }
    for (std::size_t row = 0; !alike && row < done.size(); ++row) {
        if (m_rounds.ScoringOf(m_columns.Cell(row, ColKlasse)) != Scoring::Sum)
            done[row] = 0;
    }
    return done;
}

// Read where the texts lie: a long list is scored without copying its rows.
void ProtocolModel::RescoreAll()
{
    const Batch batch(*this);
    // A list of teams that have not run yet has nothing to score.
    const auto holdsText = [this](int column) {
        const ProtocolTextColumn &cells = m_columns.cells[std::size_t(column)];
        for (qsizetype row = 0; !cells.NeverHeldText() && row < cells.Size(); ++row) {
            if (!IsBlankText(cells.At(row)))
                return true;
        }
        return false;
    };
    bool anyScore = holdsText(ColTotal);
    for (int run = 1; run <= Runs() && !anyScore; ++run)
        anyScore = holdsText(RunColumn(run));
    if (anyScore && Runs() >= 2) {
        // The scores go into a column of their own, written in one go
        // rather than a cell at a time over the old one.
        ProtocolTextColumn totals;
        totals.Reserve(RowCount(), qsizetype(RowCount()) * 6);
        for (int row = 0; row < RowCount(); ++row) {
            std::array<QStringView, MaxRuns> runs{};
            for (int run = 1; run <= Runs(); ++run) {
                // A run cell of blanks (as files write an empty cell) is no run.
                const QStringView cell = Cell(row, RunColumn(run));
                if (IsBlankText(cell) && !cell.isEmpty())
                    SetCell(row, RunColumn(run), {});
                runs[std::size_t(run - 1)] = Cell(row, RunColumn(run));
            }
            const QString score = ScoreOf(runs, Cell(row, ColKlasse));
            totals.Append(score);
            if (IsScoreMark(score) && score != Cell(row, ColPlatz))
                SetCell(row, ColPlatz, score);
        }
        totals.Squeeze();
        m_columns.cells[ColTotal] = std::move(totals);
    }
    Rank();
}

// --- the number of runs -------------------------------------------------------------------

void ProtocolModel::SpreadIntoRuns(int runs)
{
    const int before = Runs();
    m_columns.runs = runs;
    if ((before >= 2) == (runs >= 2)) {
        // Runs that go hold nothing: their columns are emptied all the same.
        for (int run = runs + 1; run <= before; ++run)
            m_columns.cells[std::size_t(RunColumn(run))] = {};
        return;
    }
    for (int row = 0; row < RowCount(); ++row) {
        if (runs >= 2) {
            // The one run so far becomes run 1, its total the run's result.
            if (!IsBlankText(Cell(row, ColZeit)))
                SetCell(row, ColLauf1, Cell(row, ColTotal).toString());
        } else {
            SetCell(row, ColTotal, Cell(row, ColLauf1).toString());
        }
    }
    if (runs < 2) {
        for (int column = ColLauf1; column <= ColBahnen; ++column)
            m_columns.cells[std::size_t(column)] = {};
    }
}

bool ProtocolModel::SetRounds(const RoundsSetup &rounds)
{
    const int runs = std::clamp(rounds.runs, 1, MaxRuns);
    if (runs < Runs() && LaterRunsHoldResults(runs))
        return false;
    if (rounds == m_rounds && runs == Runs())
        return true;
    const Batch batch(*this);
    m_rounds = rounds;
    m_rounds.runs = runs;
    if (runs != Runs()) {
        SpreadIntoRuns(runs);
        m_currentRun = std::min(m_currentRun, runs);
        Note(HasProtocol() ? Change::Content : Change::Lanes);
    }
    if (HasProtocol())
        RescoreAll();
    return true;
}

void ProtocolModel::ChooseRun(int run, int laneCount)
{
    const Batch batch(*this);
    m_currentRun = std::clamp(run, 1, Runs());
    Note(Change::Lanes);
    const NextTeams next = FindNextTeams(laneCount);
    for (int laneIndex = 0; laneIndex < laneCount; ++laneIndex)
        SetLaneRow(laneIndex, next.rows[std::size_t(laneIndex)]);
}

// --- teams --------------------------------------------------------------------------------

bool ProtocolModel::SetAsideLaneTeam(int laneIndex)
{
    const Batch batch(*this);
    if (!ChangeLaneRow(laneIndex, QStringLiteral("Nicht angetreten"),
                       [](ProtocolRow &cells) { WriteResultMark(cells, NotStartedMark); }))
        return false;
    const int next = NextTeamBeside(LaneRow(1 - laneIndex), laneIndex);
    SetLaneRow(laneIndex, next >= 0 ? next : LaneRow(laneIndex));
    return true;
}
