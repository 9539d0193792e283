// Texts that may hold numbers: how they are read with the locale's decimal
// separator and how a mix of numbers and other texts is put in one
// consistent order. The grid's numeric sort and the protocol's class and
// total orders read numbers the same way through here.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// The text as a number in the locale's format (decimal separator, no group
// separators), blanks around it allowed; nullopt for anything else,
// including "nan", which would compare equal to every number.
std::optional<double> ReadNumber(QStringView text, const QLocale &locale = QLocale());

// A time, penalty or total as the program reads it wherever it meets one:
// digits with "," or "." as the decimal separator, whichever locale the
// text was written under, a sign and blanks around allowed. There is at
// most one separator and it is always the decimal one: a group separator
// is never accepted ("1.234,5" is no number, "1,234" is 1.234).
std::optional<double> ReadRaceNumber(QStringView text);

// The key of a text in the numeric order, computed once per text: numbers
// by value; texts that are no number stand before the numbers when they
// sort before "0" character-wise (an empty or blank text, "-") and after
// them otherwise ("1a", "U12"), in character order among themselves. So
// "1" and "01" are equal, and the order is total for any mix of texts.
struct NumericTextKey
{
    enum Group { BeforeNumbers, Number, AfterNumbers };
    Group group = BeforeNumbers;
    double value = 0.0;
};
NumericTextKey NumericTextKeyOf(QStringView text, const QLocale &locale = QLocale());

// Sign of the difference of two values: -1, 0 or 1. Inline, as the
// comparisons below: sorts call them hundreds of thousands of times.
inline int CompareValues(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Negative, 0 or positive; a and b are the texts the keys were made of.
inline int CompareNumericTextKeys(const NumericTextKey &keyA, QStringView a,
                                  const NumericTextKey &keyB, QStringView b)
{
    if (keyA.group != keyB.group)
        return keyA.group < keyB.group ? -1 : 1;
    if (keyA.group == NumericTextKey::Number)
        return CompareValues(keyA.value, keyB.value);
    return a.compare(b);
}
