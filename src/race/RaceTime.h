// Race time arithmetic: the tick difference that is a lane's time, the one
// text form of a time used everywhere, and the split of a time onto a lane's
// five display digits.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// Milliseconds between two readings of the 32-bit tick count. The tick
// wraps about every 49.7 days; modulo arithmetic keeps a race that spans
// the wrap correct.
std::uint32_t ElapsedMs(std::uint32_t startTick, std::uint32_t nowTick);

// The tick of an operator's press: the time stamp its input event carries,
// which the platform reads from the same millisecond clock as the tick
// count, so a press handled late still counts from when it happened. A
// missing stamp, or one more than a second away from now (another clock),
// gives the tick at handling.
std::uint32_t PressTick(std::optional<std::uint32_t> eventTime, std::uint32_t now);

// Whole seconds without leading zeros, the decimal mark and two digits of
// hundredths; hundredths are truncated, never rounded (83 459 ms is "83,45"
// with a German locale).
QString FormatRaceTime(std::uint32_t ms);

// The decimal mark of every time the program writes. A protocol whose
// times already use one keeps it, so that a protocol saved under one
// locale and timed on under another never mixes "2,80" and "2.82"; with
// none set (nullopt), the locale's.
void SetRaceTimeDecimalMark(std::optional<QChar> mark);
QChar RaceTimeDecimalMark();

// The decimal mark of a text that reads as a race time ("12,34", "0.00").
std::optional<QChar> DecimalMarkOfRaceTime(QStringView text);

// What a lane's five digits show: hundreds, tens and units of seconds,
// tenths and hundredths. A leading zero of the hundreds or tens digit is
// not significant and is drawn dim. The hundreds digit has no room beyond
// 9: from 1000 s on it gets the value seconds / 100 (10 and more), which a
// seven-segment digit shows as 0, so the display runs on as 034,50 for
// 1234,50 s while the recorded text stays exact.
struct LaneDigits
{
    std::array<int, 5> values{};
    std::array<bool, 5> significant{};
};

LaneDigits SplitLaneTime(std::uint32_t ms);
