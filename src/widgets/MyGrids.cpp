// The grid base: geometry, counts, current cell, scrolling by whole rows and
// columns, painting of the visible cells only, mouse and keyboard handling,
// the in-place editor and the update bracket; the draw grid's events; the
// string grid's sparse cell store and its row and column views.
#include "widgets/MyGrids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <climits>

namespace {

const int kSizingZone = 5; // pixels beside a header border that size the column
const QString kIndexOutOfRange = QStringLiteral("Grid index out of range");

// A column width or row height; the table is empty while all are default.
int SizeAt(const std::vector<int> &table, int index, int fallback)
{
    return index >= 0 && index < static_cast<int>(table.size()) ? table[index] : fallback;
}

// Stores a width or height; false when it was already that.
bool StoreSize(std::vector<int> &table, int index, int count, int value, int fallback)
{
    if (index < 0 || index >= count)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (value == SizeAt(table, index, fallback))
        return false;
    if (static_cast<int>(table.size()) < count)
        table.resize(count, fallback);
    table[index] = value;
    return true;
}

} // namespace

int FollowMove(int index, int from, int to)
{
    if (index == from)
        return to;
    if (from < to && index > from && index <= to)
        return index - 1;
    if (to < from && index >= to && index < from)
        return index + 1;
    return index;
}

// ---------------------------------------------------------------- TInplaceEdit

TInplaceEdit::TInplaceEdit(TMyCustomGrid *grid) : QLineEdit(grid->viewport()), m_grid(grid)
{
    setFrame(false);
    hide();
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_grid->SetEditText(m_col, m_row, text); });
}

void TInplaceEdit::Open(int col, int row)
{
    m_col = col;
    m_row = row;
    setInputMask(m_grid->GetEditMask(col, row));
    UpdateContents();
    m_textAtOpen = text();
    // Placed once shown: a hidden editor is not placed.
    show();
    m_grid->UpdateEditorGeometry();
    setFocus();
}

void TInplaceEdit::UpdateContents()
{
    setText(m_grid->GetEditText(m_col, m_row));
}

void TInplaceEdit::Close()
{
    if (isHidden())
        return;
    m_grid->SetEditText(m_col, m_row, text());
    // Focus goes back to the grid first, so closing is not leaving the grid.
    if (hasFocus())
        m_grid->setFocus();
    hide();
    m_grid->EditorClosed();
}

void TInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        setText(m_textAtOpen);
        m_grid->SetEditText(m_col, m_row, m_textAtOpen);
        m_grid->HideEditor();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_grid->keyPressEvent(event);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void TInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_grid->FocusLeftGrid())
        m_grid->DoExit();
}

// --------------------------------------------------------------- TMyCustomGrid

TMyCustomGrid::TMyCustomGrid(QWidget *parent)
    : QAbstractScrollArea(parent), m_fixedColor(palette().color(QPalette::Button)),
      m_color(palette().color(QPalette::Base))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    m_editor = new TInplaceEdit(this);
    SetScrollBars(ssBoth);
    SetBorderStyle(bsSingle);
    UpdateScrollRanges();
}

TMyCustomGrid::~TMyCustomGrid()
{
    // The editor reports focus changes to the grid; it must go while the
    // grid is still a grid.
    delete std::exchange(m_editor, nullptr);
}

void TMyCustomGrid::SetColCount(int count)
{
    if (count != m_colCount)
        ChangeSize(count, m_rowCount);
}

void TMyCustomGrid::SetRowCount(int count)
{
    if (count != m_rowCount)
        ChangeSize(m_colCount, count);
}

void TMyCustomGrid::SetFixedCols(int count)
{
    if (count < 0)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (count >= m_colCount)
        throw EInvalidGridOperation(
            QStringLiteral("Fixed column count must be less than column count"));
    if (count == m_fixedCols)
        return;
    m_fixedCols = count;
    ClampCurrent();
    InvalidateGrid();
}

void TMyCustomGrid::SetFixedRows(int count)
{
    if (count < 0)
        throw EInvalidGridOperation(kIndexOutOfRange);
    if (count >= m_rowCount)
        throw EInvalidGridOperation(QStringLiteral("Fixed row count must be less than row count"));
    if (count == m_fixedRows)
        return;
    m_fixedRows = count;
    ClampCurrent();
    InvalidateGrid();
}

void TMyCustomGrid::SetDefaultColWidth(int width)
{
    if (width == m_defaultColWidth)
        return;
    m_defaultColWidth = width;
    m_colWidths.clear();
    InvalidateGrid();
}

void TMyCustomGrid::SetDefaultRowHeight(int height)
{
    if (height == m_defaultRowHeight)
        return;
    m_defaultRowHeight = height;
    m_rowHeights.clear();
    InvalidateGrid();
}

int TMyCustomGrid::ColWidths(int col) const
{
    return SizeAt(m_colWidths, col, m_defaultColWidth);
}

void TMyCustomGrid::SetColWidths(int col, int width)
{
    if (StoreSize(m_colWidths, col, m_colCount, width, m_defaultColWidth))
        ColWidthsChanged();
}

int TMyCustomGrid::RowHeights(int row) const
{
    return SizeAt(m_rowHeights, row, m_defaultRowHeight);
}

void TMyCustomGrid::SetRowHeights(int row, int height)
{
    if (StoreSize(m_rowHeights, row, m_rowCount, height, m_defaultRowHeight))
        RowHeightsChanged();
}

void TMyCustomGrid::SetGridLineWidth(int width)
{
    if (width == m_gridLineWidth)
        return;
    m_gridLineWidth = std::max(0, width);
    InvalidateGrid();
}

