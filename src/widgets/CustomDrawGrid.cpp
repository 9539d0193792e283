#include "widgets/CustomDrawGrid.h"

TMyCustomDrawGrid::TMyCustomDrawGrid(QWidget *parent) : TMyCustomGrid(parent) {}

QString TMyCustomDrawGrid::GetEditText(int col, int row)
{
    QString value;
    if (OnGetEditText)
        OnGetEditText(this, col, row, value);
    return value;
}

void TMyCustomDrawGrid::SetEditText(int col, int row, const QString &value)
{
    if (OnSetEditText)
        OnSetEditText(this, col, row, value);
}

QString TMyCustomDrawGrid::GetEditMask(int col, int row)
{
    QString mask;
    if (OnGetEditMask)
        OnGetEditMask(this, col, row, mask);
    return mask;
}

bool TMyCustomDrawGrid::SelectCell(int col, int row)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

void TMyCustomDrawGrid::DrawCell(QPainter &, int col, int row, const QRect &rect,
                                 TGridDrawState state)
{
    RaiseDrawCell(col, row, rect, state);
}

void TMyCustomDrawGrid::RaiseDrawCell(int col, int row, const QRect &rect, TGridDrawState state)
{
    if (OnDrawCell)
        OnDrawCell(this, col, row, rect, state);
}

void TMyCustomDrawGrid::ColumnMoved(int fromIndex, int toIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, fromIndex, toIndex);
}

void TMyCustomDrawGrid::RowMoved(int fromIndex, int toIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, fromIndex, toIndex);
}

void TMyCustomDrawGrid::TopLeftChanged()
{
    TMyCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}
