// Race time arithmetic: tick differences, time texts and the lane digits.
#include "race/RaceTime.h"

#include <QLocale>
#include <array>
#include <atomic>
#include <cstdlib>

namespace {

struct SecondsAndHundredths
{
    std::uint32_t seconds;
    std::uint32_t hundredths;
};

// Both the text and the digits truncate to hundredths the same way, so a
// lane's display and its protocol entry never disagree.
SecondsAndHundredths SplitMs(std::uint32_t ms)
{
    const std::uint32_t centiseconds = ms / 10;
    return {centiseconds / 100, centiseconds % 100};
}

// 0: the locale's. Atomic, as the live results format on a thread of their own.
std::atomic<char16_t> g_decimalMark{0};

} // namespace

void SetRaceTimeDecimalMark(std::optional<QChar> mark)
{
    g_decimalMark.store(mark ? mark->unicode() : char16_t(0));
}

QChar RaceTimeDecimalMark()
{
    const char16_t mark = g_decimalMark.load();
    return mark != 0 ? QChar(mark) : QLocale().decimalPoint().front();
}

std::optional<QChar> DecimalMarkOfRaceTime(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype mark = trimmed.size() - 3;
    if (mark < 1 || (trimmed[mark] != u',' && trimmed[mark] != u'.'))
        return std::nullopt;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (i != mark && !trimmed[i].isDigit())
            return std::nullopt;
    }
    return trimmed[mark];
}

std::uint32_t ElapsedMs(std::uint32_t startTick, std::uint32_t nowTick)
{
    return nowTick - startTick;
}

std::uint32_t PressTick(std::optional<std::uint32_t> eventTime, std::uint32_t now)
{
    constexpr std::int64_t MaxDistanceMs = 1000;
    if (!eventTime)
        return now;
    const std::int64_t distance = std::int32_t(now - *eventTime);
    return std::abs(distance) <= MaxDistanceMs ? *eventTime : now;
}

QString FormatRaceTime(std::uint32_t ms)
{
    const SecondsAndHundredths time = SplitMs(ms);
    // Written into one string from the back: scoring a long list formats a
    // time for every team.
    std::array<QChar, 16> text;
    std::size_t start = text.size();
    text[--start] = QChar(char16_t(u'0' + time.hundredths % 10));
    text[--start] = QChar(char16_t(u'0' + time.hundredths / 10));
    text[--start] = RaceTimeDecimalMark();
    std::uint32_t seconds = time.seconds;
    do {
        text[--start] = QChar(char16_t(u'0' + seconds % 10));
        seconds /= 10;
    } while (seconds > 0);
    return QString(text.data() + start, qsizetype(text.size() - start));
}

LaneDigits SplitLaneTime(std::uint32_t ms)
{
    const SecondsAndHundredths time = SplitMs(ms);
    const std::uint32_t s = time.seconds;
    const std::uint32_t h = time.hundredths;
    LaneDigits digits;
    digits.values = {int(s / 100), int(s / 10 % 10), int(s % 10), int(h / 10), int(h % 10)};
    digits.significant = {s > 99, s > 9, true, true, true};
    return digits;
}
