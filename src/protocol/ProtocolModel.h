// The results protocol: each team's row of texts in the protocol's
// columns, its place in the start order, the team on each lane and whether
// anything is unsaved. Every rule of the protocol acts here (recording,
// penalties and marks, hand edits, ranking, who runs next, removals,
// loading and restoring); the grid, the lane selectors, the journal, the
// files and the audience read it and hear of every change through one
// signal. What the operator can take back is kept as commands on an undo
// stack, which find their rows by identity, whatever moved in between.
#pragma once

#include "protocol/ProtocolChange.h"
#include "protocol/ProtocolFiles.h"
#include "protocol/ProtocolTable.h"
#include "protocol/Rounds.h"

#include <QObject>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

inline const QString StartedOverNotice =
    QStringLiteral("Ende der Starterliste: wieder die ersten Teams");
// "Lauf 1 beendet – weiter mit Lauf 2"
QString RunFinishedNotice(int finishedRun);

struct NextTeams
{
    // The rows of lane 1's and lane 2's next team, -1 for none.
    std::array<int, 2> rows = {-1, -1};
    // The lane found no team left to run and went back to the first teams.
    std::array<bool, 2> startedOver = {false, false};
};

// What taking back the newest change came to.
struct TakenBack
{
    enum class Outcome {
        Nothing,   // nothing left to take back
        AfterHeat, // only a row's cells can be taken back while a heat runs
        Gone,      // its row is no longer in the protocol
        Done,
    };
    Outcome outcome = Outcome::Nothing;
    QString what;        // "Ausfall Team 12 Blitz", "Protokoll gelöscht"
    bool ranked = false; // the protocol was ranked anew
};

class ProtocolModel : public QObject
{
    Q_OBJECT

public:
    // How many changes can be taken back.
    static constexpr int UndoDepth = 50;
    // A row's identity, kept through every move; never reused.
    using RowId = std::uint32_t;

    explicit ProtocolModel(QObject *parent = nullptr);
    ~ProtocolModel() override;

    // --- reading ---------------------------------------------------------------

    int RowCount() const { return int(m_columns.rows); }
    // An empty text beyond the rows; valid until the protocol changes.
    QStringView Cell(int row, int column) const;
    ProtocolRow Row(int row) const;
    ProtocolTable Table() const;
    // The protocol as its files and exports write it: the header row, then
    // every row, one blank row for an empty protocol (as the grid shows it).
    // Read where the texts are kept, valid until the protocol changes.
    CellTable Shown() const;
    // The rows shared rather than copied: taken in an instant at any length
    // and readable on another thread while the protocol changes on.
    ProtocolColumns Columns() const { return m_columns; }
    // Any written cell makes a protocol (a row of blanks included): a start
    // number an edit emptied must not hide the table's results.
    bool HasProtocol() const;
    // The rows that stand for teams: none without a protocol.
    int TeamCount() const { return HasProtocol() ? RowCount() : 0; }
    RowId IdOf(int row) const { return m_ids[std::size_t(row)]; }
    // The row of an identity, -1 when it is gone.
    int RowOf(RowId id) const;

    // Each row's place in the start order (row 0 first).
    const std::vector<int> &StartPlaces() const { return m_startPlaces; }
    // The same, empty while it is the rows' own order (as the journal keeps it).
    std::vector<int> StartOrder() const;
    // The first teams in start order without a result in the current run
    // (nothing in its run column, or in "Zeit" with one run),
    // one for each of the first laneCount lanes, never both lanes on one
    // team. A lane that finds none takes the first team the other lane does
    // not have. The rows given as running count as having a result.
    NextTeams FindNextTeams(int laneCount, const std::vector<int> &runningRows = {}) const;
    // The first team in start order without a result that is not on
    // otherLaneRow; -1 when there is none, or, startingOver, the first team
    // not on otherLaneRow. Given the lane it is for, a team that has to
    // change to the other lane waits for that lane.
    int NextTeamBeside(int otherLaneRow, int laneIndex = -1, bool startingOver = false) const;

    // The row of the team on a lane (index 0 or 1), -1 for none.
    int LaneRow(int laneIndex) const { return m_laneRows[std::size_t(laneIndex)]; }
    // Results changed since the list was loaded or the protocol last saved;
    // an empty protocol has nothing to lose.
    bool Modified() const { return m_modified && HasProtocol(); }

    // --- the whole protocol --------------------------------------------------------

