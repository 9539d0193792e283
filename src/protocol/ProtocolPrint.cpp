// Printing the protocol table page by page.
#include "protocol/ProtocolPrint.h"

#include "protocol/ProtocolTable.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <numeric>

namespace {

const QColor TitleColour(0xA3, 0x7E, 0x4E);
const QColor HeaderBackground(0xEE, 0xEE, 0xD0);
const QColor RuleColour(0x99, 0x99, 0x99);

// Everything measured once for the whole protocol, in device pixels.
struct TableGeometry
{
    QList<qreal> columnWidths;
    qreal rowHeight = 0;
    qreal padding = 0;
    qreal pageHeaderHeight = 0;
    qreal titleHeight = 0;
    qreal footerHeight = 0;
    int rowsOnFirstPage = 1;
    int rowsPerPage = 1;
};

QFont CellFont(bool bold)
{
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(bold);
    return font;
}

QFont TitleFont()
{
    QFont font(QStringLiteral("Arial"), 16);
    font.setBold(true);
    return font;
}

// Each column as wide as its widest text, at most a third of the page, then
// all widened or narrowed in proportion so the table spans the page (texts
// that still do not fit are cut with an ellipsis).
QList<qreal> ColumnWidths(const CellRows &rows, QPaintDevice *device, qreal padding,
                          qreal pageWidth)
{
    const QFontMetricsF header(CellFont(true), device);
    const QFontMetricsF cells(CellFont(false), device);
    QList<qreal> widths;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QFontMetricsF &metrics = row == 0 ? header : cells;
        const QStringList &texts = rows[row];
        if (widths.size() < texts.size())
            widths.resize(texts.size(), 0);
        for (qsizetype column = 0; column < texts.size(); ++column)
            widths[column] =
                std::max(widths[column], metrics.horizontalAdvance(texts[column]) + 2 * padding);
    }
    // One overlong name must not squeeze the other columns to nothing.
    for (qreal &width : widths)
        width = std::min(width, pageWidth / 3);
    const qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    if (total > 0)
        for (qreal &width : widths)
            width *= pageWidth / total;
    return widths;
}

TableGeometry MeasureTable(const CellRows &rows, QPagedPaintDevice *device)
{
    TableGeometry geometry;
    const QFontMetricsF cells(CellFont(false), device);
    geometry.padding = cells.height() / 4;
    geometry.rowHeight = cells.height() + 2 * geometry.padding;
    geometry.pageHeaderHeight = geometry.rowHeight * 1.5;
    geometry.titleHeight = QFontMetricsF(TitleFont(), device).height() * 2;
    geometry.footerHeight = geometry.rowHeight * 1.5;
    geometry.columnWidths = ColumnWidths(rows, device, geometry.padding, device->width());
    // Every page keeps room for its header, the table's header row and the
    // page footer.
    const qreal tableHeight =
        device->height() - geometry.pageHeaderHeight - geometry.footerHeight - geometry.rowHeight;
    geometry.rowsPerPage = std::max(1, int(tableHeight / geometry.rowHeight));
    geometry.rowsOnFirstPage =
        std::max(1, int((tableHeight - geometry.titleHeight) / geometry.rowHeight));
    return geometry;
}

int PageCount(qsizetype bodyRows, const TableGeometry &geometry)
{
    const qsizetype rest = std::max<qsizetype>(0, bodyRows - geometry.rowsOnFirstPage);
    return 1 + int((rest + geometry.rowsPerPage - 1) / geometry.rowsPerPage);
}

// The texts of one row, each cut to its column; the rules come per page.
void PaintRowTexts(QPainter &painter, const QFontMetricsF &metrics, const QStringList &texts,
                   qreal top, const TableGeometry &geometry)
{
    const qreal baseline = top + geometry.padding + metrics.ascent();
    qreal left = 0;
    for (qsizetype column = 0; column < geometry.columnWidths.size(); ++column) {
        const qreal width = geometry.columnWidths[column];
        if (column < texts.size() && !texts[column].isEmpty()) {
            const qreal room = width - 2 * geometry.padding;
            const QString &text = texts[column];
            const QString shown = metrics.horizontalAdvance(text) <= room
                                      ? text
                                      : metrics.elidedText(text, Qt::ElideRight, room);
            const qreal x = IsRightAligned(column)
                                ? left + width - geometry.padding - metrics.horizontalAdvance(shown)
                                : left + geometry.padding;
            // Plain text at its baseline: laying out a rectangle per cell is
            // what makes long protocols slow.
            painter.drawText(QPointF(x, baseline), shown);
        }
        left += width;
    }
}

