// Order of the result columns ("Zeit", "Strafzeit", "Total", "Platz"),
// shared by the ranking and by the grid when the operator sorts by a
// header click.
#pragma once

#include "text/NumericText.h"

#include <QString>

// The key of a result text in the result order, computed once per text.
// Texts that read as numbers (ReadRaceNumber: times and hand-typed totals
// such as "12,5" or "12.5", under any locale) come first, by value; then other texts, shorter
// before longer and equal lengths character by character; then empty or blank cells, then "AUS"
// (and "n.a.", which ranks as it), then "DIS".
struct ResultTextKey
{
    enum Group { Number, OtherText, Empty, DropOut, Disqualified };
    Group group = Empty;
    double value = 0.0;
};
ResultTextKey ResultTextKeyOf(QStringView text);
// Negative, 0 or positive; a and b are the texts the keys were made of.
// Inline: the ranking calls it for every pair it compares.
inline int CompareResultKeys(const ResultTextKey &keyA, QStringView a, const ResultTextKey &keyB,
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
// The same order for two texts: "9,99" before "10,00", "12,5" equal to "12,50".
int CompareResultText(const QString &a, const QString &b);