    // The rows of a starter list (header places empty): numbered in start
    // order (by class, then as listed) and ranked, no lane on a team, saved,
    // nothing to take back.
    void LoadList(ProtocolColumns columns);
    // Puts back a protocol kept by the journal: its rows, their start order
    // (none: the rows' own order), the lanes' rows, the unsaved mark, the
    // runs per team and the run the next heat records.
    void Restore(ProtocolTable rows, const std::vector<int> &startOrder, int lane1, int lane2,
                 bool modified, int runs = 1, int currentRun = 1);
    // Empties the protocol; taken back as "Protokoll gelöscht".
    void Clear();
    void MarkSaved();

    // --- rows ---------------------------------------------------------------------

    // "Zeit", "Strafzeit" and "Total" (column, +1, +2) of the lane's team get
    // the time, a zero penalty and the time. false when the lane has no team.
    // A time that replaces one can be taken back ("Zeit ersetzt").
    bool RecordLaneTime(int laneIndex, int column, const QString &text);
    // Changes the row of the lane's team, kept for taking back as `what`
    // ("S15", "Ausfall", ...). false when the lane has no team.
    bool ChangeLaneRow(int laneIndex, const QString &what,
                       const std::function<void(ProtocolRow &)> &change);
    // A text the operator is typing into a cell, before the edit is done.
    void TypeCell(int row, int column, const QString &text);
    // The operator's edit of a cell that held `before` is done: a typed
    // "Zeit" or "Strafzeit" sets "Total" as the race would have (the places
    // follow at the next ranking); kept for taking back ("Zelle geändert").
    void FinishHandEdit(int row, int column, const QString &before);
    // Takes the row out (kept for taking back) and ranks the rest; a lane
    // that stood on it goes on with the next team in start order that has
    // no result and is not on the other lane. The rows the lanes moved to
    // (-1: the lane did not move).
    std::array<int, 2> RemoveRow(int row);
    // Sorts the rows by class and total and writes the places per class.
    void Rank();
    // Row k takes the row from[k] (a permutation of the rows), as a header
    // sort shows them.
    void Reorder(const std::vector<int> &from);

    // --- lanes --------------------------------------------------------------------

    // A row out of the protocol (-1) takes the lane's team away.
    void SetLaneRow(int laneIndex, int row);
    void SetLaneRows(int lane1, int lane2);
    void SwapLanes();
    // Puts the first laneCount lanes on the next teams in start order, in
    // the next run once the current one has no team left without a result.
    // What the operator is told: that run finished, or StartedOverNotice
    // when one of the first racingLanes found no team left and went back
    // to the first teams; "" for neither.
    QString PutLanesOnNextTeams(int laneCount, int racingLanes);

    // --- runs ---------------------------------------------------------------------

    int Runs() const { return m_columns.runs; }
    // The columns shown, saved and exported: "Nr." to "Platz", then each run's.
    int ColumnCount() const { return ShownColumnCount(Runs()); }
    // The run the next heat records, 1 ... Runs().
    int CurrentRun() const { return m_currentRun; }
    const RoundsSetup &Rounds() const { return m_rounds; }
    // Takes the runs, the scorings and the lane change: more runs add empty
    // run columns (a one-run protocol's results become run 1), fewer drop
    // empty ones; the scores and places follow. false, nothing changed,
    // when a run that would go holds a result.
    bool SetRounds(const RoundsSetup &rounds);
    // A team has a result in some run.
    bool HasResults() const { return LaterRunsHoldResults(0); }
    // A run after the first `runs` holds a result.
    bool LaterRunsHoldResults(int runs) const;
    // The run the next heat records, for a missed team or a re-run; the
    // first laneCount lanes go to its next teams.
    void ChooseRun(int run, int laneCount);
    // The row's result in the run: its run cell, with one run "Zeit".
    QStringView RunResult(int row, int run) const;
    // The lane (0 or 1) the row's team ran on in the run; -1 when unknown.
    int LaneOfRun(int row, int run) const;
    // The teams' classes, each once, in class order.
    QStringList Classes() const;
    // Each row's runs done where its class ranks by them first ("Summe"),
    // else 0; empty with one run. The ranking's first key.
    std::vector<int> RunsDoneForRanking() const;
    // The team on the lane did not come to the start of the current run:
    // "n.a." is its result there (kept for taking back) and the lane moves
    // on to the next team. false when the lane has no team.
    bool SetAsideLaneTeam(int laneIndex);
    // Adds a team that registered on the day, at the end of its class in
    // the start order; kept for taking back ("Nachmeldung"). Its row.
    int AddLateEntry(const ProtocolRow &team);

