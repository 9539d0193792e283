// The scripted serial device.
#include "comms/FakeSerialDevice.h"

#include "comms/ModemLineEvent.h"

#include <cerrno>
#include <chrono>
#include <utility>

FakeSerialDevice::FakeSerialDevice() = default;

FakeSerialDevice::FakeSerialDevice(const Behaviour &behaviour) : m_behaviour(behaviour) {}

int FakeSerialDevice::Open()
{
    std::lock_guard lock(m_mutex);
    m_open = m_behaviour.openError == 0;
    return m_behaviour.openError;
}

int FakeSerialDevice::Configure(const SerialLineSettings &settings)
{
    std::lock_guard lock(m_mutex);
    m_settings = settings;
    if (m_behaviour.ctsAlwaysOn)
        m_status |= MS_CTS_ON;
    return m_behaviour.configureError;
}

void FakeSerialDevice::Close()
{
    std::lock_guard lock(m_mutex);
    m_open = false;
}

int FakeSerialDevice::ReadModemStatus(std::uint32_t &status)
{
    std::lock_guard lock(m_mutex);
    if (m_goneError)
        return m_goneError;
    status = m_status;
    m_readSnapshot = m_edges;
    m_read = true;
    ++m_readsSinceEdge;
    SwitchLocked(std::exchange(m_switchAfterRead, 0));
    m_changed.notify_all();
    return 0;
}

int FakeSerialDevice::WaitForChange()
{
    std::unique_lock lock(m_mutex);
    ++m_waitCalls;
    if (!m_behaviour.canWait)
        return ENOTTY;
    const std::uint64_t snapshot = m_edges;
    m_waiterSnapshot = snapshot;
    m_waiting = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_interrupted || m_goneError || m_edges != snapshot; });
    m_waiting = false;
    if (m_goneError)
        return m_goneError;
    if (m_edges != snapshot)
        return 0;
    m_interrupted = false;
    return EINTR;
}

void FakeSerialDevice::InterruptWait()
{
    std::lock_guard lock(m_mutex);
    m_interrupted = true;
    m_changed.notify_all();
}

bool FakeSerialDevice::ReadEdgeCounters(ModemEdgeCounters &counters)
{
    std::lock_guard lock(m_mutex);
    if (!m_behaviour.hasCounters)
        return false;
    counters = m_counters;
    return true;
}

void FakeSerialDevice::SwitchLocked(std::uint32_t bits)
{
    m_status ^= bits;
    if (bits & MS_CTS_ON)
        ++m_counters.cts;
    if (bits & MS_DSR_ON)
        ++m_counters.dsr;
    if (bits & (MS_CTS_ON | MS_DSR_ON)) {
        ++m_edges;
        m_readsSinceEdge = 0;
    }
}

void FakeSerialDevice::SetLine(std::uint32_t bit, bool on)
{
    std::lock_guard lock(m_mutex);
    if (bool(m_status & bit) != on)
        SwitchLocked(bit);
    m_changed.notify_all();
}

void FakeSerialDevice::ToggleLines(std::uint32_t bits)
{
    std::lock_guard lock(m_mutex);
    SwitchLocked(bits);
    m_changed.notify_all();
}

void FakeSerialDevice::Pulse(std::uint32_t bit)
{
    std::lock_guard lock(m_mutex);
    SwitchLocked(bit);
    SwitchLocked(bit);
    m_changed.notify_all();
}

void FakeSerialDevice::SwitchAfterNextRead(std::uint32_t bits)
{
    std::lock_guard lock(m_mutex);
    m_switchAfterRead = bits;
}

void FakeSerialDevice::Unplug(int error)
{
    std::lock_guard lock(m_mutex);
    m_goneError = error;
    m_changed.notify_all();
}

bool FakeSerialDevice::WaitUntilWatched(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        const bool seen = m_read && m_readSnapshot == m_edges;
        // Without a wait to go by, a second read shows that the reading the
        // first belonged to (levels between two counter reads) is complete.
        return m_behaviour.canWait ? seen && m_waiting && m_waiterSnapshot == m_edges
                                   : m_readsSinceEdge >= 2;
    });
}

bool FakeSerialDevice::IsOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

SerialLineSettings FakeSerialDevice::Settings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

int FakeSerialDevice::WaitCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_waitCalls;
}

std::uint32_t FakeSerialDevice::Lines() const
{
    std::lock_guard lock(m_mutex);
    return m_status;
}
