// Widths of the protocol's ten columns in the main window: the designed
// widths as the least each column gets, the class and name columns widened
// to their longest text where the window has room, and "TeamName" taking
// whatever width is left.
#pragma once

#include <array>

using ProtocolColumnWidthList = std::array<int, 10>;

// Column 1 ("TeamName") has no designed width: it takes the rest.
inline constexpr ProtocolColumnWidthList DesignedProtocolColumnWidths = {47, 0,  40, 90, 90,
                                                                         90, 60, 77, 60, 46};

// textWidths: the width each column's longest text needs (0 where it does
// not count); clientWidth: the grid's client width. The team name keeps
// the room its own text needs before the other columns are widened.
ProtocolColumnWidthList ProtocolColumnWidths(const ProtocolColumnWidthList &textWidths,
                                             int clientWidth);
