// The grid base under the protocol table: a grid painted by itself on a
// scroll area (fixed rows and columns, grid lines, sizing and moving,
// selection, keyboard and mouse navigation, the in-place editor and the
// update bracket).
#pragma once

#include "widgets/GridTypes.h"
#include "widgets/InplaceEdit.h"

#include <QAbstractScrollArea>
#include <QColor>

#include <functional>
#include <vector>

class QPainter;

// Geometry, counts, current cell, scrolling, painting loop, keyboard and
// mouse handling and the in-place editor.
class TMyCustomGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit TMyCustomGrid(QWidget *parent = nullptr);
    ~TMyCustomGrid() override;

    int ColCount() const { return m_colCount; }
    void SetColCount(int count);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int count);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int count);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int count);
    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int height);
    // An unset width or height reads as the default.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int width);
    QColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(const QColor &color);
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool on);
    TGridOptions Options() const { return m_options; }
    virtual void SetOptions(TGridOptions options);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle style);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    // The current cell; setting it goes through the selection check.
    int Col() const { return m_current.X; }
    void SetCol(int col);
    int Row() const { return m_current.Y; }
    void SetRow(int row);
    // First visible scrollable column and row.
    int LeftCol() const { return m_topLeft.X; }
    void SetLeftCol(int col);
    int TopRow() const { return m_topLeft.Y; }
    void SetTopRow(int row);
    // Scrollable columns / rows that fit fully into the view.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    TGridRect Selection() const;
    // Anchor ← top-left, current cell ← bottom-right, without the selection check.
    void SetSelection(const TGridRect &rect);
    bool EditorMode() const;
    void SetEditorMode(bool on);
    TInplaceEdit *InplaceEditor() const { return m_editor; }

    // The update bracket: busy cursor, no painting, no input. Not counted:
    // the first EndUpdate ends it.
    bool NowUpdating() const { return m_nowUpdating; }
    virtual void BeginUpdate();
    virtual void EndUpdate();

    virtual void DeleteRow(int row);
    virtual void DeleteColumn(int col);
    void MoveRow(int fromIndex, int toIndex);
    void MoveColumn(int fromIndex, int toIndex);
    // Moves the current cell (and, if asked, the anchor) without the selection check.
    void MoveColRow(int col, int row, bool moveAnchor, bool show);

    // Cell rectangle in viewport coordinates; empty when not visible.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; -1 parts when outside the cells.
    TGridCoord MouseCoord(int x, int y) const;
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();
    void Refresh();

    // Texts the in-place editor reads and writes back.
    virtual QString GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const QString &value);
    virtual QString GetEditMask(int col, int row);

    TNotifyEvent OnBeginUpdate;

protected:
    // Overridables of the family.
    virtual bool SelectCell(int col, int row);
    virtual void SizeChanged(int oldColCount, int oldRowCount);
    virtual void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                          TGridDrawState state);
    virtual void ColumnMoved(int fromIndex, int toIndex);
    virtual void RowMoved(int fromIndex, int toIndex);
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual bool CanEditShow() const;
    virtual void Click();
    virtual void DblClick();
    // Returns true when the key was consumed.
    virtual bool HandleKey(QKeyEvent *event);
    virtual void HeaderMouseRelease(QMouseEvent *event, const TGridCoord &pressed);
    virtual void EditorClosed();
    // Focus entering and leaving the grid (the editor counts as the grid).
    virtual void DoEnter();
    virtual void DoExit();

    // Scrolls so that (col, row) is fully in view.
    void ShowCell(int col, int row);
    // Nearest column border (right edge) to x within tolerance, -1 when none.
    int ColumnBorderAt(int x, int tolerance) const;
    // Nearest row border (bottom edge) to y within tolerance, -1 when none.
    int RowBorderAt(int y, int tolerance) const;
    int ColumnLeft(int col) const;
    TGridCoord Current() const { return m_current; }
    // Whether a cell in this state is filled with the highlight colours.
    bool IsHighlighted(TGridDrawState state) const;
    // The colour a cell is filled with before DrawCell draws it.
    QColor CellBackground(TGridDrawState state) const;
    TGridCoord Anchor() const { return m_anchor; }
    void ShowEditor();
    void HideEditor();

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class TInplaceEdit;
    bool FocusLeftGrid() const;
    void ChangeSize(int newColCount, int newRowCount);
    void ClampCurrent();
    void UpdateScrollRanges();
    int MaxTopRow() const;
    int MaxLeftCol() const;
    void FocusCell(int col, int row, bool moveAnchor);
    void MoveCurrent(int col, int row, bool moveAnchor, bool show);
    void MoveByKey(int dCol, int dRow, bool extend);
    // A visible column or row: its index, start pixel and size.
    struct Span
    {
        int index;
        int pos;
        int size;
    };
    std::vector<Span> Spans(int fixed, int first, int count, int limit,
                            const std::function<int(int)> &size) const;
    std::vector<Span> ColSpans() const;
    std::vector<Span> RowSpans() const;
    static int BorderAt(const std::vector<Span> &spans, int pos, int tolerance);
    QRegion BackgroundArea(const QRect &area, const std::vector<Span> &cols,
                           const std::vector<Span> &rows) const;
    void PaintCells(QPainter &painter, const QRect &clip, const std::vector<Span> &cols,
                    const std::vector<Span> &rows);
    void PaintCell(QPainter &painter, int col, int row, const QRect &rect);
    TGridDrawState CellState(int col, int row) const;
    bool InSelection(int col, int row) const;
    void CheckCoord(int col, int row) const;
    void UpdateEditorGeometry();

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    std::vector<int> m_colWidths; // empty while all are default
    std::vector<int> m_rowHeights;
    int m_gridLineWidth = 1;
    QColor m_fixedColor;
    QColor m_color;
    bool m_defaultDrawing = true;
    TGridOptions m_options =
        goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle m_scrollBars = ssBoth;
    TBorderStyle m_borderStyle = bsSingle;
    TGridCoord m_current{1, 1};
    TGridCoord m_anchor{1, 1};
    TGridCoord m_topLeft{1, 1};
    bool m_nowUpdating = false;
    bool m_busyCursor = false;
    bool m_hadFocus = false;
    TInplaceEdit *m_editor = nullptr;
    // Mouse state
    enum class MouseMode { None, Selecting, ColSizing, RowSizing, HeaderClick, RowMoving };
    MouseMode m_mouseMode = MouseMode::None;
    TGridCoord m_pressCell{-1, -1};
    int m_sizingIndex = -1;
    int m_sizingOrigin = 0;
};
