#include "protocol/ProtocolModel.h"

#include "protocol/Penalties.h"
#include "protocol/Ranking.h"
#include "race/RaceTime.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <span>
#include <utility>

namespace {

// A column's cells as RankRows reads them, one for each row.
std::vector<QStringView> CellsOf(const ProtocolColumns &columns, int column)
{
    std::vector<QStringView> cells(columns.rows);
    for (std::size_t row = 0; row < columns.rows; ++row)
        cells[row] = columns.Cell(row, column);
    return cells;
}

// Row k of the result takes the item from[k].
template <typename Item>
std::vector<Item> Reordered(std::vector<Item> &items, const std::vector<int> &from)
{
    std::vector<Item> ordered;
    ordered.reserve(items.size());
    for (const int k : from)
        ordered.push_back(std::move(items[std::size_t(k)]));
    return ordered;
}

// Every row stays where it is.
bool KeepsEveryRow(const std::vector<int> &from)
{
    for (std::size_t k = 0; k < from.size(); ++k) {
        if (from[k] != int(k))
            return false;
    }
    return true;
}

std::vector<int> IdentityOrder(std::size_t rows)
{
    std::vector<int> order(rows);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

ProtocolModel::ProtocolModel(QObject *parent) : QObject(parent)
{
    m_undo.setUndoLimit(UndoDepth);
}

ProtocolModel::~ProtocolModel() = default;

ProtocolModel::Batch::~Batch()
{
    if (--m_model.m_batchDepth == 0 && std::exchange(m_model.m_changePending, false))
        m_model.Notify();
}

// --- change notification ----------------------------------------------------------

void ProtocolModel::Note(Change change, int row)
{
    if (change == Change::Content || change == Change::Row)
        m_modified = true;
    if (change == Change::Content)
        m_pendingChange.cellsEdited = true;
    if (change == Change::Row)
        m_pendingChange.rows.push_back(row);
    else if (change != Change::Lanes)
        m_pendingChange.wholeTable = true;
    if (change == Change::Content || change == Change::Arrangement)
        m_orderLost = true;
    if (m_batchDepth > 0)
        m_changePending = true;
    else
        Notify();
}

void ProtocolModel::NoteTextsBack()
{
    m_pendingChange.cellsEdited = true;
    Note(Change::Arrangement);
}

void ProtocolModel::NoteMoved(const std::vector<int> &from)
{
    std::vector<int> &moved = m_pendingChange.movedFrom;
    if (moved.empty())
        moved = from;
    else
        moved = Reordered(moved, from);
    m_pendingChange.wholeTable = true;
    if (m_batchDepth > 0)
        m_changePending = true;
    else
        Notify();
}

void ProtocolModel::Notify()
{
    ProtocolChange change = std::exchange(m_pendingChange, {});
    // A row's cells that changed within a change of the whole table (a
    // time taken back, then the ranking) exist nowhere else either.
    if (change.wholeTable && !change.rows.empty())
        change.cellsEdited = true;
    if (std::exchange(m_orderLost, false))
        change.movedFrom.clear();
    emit changed(change);
}

// --- reading -------------------------------------------------------------------------

QStringView ProtocolModel::Cell(int row, int column) const
{
    return row >= 0 && row < RowCount() ? m_columns.Cell(std::size_t(row), column) : QStringView();
}

ProtocolRow ProtocolModel::Row(int row) const
{
    ProtocolRow cells;
    for (int column = 0; column < ProtocolCellCount; ++column)
        cells[std::size_t(column)] = Cell(row, column).toString();
    return cells;
}

ProtocolTable ProtocolModel::Table() const
{
    return RowsOf(m_columns);
}

CellTable ProtocolModel::Shown() const
{
    return {1 + std::max(1, RowCount()), ColumnCount(), [this](qsizetype row, qsizetype column) {
                return row == 0 ? QStringView(ColumnHeader(int(column)))
                                : Cell(int(row - 1), int(column));
            }};
}

bool ProtocolModel::HasProtocol() const
{
    for (const ProtocolTextColumn &cells : m_columns.cells) {
        const qsizetype end = std::min(cells.Size(), qsizetype(m_columns.rows));
        for (qsizetype row = 0; row < end; ++row) {
            if (!cells.At(row).isEmpty())
                return true;
        }
    }
    return false;
}

int ProtocolModel::RowOf(RowId id) const
{
    const auto found = std::find(m_ids.begin(), m_ids.end(), id);
    return found == m_ids.end() ? -1 : int(found - m_ids.begin());
}

std::vector<int> ProtocolModel::StartOrder() const
{
    for (std::size_t k = 0; k < m_startPlaces.size(); ++k) {
        if (m_startPlaces[k] != int(k))
            return m_startPlaces;
    }
    return {};
}

namespace {

// The row first in start order among those accepted; -1 when none is.
template <typename Accepted>
int FirstInStartOrder(const std::vector<int> &places, Accepted accepted)
{
    int first = -1;
    int firstPlace = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < places.size(); ++k) {
        if (places[k] < firstPlace && accepted(int(k))) {
            first = int(k);
            firstPlace = places[k];
        }
    }
    return first;
}

} // namespace

NextTeams ProtocolModel::FindNextTeams(int laneCount, const std::vector<int> &runningRows) const
{
    const auto waiting = [&](int row) {
        return IsBlankText(RunResult(row, m_currentRun)) &&
               std::find(runningRows.begin(), runningRows.end(), row) == runningRows.end();
    };
    NextTeams next;
    // With a lane change the first waiting team takes the lane it has to
    // change to, and beside it runs the next team that needs the other one
    // (its partner of the run before, unless that one was set aside).
    const int first = LaneChangeApplies(laneCount) ? FirstInStartOrder(m_startPlaces, waiting) : -1;
    if (first >= 0) {
        const int lane = std::max(0, WantedLane(first));
        const auto beside = [&](int row) { return row != first && waiting(row); };
        int partner = FirstInStartOrder(
            m_startPlaces, [&](int row) { return beside(row) && WantedLane(row) != lane; });
        if (partner < 0)
            partner = FirstInStartOrder(m_startPlaces, beside);
        if (partner < 0) {
            partner = FirstInStartOrder(m_startPlaces, [&](int row) { return row != first; });
            next.startedOver[std::size_t(1 - lane)] = partner >= 0;
        }
        next.rows[std::size_t(lane)] = first;
        next.rows[std::size_t(1 - lane)] = partner;
        return next;
    }
    for (int lane = 0; lane < std::min(laneCount, 2); ++lane) {
        const int otherLane = lane == 0 ? -1 : next.rows[0];
        const auto free = [&](int row) { return row != otherLane; };
        int row = FirstInStartOrder(
            m_startPlaces, [&](int candidate) { return free(candidate) && waiting(candidate); });
        if (row < 0) {
            row = FirstInStartOrder(m_startPlaces, free);
            next.startedOver[std::size_t(lane)] = row >= 0;
        }
        next.rows[std::size_t(lane)] = row;
    }
    return next;
}

// The other lane's team counts as running; a lane that starts over has
// found no team without a result.
int ProtocolModel::NextTeamBeside(int otherLaneRow, int laneIndex, bool startingOver) const
{
    if (laneIndex >= 0 && LaneChangeApplies(2)) {
        const int row = FirstInStartOrder(m_startPlaces, [&](int candidate) {
            return candidate != otherLaneRow && IsBlankText(RunResult(candidate, m_currentRun)) &&
                   WantedLane(candidate) != 1 - laneIndex;
        });
        if (row >= 0)
            return row;
    }
    const NextTeams next = FindNextTeams(1, {otherLaneRow});
    return next.startedOver[0] && !startingOver ? -1 : next.rows[0];
}

// --- writing -------------------------------------------------------------------------

// A column that stops short grows to all rows once it is written.
void ProtocolModel::SetCell(int row, int column, QStringView text)
{
    ProtocolTextColumn &cells = m_columns.cells[std::size_t(column)];
    if (cells.Size() < RowCount())
        cells.Resize(RowCount());
    cells.Set(row, text);
}

void ProtocolModel::WriteRow(int row, const ProtocolRow &cells)
{
    for (int column = 0; column < ProtocolCellCount; ++column) {
        if (Cell(row, column) != cells[std::size_t(column)])
            SetCell(row, column, cells[std::size_t(column)]);
    }
}

void ProtocolModel::ApplyOrder(const std::vector<int> &from)
{
    const std::size_t rows = m_columns.rows;
    // Rows that stay put leave a column that is shared with a picture alone.
    if (KeepsEveryRow(from))
        return;
    for (ProtocolTextColumn &cells : m_columns.cells) {
        if (cells.Size() > 0) // else nothing but blanks to move
            cells.Permute(from);
    }
    m_startPlaces = Reordered(m_startPlaces, from);
    m_ids = Reordered(m_ids, from);
    std::vector<int> newRow(rows, -1);
    for (std::size_t k = 0; k < from.size(); ++k)
        newRow[std::size_t(from[k])] = int(k);
    for (int &lane : m_laneRows)
        lane = lane >= 0 && lane < int(rows) ? newRow[std::size_t(lane)] : -1;
}

void ProtocolModel::InsertRow(int row, RowId id, const ProtocolRow &cells, int startPlace)
{
    for (int column = 0; column < ProtocolCellCount; ++column) {
        ProtocolTextColumn &texts = m_columns.cells[std::size_t(column)];
        if (texts.Size() < RowCount())
            texts.Resize(RowCount());
        texts.Insert(row, cells[std::size_t(column)]);
    }
    ++m_columns.rows;
    m_ids.insert(m_ids.begin() + row, id);
    m_startPlaces.insert(m_startPlaces.begin() + row, startPlace);
    for (int &lane : m_laneRows) {
        if (lane >= row)
            ++lane;
    }
}

void ProtocolModel::TakeOutRow(int row)
{
    for (ProtocolTextColumn &cells : m_columns.cells)
        cells.Remove(row);
    --m_columns.rows;
    m_ids.erase(m_ids.begin() + row);
    m_startPlaces.erase(m_startPlaces.begin() + row);
    for (int &lane : m_laneRows)
        lane = lane == row ? -1 : lane > row ? lane - 1 : lane;
}

void ProtocolModel::ReplaceRows(ProtocolColumns columns, std::vector<int> startPlaces,
                                std::vector<RowId> ids)
{
    m_columns = std::move(columns);
    m_startPlaces = std::move(startPlaces);
    m_ids = std::move(ids);
    m_laneRows = {-1, -1};
}

void ProtocolModel::FollowDecimalMarkOfTimes()
{
    for (int row = 0; row < RowCount(); ++row) {
        for (const int column : {ColZeit, ColStrafzeit, ColTotal, ColLauf1, ColLauf2}) {
            if (const std::optional<QChar> mark = DecimalMarkOfRaceTime(Cell(row, column))) {
                SetRaceTimeDecimalMark(mark);
                return;
            }
        }
    }
    SetRaceTimeDecimalMark(std::nullopt);
}

std::vector<ProtocolModel::RowId> ProtocolModel::NewIds(std::size_t rows)
{
    std::vector<RowId> ids(rows);
    for (RowId &id : ids)
        id = m_nextId++;
    return ids;
}

// --- the whole protocol ----------------------------------------------------------------

void ProtocolModel::LoadList(ProtocolColumns columns)
{
    const Batch batch(*this);
    Note(Change::Arrangement);
    m_undo.clear();
    // The rows of the lowest class first, those of one class as listed.
    std::vector<int> places(columns.rows);
    const std::vector<QStringView> noTotals(columns.rows);
    const RankedRows byClass = RankRows(CellsOf(columns, ColKlasse), noTotals);
    for (std::size_t place = 0; place < byClass.previousIndex.size(); ++place)
        places[byClass.previousIndex[place]] = int(place);
    const std::size_t rows = columns.rows;
    const int runs = std::max(columns.runs, m_rounds.runs);
    ReplaceRows(std::move(columns), std::move(places), NewIds(rows));
    m_rounds.runs = runs;
    m_currentRun = 1;
    SpreadIntoRuns(runs);
    // The scores take the decimal mark of the list's times.
    FollowDecimalMarkOfTimes();
    RescoreAll();
    m_modified = false;
    emit replaced();
}

void ProtocolModel::Restore(ProtocolTable rows, const std::vector<int> &startOrder, int lane1,
                            int lane2, bool modified, int runs, int currentRun)
{
    const Batch batch(*this);
    Note(Change::Arrangement);
    ProtocolColumns columns = ColumnsOf(rows);
    std::vector<int> places = IdentityOrder(rows.size());
    for (std::size_t k = 0; k < places.size() && k < startOrder.size(); ++k)
        places[k] = startOrder[k];
    columns.runs = std::clamp(runs, 1, MaxRuns);
    ReplaceRows(std::move(columns), std::move(places), NewIds(rows.size()));
    m_rounds.runs = Runs();
    m_currentRun = std::clamp(currentRun, 1, Runs());
    FollowDecimalMarkOfTimes();
    SetLaneRows(lane1, lane2);
    m_modified = modified;
    emit replaced();
}

void ProtocolModel::MarkSaved()
{
    m_modified = false;
    Note(Change::Lanes);
}

// --- rows ------------------------------------------------------------------------------

bool ProtocolModel::RecordLaneTime(int laneIndex, int column, const QString &text)
{
    // The lane's row, never another row that happens to show the same
    // start number: numbers repeat across classes and edits change them.
    const int row = LaneRow(laneIndex);
    if (row < 0)
        return false;
    const Batch batch(*this);
    const ProtocolRow before = Row(row);
    // With several runs the run's own cell tells a re-run, "Zeit" may hold the run before.
    const bool replaces = !IsBlankText(Runs() < 2 ? QStringView(before[std::size_t(column)])
                                                  : RunResult(row, m_currentRun));
    ProtocolRow cells = before;
    cells[std::size_t(column)] = text;
    cells[std::size_t(column) + 1] = FormatRaceTime(0);
    cells[std::size_t(column) + 2] = text;
    FoldIntoRun(cells, m_currentRun, laneIndex);
    WriteRow(row, cells);
    Note(Change::Row, row);
    if (replaces)
        PushRowChange(QStringLiteral("Zeit ersetzt"), row, before);
    return true;
}

bool ProtocolModel::ChangeLaneRow(int laneIndex, const QString &what,
                                  const std::function<void(ProtocolRow &)> &change)
{
    const int row = LaneRow(laneIndex);
    if (row < 0)
        return false;
    const ProtocolRow before = Row(row);
    ProtocolRow cells = before;
    change(cells);
    FoldIntoRun(cells, m_currentRun, laneIndex);
    const Batch batch(*this);
    WriteRow(row, cells);
    Note(Change::Row, row);
    PushRowChange(what, row, before);
    return true;
}

void ProtocolModel::TypeCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= RowCount() || Cell(row, column) == text)
        return;
    SetCell(row, column, text);
    Note(Change::Row, row);
}

