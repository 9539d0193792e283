// The states of a race day the journal tests write and read: rows built
// from their cells, a state with every kind of note, changes of it.
#pragma once

#include "protocol/JournalText.h"

#include <QList>
#include <QStringList>

// A row of the given leading cells, the rest empty.
ProtocolRow Row(const QStringList &cells);
// Three teams with times, marks and odd blanks, both lanes and a start
// order of their own.
JournalState RaceDay();
// The race day's notes with other rows (in their own start order).
JournalState WithRows(ProtocolTable rows);
// A change of the race day's rows a minute later, lane 1 moved.
JournalChange Change(std::vector<std::pair<std::size_t, ProtocolRow>> rows);
// The state with the changes applied; ends the test program when one does not apply.
JournalState Applied(JournalState state, const QList<JournalChange> &changes);
