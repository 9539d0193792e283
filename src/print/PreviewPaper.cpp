// The print preview's units, paper and margins.
#include "print/Preview.h"

#include "platform/Platform.h"
#include "print/PaperUnits.h"

#include <algorithm>

int TPrintPreview::ToUnits(int value, TUnits from, Qt::Orientation axis) const
{
    const int dpi = axis == Qt::Horizontal ? m_printerDpi.width() : m_printerDpi.height();
    return ConvertUnits(value, from, m_units, dpi);
}

void TPrintPreview::SetUnits(TUnits units)
{
    if (units == m_units)
        return;
    const TUnits old = m_units;
    const int dpiX = m_printerDpi.width();
    const int dpiY = m_printerDpi.height();
    const auto x = [&](int value) { return ConvertUnits(value, old, units, dpiX); };
    const auto y = [&](int value) { return ConvertUnits(value, old, units, dpiY); };
    m_minimumMargin = x(m_minimumMargin);
    m_margins = QMargins(x(m_margins.left()), y(m_margins.top()), x(m_margins.right()),
                         y(m_margins.bottom()));
    m_paper = QSize(x(m_paper.width()), y(m_paper.height()));
    if (m_font.pointSize() > 0)
        m_font.setPointSize(std::max(1, y(m_font.pointSize())));
    if (m_openPage) {
        m_canvas.setWindow(QRect(QPoint(0, 0), m_paper));
        QFont font = m_canvas.font();
        if (font.pointSize() > 0)
            font.setPointSize(std::max(1, y(font.pointSize())));
        else if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, y(font.pixelSize())));
        m_canvas.setFont(font);
        QPen pen = m_canvas.pen();
        pen.setWidth(x(pen.width()));
        m_canvas.setPen(pen);
    }
    m_units = units;
    RefreshPrinterData();
    UpdateLayout();
}

void TPrintPreview::RefreshPrinterData()
{
    m_printerReady = CurrentPlatform().PrinterInstalled() || PrintsIntoFile(*Printer());
    if (!m_printerReady) {
        m_printerDpi = QSize(logicalDpiX(), logicalDpiY());
    } else if (Printer()->printerState() != QPrinter::Active) {
        Printer()->setPageOrientation(m_orientation);
        m_printerDpi = QSize(Printer()->logicalDpiX(), Printer()->logicalDpiY());
    }
    m_paperPixels =
        QSize(std::max(1, ConvertUnits(m_paper.width(), m_units, mmPixel, m_printerDpi.width())),
              std::max(1, ConvertUnits(m_paper.height(), m_units, mmPixel, m_printerDpi.height())));
}

void TPrintPreview::SetPaperSize(const QSize &size)
{
    m_paper = size;
    RefreshPrinterData();
    UpdateLayout();
}

void TPrintPreview::SetPaperType(TPaperType type)
{
    m_paperType = type;
    if (type == pCustom)
        return;
    const QSize table = PaperInfo(type).size;
    QSize size(ToUnits(table.width(), mmLoMetric, Qt::Horizontal),
               ToUnits(table.height(), mmLoMetric, Qt::Vertical));
    if (m_orientation == QPageLayout::Landscape)
        size = Transposed(size);
    SetPaperSize(size);
}

void TPrintPreview::SetPaperWidth(int width)
{
    width = std::clamp(width, 1, 32767);
    if (width == m_paper.width())
        return;
    m_paperType = pCustom;
    SetPaperSize(QSize(width, m_paper.height()));
}

void TPrintPreview::SetPaperHeight(int height)
{
    height = std::clamp(height, 1, 32767);
    if (height == m_paper.height())
        return;
    m_paperType = pCustom;
    SetPaperSize(QSize(m_paper.width(), height));
}

void TPrintPreview::SetOrientation(QPageLayout::Orientation orientation)
{
    if (m_state == TPreviewState::Building || orientation == m_orientation)
        return;
    m_orientation = orientation;
    SetPaperSize(Transposed(m_paper));
}

void TPrintPreview::SetMarginLeft(int margin)
{
    m_margins.setLeft(std::max(margin, m_minimumMargin));
}

void TPrintPreview::SetMarginRight(int margin)
{
    m_margins.setRight(std::max(margin, m_minimumMargin));
}

void TPrintPreview::SetMarginTop(int margin)
{
    m_margins.setTop(std::max(margin, m_minimumMargin));
}

void TPrintPreview::SetMarginBottom(int margin)
{
    m_margins.setBottom(std::max(margin, m_minimumMargin));
}

QRect TPrintPreview::PageBounds() const
{
    return QRect(
        QPoint(m_margins.left(), m_margins.top()),
        QPoint(m_paper.width() - m_margins.right(), m_paper.height() - m_margins.bottom()));
}
