// Result cells written for a lane's team.
#include "protocol/Penalties.h"

#include "race/RaceTime.h"
#include "text/NumericText.h"

#include <cmath>
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

namespace {

// A typed time in milliseconds; none for a text that is no time.
std::optional<std::uint32_t> TypedTimeMs(const QString &text)
{
    constexpr double LongestSeconds = 4.0e6; // within the 32-bit milliseconds of a time
    const std::optional<double> seconds = ReadRaceNumber(text);
    if (!seconds || *seconds < 0 || *seconds > LongestSeconds)
        return std::nullopt;
    return std::uint32_t(std::llround(*seconds * 1000.0));
}

} // namespace

void DeriveTotalAfterHandEdit(ProtocolRow &row, int editedColumn)
{
    if (editedColumn != ColZeit && editedColumn != ColStrafzeit)
        return;
    if (editedColumn == ColZeit && IsResultMark(row[ColZeit])) {
        WriteResultMark(row, QString(row[ColZeit]));
        return;
    }
    const std::optional<std::uint32_t> time = TypedTimeMs(row[ColZeit]);
    if (!time)
        return;
    if (IsBlankText(row[ColStrafzeit]))
        row[ColStrafzeit] = FormatRaceTime(0);
    if (const std::optional<std::uint32_t> penalty = TypedTimeMs(row[ColStrafzeit]))
        row[ColTotal] = FormatRaceTime(*time + *penalty);
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