void TMyCustomGrid::SetFixedColor(const QColor &color)
{
    if (color == m_fixedColor)
        return;
    m_fixedColor = color;
    InvalidateGrid();
}

void TMyCustomGrid::SetColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    InvalidateGrid();
}

void TMyCustomGrid::SetDefaultDrawing(bool on)
{
    if (on == m_defaultDrawing)
        return;
    m_defaultDrawing = on;
    InvalidateGrid();
}

void TMyCustomGrid::SetOptions(TGridOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    if (!CanEditShow())
        HideEditor();
    else if (m_options.testFlag(goAlwaysShowEditor))
        ShowEditor();
    InvalidateGrid();
}

void TMyCustomGrid::SetScrollBars(TScrollStyle style)
{
    m_scrollBars = style;
    const bool horizontal = style == ssHorizontal || style == ssBoth;
    const bool vertical = style == ssVertical || style == ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TMyCustomGrid::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    setFrameShape(style == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TMyCustomGrid::SetCol(int col)
{
    if (col != m_current.X)
        FocusCell(col, m_current.Y, true);
}

void TMyCustomGrid::SetRow(int row)
{
    if (row != m_current.Y)
        FocusCell(m_current.X, row, true);
}

void TMyCustomGrid::SetLeftCol(int col)
{
    col = std::clamp(col, m_fixedCols, std::max(m_fixedCols, MaxLeftCol()));
    if (col == m_topLeft.X)
        return;
    m_topLeft.X = col;
    UpdateScrollRanges();
    TopLeftChanged();
}

void TMyCustomGrid::SetTopRow(int row)
{
    row = std::clamp(row, m_fixedRows, std::max(m_fixedRows, MaxTopRow()));
    if (row == m_topLeft.Y)
        return;
    m_topLeft.Y = row;
    UpdateScrollRanges();
    TopLeftChanged();
}

int TMyCustomGrid::VisibleColCount() const
{
    const int width = viewport()->width();
    const auto spans = ColSpans();
    return static_cast<int>(std::count_if(spans.begin(), spans.end(), [&](const Span &span) {
        return span.index >= m_fixedCols && span.pos + span.size <= width;
    }));
}

int TMyCustomGrid::VisibleRowCount() const
{
    const int height = viewport()->height();
    const auto spans = RowSpans();
    return static_cast<int>(std::count_if(spans.begin(), spans.end(), [&](const Span &span) {
        return span.index >= m_fixedRows && span.pos + span.size <= height;
    }));
}

std::vector<TMyCustomGrid::Span> TMyCustomGrid::Spans(int fixed, int first, int count, int limit,
                                                      const std::function<int(int)> &size) const
{
    std::vector<Span> spans;
    int pos = 0;
    auto add = [&](int index) {
        spans.push_back({index, pos, std::max(0, size(index))});
        pos += spans.back().size + m_gridLineWidth;
    };
    for (int i = 0; i < fixed && i < count; ++i)
        add(i);
    for (int i = first; i < count && pos < limit; ++i)
        add(i);
    return spans;
}

std::vector<TMyCustomGrid::Span> TMyCustomGrid::ColSpans() const
{
    return Spans(m_fixedCols, m_topLeft.X, m_colCount, viewport()->width(),
                 [this](int col) { return ColWidths(col); });
}

std::vector<TMyCustomGrid::Span> TMyCustomGrid::RowSpans() const
{
    return Spans(m_fixedRows, m_topLeft.Y, m_rowCount, viewport()->height(),
                 [this](int row) { return RowHeights(row); });
}

TGridRect TMyCustomGrid::Selection() const
{
    TGridRect rect{std::min(m_anchor.X, m_current.X), std::min(m_anchor.Y, m_current.Y),
                   std::max(m_anchor.X, m_current.X), std::max(m_anchor.Y, m_current.Y)};
    if (m_options.testFlag(goRowSelect)) {
        rect.Left = m_fixedCols;
        rect.Right = m_colCount - 1;
    }
    return rect;
}

void TMyCustomGrid::SetSelection(const TGridRect &rect)
{
    CheckCoord(rect.Left, rect.Top);
    CheckCoord(rect.Right, rect.Bottom);
    m_anchor = {rect.Left, rect.Top};
    m_current = {rect.Right, rect.Bottom};
    InvalidateGrid();
}

bool TMyCustomGrid::EditorMode() const
{
    return m_editor->isVisible();
}

void TMyCustomGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TMyCustomGrid::BeginUpdate()
{
    m_nowUpdating = true;
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
        m_hadFocus = hasFocus() || m_editor->hasFocus();
    }
    viewport()->setUpdatesEnabled(false);
    setEnabled(false);
    if (OnBeginUpdate)
        OnBeginUpdate(this);
}

void TMyCustomGrid::EndUpdate()
{
    ChangeSize(m_colCount, m_rowCount);
    // Counts changed inside the bracket never reach SizeChanged, but the
    // current cell and the scroll ranges must still fit the new counts.
    ClampCurrent();
    UpdateScrollRanges();
    viewport()->setUpdatesEnabled(true);
    setEnabled(true);
    if (m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
        if (m_hadFocus)
            setFocus();
    }
    m_nowUpdating = false;
    InvalidateGrid();
}

void TMyCustomGrid::DeleteRow(int row)
{
    CheckCoord(m_fixedCols, row);
    if (m_rowCount <= 1)
        throw EInvalidGridOperation(QStringLiteral("Too many rows or columns deleted"));
    MoveRow(row, m_rowCount - 1);
    SetRowCount(m_rowCount - 1);
}

void TMyCustomGrid::DeleteColumn(int col)
{
    CheckCoord(col, m_fixedRows);
    if (m_colCount <= 1)
        throw EInvalidGridOperation(QStringLiteral("Too many rows or columns deleted"));
    MoveColumn(col, m_colCount - 1);
    SetColCount(m_colCount - 1);
}

void TMyCustomGrid::MoveRow(int fromIndex, int toIndex)
{
    CheckCoord(0, fromIndex);
    CheckCoord(0, toIndex);
    if (fromIndex == toIndex)
        return;
    HideEditor();
    m_current.Y = FollowMove(m_current.Y, fromIndex, toIndex);
    m_anchor.Y = FollowMove(m_anchor.Y, fromIndex, toIndex);
    MoveListEntry(m_rowHeights, fromIndex, toIndex);
    RowMoved(fromIndex, toIndex);
    InvalidateGrid();
}

void TMyCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    CheckCoord(fromIndex, 0);
    CheckCoord(toIndex, 0);
    if (fromIndex == toIndex)
        return;
    HideEditor();
    m_current.X = FollowMove(m_current.X, fromIndex, toIndex);
    m_anchor.X = FollowMove(m_anchor.X, fromIndex, toIndex);
    MoveListEntry(m_colWidths, fromIndex, toIndex);
    ColumnMoved(fromIndex, toIndex);
    InvalidateGrid();
}

