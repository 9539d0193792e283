// Turns two readings of the modem lines into the changes the barrier
// handlers see: how many times CTS and DSR switched in between, and the
// level after each of those switches.
#pragma once

#include "comms/ModemLineEvent.h"
#include "comms/SerialDevice.h"

#include <cstdint>
#include <vector>

struct LineReading
{
    std::uint32_t status = 0; // MS_* bits
    bool hasCounters = false; // counters below are valid
    ModemEdgeCounters counters;
};

struct LineChangeCount
{
    std::uint32_t cts = 0;
    std::uint32_t dsr = 0;
    bool Any() const { return cts || dsr; }
};

enum class ModemLine { Cts, Dsr };

struct LineChange
{
    ModemLine line = ModemLine::Cts;
    ModemLineEvent event;
};

// Edge counters, where both readings have them, count every switch, so a
// beam interruption shorter than the gap between two readings still counts
// twice; without them only a level that differs counts (once).
LineChangeCount CountLineChanges(const LineReading &before, const LineReading &now);

// The changes in the order the handlers get them: all CTS changes, then all
// DSR changes. Each carries the tick and the levels, with its own line set to
// the level it had right after that switch.
std::vector<LineChange> ExpandLineChanges(const LineChangeCount &count, std::uint32_t tick,
                                          std::uint32_t status);
