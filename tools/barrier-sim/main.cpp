// barrier-sim: feeds light-barrier pulses into a running Duobahn whose port
// is the simulator (DUOBAHN_BARRIER_SIM=<socket>), so a race day can be
// rehearsed without hardware. See README.md beside this file.
#include "comms/BarrierSimScript.h"
#include "comms/SimSerialDevice.h"

#include <QCoreApplication>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

const char DefaultSocket[] = "/tmp/duobahn-barrier.sock";

// Sends one device command and prints the device's answer.
bool Send(int fd, const QString &command)
{
    const QByteArray reply = AskSim(fd, command);
    std::printf("%s: %s\n", qPrintable(command), reply.constData());
    std::fflush(stdout);
    return !reply.isEmpty();
}

bool Run(int fd, const QString &text)
{
    std::vector<SimStep> steps;
    QString error;
    if (!PlanSimCommand(text, steps, error)) {
        std::fprintf(stderr, "barrier-sim: %s\n", qPrintable(error));
        return true; // a typing error does not end an interactive session
    }
    for (const SimStep &step : steps) {
        std::this_thread::sleep_for(std::chrono::milliseconds(step.delayMs));
        if (!step.command.isEmpty() && !Send(fd, step.command))
            return false;
    }
    return true;
}

void Usage()
{
    std::fprintf(stderr,
                 "usage: barrier-sim [--socket PATH] [COMMAND [; COMMAND ...]]\n"
                 "  COMMAND: lane1|lane2|dsr|cts on|off|toggle\n"
                 "           lane1|lane2|dsr|cts pulse [N times] [every MS ms] [width MS ms]\n"
                 "           both toggle | wait MS | status | unplug\n"
                 "Without a command, commands are read from standard input, one per line.\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString socket = qEnvironmentVariable(BarrierSimEnvironmentVariable, DefaultSocket);
    if (args.value(0) == QStringLiteral("--help") || args.value(0) == QStringLiteral("-h")) {
        Usage();
        return 0;
    }
    if (args.value(0) == QStringLiteral("--socket") && args.size() >= 2) {
        socket = args[1];
        args = args.mid(2);
    }
    const int fd = ConnectToSim(socket);
    if (fd < 0) {
        std::fprintf(stderr,
                     "barrier-sim: no Duobahn listening on %s (start it with %s=%s and the "
                     "simulator as its port)\n",
                     qPrintable(socket), BarrierSimEnvironmentVariable, qPrintable(socket));
        return 1;
    }
    bool ok = true;
    if (!args.isEmpty()) {
        for (const QString &command : args.join(QLatin1Char(' ')).split(QLatin1Char(';')))
            ok = ok && Run(fd, command);
    } else {
        QTextStream in(stdin);
        for (QString line; ok && in.readLineInto(&line);) {
            if (!line.trimmed().startsWith(QLatin1Char('#')))
                ok = Run(fd, line);
        }
    }
    ::close(fd);
    if (!ok)
        std::fprintf(stderr, "barrier-sim: the connection to Duobahn was lost\n");
    return ok ? 0 : 1;
}
