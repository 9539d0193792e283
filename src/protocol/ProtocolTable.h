// The results protocol as plain data: one row of texts per team, in
// table order. The grid shows these rows below its header row, so row k
// here is grid row k + 1 and lane selector item k.
#pragma once

#include "protocol/ProtocolTextColumn.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <iterator>
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
    // With several runs per team, each run's result after "Platz".
    ColLauf1,
    ColLauf2,
    ColLauf3,
    ColLauf4,
    // The lanes each team ran on, one digit per run ("12": lane 1, then
    // lane 2; "-" not run): kept for the lane change, never shown or saved.
    ColBahnen,
    ProtocolCellCount
};

inline constexpr int MaxRuns = ColLauf4 - ColLauf1 + 1;
// The columns of a protocol with one run per team: "Nr." to "Platz".
inline constexpr int ProtocolColumnCount = ColLauf1;

// The columns a protocol of the given runs shows: a run column each from
// two runs on.
constexpr int ShownColumnCount(int runs)
{
    return runs >= 2 ? ProtocolColumnCount + runs : ProtocolColumnCount;
}
// The column of run 1 ... MaxRuns.
constexpr int RunColumn(int run)
{
    return ColLauf1 + run - 1;
}
constexpr bool IsRunColumn(int column)
{
    return column >= ColLauf1 && column <= ColLauf4;
}

enum class ColumnAlignment { Left, Center, Right };

// How a header click sorts a column: as plain text, by NumericTextKeyOf
// ("1" and "01" are one class, "1a" and "U12" follow the numbered ones) or
// by CompareResultText.
enum class ProtocolSortStyle { Normal, Numeric, Custom };

// How a column's width in the window is found.
enum class ColumnSizing {
    Designed,  // its designed width
    FitsText,  // its designed width at least, widened to its longest text where there is room
    TakesRest, // whatever the other columns leave, its own text first
};

struct ProtocolColumnDescription
{
    ProtocolColumn column;
    const char *header;
    int designedWidth; // pixels in the window; 0 for the column that takes the rest
    ColumnSizing sizing;
    ColumnAlignment alignment;     // in the window and on paper
    ColumnAlignment pageAlignment; // on the web page
    int pageHeaderPercent;         // the share of the web page's width its header claims, 0: none
    ProtocolSortStyle sortStyle;
    bool holdsResult; // a heat's result: "Zeit" to "Platz" take a team's mark
};

// Everything the program knows about each column, in the columns' order.
inline constexpr ProtocolColumnDescription ProtocolColumnTable[] = {
    // clang-format off
    // column        header        width sizing                   alignment               page alignment           page % sort style                   result
    {ColNr,         "Nr.",         47, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Numeric, false},
    {ColTeamName,   "TeamName",    0,  ColumnSizing::TakesRest, ColumnAlignment::Left,  ColumnAlignment::Left,   15, ProtocolSortStyle::Normal,  false},
    {ColKlasse,     "Klasse",      40, ColumnSizing::FitsText,  ColumnAlignment::Left,  ColumnAlignment::Center, 0,  ProtocolSortStyle::Numeric, false},
    {ColFahrer,     "Fahrer",      90, ColumnSizing::FitsText,  ColumnAlignment::Left,  ColumnAlignment::Left,   15, ProtocolSortStyle::Normal,  false},
    {ColBeifahrer1, "Beifahrer1",  90, ColumnSizing::FitsText,  ColumnAlignment::Left,  ColumnAlignment::Left,   15, ProtocolSortStyle::Normal,  false},
    {ColBeifahrer2, "Beifahrer2",  90, ColumnSizing::FitsText,  ColumnAlignment::Left,  ColumnAlignment::Left,   15, ProtocolSortStyle::Normal,  false},
    {ColZeit,       "Zeit",        60, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  true},
    {ColStrafzeit,  "Strafzeit",   77, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  true},
    {ColTotal,      "Total",       60, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  true},
    {ColPlatz,      "Platz",       46, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  true},
    // clang-format on
};

