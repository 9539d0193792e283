// The serial line monitor: TComPort opens a serial port, keeps DTR and RTS
// raised for the light barriers and reports every change of CTS and DSR on
// the GUI thread, stamped by the watcher thread the moment it saw it.
#pragma once

#include "comms/ModemLineEvent.h"
#include "comms/SerialDevice.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

class TComThread;
struct ComThreadEntry;

enum TBaudRate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    brUser
};
enum TParity { prNone, prOdd, prEven, prMark, prSpace };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TFlowControl { fcNone, fcRtsCts, fcXonXoff };
enum TEvent { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD };
// A set of TEvent, one bit per ordinal.
using TEvents = std::uint16_t;
constexpr TEvents EventBit(TEvent event)
{
    return TEvents(1u << event);
}
constexpr TEvents AllEvents = 0x1FF;

// Base of the two port errors: the message plus the system error code.
class EComError : public std::runtime_error
{
public:
    EComError(const char *prefix, int code);
    int Code() const { return m_code; }

private:
    int m_code = 0;
};

// "Unable to open com port: <code>"
class EComHandle : public EComError
{
public:
    explicit EComHandle(int code);
    // Another program holds the port.
    bool IsBusy() const;
    // The user may not use the device (not in the group that owns it).
    bool IsPermissionDenied() const;
};

// "Unable to set com state: <code>"
class EComState : public EComError
{
public:
    explicit EComState(int code);
};

// Makes the device for a device name: "sim:<socket>" gives the barrier
// simulator, anything else the Linux serial backend.
using SerialDeviceFactory = std::function<std::shared_ptr<SerialDevice>(const QString &deviceName)>;
std::shared_ptr<SerialDevice> OpenSerialDeviceByName(const QString &deviceName);

class TComPort : public QObject
{
    Q_OBJECT
public:
    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override; // closes the port first

    TBaudRate BaudRate() const { return m_baudRate; }
    void SetBaudRate(TBaudRate value);
    int BaudRateUser() const { return m_baudRateUser; }
    void SetBaudRateUser(int value);
    // 0 = no port, n = COMn (the n-th serial device, see SerialDeviceName).
    std::uint8_t Port() const { return m_port; }
    void SetPort(std::uint8_t value);
    TParity Parity() const { return m_parity; }
    void SetParity(TParity value);
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits value);
    TFlowControl FlowControl() const { return m_flowControl; }
    void SetFlowControl(TFlowControl value);
    // Clamped to 5..8.
    std::uint8_t DataBits() const { return m_dataBits; }
    void SetDataBits(std::uint8_t value);
    TEvents Events() const { return m_events; }
    void SetEvents(TEvents value);
    bool EnableDTR() const { return m_enableDTR; }
    void SetEnableDTR(bool value);
    int WriteBufSize() const { return m_writeBufSize; }
    void SetWriteBufSize(int value);
    int ReadBufSize() const { return m_readBufSize; }
    void SetReadBufSize(int value);

    // The device the current Port stands for ("" when none); the main
    // window stores it beside "Port" to notice a renumbering.
    QString DeviceName() const;

    // Throws EComHandle when the device cannot be opened and EComState when
    // it cannot be set up; the device is released again in both cases.
    void Open();
    void Close();
    bool Connected() const { return m_open; }
    // MS_* bits read now; 0 when the port is closed or the read fails.
    std::uint32_t ModemStatus() const;
    int InputCount() const;
    // The open device holds CTS on (CDC-ACM adapters): lane 2 cannot work.
    bool CtsAlwaysOn() const;

    // Each change of a line, with the tick and levels the watcher read when
    // it woke. When CTS and DSR changed together, OnCTS comes first.
    std::function<void(const ModemLineEvent &)> OnCTS;
    std::function<void(const ModemLineEvent &)> OnDSR;
    std::function<void()> OnOpen;
    std::function<void()> OnClose;
    // The device went away while open (adapter unplugged); raised after
    // OnClose with the system error code.
    std::function<void(int errorCode)> OnDisconnect;

    // Tests and the benchmark give their own devices; the default opens by name.
    void SetDeviceFactory(SerialDeviceFactory factory);

private:
    void ServeLineChanges();
    void Dispatch(const ComThreadEntry &entry);
    SerialLineSettings LineSettings() const;
    std::shared_ptr<SerialDevice> OpenDevice();
    void StartWatcher(std::shared_ptr<SerialDevice> device);

    TBaudRate m_baudRate = br9600;
    int m_baudRateUser = 28800;
    std::uint8_t m_port = 1;
    TParity m_parity = prNone;
    TStopBits m_stopBits = sbOneStopBit;
    TFlowControl m_flowControl = fcNone;
    std::uint8_t m_dataBits = 8;
    TEvents m_events = AllEvents;
    bool m_enableDTR = true;
    int m_writeBufSize = 2048;
    int m_readBufSize = 2048;

    SerialDeviceFactory m_deviceFactory;
    std::shared_ptr<SerialDevice> m_device;
    std::shared_ptr<TComThread> m_thread;
    bool m_open = false;
    bool m_closing = false;
    bool m_dispatching = false;
    int m_disconnectError = 0;
};

// Probes COM1..COM9 and remembers the result and the device names:
// bit n-1 of the low half set when COMn exists, the highest port found in
// the high half. Never opens the kernel console, never changes a setting.
std::uint32_t ProbeSerialPorts();
// The same with the candidate device names and the open check given.
std::uint32_t ProbeSerialPorts(const QStringList &candidates,
                               const std::function<bool(const QString &device)> &opensAsTty);
// The result of the last probe (0 before the first).
std::uint32_t AvailablePorts();

// COMn of the last probe ("" when there is none), and the reverse (0 when
// the device is not among them).
QString SerialDeviceName(int port);
int SerialPortNumber(const QString &deviceName);
// The port to open at start for the stored "Port" and device name: the
// barrier simulator when DUOBAHN_BARRIER_SIM is set; otherwise the stored
// device's present number (0 when it is gone), or the stored port when no
// device name was stored yet.
int ResolveStoredPort(int storedPort, const QString &storedDevice);

// Status line texts.
QString BarrierDisconnectedNotice(); // "Lichtschranke getrennt"
QString PortBusyNotice(int port);
QString PermissionDeniedNotice(const QString &device); // names the dialout remedy
QString CtsUnusableNotice(int port);                   // when CtsAlwaysOn()
// "COM1 (/dev/ttyUSB0)", "COM1" when the probe did not find it.
QString PortDisplayName(int port);
// Any other failure to open: the port and the system's reason.
QString PortOpenFailedNotice(int port, int errorCode);

// The barrier field of the status bar: no port chosen, open, unplugged,
// and a port that could not be opened or found with the reason.
QString NoBarrierText();
QString BarrierConnectedText(int port);
QString BarrierUnpluggedText();
QString BarrierFailedText(const QString &port, const QString &reason);
