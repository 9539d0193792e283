// The grid's cells that are too narrow for their text: the text is drawn
// cut with "…" (see DrawCell) and shown whole as the cell's tooltip.
#include "widgets/SortGrid.h"

#include <QHelpEvent>
#include <QToolTip>

int TSortGrid::CellTextRoom(const QRect &cell)
{
    return cell.width() - 4;
}

// The whole text of a cell that shows it cut.
bool TSortGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return TMyStringGrid::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const TGridCoord cell = MouseCoord(help->pos().x(), help->pos().y());
    const bool dataCell =
        cell.X >= 0 && cell.Y >= FixedRows() && cell.X < ColCount() && cell.Y < RowCount();
    const QString text = dataCell ? Cells(cell.X, cell.Y) : QString();
    const QFont font = dataCell ? CellFormat(cell.X, cell.Y, {}).Font : QFont();
    if (dataCell &&
        QFontMetrics(font).horizontalAdvance(text) > CellTextRoom(CellRect(cell.X, cell.Y)))
        QToolTip::showText(help->globalPos(), text, viewport(), CellRect(cell.X, cell.Y));
    else
        QToolTip::hideText();
    return true;
}
