// What the grids share: their options and cell states, cell coordinates
// and ranges, the error of an operation outside the grid, and the moving
// of per-row and per-column tables.
#pragma once

#include <QFlags>
#include <QObject>
#include <QString>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

// Raised by grid operations outside the grid or beyond its limits.
class EInvalidGridOperation : public std::runtime_error
{
public:
    explicit EInvalidGridOperation(const QString &message)
        : std::runtime_error(message.toStdString())
    {}
    QString Message() const { return QString::fromUtf8(what()); }
};

enum TGridOption {
    goFixedVertLine = 0x0001,
    goFixedHorzLine = 0x0002,
    goVertLine = 0x0004,
    goHorzLine = 0x0008,
    goRangeSelect = 0x0010,
    goDrawFocusSelected = 0x0020,
    goRowSizing = 0x0040,
    goColSizing = 0x0080,
    goRowMoving = 0x0100,
    goColMoving = 0x0200,
    goEditing = 0x0400,
    goTabs = 0x0800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
    goThumbTracking = 0x4000,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

enum TGridDrawStateFlag { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle { bsNone, bsSingle };

struct TGridCoord
{
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord &) const = default;
};

// Columns Left..Right and rows Top..Bottom, inclusive.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect &) const = default;
};

using TNotifyEvent = std::function<void(QObject *sender)>;

// Where an index goes when the entry at `from` moves to `to` and the ones
// between shift by one.
int FollowMove(int index, int from, int to);

// Moves one entry of a per-row or per-column table like MoveRow moves a row.
template <typename T> void MoveListEntry(std::vector<T> &list, int from, int to)
{
    const int size = static_cast<int>(list.size());
    if (from < 0 || to < 0 || from >= size || to >= size || from == to)
        return;
    if (from < to)
        std::rotate(list.begin() + from, list.begin() + from + 1, list.begin() + to + 1);
    else
        std::rotate(list.begin() + to, list.begin() + from, list.begin() + from + 1);
}
