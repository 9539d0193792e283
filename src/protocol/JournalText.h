// The text of the recovery journal (see Journal.h): the snapshot, which a
// person can load as a starter list, and the records of the change log.
#pragma once

#include "protocol/ProtocolTable.h"
#include "protocol/RegularFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// Far above the largest list the program loads, so a journal it wrote is
// always read back.
inline constexpr qint64 MaxJournalBytes = 512LL * 1024 * 1024;

// Everything of the state beside the rows.
struct JournalNotes
{
    QString eventName;
    QString listPath;
    QString caption;
    int lane1 = -1; // selector positions, -1 for none
    int lane2 = -1;
    bool unsaved = false;   // results recorded that are in no saved file
    bool discarded = false; // the operator ended the program without saving them
    QDateTime stamp;
    int runs = 1;       // per team
    int currentRun = 1; // the run the next heat records

    bool operator==(const JournalNotes &) const = default;
};

// Each row's place in the start order, row 0 first; empty while it is the
// rows' own order 0, 1, 2 ... (which is also what a journal written before
// the start order was kept reads as).
using StartOrder = std::vector<int>;
// Places in the start order by row position.
using StartOrderPlaces = std::vector<std::pair<std::size_t, int>>;

struct JournalState : JournalNotes
{
    ProtocolTable rows;
    StartOrder startOrder;

    bool operator==(const JournalState &) const = default;
};

// One change of the state: all its notes as they are now, and the rows
// whose cells changed, by position. Rows never come, go or move in a
// change: that takes a new snapshot.
struct JournalChange
{
    JournalNotes notes;
    std::vector<std::pair<std::size_t, ProtocolRow>> rows;
    // Places in the start order of rows, by position (those of other rows stay).
    StartOrderPlaces startOrder;

    bool operator==(const JournalChange &) const = default;
};

// For each column of a journal's text, as its header names them, the
// protocol's column (-1: one the protocol does not have).
using JournalColumns = std::vector<int>;
// The protocol's own columns, as this program writes them for a protocol
// of the given runs: those it shows and, with several runs, the lanes of
// each run.
JournalColumns ProtocolJournalColumns(int runs = 1);

// The snapshot text, its header naming the columns; logKey 0 names no
// change log.
QByteArray JournalText(const JournalState &state, quint64 logKey = 0);
// The same text handed on in pieces, so a long list's never sits whole in
// memory; false when a piece could not be written.
bool WriteJournalText(const JournalState &state, quint64 logKey, const ChunkWriter &write);
// The same from the rows as the grid keeps them.
bool WriteJournalText(const JournalNotes &notes, const ProtocolColumns &columns,
                      const StartOrder &startOrder, quint64 logKey, const ChunkWriter &write);
// nullopt when the text is not a complete journal (damaged, cut off, or
// not a journal at all). Its rows are read by the columns its header
// names, which *columns receives for reading its change log.
std::optional<JournalState> ReadJournalText(QByteArrayView text, quint64 *logKey = nullptr,
                                            JournalColumns *columns = nullptr);

// The payload of one change record, and back (nullopt when damaged).
QByteArray JournalChangeText(const JournalChange &change);
// A record of a log belonging to a snapshot whose header named `columns`.
std::optional<JournalChange>
ReadJournalChangeText(QByteArrayView text,
                      const JournalColumns &columns = ProtocolJournalColumns());
// Applies a change; false (state untouched) when it names a row the state lacks.
bool ApplyJournalChange(JournalState &state, const JournalChange &change);

// Rows with something in "Zeit": a time, "AUS" or "DIS".
int RecordedResultCount(const ProtocolTable &rows);
// Teams in the protocol (none when only the blank row of an empty one).
int TeamCount(const ProtocolTable &rows);
// The state holds teams whose results are in no saved file: worth asking for.
bool WorthRecovering(const JournalState &state);
// "Letzten Stand vom <Datum Uhrzeit> wiederherstellen? (<n> Teams, <m> Zeiten)",
// the counts never broken apart, and on a line of its own
// "Nein: der Stand wird aufbewahrt unter <aside>".
QString RecoveryQuestion(const JournalState &state, const QString &aside);
