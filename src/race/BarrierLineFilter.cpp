// Light-barrier line filter: level memory and contact modes.
#include "race/BarrierLineFilter.h"

bool BarrierLineFilter::IsPulse(std::uint32_t modemStatus, int contactMode)
{
    const std::uint32_t level = modemStatus & m_mask;
    if (level == m_level)
        return false;
    m_level = level;
    const bool on = level != 0;
    switch (contactMode) {
    case ContactOn:
        return on;
    case ContactOff:
        return !on;
    case ContactChange:
        return true;
    default:
        return false;
    }
}
