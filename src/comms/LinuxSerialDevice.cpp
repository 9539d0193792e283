// The Linux serial backend.
#include "comms/LinuxSerialDevice.h"

#include "comms/ModemLineEvent.h"
#include "comms/SerialPortList.h"

#include <QFile>
#include <QFileInfo>
#include <asm/termbits.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int WakeSignal()
{
    return SIGRTMIN + 4;
}

void IgnoreWakeSignal(int) {}

// Installed once, without SA_RESTART, so that a blocked TIOCMIWAIT returns EINTR.
void InstallWakeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = IgnoreWakeSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(WakeSignal(), &action, nullptr);
    });
}

int ErrorOf(int result)
{
    return result < 0 ? errno : 0;
}

tcflag_t DataBitsFlag(int dataBits)
{
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

tcflag_t ParityFlags(int parity)
{
    static constexpr tcflag_t flags[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                         PARENB | CMSPAR};
    return parity >= 0 && parity < 5 ? flags[parity] : 0;
}

} // namespace

std::uint32_t ModemStatusFromLines(int lines)
{
    std::uint32_t status = 0;
    if (lines & TIOCM_CTS)
        status |= MS_CTS_ON;
    if (lines & TIOCM_DSR)
        status |= MS_DSR_ON;
    if (lines & TIOCM_RNG)
        status |= MS_RING_ON;
    if (lines & TIOCM_CAR)
        status |= MS_RLSD_ON;
    return status;
}

LinuxSerialDevice::LinuxSerialDevice(const QString &path) : m_path(path) {}

LinuxSerialDevice::~LinuxSerialDevice()
{
    Close();
}

int LinuxSerialDevice::Open()
{
    // Whatever a setting says, the console stays the console.
    if (IsActiveConsole(m_path))
        return EBUSY;
    // Non-blocking so that the open does not wait for carrier detect.
    m_fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return errno;
    int error = ::isatty(m_fd) ? 0 : ENOTTY;
    if (!error && ::flock(m_fd, LOCK_EX | LOCK_NB) < 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    if (!error)
        error = ErrorOf(::ioctl(m_fd, TIOCEXCL));
    if (error)
        Close();
    return error;
}

int LinuxSerialDevice::Configure(const SerialLineSettings &settings)
{
    // A device without modem lines (a pseudo-terminal, say) cannot carry a
    // barrier; find out before changing anything.
    int lines = 0;
    if (const int error = ErrorOf(::ioctl(m_fd, TIOCMGET, &lines)))
        return error;
    if (const int error = ApplyTermios(settings))
        return error;
    RequestLowLatency();
    if (const int error = SetModemLine(TIOCM_DTR, settings.enableDtr))
        return error;
    // With RTS/CTS handshake and nothing ever read, RTS stays raised; without
    // it RTS is held low.
    return SetModemLine(TIOCM_RTS, settings.flowControl == 1);
}

int LinuxSerialDevice::ApplyTermios(const SerialLineSettings &settings)
{
    struct termios2 tio = {};
    if (const int error = ErrorOf(::ioctl(m_fd, TCGETS2, &tio)))
        return error;
    tio.c_iflag = IGNBRK | IGNPAR;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag = CREAD | CLOCAL | BOTHER | DataBitsFlag(settings.dataBits) |
                  ParityFlags(settings.parity) | (settings.stopBits ? CSTOPB : 0);
    if (settings.flowControl == 1)
        tio.c_cflag |= CRTSCTS;
    if (settings.flowControl == 2)
        tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    // Reads return at once with whatever is there.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_ispeed = tio.c_ospeed = speed_t(settings.baudRate);
    return ErrorOf(::ioctl(m_fd, TCSETS2, &tio));
}

int LinuxSerialDevice::SetModemLine(int line, bool on)
{
    return ErrorOf(::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &line));
}

// FTDI adapters otherwise report line changes only every 16 ms. Not every
// driver knows the flag; the port works without it.
void LinuxSerialDevice::RequestLowLatency()
{
    struct serial_struct serial = {};
    if (::ioctl(m_fd, TIOCGSERIAL, &serial) < 0 || (serial.flags & ASYNC_LOW_LATENCY))
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(m_fd, TIOCSSERIAL, &serial);
}

void LinuxSerialDevice::Close()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
}

int LinuxSerialDevice::ReadModemStatus(std::uint32_t &status)
{
    int lines = 0;
    if (const int error = ErrorOf(::ioctl(m_fd, TIOCMGET, &lines)))
        return error;
    status = ModemStatusFromLines(lines);
    return 0;
}

int LinuxSerialDevice::WaitForChange()
{
    InstallWakeSignal();
    {
        std::lock_guard lock(m_waitMutex);
        if (std::exchange(m_interrupted, false))
            return EINTR;
        m_waiting = true;
        m_waiter = pthread_self();
    }
    const int error = ErrorOf(::ioctl(m_fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR));
    std::lock_guard lock(m_waitMutex);
    m_waiting = false;
    if (error == EINTR)
        m_interrupted = false;
    return error;
}

void LinuxSerialDevice::InterruptWait()
{
    std::lock_guard lock(m_waitMutex);
    m_interrupted = true;
    // The waiter clears m_waiting under this lock before it can end, so the
    // thread is still alive here.
    if (m_waiting)
        pthread_kill(m_waiter, WakeSignal());
}

bool LinuxSerialDevice::ReadEdgeCounters(ModemEdgeCounters &counters)
{
    struct serial_icounter_struct icount = {};
    if (::ioctl(m_fd, TIOCGICOUNT, &icount) < 0)
        return false;
    counters.cts = std::uint32_t(icount.cts);
    counters.dsr = std::uint32_t(icount.dsr);
    return true;
}

int LinuxSerialDevice::InputCount()
{
    int count = 0;
    return ::ioctl(m_fd, FIONREAD, &count) < 0 ? 0 : count;
}

bool LinuxSerialDevice::CtsAlwaysOn() const
{
    const QString resolved = QFileInfo(m_path).canonicalFilePath();
    return QFileInfo(resolved.isEmpty() ? m_path : resolved)
        .fileName()
        .startsWith(QStringLiteral("ttyACM"));
}
