// Any bytes as the settings file: the reading must never crash, and every
// value read lies in its range (the window bounds never overflow).
#include "app/MainSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <cstdint>
#include <cstdlib>

namespace {

bool InRange(const MainSettings &s)
{
    const QRect &b = s.Bounds;
    return s.Port >= 0 && s.Port <= 255 && s.Alg >= 0 && s.Alg <= 2 && s.FilterInd >= 1 &&
           s.FilterInd <= 4 && s.CountBahn >= 1 && s.CountBahn <= 2 && s.TimerGesperrt >= 1000 &&
           s.TimerGesperrt <= 600000 && s.Laps >= 0 && s.Laps <= 100 && b.width() >= 1 &&
           b.height() >= 1 && s.Nadpis.size() == MainSettings::LayoutRecordSize;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The store caches files by name, so every input gets a name of its own.
    static int run = 0;
    const QString path = QDir::temp().filePath(QStringLiteral("duobahn-fuzz-%1-%2.conf")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(run++));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    {
        QSettings store(path, QSettings::IniFormat);
        MainSettings settings;
        ReadMainSettings(store, settings);
        if (!InRange(settings))
            std::abort();
    }
    QFile::remove(path);
    return 0;
}
