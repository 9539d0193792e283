// Reading a starter list (or a protocol saved as text) into protocol rows.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QDateTime>

// A list is a file of a few hundred teams; these limits keep a wrong pick
// (a disk image, a log, a list of a million lines) from freezing the window
// or eating the memory the running protocol needs.
constexpr qint64 MaxStarterListBytes = 64 * 1024 * 1024;
constexpr int MaxStarterListTeams = 100000;

// Every line but empty ones and those beginning with "Nr" (headers) is a
// team, in file order. A line with a tab is split at every tab, else a line
// with ";" at every ";", else at runs of blanks. Fields are trimmed; a field
// left empty becomes one blank and keeps its column, so an empty co-driver
// does not shift the fields after it. In a line split at ";", a field that
// begins with a quote and whose quote closes before a ";" or the line end
// is what the quotes hold, untrimmed, each doubled quote one quote (as
// spreadsheet programs and the protocol's ";" file write a cell holding ";"
// or beginning with a quote); any other quote is an ordinary character. The
// fields fill the columns from the left, fields beyond the last column are
// dropped, missing ones stay empty; a header line whose every field names
// a column ("Nr.", "TeamName", ... in any order) makes the lines after it
// fill the columns it names, in its order. Lines end in CR LF, LF or a
// lone CR.
// Each column holds a copy of its fields (the cells of one class share
// one); the text itself goes when the parse is done.
ProtocolColumns ParseStarterListColumns(QString text);
// The same, stopping at maxTeams: false when the text holds more teams.
bool ParseStarterList(QString text, ProtocolColumns &columns, int maxTeams);
// The same as rows.
ProtocolTable ParseStarterList(QString text);

struct StarterListText
{
    bool ok = false;
    QString text;  // the decoded file, when ok
    QString error; // why the file could not be read, when !ok
    // Control characters taken out of the text (see RemoveControlCharacters).
    qsizetype controlsRemoved = 0;
};

// Takes every control character out of the text but tab, CR and LF (NUL,
// \x01..\x1f, DEL, the C1 codes), so that no cell of a list ever holds one
// and no file written from the protocol meets one. Returns how many.
qsizetype RemoveControlCharacters(QString &text);

// The status line's notice after a list with control characters was read.
QString ControlsRemovedNotice(qsizetype count);

// Reads a regular file of at most MaxStarterListBytes holding at most
// MaxStarterListTeams teams; anything else (a folder, a device, a pipe, a
// link to one of them) is refused without being opened. The text is
// decoded by DecodeFileText and rid of its control characters;
// ParseStarterList gives its rows. The error
// names the reason in German.
StarterListText ReadStarterList(const QString &fileName);

// The file name without folder and extension: "Mai" for /any/Mai.txt. A
// copy the recovery journal kept of an event is named after the event
// again: "Mai" for "Mai – aufbewahrt 2026-05-01 10-00-00 (2).txt".
QString EventName(const QString &fileName);

// The name, without folder and extension, under which the recovery journal
// keeps a copy of the event's protocol written at the stamp.
QString KeptCopyName(const QString &eventName, const QDateTime &stamp);

// The full path without extension, proposed when the protocol is saved; a
// kept copy proposes its event's name.
QString PathWithoutExtension(const QString &fileName);
