// The seam between the port component and a serial device: the real Linux
// backend, the scripted fake used by tests and the barrier simulator all
// look like this to TComPort and its watcher thread.
#pragma once

#include <cstdint>

// Line settings a device is opened with; ordinals as stored in the settings.
struct SerialLineSettings
{
    int baudRate = 9600;   // bits per second
    int dataBits = 8;      // 5..8
    int parity = 0;        // none, odd, even, mark, space
    int stopBits = 0;      // one, one and a half, two
    int flowControl = 0;   // none, RTS/CTS, XON/XOFF
    bool enableDtr = true; // DTR raised while open
};

// Edge counters of the two barrier inputs, as the kernel keeps them.
struct ModemEdgeCounters
{
    std::uint32_t cts = 0;
    std::uint32_t dsr = 0;
};

class SerialDevice
{
public:
    virtual ~SerialDevice() = default;

    // Opens the device for this program alone; 0 or the system error code.
    virtual int Open() = 0;
    // Applies the line settings and raises DTR/RTS as they ask; 0 or the error code.
    virtual int Configure(const SerialLineSettings &settings) = 0;
    virtual void Close() = 0;

    // Reads the line levels as MS_* bits; 0 or the error code.
    virtual int ReadModemStatus(std::uint32_t &status) = 0;
    // Blocks until CTS or DSR changes after the call began. Returns 0 on a
    // change, EINTR when interrupted, ENOTTY when the driver cannot wait (the
    // caller polls instead), EIO/ENODEV when the device is gone.
    virtual int WaitForChange() = 0;
    // Called from another thread: the current wait, or the next one if none
    // is under way, returns EINTR.
    virtual void InterruptWait() = 0;
    // False when the driver keeps no edge counters.
    virtual bool ReadEdgeCounters(ModemEdgeCounters &counters) = 0;
    // Bytes waiting in the receive queue.
    virtual int InputCount() = 0;
    // True for adapters that report CTS as always on (lane 2 cannot work there).
    virtual bool CtsAlwaysOn() const { return false; }
};
