#include "app/SpeedButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int GlyphSize = 20;

void DrawSheet(QPainter &p)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 1.5, 12, 16));
}

void DrawLetterOnSheet(QPainter &p, const QString &letter, const QColor &colour)
{
    DrawSheet(p);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(1, 6, 11, 10));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 6, 11, 10), Qt::AlignCenter, letter);
}

void DrawClearAll(QPainter &p)
{
    DrawSheet(p);
    p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(16, 16));
    p.drawLine(QPointF(16, 6), QPointF(6, 16));
}

void DrawRemoveRow(QPainter &p)
{
    DrawSheet(p);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y : {5, 9, 13})
        p.drawLine(QPointF(5.5, y + 0.5), QPointF(13.5, y + 0.5));
    p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 15), QPointF(18, 15));
}

void DrawCertificates(QPainter &p)
{
    DrawSheet(p);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(6, 4.5), QPointF(13, 4.5));
    p.drawLine(QPointF(6, 7.5), QPointF(13, 7.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    QPainterPath ribbon;
    ribbon.moveTo(10, 13);
    ribbon.lineTo(7, 19);
    ribbon.lineTo(10, 17.5);
    ribbon.lineTo(13, 19);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
    p.setBrush(QColor(230, 180, 0));
    p.drawEllipse(QPointF(10, 12), 3.5, 3.5);
}

void DrawPrint(QPainter &p)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 1.5, 9, 7));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 12.5, 9, 6));
    p.setPen(QPen(QColor(0, 160, 0), 1.5));
    p.drawPoint(QPointF(16, 10));
}

void DrawSpreadsheet(QPainter &p)
{
    p.setPen(QPen(QColor(30, 120, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 15, 15));
    for (int x : {7, 12})
        p.drawLine(QPointF(x + 0.5, 2.5), QPointF(x + 0.5, 17.5));
    for (int y : {7, 12})
        p.drawLine(QPointF(2.5, y + 0.5), QPointF(17.5, y + 0.5));
    p.setBrush(QColor(30, 120, 60));
    p.drawRect(QRectF(2.5, 2.5, 15, 4.5));
}

void DrawWebPage(QPainter &p)
{
    p.setPen(QPen(QColor(20, 90, 180), 1.3));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 3.5, 7.5);
    p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
    p.drawLine(QPointF(4, 6), QPointF(16, 6));
    p.drawLine(QPointF(4, 14), QPointF(16, 14));
}

} // namespace

QIcon SpeedButtonGlyph(SpeedGlyph glyph)
{
    QPixmap pixmap(GlyphSize, GlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case SpeedGlyph::ClearAll:
        DrawClearAll(p);
        break;
    case SpeedGlyph::RemoveRow:
        DrawRemoveRow(p);
        break;
    case SpeedGlyph::Certificates:
        DrawCertificates(p);
        break;
    case SpeedGlyph::Print:
        DrawPrint(p);
        break;
    case SpeedGlyph::WordProcessor:
        DrawLetterOnSheet(p, QStringLiteral("W"), QColor(40, 80, 170));
        break;
    case SpeedGlyph::Spreadsheet:
        DrawSpreadsheet(p);
        break;
    case SpeedGlyph::WebPage:
        DrawWebPage(p);
        break;
    }
    p.end();
    return QIcon(pixmap);
}