void TMyCustomGrid::MoveColRow(int col, int row, bool moveAnchor, bool show)
{
    MoveCurrent(col, row, moveAnchor, show);
}

int TMyCustomGrid::ColumnLeft(int col) const
{
    for (const Span &span : ColSpans()) {
        if (span.index == col)
            return span.pos;
    }
    return -1;
}

QRect TMyCustomGrid::CellRect(int col, int row) const
{
    if (row < 0 || row >= m_rowCount || (row >= m_fixedRows && row < m_topLeft.Y))
        return {};
    const int x = ColumnLeft(col);
    if (x < 0)
        return {};
    for (const Span &span : RowSpans()) {
        if (span.index == row)
            return QRect(x, span.pos, std::max(0, ColWidths(col)), span.size);
    }
    return {};
}

TGridCoord TMyCustomGrid::MouseCoord(int x, int y) const
{
    auto locate = [this](const std::vector<Span> &spans, int pos) {
        for (const Span &span : spans) {
            if (pos >= span.pos && pos < span.pos + span.size + m_gridLineWidth)
                return span.index;
        }
        return -1;
    };
    return {locate(ColSpans(), x), locate(RowSpans(), y)};
}

void TMyCustomGrid::InvalidateCell(int col, int row)
{
    if (m_nowUpdating)
        return;
    const QRect rect = CellRect(col, row);
    if (!rect.isEmpty())
        viewport()->update(rect.adjusted(0, 0, m_gridLineWidth, m_gridLineWidth));
}

void TMyCustomGrid::InvalidateRow(int row)
{
    if (m_nowUpdating)
        return;
    const QRect rect = CellRect(m_fixedCols, row);
    if (!rect.isEmpty())
        viewport()->update(0, rect.top(), viewport()->width(), rect.height() + m_gridLineWidth);
}

void TMyCustomGrid::InvalidateCol(int col)
{
    if (m_nowUpdating)
        return;
    const QRect rect = CellRect(col, 0);
    if (!rect.isEmpty())
        viewport()->update(rect.left(), 0, rect.width() + m_gridLineWidth, viewport()->height());
}

void TMyCustomGrid::InvalidateGrid()
{
    if (!m_nowUpdating)
        viewport()->update();
}

void TMyCustomGrid::Refresh()
{
    InvalidateGrid();
    viewport()->repaint();
}

QString TMyCustomGrid::GetEditText(int, int)
{
    return {};
}

void TMyCustomGrid::SetEditText(int, int, const QString &) {}

QString TMyCustomGrid::GetEditMask(int, int)
{
    return {};
}

bool TMyCustomGrid::SelectCell(int, int)
{
    return true;
}

void TMyCustomGrid::SizeChanged(int, int) {}

void TMyCustomGrid::DrawCell(QPainter &, int, int, const QRect &, TGridDrawState) {}

void TMyCustomGrid::ColumnMoved(int, int) {}

void TMyCustomGrid::RowMoved(int, int) {}

void TMyCustomGrid::TopLeftChanged()
{
    UpdateEditorGeometry();
    InvalidateGrid();
}

void TMyCustomGrid::ColWidthsChanged()
{
    UpdateScrollRanges();
    UpdateEditorGeometry();
    InvalidateGrid();
}

void TMyCustomGrid::RowHeightsChanged()
{
    ColWidthsChanged();
}

bool TMyCustomGrid::CanEditShow() const
{
    return m_options.testFlag(goEditing) && !m_options.testFlag(goRowSelect) &&
           m_current.X >= m_fixedCols && m_current.Y >= m_fixedRows;
}

void TMyCustomGrid::Click() {}

void TMyCustomGrid::DblClick() {}

void TMyCustomGrid::HeaderMouseRelease(QMouseEvent *, const TGridCoord &) {}

void TMyCustomGrid::EditorClosed() {}

void TMyCustomGrid::DoEnter() {}

void TMyCustomGrid::DoExit()
{
    if (!m_options.testFlag(goAlwaysShowEditor))
        HideEditor();
}

