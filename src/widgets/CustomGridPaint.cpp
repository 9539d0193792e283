// The grid base's painting: the visible cells only, each filled and
// handed to DrawCell.
#include "widgets/CustomGrid.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

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
