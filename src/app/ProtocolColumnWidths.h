// Widths of the protocol's columns in the main window: the designed
// widths as the least each column gets, the columns that fit their texts
// widened to their longest text where the window has room, and the one
// column that takes the rest ("TeamName") taking whatever width is left.
#pragma once

#include "protocol/ProtocolTable.h"

#include <array>

using ProtocolColumnWidthList = std::array<int, ProtocolColumnCount>;

// Whether the width the column's longest text needs counts.
constexpr bool WidthFollowsText(int column)
{
    return DescriptionOf(column).sizing != ColumnSizing::Designed;
}

// textWidths: the width each column's longest text needs (0 where it does
// not count); clientWidth: the grid's client width. The column that takes
// the rest keeps the room its own text needs before the others are widened.
ProtocolColumnWidthList ProtocolColumnWidths(const ProtocolColumnWidthList &textWidths,
                                             int clientWidth);
