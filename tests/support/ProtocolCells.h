// Protocol rows in the tests, their cells named by column rather than by
// position: Row({{ColNr, "1"}, {ColTeamName, "Blitz"}}) leaves every cell
// it does not name empty, and the cells of a row read back from the grid
// are picked by their columns.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QStringList>
#include <initializer_list>
#include <utility>

using NamedCells = std::initializer_list<std::pair<ProtocolColumn, QString>>;

inline ProtocolRow Row(NamedCells cells)
{
    ProtocolRow row;
    for (const auto &[column, text] : cells)
        row[column] = text;
    return row;
}

// The row as the grid shows it, one text per column.
inline QStringList RowTexts(NamedCells cells)
{
    const ProtocolRow row = Row(cells);
    return QStringList(row.begin(), row.begin() + ProtocolColumnCount);
}

// The cells of these columns, in this order.
inline QStringList CellsOf(const QStringList &row, std::initializer_list<ProtocolColumn> columns)
{
    QStringList cells;
    for (const ProtocolColumn column : columns)
        cells << row.value(column);
    return cells;
}

// "Zeit", "Strafzeit" and "Total": what a stop and a penalty write.
inline QStringList TimeCellsOf(const QStringList &row)
{
    return CellsOf(row, {ColZeit, ColStrafzeit, ColTotal});
}

// The cells the race writes ("Zeit" ... "Platz"), in the columns' order.
inline QStringList ResultCellsOf(const QStringList &row)
{
    QStringList cells;
    for (const ProtocolColumnDescription &column : ProtocolColumnTable) {
        if (column.holdsResult)
            cells << row.value(column.column);
    }
    return cells;
}
