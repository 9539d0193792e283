// The results protocol as plain data: one row of ten texts per team, in
// table order. The grid shows these rows below its header row, so row k
// here is grid row k + 1 and lane selector item k.
#pragma once

#include <QList>
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

// The protocol as the grid keeps it, one list of texts per column with the
// header in front, shared with the grid rather than copied: taken in an
// instant however long the list, and readable on another thread while the
// grid goes on changing its own copy.
struct ProtocolColumns
{
    std::size_t rows = 0; // teams, without the header
    std::array<QList<QString>, ProtocolColumnCount> cells;

    // Row 0 is the first team; cells a column does not hold are empty.
    const QString &Cell(std::size_t row, int column) const
    {
        static const QString none;
        const QList<QString> &texts = cells[column];
        return qsizetype(row + 1) < texts.size() ? texts[qsizetype(row + 1)] : none;
    }
};

// The teams' rows of the columns, sharing their texts.
ProtocolTable RowsOf(const ProtocolColumns &columns);

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