void ProtocolModel::FinishHandEdit(int row, int column, const QString &before)
{
    if (row < 0 || row >= RowCount())
        return;
    ProtocolRow previous = Row(row);
    previous[std::size_t(column)] = before;
    ProtocolRow cells = Row(row);
    DeriveTotalAfterHandEdit(cells, column);
    if (column == ColZeit || column == ColStrafzeit)
        FoldIntoRun(cells, LatestRunOf(cells));
    else if (IsRunColumn(column))
        Rescore(cells);
    const Batch batch(*this);
    WriteRow(row, cells);
    Note(Change::Row, row);
    PushRowChange(QStringLiteral("Zelle geändert"), row, previous);
}

std::array<int, 2> ProtocolModel::RemoveRow(int row)
{
    std::array<int, 2> moved = {-1, -1};
    if (row < 0 || row >= RowCount())
        return moved;
    const Batch batch(*this);
    Note(Change::Content);
    const std::array<bool, 2> lost = {LaneRow(0) == row, LaneRow(1) == row};
    PushRemovedRow(row, lost);
    TakeOutRow(row);
    Rank();
    if (!HasProtocol()) {
        m_laneRows = {-1, -1};
        return moved;
    }
    for (const std::size_t lane : {0u, 1u}) {
        const int next = lost[lane] ? NextTeamBeside(m_laneRows[1 - lane], int(lane)) : -1;
        if (next >= 0)
            m_laneRows[lane] = moved[lane] = next;
    }
    return moved;
}