// The grid of a page's table: one line under each row and one between
// columns, from the header row's top to the last row's bottom.
void PaintTableRules(QPainter &painter, qreal top, int rows, const TableGeometry &geometry)
{
    const qreal width =
        std::accumulate(geometry.columnWidths.begin(), geometry.columnWidths.end(), qreal(0));
    const qreal bottom = top + rows * geometry.rowHeight;
    painter.fillRect(QRectF(0, top, width, geometry.rowHeight), HeaderBackground);
    painter.setPen(RuleColour);
    for (int row = 0; row <= rows; ++row)
        painter.drawLine(
            QLineF(0, top + row * geometry.rowHeight, width, top + row * geometry.rowHeight));
    qreal left = 0;
    painter.drawLine(QLineF(left, top, left, bottom));
    for (const qreal column : geometry.columnWidths) {
        left += column;
        painter.drawLine(QLineF(left, top, left, bottom));
    }
}

// The event on the left, the day on the right, above everything else.
void PaintPageHeader(QPainter &painter, QPagedPaintDevice *device, const TableGeometry &geometry,
                     const ProtocolHeading &heading)
{
    painter.setFont(CellFont(true));
    painter.setPen(Qt::black);
    const QRectF header(0, 0, device->width(), geometry.rowHeight);
    painter.drawText(header, Qt::AlignVCenter | Qt::AlignLeft, heading.eventName);
    painter.drawText(header, Qt::AlignVCenter | Qt::AlignRight,
                     QLocale().toString(heading.date, QLocale::ShortFormat));
}

void PaintFooter(QPainter &painter, QPagedPaintDevice *device, const TableGeometry &geometry,
                 int page, int pages)
{
    painter.setFont(CellFont(false));
    painter.setPen(Qt::black);
    const QRectF footer(0, device->height() - geometry.footerHeight, device->width(),
                        geometry.footerHeight);
    painter.drawText(footer, Qt::AlignBottom | Qt::AlignLeft,
                     QStringLiteral("Seite %1 von %2").arg(page).arg(pages));
    painter.drawText(footer, Qt::AlignBottom | Qt::AlignRight,
                     QStringLiteral("Duobahn Sport Software"));
}

} // namespace

void PaintProtocolPages(const CellRows &rows, const ProtocolHeading &heading,
                        QPagedPaintDevice *device)
{
    const TableGeometry geometry = MeasureTable(rows, device);
    const qsizetype bodyRows = std::max<qsizetype>(0, rows.size() - 1);
    const int pages = PageCount(bodyRows, geometry);
    const QStringList header = rows.isEmpty() ? QStringList() : rows.constFirst();

    QPainter painter(device);
    const QFontMetricsF headerMetrics(CellFont(true), device);
    const QFontMetricsF cellMetrics(CellFont(false), device);
    qsizetype next = 1;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            device->newPage();
        PaintPageHeader(painter, device, geometry, heading);
        qreal top = geometry.pageHeaderHeight;
        int room = geometry.rowsPerPage;
        if (page == 1) {
            painter.setFont(TitleFont());
            painter.setPen(TitleColour);
            painter.drawText(QRectF(0, top, device->width(), geometry.titleHeight),
                             Qt::AlignLeft | Qt::AlignTop,
                             heading.title + QStringLiteral(" Zeitenprotokoll"));
            top += geometry.titleHeight;
            room = geometry.rowsOnFirstPage;
        }
        const int rowsHere = int(std::clamp<qsizetype>(rows.size() - next, 0, room));
        PaintTableRules(painter, top, 1 + rowsHere, geometry);
        painter.setPen(Qt::black);
        painter.setFont(CellFont(true));
        PaintRowTexts(painter, headerMetrics, header, top, geometry);
        painter.setFont(CellFont(false));
        for (int line = 0; line < rowsHere; ++line, ++next) {
            top += geometry.rowHeight;
            PaintRowTexts(painter, cellMetrics, rows[next], top, geometry);
        }
        PaintFooter(painter, device, geometry, page, pages);
    }
}

QByteArray ProtocolPagePdf(const CellRows &rows, const ProtocolHeading &heading)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(heading.title);
        writer.setCreator(QStringLiteral("Duobahn"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        PaintProtocolPages(rows, heading, &writer);
    }
    return pdf;
}
