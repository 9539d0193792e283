// The result cells a lane writes into its team's row: the stopped time, a
// time penalty, a disqualification or a drop-out.
#pragma once

#include "protocol/ProtocolTable.h"
#include <cstdint>

// "Zeit" and "Total" get the time text, "Strafzeit" a zero penalty.
void WriteLaneTime(ProtocolRow &row, const QString &timeText);

// "Strafzeit" gets the penalty and "Total" the lane time plus the penalty;
// a penalty replaces an earlier one, it is never added to it. "Zeit" and
// "Platz" stay as they are.
void WritePenalty(ProtocolRow &row, std::uint32_t laneElapsedMs, int penaltySeconds);

// Writes the mark into "Zeit", "Strafzeit", "Total" and "Platz", in that
// order.
void WriteResultMark(ProtocolRow &row, const QString &mark);

// After the operator typed into "Zeit" or "Strafzeit" (editedColumn): a
// mark typed into "Zeit" goes into the result cells as its button writes
// it; a time in "Zeit" gets a zero penalty when "Strafzeit" is empty, and
// "Total" becomes their sum when both read as times. Other cells and texts
// stay as typed.
void DeriveTotalAfterHandEdit(ProtocolRow &row, int editedColumn);

// A penalty button carries a signed number: negative for lane 1, positive
// for lane 2, the magnitude in seconds.
struct PenaltyButton
{
    int lane = 1; // 1 or 2
    int seconds = 0;
};
PenaltyButton DecodePenaltyButton(int number);

// The row of the team on a lane: the selector's item index, or nothing
// when the lane has no team selected or the index lies outside the table.
std::optional<int> RowOfSelectorItem(int itemIndex, const ProtocolTable &table);
