#include "app/MainSettings.h"

#include "app/FileTypeNames.h"

#include <QSettings>
#include <optional>

namespace {

// An integer value as the store holds it: a number, or text that is exactly a
// decimal integer (the text form is how the file store keeps numbers).
std::optional<int> ReadInteger(const QSettings &store, const QString &key)
{
    const QVariant value = store.value(key);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toInt();
    case QMetaType::QString: {
        bool ok = false;
        const int number = value.toString().toInt(&ok);
        return ok ? std::optional<int>(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// false ends the reading.
bool ReadLayoutRecord(const QSettings &store, QByteArray &record)
{
    const QVariant value = store.value(QStringLiteral("Nadpis"));
    if (!value.isValid())
        return true;
    if (value.typeId() != QMetaType::QByteArray)
        return false;
    const QByteArray bytes = value.toByteArray();
    if (bytes.size() > record.size())
        return false;
    record.replace(0, bytes.size(), bytes);
    return true;
}

// The integer values before the layout record, in reading order, each with
// its range and its place. A value outside its range takes its default: a
// lane count of 0 would record times for teams that never raced, and window
// bounds near the integer limits would overflow the window's geometry.
struct IntegerValue
{
    const char *key;
    int min;
    int max;
    int (*get)(const MainSettings &);
    void (*set)(MainSettings &, int);
};
constexpr int MaxWindowCoordinate = 1000000;
constexpr IntegerValue ValuesBeforeLayout[] = {
    {"Port", 0, 255, [](const MainSettings &s) { return s.Port; },
     [](MainSettings &s, int v) { s.Port = v; }},
    {"Alg", 0, 2, [](const MainSettings &s) { return s.Alg; },
     [](MainSettings &s, int v) { s.Alg = v; }},
    {"Left", -MaxWindowCoordinate, MaxWindowCoordinate,
     [](const MainSettings &s) { return s.Bounds.left(); },
     [](MainSettings &s, int v) { s.Bounds.moveLeft(v); }},
    {"Top", -MaxWindowCoordinate, MaxWindowCoordinate,
     [](const MainSettings &s) { return s.Bounds.top(); },
     [](MainSettings &s, int v) { s.Bounds.moveTop(v); }},
    {"Width", 1, MaxWindowCoordinate, [](const MainSettings &s) { return s.Bounds.width(); },
     [](MainSettings &s, int v) { s.Bounds.setWidth(v); }},
    {"Height", 1, MaxWindowCoordinate, [](const MainSettings &s) { return s.Bounds.height(); },
     [](MainSettings &s, int v) { s.Bounds.setHeight(v); }},
    {"FilterInd", 1, SaveDialogTypeCount, [](const MainSettings &s) { return s.FilterInd; },
     [](MainSettings &s, int v) { s.FilterInd = v; }},
    {"CountBahn", 1, 2, [](const MainSettings &s) { return s.CountBahn; },
     [](MainSettings &s, int v) { s.CountBahn = v; }},
    {"TimerGesperrt", 1000, 600000, [](const MainSettings &s) { return s.TimerGesperrt; },
     [](MainSettings &s, int v) { s.TimerGesperrt = v; }},
};
constexpr IntegerValue LapsValue = {"Laps", 0, 100, [](const MainSettings &s) { return s.Laps; },
                                    [](MainSettings &s, int v) { s.Laps = v; }};
// After the values older programs wrote, so their settings still read.
constexpr IntegerValue ValuesAfterLaps[] = {
    {"AnzeigeVollbild", 0, 1, [](const MainSettings &s) { return s.AudienceFullScreen; },
     [](MainSettings &s, int v) { s.AudienceFullScreen = v; }},
    {"AnzeigeNetz", 0, 1, [](const MainSettings &s) { return s.AnzeigeNetz; },
     [](MainSettings &s, int v) { s.AnzeigeNetz = v; }},
    {"AnzeigePort", 1, 65535, [](const MainSettings &s) { return s.AnzeigePort; },
     [](MainSettings &s, int v) { s.AnzeigePort = v; }},
    {"Wertungslaeufe", 1, 4, [](const MainSettings &s) { return s.Wertungslaeufe; },
     [](MainSettings &s, int v) { s.Wertungslaeufe = v; }},
    {"Wertung", 0, 2, [](const MainSettings &s) { return s.Wertung; },
     [](MainSettings &s, int v) { s.Wertung = v; }},
    {"Bahnwechsel", 0, 1, [](const MainSettings &s) { return s.Bahnwechsel; },
     [](MainSettings &s, int v) { s.Bahnwechsel = v; }},
};

// false when the value is missing or no integer, which ends the reading.
bool ReadCheckedInteger(const QSettings &store, const IntegerValue &entry, MainSettings &settings)
{
    const std::optional<int> value = ReadInteger(store, QString::fromLatin1(entry.key));
    if (!value)
        return false;
    const bool inRange = *value >= entry.min && *value <= entry.max;
    entry.set(settings, inRange ? *value : entry.get(MainSettings{}));
    return true;
}

// false as soon as a value ends the reading.
bool ReadGuardedBlock(const QSettings &store, MainSettings &settings)
{
    for (const IntegerValue &entry : ValuesBeforeLayout) {
        if (!ReadCheckedInteger(store, entry, settings))
            return false;
    }
    if (!ReadLayoutRecord(store, settings.Nadpis) ||
        !ReadCheckedInteger(store, LapsValue, settings))
        return false;
    for (const IntegerValue &entry : ValuesAfterLaps) {
        if (!ReadCheckedInteger(store, entry, settings))
            return false;
    }
    return true;
}

} // namespace

void ReadMainSettings(QSettings &store, MainSettings &settings)
{
    if (store.status() != QSettings::NoError)
        return;
    ReadGuardedBlock(store, settings);
    // The device name sits beside the port number and is not part of the
    // guarded block: a store from before it existed still reads in full.
    settings.PortDevice = store.value(QStringLiteral("PortDevice")).toString();
    settings.AudienceScreen = store.value(QStringLiteral("AnzeigeBildschirm")).toString();
    settings.WertungKlassen = store.value(QStringLiteral("WertungKlassen")).toString();
}

bool WriteMainSettings(QSettings &store, const MainSettings &settings)
{
    store.setValue(QStringLiteral("Left"), settings.Bounds.left());
    store.setValue(QStringLiteral("Top"), settings.Bounds.top());
    store.setValue(QStringLiteral("Width"), settings.Bounds.width());
    store.setValue(QStringLiteral("Height"), settings.Bounds.height());
    store.setValue(QStringLiteral("Port"), settings.Port);
    store.setValue(QStringLiteral("PortDevice"), settings.PortDevice);
    store.setValue(QStringLiteral("CountBahn"), settings.CountBahn);
    store.setValue(QStringLiteral("FilterInd"), settings.FilterInd);
    store.setValue(QStringLiteral("Alg"), settings.Alg);
    store.setValue(QStringLiteral("TimerGesperrt"), settings.TimerGesperrt);
    store.setValue(QStringLiteral("Nadpis"), settings.Nadpis);
    store.setValue(QStringLiteral("Laps"), settings.Laps);
    store.setValue(QStringLiteral("AnzeigeVollbild"), settings.AudienceFullScreen);
    store.setValue(QStringLiteral("AnzeigeBildschirm"), settings.AudienceScreen);
    store.setValue(QStringLiteral("AnzeigeNetz"), settings.AnzeigeNetz);
    store.setValue(QStringLiteral("AnzeigePort"), settings.AnzeigePort);
    store.setValue(QStringLiteral("Wertungslaeufe"), settings.Wertungslaeufe);
    store.setValue(QStringLiteral("Wertung"), settings.Wertung);
    store.setValue(QStringLiteral("Bahnwechsel"), settings.Bahnwechsel);
    store.setValue(QStringLiteral("WertungKlassen"), settings.WertungKlassen);
    store.sync();
    return store.status() == QSettings::NoError;
}
