#include "app/MainSettings.h"

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
// the place it goes to.
struct IntegerValue
{
    const char *key;
    void (*apply)(MainSettings &, int);
};
constexpr IntegerValue ValuesBeforeLayout[] = {
    {"Port", [](MainSettings &s, int v) { s.Port = v; }},
    {"Alg", [](MainSettings &s, int v) { s.Alg = v; }},
    {"Left", [](MainSettings &s, int v) { s.Bounds.moveLeft(v); }},
    {"Top", [](MainSettings &s, int v) { s.Bounds.moveTop(v); }},
    {"Width", [](MainSettings &s, int v) { s.Bounds.setWidth(v); }},
    {"Height", [](MainSettings &s, int v) { s.Bounds.setHeight(v); }},
    {"FilterInd", [](MainSettings &s, int v) { s.FilterInd = v; }},
    {"CountBahn", [](MainSettings &s, int v) { s.CountBahn = v; }},
    {"TimerGesperrt", [](MainSettings &s, int v) { s.TimerGesperrt = v; }},
};

// false as soon as a value ends the reading.
bool ReadGuardedBlock(const QSettings &store, MainSettings &settings)
{
    for (const IntegerValue &entry : ValuesBeforeLayout) {
        const std::optional<int> value = ReadInteger(store, QString::fromLatin1(entry.key));
        if (!value)
            return false;
        entry.apply(settings, *value);
    }
    if (!ReadLayoutRecord(store, settings.Nadpis))
        return false;
    const std::optional<int> laps = ReadInteger(store, QStringLiteral("Laps"));
    if (!laps)
        return false;
    settings.Laps = *laps;
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
}

void WriteMainSettings(QSettings &store, const MainSettings &settings)
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
    store.sync();
}
