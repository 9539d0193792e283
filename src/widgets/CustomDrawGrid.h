#pragma once

#include "widgets/CustomGrid.h"

#include <functional>

// Adds the cell events.
class TMyCustomDrawGrid : public TMyCustomGrid
{
    Q_OBJECT
public:
    explicit TMyCustomDrawGrid(QWidget *parent = nullptr);

    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString &value) override;
    QString GetEditMask(int col, int row) override;

    std::function<void(QObject *sender, int col, int row, QRect rect, TGridDrawState state)>
        OnDrawCell;
    std::function<void(QObject *sender, int col, int row, bool &canSelect)> OnSelectCell;
    std::function<void(QObject *sender, int col, int row, QString &value)> OnGetEditText;
    std::function<void(QObject *sender, int col, int row, QString &value)> OnGetEditMask;
    std::function<void(QObject *sender, int col, int row, const QString &value)> OnSetEditText;
    std::function<void(QObject *sender, int fromIndex, int toIndex)> OnRowMoved;
    std::function<void(QObject *sender, int fromIndex, int toIndex)> OnColumnMoved;
    TNotifyEvent OnTopLeftChanged;

protected:
    bool SelectCell(int col, int row) override;
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                  TGridDrawState state) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    void TopLeftChanged() override;
    // Raises OnDrawCell (the last step of drawing a cell).
    void RaiseDrawCell(int col, int row, const QRect &rect, TGridDrawState state);
};
