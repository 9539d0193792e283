#include "print/CertificatePages.h"

#include "settings/CertificateLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

std::vector<int> CertificateRows(const ProtocolTable &table, int firstRow, int lastRow)
{
    std::vector<int> rows;
    const int last = std::min(lastRow, int(table.size()));
    for (int row = std::max(firstRow, 1); row <= last; ++row) {
        bool whole = false;
        table[row - 1][ColPlatz].trimmed().toInt(&whole);
        if (whole)
            rows.push_back(row - 1);
    }
    return rows;
}

std::vector<CertificateLine> CertificateLines(CertificateLayout &layout, const ProtocolRow &row,
                                              const QString &eventName, const QDate &today)
{
    std::vector<CertificateLine> lines;
    for (int index = 0; index < CertificateLayout::EntryCount; ++index) {
        LayoutEntry &entry = layout.Entries[index];
        if (!entry.On)
            continue;
        entry.SetText(EntryPrintText(index, entry, row, eventName, today));
        CertificateLine line;
        line.entry = index;
        line.text = entry.Text;
        line.font = PageFont(entry);
        line.color = LayoutColor(entry.FontColor);
        const int width = int(std::lround(QFontMetricsF(line.font).horizontalAdvance(line.text)));
        line.topLeft = QPoint(PlacedLeft(entry, width), entry.Top * 10);
        lines.push_back(line);
    }
    return lines;
}

void DrawCertificate(QPainter &canvas, const std::vector<CertificateLine> &lines)
{
    canvas.save();
    canvas.setBackgroundMode(Qt::TransparentMode);
    for (const CertificateLine &line : lines) {
        canvas.setFont(line.font);
        canvas.setPen(line.color);
        // The layout places the top of the text cell; drawText wants the baseline.
        const qreal ascent = QFontMetricsF(line.font).ascent();
        canvas.drawText(QPointF(line.topLeft.x(), line.topLeft.y() + ascent), line.text);
    }
    canvas.restore();
}
