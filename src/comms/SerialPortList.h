// Which serial devices the machine has and in what order they are numbered
// COM1, COM2, ...: on-board ports (ttyS) first, then USB adapters (ttyUSB),
// then CDC-ACM adapters (ttyACM), each by number. Found from sysfs without
// opening anything; the kernel's active console is never among them.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

constexpr int MaxSerialPorts = 9;

// Device paths ("/dev/ttyUSB0", ...) in port order.
QStringList ListSerialDevices(const QString &sysClassTty = QStringLiteral("/sys/class/tty"),
                              const QString &devDir = QStringLiteral("/dev"));
// True when the device (a path, links resolved) is the kernel's active console.
bool IsActiveConsole(const QString &devicePath,
                     const QString &sysClassTty = QStringLiteral("/sys/class/tty"));
// The probe's check: opens without blocking and without changing any
// setting, asks whether it is a terminal, closes.
bool OpensAsTty(const QString &devicePath);
// Its verdict. A device the user may not open is still offered: choosing it
// tells the operator what is missing, rather than the port never showing.
bool ProbeCountsDevice(int openError, bool isTty);
// What the system knows of a device ("FT232R USB UART"), so the operator
// recognises the adapter; "" when it knows nothing. Opens nothing.
QString SerialDeviceDescription(const QString &devicePath);
// Bit n-1 for each COMn whose check passes, the highest such n in the high half.
std::uint32_t ProbeResult(const QStringList &devices,
                          const std::function<bool(const QString &device)> &opensAsTty);
