// Result cells written for a lane's team.
#include "protocol/Penalties.h"

#include "race/RaceTime.h"

#include <cstdlib>

void WriteLaneTime(ProtocolRow &row, const QString &timeText)
{
    row[ColZeit] = timeText;
    row[ColStrafzeit] = FormatRaceTime(0);
    row[ColTotal] = timeText;
}

void WritePenalty(ProtocolRow &row, std::uint32_t laneElapsedMs, int penaltySeconds)
{
    const std::uint32_t penaltyMs = std::uint32_t(penaltySeconds) * 1000u;
    row[ColStrafzeit] = FormatRaceTime(penaltyMs);
    row[ColTotal] = FormatRaceTime(laneElapsedMs + penaltyMs);
}

void WriteResultMark(ProtocolRow &row, const QString &mark)
{
    for (const ProtocolColumnDescription &column : ProtocolColumnTable) {
        if (column.holdsResult)
            row[column.column] = mark;
    }
}

PenaltyButton DecodePenaltyButton(int number)
{
    return {number < 0 ? 1 : 2, std::abs(number)};
}

std::optional<int> RowOfSelectorItem(int itemIndex, const ProtocolTable &table)
{
    if (itemIndex < 0 || std::size_t(itemIndex) >= table.size())
        return std::nullopt;
    return itemIndex;
}
