// The real serial device: termios2 and modem-line ioctls on a Linux tty.
// The watcher's wait is TIOCMIWAIT; it is broken by a signal whose handler
// does not restart system calls, since closing the descriptor from another
// thread would not wake it.
#pragma once

#include "comms/SerialDevice.h"

#include <QString>
#include <mutex>
#include <pthread.h>

class LinuxSerialDevice : public SerialDevice
{
public:
    explicit LinuxSerialDevice(const QString &path);
    ~LinuxSerialDevice() override;

    int Open() override;
    int Configure(const SerialLineSettings &settings) override;
    void Close() override;
    int ReadModemStatus(std::uint32_t &status) override;
    int WaitForChange() override;
    void InterruptWait() override;
    bool ReadEdgeCounters(ModemEdgeCounters &counters) override;
    int InputCount() override;
    bool CtsAlwaysOn() const override;

private:
    int ApplyTermios(const SerialLineSettings &settings);
    int SetModemLine(int line, bool on);
    void RequestLowLatency();

    QString m_path;
    int m_fd = -1;

    std::mutex m_waitMutex;
    bool m_waiting = false;
    pthread_t m_waiter{};
    bool m_interrupted = false;
};

// TIOCM_* line bits as MS_* modem status bits.
std::uint32_t ModemStatusFromLines(int lines);
