#include "app/ProtocolGrid.h"

#include "app/StartOrder.h"

#include "protocol/Ranking.h"
#include "protocol/ResultText.h"
#include "widgets/SortGrid.h"

#include <QFont>
#include <span>
#include <utility>

namespace {

// Whole rows selected, no range selection (it would paint over the red
// lane rows), column borders draggable.
const TGridOptions ProtocolGridOptions = goFixedVertLine | goFixedHorzLine | goVertLine |
                                         goHorzLine | goDrawFocusSelected | goColSizing |
                                         goRowSelect;

// Read where the grid keeps them, not copied: the columns are let go
// before the grid moves its rows, which would otherwise copy them.
RankedRows RankGridRows(const TSortGrid *grid)
{
    const auto dataRowsOf = [&](int column) {
        QList<QString> texts = grid->ColumnTexts(column);
        // Cells past the stored ones are empty.
        if (texts.size() < grid->RowCount())
            texts.resize(grid->RowCount());
        return texts;
    };
    const QList<QString> classes = dataRowsOf(ColKlasse);
    const QList<QString> totals = dataRowsOf(ColTotal);
    const auto rows = std::size_t(grid->RowCount() - 1);
    const std::vector<int> startPlaces = ReadStartOrder(*grid);
    return RankRows(std::span(classes).subspan(1, rows), std::span(totals).subspan(1, rows),
                    startPlaces);
}

// The rows whose "Platz" the ranking's places change, with their new one.
// Read from the column, let go before any place is written: a place
// written while the column is shared would copy it.
std::vector<std::pair<int, QString>> ChangedPlaces(const TSortGrid *grid,
                                                   const std::vector<int> &places)
{
    const QList<QString> before = grid->ColumnTexts(ColPlatz);
    static const QString none;
    std::vector<std::pair<int, QString>> changed;
    for (std::size_t k = 0; k < places.size(); ++k) {
        const qsizetype row = qsizetype(k) + 1;
        const QString &old = row < before.size() ? before[row] : none;
        QString place = PlaceText(places[k], old);
        if (place != old)
            changed.emplace_back(int(row), std::move(place));
    }
    return changed;
}

} // namespace

void ConfigureProtocolGrid(TSortGrid *grid)
{
    grid->SetColCount(ProtocolColumnCount);
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
}

ProtocolRow ProtocolGridRow(const TSortGrid *grid, int row)
{
    ProtocolRow cells;
    for (int column = 0; column < ProtocolColumnCount; ++column)
        cells[column] = grid->Cells(column, row);
    return cells;
}

TSortStyle ProtocolGridSortStyle(int column)
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

// The rows are ranked where they stand: the grid moves them into their
// ranked order and only the places that change are written.
std::vector<int> PutRowsInRankedOrder(TSortGrid *grid)
{
    const RankedRows ranked = RankGridRows(grid);
    std::vector<int> order(ranked.previousIndex.size());
    std::vector<int> newRow(order.size() + 1, -1);
    for (std::size_t k = 0; k < order.size(); ++k) {
        order[k] = int(ranked.previousIndex[k]) + 1;
        newRow[order[k]] = int(k) + 1;
    }
    grid->ReorderDataRows(order);
    for (const auto &[row, place] : ChangedPlaces(grid, ranked.places))
        grid->SetCells(ColPlatz, row, place);
    return newRow;
}

void ShowRankedOrder(TSortGrid *grid)
{
    TSortOptions &sort = grid->SortOptions();
    sort.SetSortDirection(sdAscending);
    sort.SetSortCol(ColKlasse);
}
