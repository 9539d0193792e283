// Lengths on paper: the units a page is laid out in and the conversions
// between them.
#pragma once

#include <QSize>
#include <cstdint>

enum TUnits { mmPixel, mmLoMetric, mmHiMetric, mmLoEnglish, mmHiEnglish, mmTWIPS };

// value * numerator / denominator, rounded with halves away from zero.
int MulDiv(std::int64_t value, std::int64_t numerator, std::int64_t denominator);

// value from one unit to another, a rounded multiply-divide; `dpi` is the
// pixel resolution along the axis. LoEnglish is 0.01 in, HiEnglish 0.001 in.
int ConvertUnits(int value, TUnits from, TUnits to, int dpi);

// The size turned by a quarter: width and height swapped.
QSize Transposed(const QSize &size);
