// Widths of the protocol columns.
#include "app/ProtocolColumnWidths.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int RestColumn()
{
    for (const ProtocolColumnDescription &column : ProtocolColumnTable) {
        if (column.sizing == ColumnSizing::TakesRest)
            return column.column;
    }
    return -1;
}
constexpr int TakesRest = RestColumn();
static_assert(TakesRest >= 0, "one column takes the width the others leave");

constexpr int LeastRestWidth = 40;
// One pixel per column for the grid lines.
constexpr int GridLines = ProtocolColumnCount;

int SumOfOthers(const ProtocolColumnWidthList &widths)
{
    return std::accumulate(widths.begin(), widths.end(), 0) - widths[TakesRest];
}

} // namespace

ProtocolColumnWidthList ProtocolColumnWidths(const ProtocolColumnWidthList &textWidths,
                                             int clientWidth)
{
    ProtocolColumnWidthList widths;
    for (int column = 0; column < ProtocolColumnCount; ++column)
        widths[column] = DescriptionOf(column).designedWidth;
    const int available = clientWidth - GridLines;
    int room = available - SumOfOthers(widths) - std::max(LeastRestWidth, textWidths[TakesRest]);
    // The columns get their room in the columns' order.
    for (int column = 0; column < ProtocolColumnCount; ++column) {
        if (DescriptionOf(column).sizing != ColumnSizing::FitsText)
            continue;
        const int extra = std::clamp(textWidths[column] - widths[column], 0, std::max(0, room));
        widths[column] += extra;
        room -= extra;
    }
    widths[TakesRest] = std::max(LeastRestWidth, available - SumOfOthers(widths));
    return widths;
}
