// Where the grid base's cells lie in the view: the visible columns and
// rows, cell rectangles, the cell under a point, and scrolling a cell into
// view, and following the view when it is resized or scrolled.
#include "widgets/CustomGrid.h"

#include <QScrollBar>

#include <algorithm>

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
