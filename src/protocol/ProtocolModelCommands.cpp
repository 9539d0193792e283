// The changes of the protocol the operator can take back (Ctrl+Z), newest
// first: a row's cells (a penalty, "Ausfall", "Disqulifikation", an edited
// cell, a re-run's replaced time, a team set aside), a removed row, a late
// entry and the cleared protocol.
// Each finds its rows by identity, so the sorts and rankings in between do
// not matter. Loading a list ends the history.
#include "protocol/ProtocolModel.h"

#include "text/NumericText.h"

#include <algorithm>
#include <utility>

class ProtocolModel::Command : public QUndoCommand
{
public:
    Command(ProtocolModel &model, const QString &text) : QUndoCommand(text), m_model(model) {}

    // Only the cells of one row change, as the lane buttons write them:
    // that much can be taken back while a heat runs.
    virtual bool OnlyCells() const { return false; }
    // The protocol is ranked anew once the change is taken back.
    virtual bool RanksAfter() const { return true; }
    // What the change concerns is still in the protocol.
    virtual bool Reachable() const { return true; }

    // The change was made before the command was pushed: the push's redo
    // leaves it be.
    void redo() override
    {
        if (!std::exchange(m_pushed, true))
            return;
        Redo();
    }

protected:
    virtual void Redo() = 0;

    ProtocolModel &m_model;

private:
    bool m_pushed = false;
};

class ProtocolModel::RowCommand : public Command
{
public:
    RowCommand(ProtocolModel &model, const QString &what, int row, const ProtocolRow &before)
        : Command(model, Description(what, before)), m_id(model.IdOf(row)), m_before(before),
          m_after(model.Row(row))
    {}

    bool OnlyCells() const override { return true; }
    bool Reachable() const override { return m_model.RowOf(m_id) >= 0; }

    // Only the cells the change wrote go back; the others may have changed
    // since (a place by the ranking).
    void undo() override { Write(m_before); }

protected:
    void Redo() override { Write(m_after); }

private:
    void Write(const ProtocolRow &cells)
    {
        const int row = m_model.RowOf(m_id);
        if (row < 0)
            return;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (m_before[column] != m_after[column])
                m_model.SetCell(row, int(column), cells[column]);
        }
        m_model.Note(Change::Row, row);
    }

    RowId m_id;
    ProtocolRow m_before;
    ProtocolRow m_after;
};

// The row comes back where it stood, and onto the lanes that lost it (and
// went on to the next team).
class ProtocolModel::RemovedRowCommand : public Command
{
public:
    RemovedRowCommand(ProtocolModel &model, int row, const std::array<bool, 2> &lost)
        : Command(model, Description(QStringLiteral("Zeile entfernt"), model.Row(row))), m_row(row),
          m_id(model.IdOf(row)), m_cells(model.Row(row)),
          m_startPlace(model.StartPlaces()[std::size_t(row)]), m_lost(lost)
    {}

    void undo() override
    {
        const int row = std::min(m_row, m_model.RowCount());
        m_model.InsertRow(row, m_id, m_cells, m_startPlace);
        for (std::size_t lane = 0; lane < m_lost.size(); ++lane) {
            if (m_lost[lane])
                m_model.m_laneRows[lane] = row;
        }
        m_model.NoteTextsBack();
    }

protected:
    void Redo() override
    {
        const int row = m_model.RowOf(m_id);
        if (row < 0)
            return;
        m_model.TakeOutRow(row);
        m_model.Note(Change::Content);
    }

private:
    int m_row;
    RowId m_id;
    ProtocolRow m_cells;
    int m_startPlace;
    std::array<bool, 2> m_lost;
};

// The whole protocol, shared with the columns it held rather than copied.
class ProtocolModel::ClearedCommand : public Command
{
public:
    explicit ClearedCommand(ProtocolModel &model)
        : Command(model, QStringLiteral("Protokoll gelöscht")), m_columns(model.m_columns),
          m_startPlaces(model.m_startPlaces), m_ids(model.m_ids), m_lanes(model.m_laneRows),
          m_modified(model.Modified())
    {}

    bool RanksAfter() const override { return false; }

    void undo() override
    {
        m_model.ReplaceRows(m_columns, m_startPlaces, m_ids);
        m_model.m_laneRows = m_lanes;
        m_model.m_modified = m_modified;
        m_model.NoteTextsBack();
    }

protected:
    void Redo() override { m_model.Empty(); }

private:
    ProtocolColumns m_columns;
    std::vector<int> m_startPlaces;
    std::vector<RowId> m_ids;
    std::array<int, 2> m_lanes;
    bool m_modified;
};