void TMyCustomGrid::ShowCell(int col, int row)
{
    if (row >= m_fixedRows) {
        if (row < m_topLeft.Y) {
            SetTopRow(row);
        } else {
            // Walk up from the target until the view is full.
            int height = viewport()->height();
            for (int r = 0; r < m_fixedRows; ++r)
                height -= RowHeights(r) + m_gridLineWidth;
            int top = row;
            for (int used = RowHeights(row) + m_gridLineWidth;
                 top > m_fixedRows && used + RowHeights(top - 1) + m_gridLineWidth <= height;)
                used += RowHeights(--top) + m_gridLineWidth;
            if (top > m_topLeft.Y)
                SetTopRow(top);
        }
    }
    if (col >= m_fixedCols && !m_options.testFlag(goRowSelect)) {
        if (col < m_topLeft.X) {
            SetLeftCol(col);
        } else {
            auto fullyVisible = [this, col] {
                const int left = ColumnLeft(col);
                return left >= 0 && left + ColWidths(col) <= viewport()->width();
            };
            while (m_topLeft.X < col && !fullyVisible())
                SetLeftCol(m_topLeft.X + 1);
        }
    }
}

int TMyCustomGrid::ColumnBorderAt(int x, int tolerance) const
{
    return BorderAt(ColSpans(), x, tolerance);
}

int TMyCustomGrid::RowBorderAt(int y, int tolerance) const
{
    return BorderAt(RowSpans(), y, tolerance);
}

int TMyCustomGrid::BorderAt(const std::vector<Span> &spans, int pos, int tolerance)
{
    for (const Span &span : spans) {
        if (std::abs(pos - (span.pos + span.size)) <= tolerance)
            return span.index;
    }
    return -1;
}

void TMyCustomGrid::ShowEditor()
{
    if (!CanEditShow() || m_nowUpdating)
        return;
    if (m_editor->isVisible() && m_editor->EditCol() == m_current.X &&
        m_editor->EditRow() == m_current.Y)
        return;
    HideEditor();
    ShowCell(m_current.X, m_current.Y);
    m_editor->Open(m_current.X, m_current.Y);
}

void TMyCustomGrid::HideEditor()
{
    m_editor->Close();
}

void TMyCustomGrid::UpdateEditorGeometry()
{
    if (m_editor->isHidden())
        return;
    const QRect rect = CellRect(m_editor->EditCol(), m_editor->EditRow());
    m_editor->setGeometry(rect.isEmpty() ? QRect(-100, -100, 1, 1) : rect);
}

// ---- size and position bookkeeping

void TMyCustomGrid::ChangeSize(int newColCount, int newRowCount)
{
    newColCount = std::max(1, newColCount);
    newRowCount = std::max(1, newRowCount);
    if (static_cast<long long>(newColCount) * newRowCount > INT_MAX / 4)
        throw EInvalidGridOperation(QStringLiteral("Grid too large for operation"));
    const int oldColCount = m_colCount;
    const int oldRowCount = m_rowCount;
    const int oldFixedCols = m_fixedCols;
    const int oldFixedRows = m_fixedRows;
    m_colCount = newColCount;
    m_rowCount = newRowCount;
    m_fixedCols = std::min(m_fixedCols, m_colCount - 1);
    m_fixedRows = std::min(m_fixedRows, m_rowCount - 1);
    if (m_nowUpdating)
        return;
    try {
        if (!m_colWidths.empty())
            m_colWidths.resize(m_colCount, m_defaultColWidth);
        if (!m_rowHeights.empty())
            m_rowHeights.resize(m_rowCount, m_defaultRowHeight);
        ClampCurrent();
        UpdateScrollRanges();
        InvalidateGrid();
        SizeChanged(oldColCount, oldRowCount);
    } catch (...) {
        m_colCount = oldColCount;
        m_rowCount = oldRowCount;
        m_fixedCols = oldFixedCols;
        m_fixedRows = oldFixedRows;
        throw;
    }
}

void TMyCustomGrid::ClampCurrent()
{
    auto clamp = [this](TGridCoord &coord) {
        coord.X = std::clamp(coord.X, m_fixedCols, m_colCount - 1);
        coord.Y = std::clamp(coord.Y, m_fixedRows, m_rowCount - 1);
    };
    const TGridCoord before = m_current;
    clamp(m_current);
    clamp(m_anchor);
    m_topLeft.X = std::clamp(m_topLeft.X, m_fixedCols, std::max(m_fixedCols, MaxLeftCol()));
    m_topLeft.Y = std::clamp(m_topLeft.Y, m_fixedRows, std::max(m_fixedRows, MaxTopRow()));
    if (!(before == m_current))
        HideEditor();
}

int TMyCustomGrid::MaxTopRow() const
{
    int height = viewport()->height();
    for (int r = 0; r < m_fixedRows; ++r)
        height -= RowHeights(r) + m_gridLineWidth;
    int top = m_rowCount;
    for (int used = 0; top > m_fixedRows;) {
        used += RowHeights(top - 1) + m_gridLineWidth;
        if (used - m_gridLineWidth > height)
            break;
        --top;
    }
    return std::min(top, m_rowCount - 1);
}

int TMyCustomGrid::MaxLeftCol() const
{
    int width = viewport()->width();
    for (int c = 0; c < m_fixedCols; ++c)
        width -= std::max(0, ColWidths(c)) + m_gridLineWidth;
    int left = m_colCount;
    for (int used = 0; left > m_fixedCols;) {
        used += std::max(0, ColWidths(left - 1)) + m_gridLineWidth;
        if (used - m_gridLineWidth > width)
            break;
        --left;
    }
    return std::min(left, m_colCount - 1);
}

