// Widths of the protocol columns.
#include "app/ProtocolColumnWidths.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int TeamNameColumn = 1;
constexpr int LeastTeamNameWidth = 40;
// "Klasse", "Fahrer", "Beifahrer1", "Beifahrer2", in the order they get room.
constexpr int WideningColumns[] = {2, 3, 4, 5};
// One pixel per column for the grid lines.
constexpr int GridLines = 10;

int SumOfOthers(const ProtocolColumnWidthList &widths)
{
    return std::accumulate(widths.begin(), widths.end(), 0) - widths[TeamNameColumn];
}

} // namespace

ProtocolColumnWidthList ProtocolColumnWidths(const ProtocolColumnWidthList &textWidths,
                                             int clientWidth)
{
    ProtocolColumnWidthList widths = DesignedProtocolColumnWidths;
    const int available = clientWidth - GridLines;
    int room =
        available - SumOfOthers(widths) - std::max(LeastTeamNameWidth, textWidths[TeamNameColumn]);
    for (int column : WideningColumns) {
        const int extra = std::clamp(textWidths[column] - widths[column], 0, std::max(0, room));
        widths[column] += extra;
        room -= extra;
    }
    widths[TeamNameColumn] = std::max(LeastTeamNameWidth, available - SumOfOthers(widths));
    return widths;
}