    // --- taking back ----------------------------------------------------------------

    // The newest change is taken back, then the protocol ranked, unless a
    // heat is in progress (its reset ranks); while one is, only the cells of
    // a row are taken back.
    TakenBack TakeBack(bool heatInProgress);
    // The stack the commands live on.
    const QUndoStack &UndoStack() const { return m_undo; }

    // Groups the changes of one action into one notification.
    class Batch;

signals:
    // Any change of the rows, their cells, order or places, or of the teams
    // on the lanes or the saved mark: one per action, saying what it covers.
    void changed(const ProtocolChange &change);
    // Other teams took the protocol's place (a list loaded, a protocol put
    // back, the protocol cleared): no heat that ran before concerns them.
    void replaced();

private:
    // The undo stack's commands (ProtocolModelCommands.cpp).
    class Command;
    class RowCommand;
    class RemovedRowCommand;
    class ClearedCommand;
    class AddedRowCommand;

    enum class Change {
        Content,     // cells anywhere
        Arrangement, // rows came, went or moved
        Lanes,       // only the lanes' teams or the saved mark
        Row,         // the cells of the given row
    };
    void Note(Change change, int row = -1);
    // Rows came back with texts that are nowhere else (a removed row, the
    // cleared protocol taken back).
    void NoteTextsBack();
    // The rows only moved: row k came from from[k].
    void NoteMoved(const std::vector<int> &from);
    void Notify();

    void SetCell(int row, int column, QStringView text);
    void WriteRow(int row, const ProtocolRow &cells);
    // Puts the rows into the order given and follows them with the lanes.
    void ApplyOrder(const std::vector<int> &from);
    void InsertRow(int row, RowId id, const ProtocolRow &cells, int startPlace);
    void TakeOutRow(int row);
    // Replaces everything but the lanes and the undo stack.
    void ReplaceRows(ProtocolColumns columns, std::vector<int> startPlaces, std::vector<RowId> ids);
    // No rows, no lanes.
    void Empty();
    // New times take the decimal mark of the first time in the protocol.
    void FollowDecimalMarkOfTimes();
    std::vector<RowId> NewIds(std::size_t rows);
    // Kept for taking back: the row's cells were `before` until `what`.
    void PushRowChange(const QString &what, int row, const ProtocolRow &before);
    // Called before the row goes; lost: the lanes that stood on it.
    void PushRemovedRow(int row, const std::array<bool, 2> &lost);
    // "Ausfall Team 12 Blitz"
    static QString Description(const QString &what, const ProtocolRow &team);

    // The result the heat wrote into "Total" (a time or a mark) becomes the
    // run's, and "Total" the team's score; the lane is noted for the run.
    void FoldIntoRun(ProtocolRow &cells, int run, int laneIndex = -1) const;
    // A team's score over its run cells.
    QString ScoreOf(const std::array<QStringView, MaxRuns> &runs, QStringView klasse) const;
    // "Total" (and a mark's "Platz") from the run cells.
    void Rescore(ProtocolRow &cells) const;
    // The run a hand-typed "Zeit" belongs to: the team's latest run done.
    int LatestRunOf(const ProtocolRow &cells) const;
    // Writes the rows' scores anew, then ranks.
    void RescoreAll();
    // Moves the results between the run columns and the one-run columns
    // as the number of runs changes.
    void SpreadIntoRuns(int runs);
    // A team of the run without a result is left, not counting `except`.
    bool RunHasWaitingTeam(int run) const;
    // The lane the team should take in the current run: the other one than
    // in the run before, -1 for either.
    int WantedLane(int row) const;
    bool LaneChangeApplies(int laneCount) const;

    ProtocolColumns m_columns;
    std::vector<int> m_startPlaces;
    std::vector<RowId> m_ids;
    RowId m_nextId = 1;
    std::array<int, 2> m_laneRows = {-1, -1};
    RoundsSetup m_rounds;
    int m_currentRun = 1;
    bool m_modified = false;
    QUndoStack m_undo;
    int m_batchDepth = 0;
    bool m_changePending = false;
    ProtocolChange m_pendingChange;
    // Rows came or went within the pending change: it is no mere move.
    bool m_orderLost = false;
};

class ProtocolModel::Batch
{
public:
    explicit Batch(ProtocolModel &model) : m_model(model) { ++m_model.m_batchDepth; }
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

private:
    ProtocolModel &m_model;
};