void TMyCustomGrid::UpdateScrollRanges()
{
    const auto update = [](QScrollBar *bar, int maximum, int page, int value) {
        {
            const QSignalBlocker block(bar);
            bar->setRange(0, std::max(0, maximum));
            bar->setPageStep(std::max(1, page));
            bar->setValue(value);
        }
        // The scroll area shows or hides an as-needed bar on this signal,
        // which the blocker above held back.
        emit bar->rangeChanged(bar->minimum(), bar->maximum());
    };
    update(verticalScrollBar(), MaxTopRow() - m_fixedRows, VisibleRowCount(),
           m_topLeft.Y - m_fixedRows);
    update(horizontalScrollBar(), MaxLeftCol() - m_fixedCols, VisibleColCount(),
           m_topLeft.X - m_fixedCols);
}

void TMyCustomGrid::CheckCoord(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        throw EInvalidGridOperation(kIndexOutOfRange);
}

void TMyCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    CheckCoord(col, row);
    if (SelectCell(col, row))
        MoveCurrent(col, row, moveAnchor, true);
}

void TMyCustomGrid::MoveCurrent(int col, int row, bool moveAnchor, bool show)
{
    CheckCoord(col, row);
    if (m_current.X != col || m_current.Y != row)
        HideEditor();
    m_current = {col, row};
    if (moveAnchor || !m_options.testFlag(goRangeSelect))
        m_anchor = m_current;
    if (show)
        ShowCell(col, row);
    InvalidateGrid();
    if (m_options.testFlag(goAlwaysShowEditor))
        ShowEditor();
}

void TMyCustomGrid::MoveByKey(int dCol, int dRow, bool extend)
{
    const int col = std::clamp(m_current.X + dCol, m_fixedCols, m_colCount - 1);
    const int row = std::clamp(m_current.Y + dRow, m_fixedRows, m_rowCount - 1);
    if (col != m_current.X || row != m_current.Y)
        FocusCell(col, row, !extend);
}

// ---- painting

TGridDrawState TMyCustomGrid::CellState(int col, int row) const
{
    TGridDrawState state;
    if (col < m_fixedCols || row < m_fixedRows)
        return state | gdFixed;
    if (InSelection(col, row))
        state |= gdSelected;
    if (col == m_current.X && row == m_current.Y && (hasFocus() || m_editor->hasFocus()))
        state |= gdFocused;
    return state;
}

bool TMyCustomGrid::IsHighlighted(TGridDrawState state) const
{
    return state.testFlag(gdSelected) &&
           (!state.testFlag(gdFocused) || m_options & (goDrawFocusSelected | goRowSelect));
}

bool TMyCustomGrid::InSelection(int col, int row) const
{
    const TGridRect rect = Selection();
    return col >= rect.Left && col <= rect.Right && row >= rect.Top && row <= rect.Bottom;
}

void TMyCustomGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const std::vector<Span> cols = ColSpans();
    const std::vector<Span> rows = RowSpans();
    for (const QRect &rect : BackgroundArea(event->rect(), cols, rows))
        painter.fillRect(rect, m_color);
    PaintCells(painter, event->rect(), cols, rows);
}

// The cells paint their own faces and lines: the grid's colour shows right
// of the last column and below the last row only, and between the cells
// where lines are left out.
QRegion TMyCustomGrid::BackgroundArea(const QRect &area, const std::vector<Span> &cols,
                                      const std::vector<Span> &rows) const
{
    const TGridOptions lines = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
    if (cols.empty() || rows.empty() || (m_gridLineWidth > 0 && (m_options & lines) != lines))
        return area;
    const QRect cells(0, 0, cols.back().pos + cols.back().size + m_gridLineWidth,
                      rows.back().pos + rows.back().size + m_gridLineWidth);
    return QRegion(area).subtracted(cells);
}

void TMyCustomGrid::PaintCells(QPainter &painter, const QRect &clip, const std::vector<Span> &cols,
                               const std::vector<Span> &rows)
{
    for (const Span &row : rows) {
        for (const Span &col : cols) {
            const QRect rect(col.pos, row.pos, col.size, row.size);
            if (rect.adjusted(0, 0, m_gridLineWidth, m_gridLineWidth).intersects(clip))
                PaintCell(painter, col.index, row.index, rect);
        }
    }
}

QColor TMyCustomGrid::CellBackground(TGridDrawState state) const
{
    return state.testFlag(gdFixed) ? m_fixedColor
           : IsHighlighted(state)  ? palette().color(QPalette::Highlight)
                                   : m_color;
}

void TMyCustomGrid::PaintCell(QPainter &painter, int col, int row, const QRect &rect)
{
    const TGridDrawState state = CellState(col, row);
    const bool fixed = state.testFlag(gdFixed);
    const bool highlight = IsHighlighted(state);
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, CellBackground(state));
    painter.setPen(palette().color(highlight ? QPalette::HighlightedText : QPalette::Text));
    painter.setFont(font());
    DrawCell(painter, col, row, rect, state);
    painter.restore();
    if (state.testFlag(gdFocused) && !m_options.testFlag(goRowSelect) && !m_editor->isVisible()) {
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (m_gridLineWidth <= 0)
        return;
    const QColor line =
        fixed ? palette().color(QPalette::Dark) : palette().color(QPalette::Midlight).darker(110);
    if (m_options.testFlag(fixed ? goFixedVertLine : goVertLine))
        painter.fillRect(rect.right() + 1, rect.top(), m_gridLineWidth,
                         rect.height() + m_gridLineWidth, line);
    if (m_options.testFlag(fixed ? goFixedHorzLine : goHorzLine))
        painter.fillRect(rect.left(), rect.bottom() + 1, rect.width() + m_gridLineWidth,
                         m_gridLineWidth, line);
}

void TMyCustomGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    ClampCurrent();
    UpdateScrollRanges();
    UpdateEditorGeometry();
}

void TMyCustomGrid::scrollContentsBy(int, int)
{
    const int top = m_fixedRows + verticalScrollBar()->value();
    const int left = m_fixedCols + horizontalScrollBar()->value();
    if (top == m_topLeft.Y && left == m_topLeft.X)
        return;
    m_topLeft = {left, top};
    TopLeftChanged();
}

// ---- mouse

void TMyCustomGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        if (event->button() == Qt::RightButton)
            m_pressCell = MouseCoord(event->position().x(), event->position().y());
        return;
    }
    setFocus();
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    m_pressCell = cell;
    if (cell.X < 0 || cell.Y < 0)
        return;
    if (cell.Y < m_fixedRows) {
        const int border = ColumnBorderAt(pos.x(), kSizingZone);
        if (m_options.testFlag(goColSizing) && border >= 0) {
            m_mouseMode = MouseMode::ColSizing;
            m_sizingIndex = border;
            m_sizingOrigin = ColumnLeft(border);
        } else {
            m_mouseMode = MouseMode::HeaderClick;
        }
        return;
    }
    if (cell.X < m_fixedCols) {
        const int border = RowBorderAt(pos.y(), kSizingZone);
        if (m_options.testFlag(goRowSizing) && border >= 0) {
            m_mouseMode = MouseMode::RowSizing;
            m_sizingIndex = border;
            m_sizingOrigin = CellRect(cell.X, border).top();
        } else if (m_options.testFlag(goRowMoving)) {
            m_mouseMode = MouseMode::RowMoving;
        }
        return;
    }
    const bool wasCurrent = cell == m_current;
    m_mouseMode = MouseMode::Selecting;
    const bool extend =
        event->modifiers().testFlag(Qt::ShiftModifier) && m_options.testFlag(goRangeSelect);
    FocusCell(cell.X, cell.Y, !extend);
    if (wasCurrent && m_current == cell && m_options.testFlag(goEditing))
        ShowEditor();
}

void TMyCustomGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_mouseMode == MouseMode::ColSizing) {
        SetColWidths(m_sizingIndex, std::max(0, pos.x() - m_sizingOrigin));
        return;
    }
    if (m_mouseMode == MouseMode::RowSizing) {
        SetRowHeights(m_sizingIndex, std::max(1, pos.y() - m_sizingOrigin));
        return;
    }
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (m_mouseMode == MouseMode::Selecting && m_options.testFlag(goRangeSelect) &&
        cell.X >= m_fixedCols && cell.Y >= m_fixedRows && !(cell == m_current))
        FocusCell(cell.X, cell.Y, false);
    const bool overColBorder = m_options.testFlag(goColSizing) && cell.Y >= 0 &&
                               cell.Y < m_fixedRows && ColumnBorderAt(pos.x(), kSizingZone) >= 0;
    const bool overRowBorder = m_options.testFlag(goRowSizing) && cell.X >= 0 &&
                               cell.X < m_fixedCols && RowBorderAt(pos.y(), kSizingZone) >= 0;
    viewport()->setCursor(overColBorder   ? Qt::SplitHCursor
                          : overRowBorder ? Qt::SplitVCursor
                                          : Qt::ArrowCursor);
}

void TMyCustomGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const MouseMode mode = std::exchange(m_mouseMode, MouseMode::None);
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    switch (mode) {
    case MouseMode::ColSizing:
    case MouseMode::RowSizing:
        return;
    case MouseMode::RowMoving:
        if (cell.Y >= m_fixedRows && cell.Y != m_pressCell.Y)
            MoveRow(m_pressCell.Y, cell.Y);
        return;
    case MouseMode::HeaderClick:
        if (m_options.testFlag(goColMoving) && cell.X >= m_fixedCols && cell.X != m_pressCell.X &&
            m_pressCell.X >= m_fixedCols) {
            MoveColumn(m_pressCell.X, cell.X);
            return;
        }
        HeaderMouseRelease(event, m_pressCell);
        return;
    case MouseMode::Selecting:
        Click();
        return;
    case MouseMode::None:
        if (event->button() == Qt::RightButton && cell.Y >= 0 && cell.Y < m_fixedRows)
            HeaderMouseRelease(event, m_pressCell);
        return;
    }
}

void TMyCustomGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        mousePressEvent(event);
        DblClick();
    }
}

// ---- keyboard and focus

void TMyCustomGrid::keyPressEvent(QKeyEvent *event)
{
    if (!HandleKey(event))
        QAbstractScrollArea::keyPressEvent(event);
}

