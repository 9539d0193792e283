// The grid base's mouse, keyboard and focus handling: moving the current
// cell, selecting, sizing and moving rows and columns.
#include "widgets/CustomGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

const int kSizingZone = 5; // pixels beside a header border that size the column

} // namespace

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
