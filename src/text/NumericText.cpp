// Reading numbers from texts and the numeric order of texts.
#include "text/NumericText.h"

#include <cmath>

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

NumericTextKey NumericTextKeyOf(QStringView text, const QLocale &locale)
{
    if (const std::optional<double> value = ReadNumber(text, locale))
        return {NumericTextKey::Number, *value};
    return {text.compare(u"0") < 0 ? NumericTextKey::BeforeNumbers : NumericTextKey::AfterNumbers,
            0.0};
}
