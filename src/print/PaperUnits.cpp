#include "print/PaperUnits.h"

#include <climits>

namespace {

int UnitsPerInch(TUnits units, int dpi)
{
    switch (units) {
    case mmPixel:
        return dpi;
    case mmLoMetric:
        return 254;
    case mmHiMetric:
        return 2540;
    case mmLoEnglish:
        return 100;
    case mmHiEnglish:
        return 1000;
    case mmTWIPS:
        return 1440;
    }
    return 2540;
}

} // namespace

int MulDiv(std::int64_t value, std::int64_t numerator, std::int64_t denominator)
{
    if (denominator == 0)
        return value < 0 ? INT_MIN : INT_MAX;
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const std::int64_t product = value * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

int ConvertUnits(int value, TUnits from, TUnits to, int dpi)
{
    if (from == to)
        return value;
    return MulDiv(value, UnitsPerInch(to, dpi), UnitsPerInch(from, dpi));
}

QSize Transposed(const QSize &size)
{
    return QSize(size.height(), size.width());
}
