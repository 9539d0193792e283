// Sort orders of the protocol columns.
#include "protocol/ResultText.h"

#include "protocol/ProtocolTable.h"

#include <QLocale>
#include <cmath>
#include <compare>

namespace {

int Sign(std::partial_ordering order)
{
    if (order < 0)
        return -1;
    return order > 0 ? 1 : 0;
}

} // namespace

// Times sort by their length first (fewer whole-second digits are faster);
// the three marks sit above any realistic time length.
int ResultTextKey(const QString &text)
{
    if (IsBlankText(text))
        return 19;
    if (text == DropOutMark)
        return 20;
    if (text == DisqualifiedMark)
        return 21;
    return int(text.size());
}

int CompareResultKeys(int keyA, QStringView a, int keyB, QStringView b)
{
    if (keyA != keyB)
        return keyA > keyB ? 1 : -1;
    return a.compare(b);
}

int CompareResultText(const QString &a, const QString &b)
{
    return CompareResultKeys(ResultTextKey(a), a, ResultTextKey(b), b);
}

ProtocolSortStyle ProtocolColumnSortStyle(int column)
{
    switch (column) {
    case ColNr:
    case ColKlasse:
        return ProtocolSortStyle::Numeric;
    case ColZeit:
    case ColStrafzeit:
    case ColTotal:
    case ColPlatz:
        return ProtocolSortStyle::Custom;
    default:
        return ProtocolSortStyle::Normal;
    }
}

NumericKey NumericKeyOf(const QString &text)
{
    bool ok = false;
    const double value = QLocale().toDouble(text, &ok);
    // "nan" would compare equal to every number and break the order.
    if (ok && !std::isnan(value))
        return {1, value};
    return {text < QStringLiteral("0") ? 0 : 2, 0.0};
}

int CompareNumericKeys(const NumericKey &keyA, QStringView a, const NumericKey &keyB, QStringView b)
{
    if (keyA.group != keyB.group)
        return keyA.group < keyB.group ? -1 : 1;
    if (keyA.group == 1)
        return Sign(keyA.value <=> keyB.value);
    return a.compare(b);
}

int CompareNumericText(const QString &a, const QString &b)
{
    return CompareNumericKeys(NumericKeyOf(a), a, NumericKeyOf(b), b);
}
