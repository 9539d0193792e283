// The string grid family under the protocol table: a grid painted by itself
// on a scroll area (fixed rows and columns, grid lines, sizing and moving,
// selection, keyboard and mouse navigation, the in-place editor and the update
// bracket), the draw grid with its cell events, and the string grid that keeps
// its texts in sparse storage which survives shrinking the counts.
#pragma once

#include "widgets/SparseLists.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFlags>
#include <QLineEdit>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

class QPainter;

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

class TMyCustomGrid;

// The masked single-line editor laid over the current cell. The mask uses
// QLineEdit's input-mask syntax.
class TInplaceEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TInplaceEdit(TMyCustomGrid *grid);

    TMyCustomGrid *Grid() const { return m_grid; }
    // Puts the editor over (col, row) with the cell's edit text and mask.
    void Open(int col, int row);
    void UpdateContents();
    void Close();
    int EditCol() const { return m_col; }
    int EditRow() const { return m_row; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    TMyCustomGrid *m_grid;
    int m_col = -1;
    int m_row = -1;
    QString m_textAtOpen;
};

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

// Publishes the properties and the mouse events the program uses.
class TMyDrawGrid : public TMyCustomDrawGrid
{
    Q_OBJECT
public:
    explicit TMyDrawGrid(QWidget *parent = nullptr);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

protected:
    void Click() override;
    void DblClick() override;
};

class TMyStringGrid;

// A string-list view of one row or one column of a string grid.
class TMyStringGridStrings
{
public:
    enum class Kind { Row, Col };
    TMyStringGridStrings(TMyStringGrid *grid, Kind kind, int index);

    // ColCount for a row view, RowCount for a column view.
    int Count() const;
    QString Strings(int i) const;
    void SetStrings(int i, const QString &text);
    QObject *Objects(int i) const;
    void SetObjects(int i, QObject *object);
    void Clear();
    // Writes text into the first empty item (an empty text as " ") and
    // returns its index; -1 when no item is empty.
    int Add(const QString &text);
    // Clears the view, then adds each line; lines beyond Count are dropped.
    void SetText(const QString &lines);
    // The items joined by line breaks.
    QString Text() const;
    // Copies the first min(source count, Count) strings; objects become none.
    void Assign(const QStringList &source);
    // Refused: a view cannot change the grid's shape.
    [[noreturn]] void Insert(int i, const QString &text);
    [[noreturn]] void Delete(int i);
    // While updating, cell repaints are collected into one full repaint.
    void BeginUpdate();
    void EndUpdate();

private:
    int CellCol(int i) const { return m_kind == Kind::Row ? i : m_index; }
    int CellRow(int i) const { return m_kind == Kind::Row ? m_index : i; }

    TMyStringGrid *m_grid;
    Kind m_kind;
    int m_index;
};

// Keeps one text (and object) per cell, column by column. Cells outside the
// current counts are kept and shown again when the counts grow.
class TMyStringGrid : public TMyDrawGrid
{
    Q_OBJECT
public:
    explicit TMyStringGrid(QWidget *parent = nullptr);
    ~TMyStringGrid() override;

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString &text);
    // A column's texts from row 0 on, shared rather than copied: a picture
    // of this moment that may be read on another thread. Rows beyond its
    // size are empty.
    QList<QString> ColumnTexts(int col) const;
    QObject *Objects(int col, int row) const;
    void SetObjects(int col, int row, QObject *object);
    TMyStringGridStrings *Rows(int row);
    TMyStringGridStrings *Cols(int col);
    // The rows below the fixed rows become `rows` new ones: cell (col, k) of
    // them takes over textOf(col, k) for the first `columns` columns, the
    // other columns stay empty there. The old data rows go with their texts
    // and objects, those kept beyond RowCount too; the fixed rows stay.
    template <typename TextOf> void ReplaceDataRows(int rows, int columns, TextOf textOf);
    // The same with whole columns taken over: column k's cells become
    // texts[k] from row 0 on, but for the fixed rows, which keep theirs.
    void ReplaceDataRows(int rows, std::span<QList<QString>> texts);
    // Puts the data rows 1..n in the order given: new row k+1 holds old row
    // order[k], with its cells and their objects. The current cell stays.
    void ReorderDataRows(const std::vector<int> &order);

    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString &value) override;

protected:
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                  TGridDrawState state) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    // The stored cells of a column (nullptr when never written).
    const TStringSparseList *ColumnData(int col) const;

private:
    friend class TMyStringGridStrings;
    TStringSparseList &ColumnStore(int col, int row);
    bool StoresNothing(int col, int row, const QString &text) const;
    // Columns holding only the fixed rows' cells, with room for rowCount rows.
    std::vector<TStringSparseList> FixedRowColumns(int columns, int rowCount) const;
    void TakeColumns(std::vector<TStringSparseList> columns, int rowCount);
    void CellChanged(int col, int row);
    void RefreshEditorOn(int col, int row);
    void BeginViewUpdate();
    void EndViewUpdate();

    std::vector<TStringSparseList> m_columns;
    TSparseList<std::unique_ptr<TMyStringGridStrings>> m_rowViews;
    TSparseList<std::unique_ptr<TMyStringGridStrings>> m_colViews;
    int m_viewUpdates = 0;
    bool m_repaintDue = false;
    bool m_editorWriting = false;
};

template <typename TextOf> void TMyStringGrid::ReplaceDataRows(int rows, int columns, TextOf textOf)
{
    const int first = FixedRows();
    std::vector<TStringSparseList> replaced = FixedRowColumns(columns, first + rows);
    for (int k = 0; k < rows; ++k) {
        for (int col = 0; col < columns; ++col)
            replaced[col].Put(first + k, textOf(col, k));
    }
    TakeColumns(std::move(replaced), first + rows);
}
