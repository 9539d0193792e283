// How the protocol grid orders its rows, kept free of widgets: the sort
// options, the per-style comparison of two cell texts, the detection of a
// column's style and the stable multi-key ordering of the data rows.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

enum TSortStyle {
    ssAutomatic,
    ssNormal,
    ssNumeric,
    ssNumericExtended,
    ssDateTime,
    ssTime,
    ssCustom
};
enum TSortDirection { sdAscending, sdDescending };

using TSortCompare = std::function<int(const QString &, const QString &)>;

// The sort settings of a grid. Changes are reported through the owner's
// callback so the grid can repaint its sort arrow.
class TSortOptions
{
public:
    QString SecondaryIndex() const { return m_secondaryIndex; }
    void SetSecondaryIndex(const QString &columns) { m_secondaryIndex = columns; }
    bool CanSort() const { return m_canSort; }
    void SetCanSort(bool on) { Store(m_canSort, on); }
    TSortStyle SortStyle() const { return m_sortStyle; }
    void SetSortStyle(TSortStyle style) { m_sortStyle = style; }
    bool SortCaseSensitive() const { return m_sortCaseSensitive; }
    void SetSortCaseSensitive(bool on) { m_sortCaseSensitive = on; }
    int SortCol() const { return m_sortCol; }
    void SetSortCol(int col) { Store(m_sortCol, col); }
    TSortDirection SortDirection() const { return m_sortDirection; }
    void SetSortDirection(TSortDirection direction) { Store(m_sortDirection, direction); }
    bool UpdateOnSizeChange() const { return m_updateOnSizeChange; }
    void SetUpdateOnSizeChange(bool on) { m_updateOnSizeChange = on; }

    // Used by ssCustom; dropped at the end of every sort.
    TSortCompare SortCompare;

    // Called after a change that shows on screen.
    std::function<void()> OnChange;

private:
    template <typename T> void Store(T &field, T value)
    {
        if (field == value)
            return;
        field = value;
        if (OnChange)
            OnChange();
    }

    QString m_secondaryIndex;
    bool m_canSort = true;
    TSortStyle m_sortStyle = ssNormal;
    bool m_sortCaseSensitive = false;
    int m_sortCol = 0;
    TSortDirection m_sortDirection = sdAscending;
    bool m_updateOnSizeChange = false;
};

// Byte-wise order of two texts: negative, 0 or positive.
int OrdinalCompare(const QString &a, const QString &b);
// Lower-cases A-Z only; umlauts and other letters stay.
QString LowerAscii(const QString &text);
// The reduced comparison for texts with digits and common separators.
int CompareNumericExtended(const QString &a, const QString &b);
// ssNumeric, ssDateTime, ssTime or ssNormal by what every text converts to.
TSortStyle DetectSortStyle(const QStringList &texts, const QLocale &locale = QLocale());
// Parses the comma list of column numbers; entries that are no number are skipped.
std::vector<int> ParseColumnList(const QString &commaText);
// Sort column first, then the secondary columns without it.
std::vector<int> SortKeyColumns(int sortCol, const QString &secondaryIndex);

// One key pass: returns the new order of `order`, sorted by the keys
// (keys[i] belongs to order[i]); equal keys keep their order in `order`,
// whatever the direction.
std::vector<int> SortPass(const std::vector<int> &order, const QStringList &keys, TSortStyle style,
                          TSortDirection direction, bool caseSensitive, const TSortCompare &custom,
                          const QLocale &locale = QLocale());
