// Reading numbers from texts and the numeric order of texts.
#include "text/NumericText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Start numbers and classes are mostly plain digits; up to 15 of them are
// read exactly without asking the locale, which is slow per text.
std::optional<double> PlainDigits(QStringView text)
{
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    double value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

std::optional<double> ReadNumber(QStringView text, const QLocale &locale)
{
    if (const std::optional<double> digits = PlainDigits(text))
        return digits;
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text, &ok);
    if (!ok || std::isnan(value))
        return std::nullopt;
    return value;
}

std::optional<double> ReadRaceNumber(QStringView text)
{
    text = text.trimmed();
    if (const std::optional<double> digits = PlainDigits(text))
        return digits;
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.sliced(1);
    // The number in the form the standard reader takes: digits and a point.
    std::string plain;
    plain.reserve(std::size_t(text.size()));
    bool separator = false;
    bool digit = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digit = true;
            plain += char(c.unicode());
        } else if ((c == u',' || c == u'.') && !separator) {
            separator = true;
            plain += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    double value = 0;
    const std::from_chars_result read =
        std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (read.ec != std::errc() || read.ptr != plain.data() + plain.size())
        return std::nullopt;
    return negative ? -value : value;
}

NumericTextKey NumericTextKeyOf(QStringView text, const QLocale &locale)
{
    if (const std::optional<double> value = ReadNumber(text, locale))
        return {NumericTextKey::Number, *value};
    return {text.compare(u"0") < 0 ? NumericTextKey::BeforeNumbers : NumericTextKey::AfterNumbers,
            0.0};
}
