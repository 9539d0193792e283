// The serial line monitor component and its errors.
#include "comms/Comms.h"

#include "comms/ComThread.h"
#include "comms/LinuxSerialDevice.h"
#include "comms/SimSerialDevice.h"

#include <QMetaObject>
#include <QScopedValueRollback>
#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

namespace {

int BitsPerSecond(TBaudRate rate, int userRate)
{
    static constexpr int rates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                    19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rate == brUser ? userRate : rates[rate];
}

template <typename T> void StoreIfDifferent(T &member, T value)
{
    if (member != value)
        member = value;
}

} // namespace

EComError::EComError(const char *prefix, int code)
    : std::runtime_error(prefix + std::to_string(code)), m_code(code)
{}

EComHandle::EComHandle(int code) : EComError("Unable to open com port: ", code) {}

bool EComHandle::IsBusy() const
{
    return Code() == EBUSY || Code() == EAGAIN;
}

bool EComHandle::IsPermissionDenied() const
{
    return Code() == EACCES || Code() == EPERM;
}

EComState::EComState(int code) : EComError("Unable to set com state: ", code) {}

std::shared_ptr<SerialDevice> OpenSerialDeviceByName(const QString &deviceName)
{
    if (IsSimDeviceName(deviceName))
        return std::make_shared<SimSerialDevice>(SimSocketPath(deviceName));
    return std::make_shared<LinuxSerialDevice>(deviceName);
}

TComPort::TComPort(QObject *parent) : QObject(parent) {}

TComPort::~TComPort()
{
    Close();
}

void TComPort::SetBaudRate(TBaudRate value)
{
    StoreIfDifferent(m_baudRate, value);
}

void TComPort::SetBaudRateUser(int value)
{
    StoreIfDifferent(m_baudRateUser, value);
}

void TComPort::SetPort(std::uint8_t value)
{
    StoreIfDifferent(m_port, value);
}

void TComPort::SetParity(TParity value)
{
    StoreIfDifferent(m_parity, value);
}

void TComPort::SetStopBits(TStopBits value)
{
    StoreIfDifferent(m_stopBits, value);
}

void TComPort::SetFlowControl(TFlowControl value)
{
    StoreIfDifferent(m_flowControl, value);
}

void TComPort::SetDataBits(std::uint8_t value)
{
    StoreIfDifferent(m_dataBits, std::clamp<std::uint8_t>(value, 5, 8));
}

void TComPort::SetEvents(TEvents value)
{
    StoreIfDifferent(m_events, TEvents(value & AllEvents));
}

void TComPort::SetEnableDTR(bool value)
{
    StoreIfDifferent(m_enableDTR, value);
}

void TComPort::SetWriteBufSize(int value)
{
    StoreIfDifferent(m_writeBufSize, value);
}

void TComPort::SetReadBufSize(int value)
{
    StoreIfDifferent(m_readBufSize, value);
}

QString TComPort::DeviceName() const
{
    return SerialDeviceName(m_port);
}

void TComPort::SetDeviceFactory(SerialDeviceFactory factory)
{
    m_deviceFactory = std::move(factory);
}

SerialLineSettings TComPort::LineSettings() const
{
    return {BitsPerSecond(m_baudRate, m_baudRateUser),
            m_dataBits,
            m_parity,
            m_stopBits,
            m_flowControl,
            m_enableDTR};
}

std::shared_ptr<SerialDevice> TComPort::OpenDevice()
{
    const QString name = DeviceName();
    std::shared_ptr<SerialDevice> device =
        m_deviceFactory ? m_deviceFactory(name) : OpenSerialDeviceByName(name);
    if (!device)
        throw EComHandle(ENOENT);
    if (const int error = device->Open())
        throw EComHandle(error);
    // A device that cannot be set up is released at once, so that the next
    // attempt does not find it still held by us.
    if (const int error = device->Configure(LineSettings())) {
        device->Close();
        throw EComState(error);
    }
    return device;
}

void TComPort::Open()
{
    if (m_closing)
        return;
    Close();
    // Kept local until the watcher runs: a port that cannot be watched is
    // released again and reported like one that cannot be set up.
    const std::shared_ptr<SerialDevice> device = OpenDevice();
    auto thread = std::make_shared<TComThread>(device, m_events, [this] {
        QMetaObject::invokeMethod(this, &TComPort::ServeLineChanges, Qt::QueuedConnection);
    });
    try {
        thread->Start();
    } catch (const std::system_error &error) {
        device->Close();
        throw EComState(error.code().value());
    }
    m_device = device;
    m_thread = std::move(thread);
    m_open = true;
    if (OnOpen)
        OnOpen();
}

void TComPort::Close()
{
    if (!m_open || m_closing)
        return;
    m_closing = true;
    const std::shared_ptr<TComThread> thread = std::move(m_thread);
    thread->Stop();
    // Changes stamped before the stop still reach the handlers, before
    // OnClose; from inside a handler the rest of the queue is dropped
    // instead, so that handlers never run nested.
    if (!m_dispatching) {
        while (std::optional<TComThread::Entry> entry = thread->TakeNext())
            Dispatch(*entry);
    }
    m_device->Close();
    m_device.reset();
    m_open = false;
    m_closing = false;
    const int disconnectError = std::exchange(m_disconnectError, 0);
    if (OnClose)
        OnClose();
    if (disconnectError && OnDisconnect)
        OnDisconnect(disconnectError);
}

void TComPort::ServeLineChanges()
{
    const std::shared_ptr<TComThread> thread = m_thread;
    // A handler that runs a local event loop must not see the next change
    // before it has returned; the outer loop below delivers it afterwards.
    if (!thread || m_dispatching)
        return;
    const QScopedValueRollback dispatching(m_dispatching, true);
    while (m_open && m_thread == thread) {
        std::optional<TComThread::Entry> entry = thread->TakeNext();
        if (!entry)
            break;
        Dispatch(*entry);
    }
}

void TComPort::Dispatch(const ComThreadEntry &entry)
{
    if (entry.deviceGone) {
        m_disconnectError = entry.error;
        Close();
        return;
    }
    const auto &handler = entry.change.line == ModemLine::Cts ? OnCTS : OnDSR;
    if (handler)
        handler(entry.change.event);
}

std::uint32_t TComPort::ModemStatus() const
{
    std::uint32_t status = 0;
    if (!m_device || m_device->ReadModemStatus(status))
        return 0;
    return status;
}

int TComPort::InputCount() const
{
    return m_device ? m_device->InputCount() : 0;
}

bool TComPort::CtsAlwaysOn() const
{
    return m_device && m_device->CtsAlwaysOn();
}
