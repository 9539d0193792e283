// A serial device in memory whose lines are switched by a script: tests run
// the real watcher, queue, dispatch and close code against it, and the
// barrier simulator drives it from a socket. Its wait behaves like the
// kernel's TIOCMIWAIT: it wakes on a CTS/DSR edge after the wait began.
#pragma once

#include "comms/SerialDevice.h"

#include <condition_variable>
#include <mutex>

class FakeSerialDevice : public SerialDevice
{
public:
    struct Behaviour
    {
        int openError = 0;       // what Open answers
        int configureError = 0;  // what Configure answers
        bool canWait = true;     // false: the wait answers ENOTTY (cp210x)
        bool hasCounters = true; // false: no edge counters
        bool ctsAlwaysOn = false;
    };

    FakeSerialDevice();
    explicit FakeSerialDevice(const Behaviour &behaviour);

    int Open() override;
    int Configure(const SerialLineSettings &settings) override;
    void Close() override;
    int ReadModemStatus(std::uint32_t &status) override;
    int WaitForChange() override;
    void InterruptWait() override;
    bool ReadEdgeCounters(ModemEdgeCounters &counters) override;
    int InputCount() override { return 0; }
    bool CtsAlwaysOn() const override { return m_behaviour.ctsAlwaysOn; }

    // The script. Bits are MS_* values.
    void SetLine(std::uint32_t bit, bool on);
    void ToggleLines(std::uint32_t bits); // every line in bits switches, all at once
    // The line switches twice at once: a beam interruption shorter than the
    // gap between two readings.
    void Pulse(std::uint32_t bit);
    // The lines in bits switch right after the next status read, before
    // the reader can begin another wait.
    void SwitchAfterNextRead(std::uint32_t bits);
    // Later reads and waits fail with error, as after pulling the adapter.
    void Unplug(int error);

    // Blocks until the watcher has read the lines since the last edge and,
    // where the device can wait, sits in a wait that began after it, so that
    // the next edge is certain to be seen on its own; false after timeoutMs.
    bool WaitUntilWatched(int timeoutMs);

    bool IsOpen() const;
    SerialLineSettings Settings() const;
    int WaitCalls() const;
    std::uint32_t Lines() const;

private:
    void SwitchLocked(std::uint32_t bits);

    Behaviour m_behaviour;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint32_t m_status = 0;
    ModemEdgeCounters m_counters;
    std::uint64_t m_edges = 0;          // all CTS/DSR edges so far
    std::uint64_t m_waiterSnapshot = 0; // m_edges when the current wait began
    bool m_waiting = false;
    std::uint64_t m_readSnapshot = 0; // m_edges at the last status read
    bool m_read = false;
    std::uint32_t m_switchAfterRead = 0;
    int m_readsSinceEdge = 0;
    bool m_interrupted = false;
    int m_goneError = 0;
    bool m_open = false;
    SerialLineSettings m_settings;
    int m_waitCalls = 0;
};