// The same for the columns of several runs, which follow them.
inline constexpr ProtocolColumnDescription RunColumnTable[] = {
    // clang-format off
    {ColLauf1,      "Lauf 1",      60, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  false},
    {ColLauf2,      "Lauf 2",      60, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  false},
    {ColLauf3,      "Lauf 3",      60, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  false},
    {ColLauf4,      "Lauf 4",      60, ColumnSizing::Designed,  ColumnAlignment::Right, ColumnAlignment::Right,  0,  ProtocolSortStyle::Custom,  false},
    {ColBahnen,     "Bahnen",      0,  ColumnSizing::Designed,  ColumnAlignment::Left,  ColumnAlignment::Left,   0,  ProtocolSortStyle::Normal,  false},
    // clang-format on
};

// The entry of any of the protocol's columns.
constexpr const ProtocolColumnDescription &DescriptionOf(int column)
{
    return column < ProtocolColumnCount ? ProtocolColumnTable[column]
                                        : RunColumnTable[column - ProtocolColumnCount];
}

constexpr bool ColumnTableFollowsEnum()
{
    if (std::size(ProtocolColumnTable) != std::size_t(ProtocolColumnCount) ||
        std::size(RunColumnTable) != std::size_t(ProtocolCellCount - ProtocolColumnCount))
        return false;
    for (int column = 0; column < ProtocolCellCount; ++column) {
        if (DescriptionOf(column).column != column)
            return false;
    }
    return true;
}
static_assert(ColumnTableFollowsEnum(), "one entry per column, in the enum's order");

// Right-aligned in the window and on paper; a column past the shown ones
// (any column of a foreign table) is not.
constexpr bool IsRightAligned(qsizetype column)
{
    return column >= 0 && column < ProtocolCellCount &&
           DescriptionOf(int(column)).alignment == ColumnAlignment::Right;
}

// Every cell the model keeps of a team, the runs' cells empty with one run.
using ProtocolRow = std::array<QString, ProtocolCellCount>;
using ProtocolTable = std::vector<ProtocolRow>;

// The protocol column by column, as the protocol model keeps it: taken in
// an instant however long the list, and readable on another thread while
// the model goes on changing its own copy.
struct ProtocolColumns
{
    std::size_t rows = 0; // teams
    int runs = 1;         // per team, the run columns it shows (1: none)
    std::array<ProtocolTextColumn, ProtocolCellCount> cells;

    // Row 0 is the first team; cells a column does not hold are empty.
    QStringView Cell(std::size_t row, int column) const
    {
        return cells[std::size_t(column)].At(qsizetype(row));
    }
};

// The columns of the rows.
ProtocolColumns ColumnsOf(const ProtocolTable &rows);
// The teams' rows of the columns.
ProtocolTable RowsOf(const ProtocolColumns &columns);

// "Nr.", "TeamName", ... "Platz": the header texts of a one-run protocol.
const QStringList &ProtocolHeaders();
// The header text of any column ("Lauf 2", "Bahnen").
const QString &ColumnHeader(int column);
// The column a header text names, -1 for none.
int ColumnNamed(QStringView header);
// The headers a protocol of the given runs shows.
QStringList ShownHeaders(int runs);

// Marks written into the result columns of a team without a place.
inline const QString DisqualifiedMark = QStringLiteral("DIS");
inline const QString DropOutMark = QStringLiteral("AUS");
// A team that did not come to the start of a run; ranks like "AUS".
inline const QString NotStartedMark = QStringLiteral("n.a.");

// "AUS", "DIS" or "n.a.", exactly.
bool IsResultMark(QStringView text);

// A text that holds nothing but blanks (or nothing at all) counts as empty
// wherever the protocol reads a cell.
bool IsBlankText(QStringView text);

// The lane selector item of a row: "Nr.", "TeamName" and "Klasse" joined
// by single blanks, e.g. "12 Blitz 3".
QString LaneSelectorText(QStringView nr, QStringView teamName, QStringView klasse);
QString LaneSelectorText(const ProtocolRow &row);
