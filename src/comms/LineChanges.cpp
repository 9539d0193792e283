// Counting and ordering of modem line changes between two readings.
#include "comms/LineChanges.h"

namespace {

// More than this between two readings is no barrier but counters that were
// reset or a line gone wild; the levels are the better guide then.
constexpr std::uint32_t MaxCountedChanges = 1000;

std::uint32_t ChangesOf(std::uint32_t bit, std::uint32_t counterBefore, std::uint32_t counterNow,
                        const LineReading &before, const LineReading &now)
{
    if (before.hasCounters && now.hasCounters) {
        const std::uint32_t counted = counterNow - counterBefore; // survives the counters wrapping
        if (counted <= MaxCountedChanges)
            return counted;
    }
    return ((before.status ^ now.status) & bit) ? 1 : 0;
}

void AppendChanges(std::vector<LineChange> &changes, ModemLine line, std::uint32_t bit,
                   std::uint32_t count, std::uint32_t tick, std::uint32_t status)
{
    const bool finalOn = status & bit;
    for (std::uint32_t k = 1; k <= count; ++k) {
        // Counting back from the last switch, every other one left the line
        // at the final level.
        const bool on = ((count - k) % 2 == 0) ? finalOn : !finalOn;
        const std::uint32_t levels = on ? (status | bit) : (status & ~bit);
        changes.push_back({line, {tick, std::uint8_t(levels)}});
    }
}

} // namespace

LineChangeCount CountLineChanges(const LineReading &before, const LineReading &now)
{
    return {ChangesOf(MS_CTS_ON, before.counters.cts, now.counters.cts, before, now),
            ChangesOf(MS_DSR_ON, before.counters.dsr, now.counters.dsr, before, now)};
}

std::vector<LineChange> ExpandLineChanges(const LineChangeCount &count, std::uint32_t tick,
                                          std::uint32_t status)
{
    std::vector<LineChange> changes;
    changes.reserve(count.cts + count.dsr);
    AppendChanges(changes, ModemLine::Cts, MS_CTS_ON, count.cts, tick, status);
    AppendChanges(changes, ModemLine::Dsr, MS_DSR_ON, count.dsr, tick, status);
    return changes;
}
