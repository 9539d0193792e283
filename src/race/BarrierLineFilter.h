// Decides which changes of a light-barrier line count as a barrier pulse.
// The serial watcher reports every change of CTS or DSR; the operator's
// contact mode says whether a beam break, a beam return or both are pulses,
// and an event that finds the line at the level it already had (a bounce
// seen twice, or the other line's change) is never one.
#pragma once

#include <cstdint>

// The contact mode setting ("Alg"), as offered in the settings dialog.
enum BarrierContactMode : int {
    ContactOn = 0,     // "Ein": the line going on is a pulse
    ContactOff = 1,    // "Aus": the line going off is a pulse
    ContactChange = 2, // "Wechseln": every change is a pulse
};

class BarrierLineFilter
{
public:
    // mask: the input's own bit of the modem status (MS_DSR_ON, MS_CTS_ON).
    explicit BarrierLineFilter(std::uint32_t mask) : m_mask(mask) {}

    // Takes the status read at an event of this line and remembers the
    // line's level. True when the event is a pulse in the given mode; an
    // unknown mode never gives one.
    bool IsPulse(std::uint32_t modemStatus, int contactMode);

    // The input's bit as seen at the previous accepted event.
    std::uint32_t Level() const { return m_level; }

private:
    // No masked status equals this, so the first event is always accepted.
    static constexpr std::uint32_t NoLevelSeen = 0xFFFFFFFFu;

    std::uint32_t m_mask = 0;
    std::uint32_t m_level = NoLevelSeen;
};