// The rows are ranked where they stand: they move into their ranked order
// and only the places that change are written.
void ProtocolModel::Rank()
{
    const Batch batch(*this);
    const RankedRows ranked = RankRows(CellsOf(m_columns, ColKlasse), CellsOf(m_columns, ColTotal),
                                       m_startPlaces, RunsDoneForRanking());
    const std::vector<int> from(ranked.previousIndex.begin(), ranked.previousIndex.end());
    ApplyOrder(from);
    NoteMoved(from);
    for (std::size_t k = 0; k < ranked.places.size(); ++k) {
        const QStringView before = Cell(int(k), ColPlatz);
        if (const QString place = PlaceText(ranked.places[k], before); place != before)
            SetCell(int(k), ColPlatz, place);
    }
}

void ProtocolModel::Reorder(const std::vector<int> &from)
{
    if (from.size() != m_columns.rows)
        return;
    ApplyOrder(from);
    NoteMoved(from);
}

// --- lanes ------------------------------------------------------------------------------

void ProtocolModel::SetLaneRow(int laneIndex, int row)
{
    const int team = row >= 0 && row < TeamCount() ? row : -1;
    if (std::exchange(m_laneRows[std::size_t(laneIndex)], team) != team)
        Note(Change::Lanes);
}

void ProtocolModel::SetLaneRows(int lane1, int lane2)
{
    const Batch batch(*this);
    SetLaneRow(0, lane1);
    SetLaneRow(1, lane2);
}

void ProtocolModel::SwapLanes()
{
    std::swap(m_laneRows[0], m_laneRows[1]);
    Note(Change::Lanes);
}

QString ProtocolModel::PutLanesOnNextTeams(int laneCount, int racingLanes)
{
    const Batch batch(*this);
    QString notice;
    while (m_currentRun < Runs() && HasProtocol() && !RunHasWaitingTeam(m_currentRun)) {
        notice = RunFinishedNotice(m_currentRun++);
        Note(Change::Lanes);
    }
    const NextTeams next = FindNextTeams(laneCount);
    bool startedOver = false;
    for (int laneIndex = 0; laneIndex < laneCount; ++laneIndex) {
        const auto lane = std::size_t(laneIndex);
        SetLaneRow(laneIndex, next.rows[lane]);
        startedOver = startedOver || (next.startedOver[lane] && laneIndex < racingLanes);
    }
    return startedOver && notice.isEmpty() ? StartedOverNotice : notice;
}

QString ProtocolModel::Description(const QString &what, const ProtocolRow &team)
{
    return QStringLiteral("%1 Team %2 %3").arg(what, team[ColNr], team[ColTeamName]);
}
