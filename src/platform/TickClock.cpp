#include "platform/TickClock.h"

#include <atomic>
#include <chrono>

namespace {

class SteadyTickClock : public TickClock
{
public:
    std::uint32_t TickCount() const override { return SteadyTickCount(); }
};

const SteadyTickClock steadyClock;
std::atomic<const TickClock *> installedClock = nullptr;

} // namespace

std::uint32_t SteadyTickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

const TickClock &CurrentTickClock()
{
    const TickClock *installed = installedClock.load();
    return installed ? *installed : steadyClock;
}

void SetCurrentTickClock(const TickClock *clock)
{
    installedClock.store(clock);
}
