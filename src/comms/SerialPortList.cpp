// Serial device list, port numbering and the start-up probe.
#include "comms/SerialPortList.h"

#include "comms/Comms.h"
#include "comms/SimSerialDevice.h"
#include "protocol/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList g_portDevices;
std::uint32_t g_availablePorts = 0;

QString ReadSysfsText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

QStringList ActiveConsoles(const QString &sysClassTty)
{
    return ReadSysfsText(sysClassTty + QStringLiteral("/console/active"))
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// An 8250 port slot with no UART behind it reports type 0 (unknown).
bool IsEmptyUartSlot(const QString &sysClassTty, const QString &name)
{
    return ReadSysfsText(sysClassTty + QLatin1Char('/') + name + QStringLiteral("/type")) ==
           QStringLiteral("0");
}

struct PortKey
{
    int kind = 0;
    int number = 0;
    QString name;
};

} // namespace

QStringList ListSerialDevices(const QString &sysClassTty, const QString &devDir)
{
    static const QRegularExpression pattern(QStringLiteral("^tty(S|USB|ACM)(\\d+)$"));
    static const QStringList kinds{QStringLiteral("S"), QStringLiteral("USB"),
                                   QStringLiteral("ACM")};
    const QStringList consoles = ActiveConsoles(sysClassTty);
    QList<PortKey> ports;
    for (const QString &name : QDir(sysClassTty).entryList(QDir::AllEntries | QDir::System)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch() || consoles.contains(name) || IsEmptyUartSlot(sysClassTty, name))
            continue;
        ports.append({int(kinds.indexOf(match.captured(1))), match.captured(2).toInt(), name});
    }
    std::sort(ports.begin(), ports.end(), [](const PortKey &a, const PortKey &b) {
        return std::tie(a.kind, a.number) < std::tie(b.kind, b.number);
    });
    QStringList devices;
    for (const PortKey &port : ports)
        devices << devDir + QLatin1Char('/') + port.name;
    return devices;
}

bool IsActiveConsole(const QString &devicePath, const QString &sysClassTty)
{
    const QString resolved = QFileInfo(devicePath).canonicalFilePath();
    const QString name = QFileInfo(resolved.isEmpty() ? devicePath : resolved).fileName();
    return ActiveConsoles(sysClassTty).contains(name);
}

bool OpensAsTty(const QString &devicePath)
{
    if (IsActiveConsole(devicePath))
        return false;
    const int fd = ::open(QFile::encodeName(devicePath).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ProbeCountsDevice(errno, false);
    const bool tty = ::isatty(fd);
    ::close(fd);
    return ProbeCountsDevice(0, tty);
}

bool ProbeCountsDevice(int openError, bool isTty)
{
    if (openError == EACCES || openError == EPERM)
        return true;
    return openError == 0 && isTty;
}

QString SerialDeviceDescription(const QString &devicePath)
{
    if (IsSimDeviceName(devicePath))
        return QStringLiteral("Lichtschranken-Simulator");
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() == devicePath)
            return info.description().isEmpty() ? info.manufacturer() : info.description();
    }
    return {};
}

std::uint32_t ProbeResult(const QStringList &devices,
                          const std::function<bool(const QString &device)> &opensAsTty)
{
    std::uint32_t result = 0;
    for (int n = 1; n <= std::min<int>(devices.size(), MaxSerialPorts); ++n) {
        if (opensAsTty(devices[n - 1]))
            result = (result & 0xFFFF) | (1u << (n - 1)) | (std::uint32_t(n) << 16);
    }
    return result;
}

std::uint32_t ProbeSerialPorts(const QStringList &candidates,
                               const std::function<bool(const QString &device)> &opensAsTty)
{
    g_portDevices = candidates.mid(0, MaxSerialPorts);
    g_availablePorts = ProbeResult(g_portDevices, opensAsTty);
    return g_availablePorts;
}

std::uint32_t ProbeSerialPorts()
{
    QStringList candidates = ListSerialDevices();
    const QString simulator = SimDeviceFromEnvironment();
    if (!simulator.isEmpty())
        candidates.prepend(simulator);
    return ProbeSerialPorts(candidates, [](const QString &device) {
        return IsSimDeviceName(device) || OpensAsTty(device);
    });
}

std::uint32_t AvailablePorts()
{
    return g_availablePorts;
}

QString SerialDeviceName(int port)
{
    return port >= 1 && port <= g_portDevices.size() ? g_portDevices[port - 1] : QString();
}

int SerialPortNumber(const QString &deviceName)
{
    return deviceName.isEmpty() ? 0 : int(g_portDevices.indexOf(deviceName)) + 1;
}

int ResolveStoredPort(int storedPort, const QString &storedDevice)
{
    const QString simulator = SimDeviceFromEnvironment();
    if (!simulator.isEmpty())
        return SerialPortNumber(simulator);
    return storedDevice.isEmpty() ? storedPort : SerialPortNumber(storedDevice);
}

QString BarrierDisconnectedNotice()
{
    return QStringLiteral("Lichtschranke getrennt");
}

QString PortBusyNotice(int port)
{
    return QStringLiteral("COM%1 ist von einem anderen Programm belegt").arg(port);
}

// Debian gives serial devices to the group dialout; membership is the remedy.
QString PermissionDeniedNotice(const QString &device)
{
    return QStringLiteral("Keine Berechtigung für %1: Benutzer zur Gruppe dialout hinzufügen")
        .arg(device);
}

QString PortDisplayName(int port)
{
    const QString device = SerialDeviceName(port);
    return device.isEmpty() ? QStringLiteral("COM%1").arg(port)
                            : QStringLiteral("COM%1 (%2)").arg(port).arg(device);
}

QString PortOpenFailedNotice(int port, int errorCode)
{
    return QStringLiteral("%1 lässt sich nicht öffnen: %2")
        .arg(PortDisplayName(port), SystemErrorText(errorCode));
}

QString NoBarrierText()
{
    return QStringLiteral("Keine Lichtschranke");
}

QString BarrierConnectedText(int port)
{
    return QStringLiteral("Lichtschranke: %1 verbunden").arg(PortDisplayName(port));
}

QString BarrierUnpluggedText()
{
    return QStringLiteral("Lichtschranke getrennt – Stopps nur von Hand");
}

QString BarrierFailedText(const QString &port, const QString &reason)
{
    return QStringLiteral("Lichtschranke: %1 – %2").arg(port, reason);
}

QString CtsUnusableNotice(int port)
{
    return QStringLiteral("COM%1 meldet CTS immer an: Lichtschranke 2 (7-8) geht an diesem "
                          "Adapter nicht")
        .arg(port);
}
