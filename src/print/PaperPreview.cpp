// Painting and sizing of the paper sheet control.
#include "print/PaperPreview.h"

#include <QMouseEvent>
#include <QPainter>

TPaperPreview::TPaperPreview(QWidget *parent)
    : QWidget(parent), m_shadowColor(palette().color(QPalette::Dark))
{
    // The sheet paints every pixel itself; erasing first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetPaperSize(QSize(105, 148));
}

void TPaperPreview::SetBorderColor(const QColor &color)
{
    if (color == m_borderColor)
        return;
    m_borderColor = color;
    update();
}

void TPaperPreview::SetBorderSize(int size)
{
    if (size == m_borderSize)
        return;
    const QSize paper(PaperWidth(), PaperHeight());
    m_borderSize = size;
    SetPaperSize(paper);
    update();
}

void TPaperPreview::SetPaperColor(const QColor &color)
{
    if (color == m_paperColor)
        return;
    m_paperColor = color;
    update();
}

void TPaperPreview::SetShadowColor(const QColor &color)
{
    if (color == m_shadowColor)
        return;
    m_shadowColor = color;
    update();
}

void TPaperPreview::SetShadowSize(int size)
{
    if (size == m_shadowSize)
        return;
    const QSize paper(PaperWidth(), PaperHeight());
    m_shadowSize = size;
    SetPaperSize(paper);
    update();
}

int TPaperPreview::PaperWidth() const
{
    return width() - Extra();
}

void TPaperPreview::SetPaperWidth(int width)
{
    SetPaperSize(QSize(width, PaperHeight()));
}

int TPaperPreview::PaperHeight() const
{
    return height() - Extra();
}

void TPaperPreview::SetPaperHeight(int height)
{
    SetPaperSize(QSize(PaperWidth(), height));
}

void TPaperPreview::SetPaperSize(const QSize &paper)
{
    resize(paper + QSize(Extra(), Extra()));
}

QRect TPaperPreview::PageRect() const
{
    return QRect(QPoint(m_borderSize, m_borderSize),
                 QPoint(width() - m_shadowSize - m_borderSize - 1,
                        height() - m_shadowSize - m_borderSize - 1));
}

void TPaperPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int shadow = m_shadowSize;
    const int border = m_borderSize;
    const QRect frame(0, 0, w - shadow, h - shadow);
    // The frame as four bands, so a thick border stays inside its rectangle.
    painter.fillRect(QRect(0, 0, frame.width(), border), m_borderColor);
    painter.fillRect(QRect(0, frame.height() - border, frame.width(), border), m_borderColor);
    painter.fillRect(QRect(0, 0, border, frame.height()), m_borderColor);
    painter.fillRect(QRect(frame.width() - border, 0, border, frame.height()), m_borderColor);
    painter.fillRect(QRect(w - shadow, shadow, shadow, h - shadow), m_shadowColor);
    painter.fillRect(QRect(shadow, h - shadow, w - shadow, shadow), m_shadowColor);
    const QColor background = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                             : palette().color(QPalette::Window);
    painter.fillRect(QRect(w - shadow, 0, shadow, shadow), background);
    painter.fillRect(QRect(0, h - shadow, shadow, shadow), background);
    const QRect page = PageRect();
    painter.fillRect(page, m_paperColor);
    painter.save();
    painter.setClipRect(page);
    emit OnPaint(this, &painter, page);
    painter.restore();
}

void TPaperPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit OnResize(this);
}

void TPaperPreview::mousePressEvent(QMouseEvent *event)
{
    m_clickPending = event->button() == Qt::LeftButton;
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TPaperPreview::mouseMoveEvent(QMouseEvent *event)
{
    emit OnMouseMove(this, event->buttons(), event->modifiers(), event->position().toPoint());
}

void TPaperPreview::mouseReleaseEvent(QMouseEvent *event)
{
    emit OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
    const bool clicked = m_clickPending && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_clickPending = false;
    if (clicked)
        emit OnClick(this);
}

void TPaperPreview::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_clickPending = false;
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        emit OnDblClick(this);
}