void ProtocolModel::PushRowChange(const QString &what, int row, const ProtocolRow &before)
{
    m_undo.push(new RowCommand(*this, what, row, before));
}

void ProtocolModel::PushRemovedRow(int row, const std::array<bool, 2> &lost)
{
    m_undo.push(new RemovedRowCommand(*this, row, lost));
}

void ProtocolModel::Clear()
{
    const Batch batch(*this);
    m_undo.push(new ClearedCommand(*this));
    Empty();
    emit replaced();
}

void ProtocolModel::Empty()
{
    ReplaceRows({}, {}, {});
    // The runs are the race's, not the list's.
    m_columns.runs = m_rounds.runs;
    Note(Change::Content);
}

TakenBack ProtocolModel::TakeBack(bool heatInProgress)
{
    if (m_undo.index() == 0)
        return {};
    const auto *command = static_cast<const Command *>(m_undo.command(m_undo.index() - 1));
    TakenBack taken{TakenBack::Outcome::Done, command->text()};
    if (!command->OnlyCells() && heatInProgress) {
        taken.outcome = TakenBack::Outcome::AfterHeat;
        return taken;
    }
    const Batch batch(*this);
    if (!command->Reachable()) {
        // Dropped all the same: it can never be taken back.
        taken.outcome = TakenBack::Outcome::Gone;
        m_undo.undo();
        return taken;
    }
    const bool ranks = command->RanksAfter();
    m_undo.undo();
    // The places follow at once, but during a heat: its reset ranks.
    taken.ranked = ranks && !heatInProgress;
    if (taken.ranked)
        Rank();
    return taken;
}

// A late entry: it joins the start order at its place, the teams behind
// it move one place on, and back when it goes again.
class ProtocolModel::AddedRowCommand : public Command
{
public:
    AddedRowCommand(ProtocolModel &model, RowId id, const ProtocolRow &cells, int startPlace)
        : Command(model, Description(QStringLiteral("Nachmeldung"), cells)), m_id(id),
          m_cells(cells), m_startPlace(startPlace)
    {}

    void undo() override
    {
        const int row = m_model.RowOf(m_id);
        if (row < 0)
            return;
        const std::array<bool, 2> lost = {m_model.LaneRow(0) == row, m_model.LaneRow(1) == row};
        m_model.TakeOutRow(row);
        for (int &place : m_model.m_startPlaces)
            place -= place > m_startPlace ? 1 : 0;
        for (const std::size_t lane : {0u, 1u}) {
            if (lost[lane])
                m_model.m_laneRows[lane] =
                    m_model.NextTeamBeside(m_model.m_laneRows[1 - lane], int(lane), true);
        }
        m_model.Note(Change::Content);
    }

    // Made by the push: the row is added then.
    void redo() override
    {
        for (int &place : m_model.m_startPlaces)
            place += place >= m_startPlace ? 1 : 0;
        m_model.InsertRow(m_model.RowCount(), m_id, m_cells, m_startPlace);
        // A lane without a team, or gone back to one with a result, takes
        // the new one.
        for (const int lane : {0, 1}) {
            const int row = m_model.LaneRow(lane);
            if (row < 0 || !IsBlankText(m_model.RunResult(row, m_model.CurrentRun()))) {
                m_model.m_laneRows[std::size_t(lane)] = m_model.RowCount() - 1;
                break;
            }
        }
        m_model.Note(Change::Content);
        m_model.Rank();
    }

protected:
    void Redo() override {}

private:
    RowId m_id;
    ProtocolRow m_cells;
    int m_startPlace;
};

namespace {

// Where a team of the class joins the start order: behind the last team of
// its class, or behind the last one of a lower class.
int LateEntryPlace(const ProtocolColumns &columns, const std::vector<int> &places,
                   QStringView klasse)
{
    const NumericTextKey key = NumericTextKeyOf(klasse);
    int place = 0;
    for (std::size_t row = 0; row < columns.rows; ++row) {
        const QStringView other = columns.Cell(row, ColKlasse);
        if (CompareNumericTextKeys(NumericTextKeyOf(other), other, key, klasse) <= 0)
            place = std::max(place, places[row] + 1);
    }
    return place;
}

} // namespace

int ProtocolModel::AddLateEntry(const ProtocolRow &team)
{
    ProtocolRow cells{};
    for (int column = ColNr; column <= ColBeifahrer2; ++column)
        cells[std::size_t(column)] = team[std::size_t(column)];
    const Batch batch(*this);
    const int place = LateEntryPlace(m_columns, m_startPlaces, cells[ColKlasse]);
    const RowId id = m_nextId++;
    m_undo.push(new AddedRowCommand(*this, id, cells, place));
    return RowOf(id);
}
