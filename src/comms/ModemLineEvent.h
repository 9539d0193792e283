// What the serial watcher hands over with each change of a modem line:
// the tick and the line levels read the moment it woke, so a barrier time
// never depends on when the GUI thread gets round to the event.
#pragma once

#include <cstdint>

// Bits of the modem status word.
enum ModemStatusBits : std::uint8_t {
    MS_CTS_ON = 0x10,
    MS_DSR_ON = 0x20,
    MS_RING_ON = 0x40,
    MS_RLSD_ON = 0x80,
};

struct ModemLineEvent
{
    std::uint32_t tick = 0;       // TickCount() at the wake that saw the change
    std::uint8_t modemStatus = 0; // line levels read at that wake
};
