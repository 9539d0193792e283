// Planning of barrier simulator commands.
#include "comms/BarrierSimScript.h"

#include <QMap>
#include <QStringList>

namespace {

constexpr int DefaultPulseWidthMs = 100;
constexpr int DefaultPulseEveryMs = 1000;

QString DeviceLine(const QString &word)
{
    static const QMap<QString, QString> lines{
        {QStringLiteral("cts"), QStringLiteral("cts")},
        {QStringLiteral("lane2"), QStringLiteral("cts")},
        {QStringLiteral("dsr"), QStringLiteral("dsr")},
        {QStringLiteral("lane1"), QStringLiteral("dsr")},
        {QStringLiteral("both"), QStringLiteral("both")},
    };
    return lines.value(word);
}

// Reads "<number> [unit]" at words[i]; unit is skipped when it follows.
bool TakeNumber(const QStringList &words, qsizetype &i, const QString &unit, int &value)
{
    bool ok = false;
    value = i < words.size() ? words[i].toInt(&ok) : 0;
    if (!ok || value < 0)
        return false;
    ++i;
    if (i < words.size() && words[i] == unit)
        ++i;
    return true;
}

struct PulsePlan
{
    int count = 1;
    int everyMs = DefaultPulseEveryMs;
    int widthMs = DefaultPulseWidthMs;
};

bool ParsePulse(const QStringList &words, PulsePlan &plan, QString &error)
{
    for (qsizetype i = 2; i < words.size();) {
        const QString &word = words[i];
        bool ok = false;
        if (word == QStringLiteral("every"))
            ok = TakeNumber(words, ++i, QStringLiteral("ms"), plan.everyMs);
        else if (word == QStringLiteral("width"))
            ok = TakeNumber(words, ++i, QStringLiteral("ms"), plan.widthMs);
        else
            ok = TakeNumber(words, i, QStringLiteral("times"), plan.count) && plan.count > 0;
        if (!ok) {
            error = QStringLiteral("cannot read the pulse near \"%1\"").arg(word);
            return false;
        }
    }
    if (plan.count > 1 && plan.everyMs < plan.widthMs) {
        error = QStringLiteral("pulses every %1 ms cannot be %2 ms wide")
                    .arg(plan.everyMs)
                    .arg(plan.widthMs);
        return false;
    }
    return true;
}

void AppendPulses(const QString &line, const PulsePlan &plan, std::vector<SimStep> &steps)
{
    for (int n = 0; n < plan.count; ++n) {
        const int pause = n == 0 ? 0 : plan.everyMs - plan.widthMs;
        if (plan.widthMs == 0) {
            steps.push_back({n == 0 ? 0 : plan.everyMs, line + QStringLiteral(" pulse")});
            continue;
        }
        steps.push_back({pause, line + QStringLiteral(" toggle")});
        steps.push_back({plan.widthMs, line + QStringLiteral(" toggle")});
    }
}

} // namespace

bool PlanSimCommand(const QString &text, std::vector<SimStep> &steps, QString &error)
{
    steps.clear();
    const QStringList words = text.trimmed().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return true;
    const QString &first = words[0];
    if ((first == QStringLiteral("status") || first == QStringLiteral("unplug")) &&
        words.size() == 1) {
        steps.push_back({0, first});
        return true;
    }
    if (first == QStringLiteral("wait")) {
        qsizetype i = 1;
        int ms = 0;
        if (TakeNumber(words, i, QStringLiteral("ms"), ms) && i == words.size()) {
            steps.push_back({ms, {}});
            return true;
        }
    }
    const QString line = DeviceLine(first);
    const QString action = words.value(1);
    const bool switchesOneLine = line != QStringLiteral("both");
    const bool level = action == QStringLiteral("on") || action == QStringLiteral("off");
    if (!line.isEmpty() && words.size() == 2 &&
        (action == QStringLiteral("toggle") || (level && switchesOneLine))) {
        steps.push_back({0, line + QLatin1Char(' ') + action});
        return true;
    }
    if (!line.isEmpty() && action == QStringLiteral("pulse") && switchesOneLine) {
        PulsePlan plan;
        if (!ParsePulse(words, plan, error))
            return false;
        AppendPulses(line, plan, steps);
        return true;
    }
    error = QStringLiteral("unknown command: %1").arg(text.trimmed());
    return false;
}