bool TMyCustomGrid::HandleKey(QKeyEvent *event)
{
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool extend =
        event->modifiers().testFlag(Qt::ShiftModifier) && m_options.testFlag(goRangeSelect);
    const bool rowSelect = m_options.testFlag(goRowSelect);
    const int page = std::max(1, VisibleRowCount());
    switch (event->key()) {
    case Qt::Key_Up:
        MoveByKey(0, -1, extend);
        return true;
    case Qt::Key_Down:
        MoveByKey(0, 1, extend);
        return true;
    case Qt::Key_PageUp:
        SetTopRow(m_topLeft.Y - page);
        MoveByKey(0, -page, extend);
        return true;
    case Qt::Key_PageDown:
        SetTopRow(m_topLeft.Y + page);
        MoveByKey(0, page, extend);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        if (rowSelect)
            SetLeftCol(m_topLeft.X + step);
        else
            MoveByKey(step, 0, extend);
        return true;
    }
    case Qt::Key_Home:
        MoveByKey(rowSelect || ctrl ? 0 : -m_colCount, ctrl ? -m_rowCount : 0, extend);
        return true;
    case Qt::Key_End:
        MoveByKey(rowSelect || ctrl ? 0 : m_colCount, ctrl ? m_rowCount : 0, extend);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!m_options.testFlag(goTabs))
            return false;
        MoveByKey(event->key() == Qt::Key_Tab ? 1 : -1, 0, false);
        return true;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (EditorMode())
            HideEditor();
        else
            ShowEditor();
        return CanEditShow();
    default:
        break;
    }
    // Alt+key is a key entry of the window, even one that is switched off:
    // it must never type into a cell.
    const bool alt = event->modifiers().testFlag(Qt::AltModifier);
    if (CanEditShow() && !event->text().isEmpty() && event->text().at(0).isPrint() && !ctrl &&
        !alt) {
        ShowEditor();
        m_editor->setText(QString());
        QApplication::sendEvent(m_editor, event);
        return true;
    }
    return false;
}

bool TMyCustomGrid::focusNextPrevChild(bool next)
{
    if (m_options.testFlag(goTabs))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool TMyCustomGrid::FocusLeftGrid() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus != this && focus != m_editor;
}

void TMyCustomGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && QApplication::focusWidget() == this &&
        !m_editor->isVisible())
        DoEnter();
    // Only the current cell is drawn differently with the focus.
    InvalidateRow(m_current.Y);
}

void TMyCustomGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (FocusLeftGrid())
        DoExit();
    InvalidateRow(m_current.Y);
}

// ----------------------------------------------------------- TMyCustomDrawGrid

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

// ------------------------------------------------------------------ TMyDrawGrid

TMyDrawGrid::TMyDrawGrid(QWidget *parent) : TMyCustomDrawGrid(parent) {}

void TMyDrawGrid::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMyDrawGrid::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

// --------------------------------------------------------- TMyStringGridStrings

TMyStringGridStrings::TMyStringGridStrings(TMyStringGrid *grid, Kind kind, int index)
    : m_grid(grid), m_kind(kind), m_index(index)
{}

int TMyStringGridStrings::Count() const
{
    return m_kind == Kind::Row ? m_grid->ColCount() : m_grid->RowCount();
}

QString TMyStringGridStrings::Strings(int i) const
{
    return m_grid->Cells(CellCol(i), CellRow(i));
}

void TMyStringGridStrings::SetStrings(int i, const QString &text)
{
    m_grid->SetCells(CellCol(i), CellRow(i), text);
}

QObject *TMyStringGridStrings::Objects(int i) const
{
    return m_grid->Objects(CellCol(i), CellRow(i));
}

void TMyStringGridStrings::SetObjects(int i, QObject *object)
{
    m_grid->SetObjects(CellCol(i), CellRow(i), object);
}

void TMyStringGridStrings::Clear()
{
    BeginUpdate();
    if (m_kind == Kind::Row) {
        for (TStringSparseList &column : m_grid->m_columns) {
            if (m_index < column.Count())
                column.Put(m_index, QString());
        }
        m_grid->m_repaintDue = true;
    } else {
        for (int row = 0; row < m_grid->RowCount(); ++row) {
            SetStrings(row, QString());
            SetObjects(row, nullptr);
        }
    }
    EndUpdate();
}

int TMyStringGridStrings::Add(const QString &text)
{
    for (int i = 0; i < Count(); ++i) {
        if (Strings(i).isEmpty()) {
            SetStrings(i, text.isEmpty() ? QStringLiteral(" ") : text);
            return i;
        }
    }
    return -1;
}

void TMyStringGridStrings::SetText(const QString &lines)
{
    QStringList parts = lines.split(QLatin1Char('\n'));
    if (lines.endsWith(QLatin1Char('\n')))
        parts.removeLast();
    BeginUpdate();
    Clear();
    for (QString &line : parts) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        Add(line);
    }
    EndUpdate();
}

QString TMyStringGridStrings::Text() const
{
    QString text;
    for (int i = 0; i < Count(); ++i)
        text += Strings(i) + QLatin1Char('\n');
    return text;
}

void TMyStringGridStrings::Assign(const QStringList &source)
{
    BeginUpdate();
    const int count = std::min(static_cast<int>(source.size()), Count());
    for (int i = 0; i < count; ++i) {
        SetStrings(i, source[i]);
        SetObjects(i, nullptr);
    }
    EndUpdate();
}

void TMyStringGridStrings::Insert(int, const QString &)
{
    throw EInvalidGridOperation(QStringLiteral("Cannot insert or delete rows from grid"));
}

void TMyStringGridStrings::Delete(int)
{
    Insert(0, QString());
}

void TMyStringGridStrings::BeginUpdate()
{
    m_grid->BeginViewUpdate();
}

void TMyStringGridStrings::EndUpdate()
{
    m_grid->EndViewUpdate();
}

// ---------------------------------------------------------------- TMyStringGrid

TMyStringGrid::TMyStringGrid(QWidget *parent) : TMyDrawGrid(parent) {}

TMyStringGrid::~TMyStringGrid() = default;

const TStringSparseList *TMyStringGrid::ColumnData(int col) const
{
    return col >= 0 && col < static_cast<int>(m_columns.size()) ? &m_columns[col] : nullptr;
}

QString TMyStringGrid::Cells(int col, int row) const
{
    const TStringSparseList *data = ColumnData(col);
    return data ? data->Get(row) : QString();
}

