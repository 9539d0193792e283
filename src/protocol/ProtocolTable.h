// The results protocol as plain data: one row of ten texts per team, in
// table order. The grid shows these rows below its header row, so row k
// here is grid row k + 1 and lane selector item k.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

enum ProtocolColumn : int {
    ColNr = 0,
    ColTeamName,
    ColKlasse,
    ColFahrer,
    ColBeifahrer1,
    ColBeifahrer2,
    ColZeit,
    ColStrafzeit,
    ColTotal,
    ColPlatz,
    ProtocolColumnCount
};

using ProtocolRow = std::array<QString, ProtocolColumnCount>;
using ProtocolTable = std::vector<ProtocolRow>;

// "Nr.", "TeamName", ... "Platz", the header texts of the ten columns.
const QStringList &ProtocolHeaders();

// Marks written into the result columns of a team without a place.
inline const QString DisqualifiedMark = QStringLiteral("DIS");
inline const QString DropOutMark = QStringLiteral("AUS");

// "AUS" or "DIS", exactly.
bool IsResultMark(const QString &text);

// A text that holds nothing but blanks (or nothing at all) counts as empty
// wherever the protocol reads a cell.
bool IsBlankText(const QString &text);

// The lane selector item of a row: "Nr.", "TeamName" and "Klasse" joined
// by single blanks, e.g. "12 Blitz 3".
QString LaneSelectorText(const QString &nr, const QString &teamName, const QString &klasse);
QString LaneSelectorText(const ProtocolRow &row);
