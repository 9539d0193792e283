// The barrier simulator's socket-driven device.
#include "comms/SimSerialDevice.h"

#include "comms/ModemLineEvent.h"

#include <QFile>
#include <QMap>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

const QString SimPrefix = QStringLiteral("sim:");

std::uint32_t LineBits(const QString &name)
{
    static const QMap<QString, std::uint32_t> lines{
        {QStringLiteral("cts"), MS_CTS_ON},
        {QStringLiteral("dsr"), MS_DSR_ON},
        {QStringLiteral("both"), MS_CTS_ON | MS_DSR_ON},
    };
    return lines.value(name, 0);
}

QString StatusReply(const FakeSerialDevice &device)
{
    const std::uint32_t lines = device.Lines();
    return QStringLiteral("ok cts=%1 dsr=%2")
        .arg(lines & MS_CTS_ON ? 1 : 0)
        .arg(lines & MS_DSR_ON ? 1 : 0);
}

bool ApplyLineAction(FakeSerialDevice &device, std::uint32_t bits, const QString &action)
{
    const bool single = bits == MS_CTS_ON || bits == MS_DSR_ON;
    if (action == QStringLiteral("toggle"))
        device.ToggleLines(bits);
    else if (single && action == QStringLiteral("pulse"))
        device.Pulse(bits);
    else if (single && (action == QStringLiteral("on") || action == QStringLiteral("off")))
        device.SetLine(bits, action == QStringLiteral("on"));
    else
        return false;
    return true;
}

bool FillAddress(const QString &socketPath, sockaddr_un &address)
{
    const QByteArray path = QFile::encodeName(socketPath);
    address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::copy(path.begin(), path.end(), address.sun_path);
    return true;
}

// Device and inode of the socket file at the path, when a socket is there.
std::optional<std::pair<dev_t, ino_t>> FileIdentityOf(const QString &path)
{
    struct stat status
    {};
    if (::lstat(QFile::encodeName(path).constData(), &status) < 0 || !S_ISSOCK(status.st_mode))
        return std::nullopt;
    return std::make_pair(status.st_dev, status.st_ino);
}

// A socket that nobody listens on is what a run that ended abruptly leaves
// behind, and it is removed. Anything else at the path stays: another file
// (EEXIST) or a socket another program serves (EADDRINUSE).
int ClearDeadSocket(const QString &path)
{
    struct stat status
    {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &status) < 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISSOCK(status.st_mode))
        return EEXIST;
    const int probe = ConnectToSim(path);
    if (probe >= 0) {
        ::close(probe);
        return EADDRINUSE;
    }
    return ::unlink(name.constData()) < 0 ? errno : 0;
}

} // namespace

QString SimSocketNotice(const QString &socketPath, int errorCode)
{
    const QString prefix = QStringLiteral("Lichtschranken-Simulator: ") + socketPath;
    switch (errorCode) {
    case EEXIST:
        return prefix + QStringLiteral(" ist eine andere Datei und bleibt, wie sie ist");
    case EADDRINUSE:
        return prefix + QStringLiteral(" wird schon von einem anderen Programm bedient");
    default:
        return prefix + QStringLiteral(" geht nicht: ") +
               QString::fromLocal8Bit(std::strerror(errorCode));
    }
}

int ConnectToSim(const QString &socketPath)
{
    sockaddr_un address;
    if (!FillAddress(socketPath, address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray AskSim(int fd, const QString &command)
{
    const QByteArray line = command.toUtf8() + '\n';
    if (::write(fd, line.constData(), line.size()) != line.size())
        return {};
    QByteArray reply;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        reply += c;
    return reply;
}

bool IsSimDeviceName(const QString &deviceName)
{
    return deviceName.startsWith(SimPrefix);
}

QString SimSocketPath(const QString &deviceName)
{
    return deviceName.mid(SimPrefix.size());
}

QString SimDeviceFromEnvironment()
{
    const QString path = qEnvironmentVariable(BarrierSimEnvironmentVariable);
    return path.isEmpty() ? QString() : SimPrefix + path;
}

QString ApplySimCommand(FakeSerialDevice &device, const QString &command)
{
    const QStringList words =
        command.trimmed().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words == QStringList{QStringLiteral("status")})
        return StatusReply(device);
    if (words == QStringList{QStringLiteral("unplug")}) {
        device.Unplug(ENODEV);
        return QStringLiteral("ok unplugged");
    }
    if (words.size() == 2 && LineBits(words[0]) &&
        ApplyLineAction(device, LineBits(words[0]), words[1]))
        return StatusReply(device);
    return QStringLiteral("error: unknown command: ") + command.trimmed();
}

SimSerialDevice::SimSerialDevice(const QString &socketPath) : m_socketPath(socketPath) {}

SimSerialDevice::~SimSerialDevice()
{
    Close();
}

int SimSerialDevice::Open()
{
    if (const int error = FakeSerialDevice::Open())
        return error;
    sockaddr_un address;
    if (!FillAddress(m_socketPath, address))
        return ENAMETOOLONG;
    int error = ClearDeadSocket(m_socketPath);
    if (!error) {
        m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        error = m_listenFd < 0 ? errno : 0;
    }
    if (!error && (::bind(m_listenFd, reinterpret_cast<sockaddr *>(&address), sizeof address) < 0 ||
                   ::listen(m_listenFd, 4) < 0 || ::pipe2(m_wakePipe, O_CLOEXEC) < 0))
        error = errno;
    if (!error)
        m_createdSocket = FileIdentityOf(m_socketPath);
    if (error) {
        Close();
        return error;
    }
    m_listener = std::thread([this] { Serve(); });
    return 0;
}

void SimSerialDevice::Close()
{
    if (m_listener.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const auto written = ::write(m_wakePipe[1], &stop, 1);
        m_listener.join();
    }
    for (int *fd : {&m_listenFd, &m_wakePipe[0], &m_wakePipe[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    // Only the socket this device bound goes; whatever another program put
    // there since stays.
    if (m_createdSocket && FileIdentityOf(m_socketPath) == m_createdSocket)
        ::unlink(QFile::encodeName(m_socketPath).constData());
    m_createdSocket.reset();
    FakeSerialDevice::Close();
}

void SimSerialDevice::Serve()
{
    std::vector<pollfd> fds{{m_wakePipe[0], POLLIN, 0}, {m_listenFd, POLLIN, 0}};
    std::vector<QByteArray> pending(2);
    for (;;) {
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            break;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                fds.push_back({client, POLLIN, 0});
                pending.emplace_back();
            }
        }
        for (std::size_t i = 2; i < fds.size();) {
            if (fds[i].revents)
                ServeClient(fds[i].fd, pending[i]);
            if (fds[i].fd < 0) {
                fds.erase(fds.begin() + i);
                pending.erase(pending.begin() + i);
            } else {
                ++i;
            }
        }
    }
    for (std::size_t i = 2; i < fds.size(); ++i)
        ::close(fds[i].fd);
}

void SimSerialDevice::ServeClient(int &clientFd, QByteArray &pending)
{
    char buffer[512];
    const ssize_t got = ::read(clientFd, buffer, sizeof buffer);
    if (got <= 0) {
        ::close(clientFd);
        clientFd = -1;
        return;
    }
    pending.append(buffer, got);
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QString command = QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
        const QByteArray reply = ApplySimCommand(*this, command).toUtf8() + '\n';
        // A client that left without reading its reply must not end the program.
        [[maybe_unused]] const auto written =
            ::send(clientFd, reply.constData(), reply.size(), MSG_NOSIGNAL);
    }
}
