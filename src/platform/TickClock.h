// The clock the race is timed by, as the parts below the window see it
// (the serial watcher thread among them): a 32-bit millisecond tick count.
// The real steady clock unless a test installed another.
#pragma once

#include <cstdint>

class TickClock
{
public:
    virtual ~TickClock() = default;

    // Milliseconds since some fixed moment, truncated to 32 bits (it wraps).
    // Safe to call from any thread.
    virtual std::uint32_t TickCount() const = 0;
};

// The machine's steady clock in milliseconds, truncated to 32 bits.
std::uint32_t SteadyTickCount();

// The clock in use; safe to call from any thread.
const TickClock &CurrentTickClock();
// Installs a clock (nullptr restores the steady clock). The caller keeps ownership.
void SetCurrentTickClock(const TickClock *clock);
