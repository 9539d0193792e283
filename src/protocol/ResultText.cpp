// Sort orders of the protocol columns.
#include "protocol/ResultText.h"

#include "protocol/ProtocolTable.h"

ResultTextKey ResultTextKeyOf(const QString &text)
{
    if (IsBlankText(text))
        return {ResultTextKey::Empty, 0.0};
    if (text == DropOutMark)
        return {ResultTextKey::DropOut, 0.0};
    if (text == DisqualifiedMark)
        return {ResultTextKey::Disqualified, 0.0};
    if (const std::optional<double> value = ReadNumber(text))
        return {ResultTextKey::Number, *value};
    return {ResultTextKey::OtherText, 0.0};
}

int CompareResultKeys(const ResultTextKey &keyA, QStringView a, const ResultTextKey &keyB,
                      QStringView b)
{
    if (keyA.group != keyB.group)
        return keyA.group < keyB.group ? -1 : 1;
    if (keyA.group == ResultTextKey::Number)
        return CompareValues(keyA.value, keyB.value);
    // Among texts that are no number, fewer characters first, as a time
    // with fewer digits of seconds is the faster one.
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int CompareResultText(const QString &a, const QString &b)
{
    return CompareResultKeys(ResultTextKeyOf(a), a, ResultTextKeyOf(b), b);
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
