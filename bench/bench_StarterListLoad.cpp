// Loading the largest starter list the program accepts (100 000 teams)
// into the real main window: the time until the protocol, ranking and both
// lane selectors are ready, the memory it takes, and the cost of the next
// reset's ranking. Runs offscreen; the serial ports are not probed.
#include "app/ApplicationWindows.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "platform/QtPlatform.h"
#include "protocol/StarterList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

class BenchPlatform : public QtPlatform
{
public:
    std::uint32_t ProbeSerialPorts() override { return 0; }
};

QByteArray GeneratedList(int teams)
{
    QByteArray text = "Nr.;TeamName;Klasse;Fahrer;Beifahrer1;Beifahrer2\r\n";
    for (int team = 1; team <= teams; ++team) {
        const QByteArray n = QByteArray::number(team);
        text += n + ";Team Nummer " + n + ";" + QByteArray::number(team % 20 + 1) + ";Fahrer " + n +
                ";Beifahrer A" + n + ";Beifahrer B" + n + "\r\n";
    }
    return text;
}

// A value of /proc/self/status in MB ("VmRSS", "VmHWM").
double StatusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ')[0].toDouble() /
                   1024.0;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    BenchPlatform platform;
    SetCurrentPlatform(&platform);

    const QString fileName = dir.filePath(QStringLiteral("Starterliste.csv"));
    QFile file(fileName);
    const QByteArray bytes = GeneratedList(MaxStarterListTeams);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
    file.close();
    {
        ApplicationWindows windows;
        TFormMain *form = windows.FormMain;
        form->show();
        QApplication::processEvents();
        const double rssBefore = StatusMb("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        if (!form->Protocol->LoadStarterList(fileName))
            qFatal("the list was refused");
        QApplication::processEvents();
        const double loadMs = double(timer.nsecsElapsed()) / 1e6;
        const double rssAfter = StatusMb("VmRSS:");
        timer.restart();
        form->Protocol->RankProtocol();
        const double rankMs = double(timer.nsecsElapsed()) / 1e6;
        std::printf("%d teams, %.1f MB file\n", MaxStarterListTeams, double(bytes.size()) / 1e6);
        std::printf("load into the window (grid, ranking, selectors, paint): %8.1f ms\n", loadMs);
        std::printf("ranking again (as at each reset):                       %8.1f ms\n", rankMs);
        std::printf("memory: %.0f MB before, %.0f MB after (+%.0f MB), peak %.0f MB\n", rssBefore,
                    rssAfter, rssAfter - rssBefore, StatusMb("VmHWM:"));
    }
    SetCurrentPlatform(nullptr);
    return 0;
}
