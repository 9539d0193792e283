// The grid base: counts, sizes, current cell and selection, scrolling by
// whole rows and columns, the in-place editor and the update bracket.
#include "widgets/CustomGrid.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <climits>

namespace {

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
