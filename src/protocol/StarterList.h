// Reading a starter list (or a protocol saved as text) into protocol rows.
#pragma once

#include "protocol/ProtocolTable.h"

// A line with a tab is split at every tab, else a line with ";" at every
// ";", else at runs of blanks. Fields are trimmed; a field left empty
// becomes one blank and keeps its column, so an empty co-driver does not
// shift the fields after it. Quotes are ordinary characters.
QStringList SplitStarterLine(QStringView line);

// The fields fill the columns from the left; fields beyond the tenth are
// dropped, missing ones stay empty.
ProtocolRow RowFromFields(const QStringList &fields);

// Every line but empty ones and those beginning with "Nr" (headers) is a
// team, in file order.
ProtocolTable ParseStarterList(const QString &text);

struct StarterListLoad
{
    bool ok = false;
    ProtocolTable rows;
    QString error; // why the file could not be read, when !ok
};

// Reads the file as UTF-8 when it is valid UTF-8, else as Windows-1252
// (lists exported by older spreadsheet programs).
StarterListLoad LoadStarterList(const QString &fileName);

// The file name without folder and extension: "Mai" for /any/Mai.txt.
QString EventName(const QString &fileName);

// The full path without extension, proposed when the protocol is saved.
QString PathWithoutExtension(const QString &fileName);