QList<QString> TMyStringGrid::ColumnTexts(int col) const
{
    const TStringSparseList *data = ColumnData(col);
    return data ? data->Texts() : QList<QString>();
}

// A column that grows takes room for all rows at once: rows written one
// after the other up to RowCount do not move it again.
TStringSparseList &TMyStringGrid::ColumnStore(int col, int row)
{
    if (col < 0)
        throw EListError(col);
    if (col >= static_cast<int>(m_columns.size()))
        m_columns.resize(col + 1);
    TStringSparseList &column = m_columns[col];
    if (row >= column.Count())
        column.Reserve(RowCount());
    return column;
}

// An empty text where nothing is stored stores nothing: a column of blank
// cells costs nothing.
bool TMyStringGrid::StoresNothing(int col, int row, const QString &text) const
{
    const TStringSparseList *data = ColumnData(col);
    return text.isEmpty() && (!data || row >= data->Count());
}

void TMyStringGrid::SetCells(int col, int row, const QString &text)
{
    if (StoresNothing(col, row, text))
        return;
    ColumnStore(col, row).Put(row, text);
    CellChanged(col, row);
}

QObject *TMyStringGrid::Objects(int col, int row) const
{
    const TStringSparseList *data = ColumnData(col);
    return data ? data->GetObject(row) : nullptr;
}

void TMyStringGrid::SetObjects(int col, int row, QObject *object)
{
    if (!object && !ColumnData(col))
        return;
    ColumnStore(col, row).PutObject(row, object);
}

TMyStringGridStrings *TMyStringGrid::Rows(int row)
{
    auto &view = m_rowViews.At(row);
    if (!view)
        view = std::make_unique<TMyStringGridStrings>(this, TMyStringGridStrings::Kind::Row, row);
    return view.get();
}

TMyStringGridStrings *TMyStringGrid::Cols(int col)
{
    auto &view = m_colViews.At(col);
    if (!view)
        view = std::make_unique<TMyStringGridStrings>(this, TMyStringGridStrings::Kind::Col, col);
    return view.get();
}

std::vector<TStringSparseList> TMyStringGrid::FixedRowColumns(int columns, int rowCount) const
{
    std::vector<TStringSparseList> fixed(std::max<std::size_t>(columns, m_columns.size()));
    for (std::size_t col = 0; col < fixed.size(); ++col) {
        fixed[col].Reserve(rowCount);
        for (int row = 0; row < FixedRows() && col < m_columns.size(); ++row) {
            fixed[col].Put(row, m_columns[col].Get(row));
            fixed[col].PutObject(row, m_columns[col].GetObject(row));
        }
    }
    return fixed;
}

void TMyStringGrid::ReplaceDataRows(int rows, std::span<QList<QString>> texts)
{
    const int first = FixedRows();
    std::vector<TStringSparseList> replaced = FixedRowColumns(int(texts.size()), 0);
    for (std::size_t col = 0; col < texts.size(); ++col)
        replaced[col].TakeTextsFrom(first, std::move(texts[col]));
    TakeColumns(std::move(replaced), first + rows);
}

// The old cells are freed with the vector they end up in.
void TMyStringGrid::TakeColumns(std::vector<TStringSparseList> columns, int rowCount)
{
    m_columns.swap(columns);
    SetRowCount(rowCount);
    if (m_viewUpdates > 0)
        m_repaintDue = true;
    else
        InvalidateGrid();
    if (!m_editorWriting && EditorMode())
        InplaceEditor()->UpdateContents();
}

void TMyStringGrid::CellChanged(int col, int row)
{
    if (m_viewUpdates > 0)
        m_repaintDue = true;
    else
        InvalidateCell(col, row);
    RefreshEditorOn(col, row);
}

void TMyStringGrid::RefreshEditorOn(int col, int row)
{
    if (!m_editorWriting && EditorMode() && InplaceEditor()->EditCol() == col &&
        InplaceEditor()->EditRow() == row)
        InplaceEditor()->UpdateContents();
}

void TMyStringGrid::BeginViewUpdate()
{
    ++m_viewUpdates;
}

void TMyStringGrid::EndViewUpdate()
{
    if (--m_viewUpdates == 0 && std::exchange(m_repaintDue, false))
        InvalidateGrid();
}

QString TMyStringGrid::GetEditText(int col, int row)
{
    QString value = Cells(col, row);
    if (OnGetEditText)
        OnGetEditText(this, col, row, value);
    return value;
}

void TMyStringGrid::SetEditText(int col, int row, const QString &value)
{
    if (Cells(col, row) != value) {
        m_editorWriting = true;
        SetCells(col, row, value);
        m_editorWriting = false;
    }
    TMyDrawGrid::SetEditText(col, row, value);
}

void TMyStringGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                             TGridDrawState state)
{
    if (DefaultDrawing())
        painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, Cells(col, row));
    RaiseDrawCell(col, row, rect, state);
}

void TMyStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    if (std::max(fromIndex, toIndex) >= static_cast<int>(m_columns.size()))
        m_columns.resize(std::max(fromIndex, toIndex) + 1);
    MoveListEntry(m_columns, fromIndex, toIndex);
    TMyDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TMyStringGrid::RowMoved(int fromIndex, int toIndex)
{
    for (TStringSparseList &column : m_columns)
        column.Move(fromIndex, toIndex);
    TMyDrawGrid::RowMoved(fromIndex, toIndex);
}

void TMyStringGrid::ReorderDataRows(const std::vector<int> &order)
{
    const TCellPermutation permutation(1, order);
    for (TStringSparseList &column : m_columns)
        column.Reorder(permutation);
    InvalidateGrid();
}
