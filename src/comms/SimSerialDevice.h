// The barrier simulator's device: a scripted device whose lines are switched
// by commands that arrive on a local socket (sent by tools/barrier-sim), so
// a race day can be rehearsed without hardware through the port's own
// watcher and handlers. Chosen by a device name "sim:<socket path>".
#pragma once

#include "comms/FakeSerialDevice.h"

#include <QString>
#include <optional>
#include <sys/types.h>
#include <thread>
#include <utility>

// Environment variable naming the socket; when set, the simulator is COM1.
constexpr char BarrierSimEnvironmentVariable[] = "DUOBAHN_BARRIER_SIM";

bool IsSimDeviceName(const QString &deviceName);
QString SimSocketPath(const QString &deviceName);
// "sim:<path>" from the environment, or "" when the variable is not set.
QString SimDeviceFromEnvironment();

// Carries out one command line on the device and returns the reply line:
// "cts|dsr on|off|toggle|pulse", "both toggle", "unplug", "status".
QString ApplySimCommand(FakeSerialDevice &device, const QString &command);

// The status line text for a socket path that cannot be used: another file
// there (EEXIST), a socket another program serves (EADDRINUSE), or else.
QString SimSocketNotice(const QString &socketPath, int errorCode);

// The client side, for barrier-sim: a connected socket or -1, and one
// command sent with the device's reply read back ("" when the link broke).
int ConnectToSim(const QString &socketPath);
QByteArray AskSim(int fd, const QString &command);

class SimSerialDevice : public FakeSerialDevice
{
public:
    explicit SimSerialDevice(const QString &socketPath);
    ~SimSerialDevice() override;

    // Listens on the socket; fails like an open when the path is unusable.
    // Only a dead socket (left by a run that ended abruptly) is replaced;
    // any other file there fails with EEXIST and stays.
    int Open() override;
    // Removes the socket file only while it is still the one Open made.
    void Close() override;

private:
    void Serve();
    void ServeClient(int &clientFd, QByteArray &pending);

    QString m_socketPath;
    int m_listenFd = -1;
    int m_wakePipe[2] = {-1, -1};
    std::thread m_listener;
    std::optional<std::pair<dev_t, ino_t>> m_createdSocket;
};
