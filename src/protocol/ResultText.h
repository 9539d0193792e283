// Order of the result columns ("Zeit", "Strafzeit", "Total", "Platz") and
// the sort style of every protocol column, shared by the ranking and by the
// grid when the operator sorts by a header click.
#pragma once

#include <QString>

// Negative, 0 or positive. Race-time texts come first, shorter before
// longer and equal lengths character by character, which for times is
// numeric order (9,99 before 10,00); then empty or blank cells, then
// "AUS", then "DIS".
int CompareResultText(const QString &a, const QString &b);

// CompareResultText split into a key computed once per text, for sorting
// many rows.
int ResultTextKey(const QString &text);
int CompareResultKeys(int keyA, QStringView a, int keyB, QStringView b);

enum class ProtocolSortStyle { Normal, Numeric, Custom };

// "Nr." and "Klasse" sort as numbers, the result columns by
// CompareResultText (Custom), the name columns as plain text.
ProtocolSortStyle ProtocolColumnSortStyle(int column);

// The numeric order of "Nr." and "Klasse": texts that read as numbers in
// the current locale compare by value. Texts that do not are kept in
// character order among themselves and placed before the numbers when they
// sort before "0" character-wise (a blank class), after them otherwise
// ("Junioren"), so the order stays consistent for any mix of texts.
int CompareNumericText(const QString &a, const QString &b);

// The numeric order split into a key computed once per text, for sorting
// many rows: group 0 texts before "0", group 1 numbers, group 2 the rest.
struct NumericKey
{
    int group = 0;
    double value = 0.0;
};
NumericKey NumericKeyOf(const QString &text);
int CompareNumericKeys(const NumericKey &keyA, QStringView a, const NumericKey &keyB,
                       QStringView b);
