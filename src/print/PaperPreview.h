// A sheet of paper on screen: a border, a drop shadow and a white page on
// which the owner paints through OnPaint. The settings dialog shows it bare
// as its page picture; the print preview shows recorded pages on it.
#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

class TPaperPreview : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int BorderSize READ BorderSize WRITE SetBorderSize)
    Q_PROPERTY(QColor PaperColor READ PaperColor WRITE SetPaperColor)
    Q_PROPERTY(QColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowSize READ ShadowSize WRITE SetShadowSize)
    Q_PROPERTY(int PaperWidth READ PaperWidth WRITE SetPaperWidth STORED false)
    Q_PROPERTY(int PaperHeight READ PaperHeight WRITE SetPaperHeight STORED false)

public:
    explicit TPaperPreview(QWidget *parent = nullptr); // 105 x 148 pixel paper

    QColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(const QColor &color);
    int BorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    QColor PaperColor() const { return m_paperColor; }
    void SetPaperColor(const QColor &color);
    QColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(const QColor &color);
    int ShadowSize() const { return m_shadowSize; }
    void SetShadowSize(int size);

    // The paper alone; the control is 2 x BorderSize + ShadowSize larger.
    int PaperWidth() const;
    void SetPaperWidth(int width);
    int PaperHeight() const;
    void SetPaperHeight(int height);
    void SetPaperSize(const QSize &paper);

    // The white page inside the border, in the control's pixels.
    QRect PageRect() const;

signals:
    // Painted clipped to pageRect, after the sheet itself.
    void OnPaint(TPaperPreview *sender, QPainter *canvas, const QRect &pageRect);
    void OnResize(TPaperPreview *sender);
    void OnMouseDown(TPaperPreview *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                     const QPoint &pos);
    void OnMouseMove(TPaperPreview *sender, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseUp(TPaperPreview *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   const QPoint &pos);
    void OnClick(TPaperPreview *sender);
    void OnDblClick(TPaperPreview *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int Extra() const { return 2 * m_borderSize + m_shadowSize; }

    QColor m_borderColor = Qt::black;
    int m_borderSize = 1;
    QColor m_paperColor = Qt::white;
    QColor m_shadowColor;
    int m_shadowSize = 3;
    bool m_clickPending = false;
};
