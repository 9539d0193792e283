#include "app/ProtocolGridView.h"

#include "protocol/ProtocolModel.h"
#include "protocol/ResultText.h"
#include "widgets/SortGrid.h"

#include <QFont>
#include <algorithm>

namespace {

const QColor LaneRowTextColour(255, 0, 0);

// Whole rows selected, no range selection (it would paint over the red
// lane rows), column borders draggable.
const TGridOptions ProtocolGridOptions = goFixedVertLine | goFixedHorzLine | goVertLine |
                                         goHorzLine | goDrawFocusSelected | goColSizing |
                                         goRowSelect;

TSortStyle SortStyleOf(int column)
{
    switch (DescriptionOf(column).sortStyle) {
    case ProtocolSortStyle::Numeric:
        return ssNumeric;
    case ProtocolSortStyle::Custom:
        return ssCustom;
    case ProtocolSortStyle::Normal:
        break;
    }
    return ssNormal;
}

} // namespace

ProtocolGridView::ProtocolGridView(TSortGrid *grid, ProtocolModel &model, const int &laneCount,
                                   QObject *parent)
    : QObject(parent), m_grid(grid), m_model(model), m_laneCount(laneCount)
{
    Configure();
    grid->SetCellSource(this);
    connect(&model, &ProtocolModel::changed, this, &ProtocolGridView::Follow);
}

// Or the grid outlives its view.
ProtocolGridView::~ProtocolGridView()
{
    if (m_grid)
        m_grid->SetCellSource(nullptr);
}

void ProtocolGridView::Configure()
{
    TSortGrid *grid = m_grid;
    ShowColumns();
    grid->SetRowCount(2);
    grid->SetFixedRows(1);
    grid->SetFixedCols(0);
    TSortOptions &sort = grid->SortOptions();
    sort.SetSortCol(ColKlasse);
    sort.SetSecondaryIndex(QString::number(ColTotal));
    sort.SetSortDirection(sdAscending);
    sort.SetCanSort(true);
    sort.SetSortCaseSensitive(true);
    grid->SetOptions(ProtocolGridOptions);
    grid->SetDefaultColWidth(32);
    grid->SetDefaultRowHeight(19);
    grid->SetScrollBars(ssVertical);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    grid->setFont(font);
    grid->OnGetSortStyle = [grid](QObject *, int column, TSortStyle &style) {
        style = SortStyleOf(column);
        if (style == ssCustom)
            grid->SortOptions().SortCompare = CompareResultText;
    };
    grid->OnGetCellFormat = [this](QObject *, int column, int row, TGridDrawState,
                                   TFormatOptions &format, bool &, bool &, bool &) {
        if (row <= 0)
            return;
        if (IsRightAligned(column))
            format.AlignmentHorz = taRightJustify;
        if (row == m_model.LaneRow(0) + 1 || (m_laneCount >= 2 && row == m_model.LaneRow(1) + 1))
            format.FontColor = LaneRowTextColour;
    };
}

QStringView ProtocolGridView::CellText(int col, int dataRow) const
{
    return m_model.Cell(dataRow, col);
}

void ProtocolGridView::CellWritten(int col, int dataRow, const QString &text)
{
    m_model.TypeCell(dataRow, col, text);
}

void ProtocolGridView::RowsReordered(const std::vector<int> &from)
{
    m_model.Reorder(from);
}

void ProtocolGridView::ShowRankedOrder()
{
    TSortOptions &sort = m_grid->SortOptions();
    sort.SetSortDirection(sdAscending);
    sort.SetSortCol(ColKlasse);
}

// Rows the model moved take the current row along (a header sort moves it
// itself).
// An empty protocol keeps the one blank row a grid needs below its header.
void ProtocolGridView::ShowRowCount()
{
    const int rowCount = 1 + std::max(1, m_model.RowCount());
    if (m_grid->RowCount() != rowCount)
        m_grid->SetRowCount(rowCount);
}

bool ProtocolGridView::ShowColumns()
{
    const int columns = m_model.ColumnCount();
    if (m_grid->ColCount() == columns && !m_grid->Cells(columns - 1, 0).isEmpty())
        return false;
    m_grid->SetColCount(columns);
    const QStringList titles = ShownHeaders(m_model.Runs());
    for (int column = 0; column < columns; ++column)
        m_grid->SetCells(column, 0, titles[column]);
    return true;
}

void ProtocolGridView::Follow(const ProtocolChange &change)
{
    ShowRowCount();
    if (ShowColumns())
        emit columnsChanged();
    const int current = m_grid->Row() - 1;
    if (!m_grid->Sorting() && current >= 0 && std::size_t(current) < change.movedFrom.size()) {
        const auto found = std::find(change.movedFrom.begin(), change.movedFrom.end(), current);
        if (found != change.movedFrom.end() && int(found - change.movedFrom.begin()) != current)
            m_grid->SetRow(int(found - change.movedFrom.begin()) + 1);
    }
    // A stop repaints its team's row alone: with hundreds of rows on the
    // screen a whole repaint is most of what it would cost. A change of the
    // lanes recolours rows anywhere.
    if (change.wholeTable || change.rows.empty()) {
        m_grid->InvalidateGrid();
        return;
    }
    for (const int row : change.rows)
        m_grid->InvalidateRow(row + 1);
}
