// One seven-segment digit with a decimal-point corner, drawn by itself.
// The main window shows each lane's time on five of these.
#pragma once

#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QWidget>
#include <array>
#include <cstdint>

class TDigit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int ValueBinary READ ValueBinaryInt WRITE SetValueBinaryInt)
    Q_PROPERTY(QColor ColorOn READ ColorOn WRITE SetColorOn)
    Q_PROPERTY(QColor ColorOff READ ColorOff WRITE SetColorOff)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Thickness READ Thickness WRITE SetThickness)
    Q_PROPERTY(int Separation READ Separation WRITE SetSeparation)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    // Bits of ValueBinary.
    enum Segment : std::uint8_t {
        SegTop = 1,
        SegMiddle = 2,
        SegBottom = 4,
        SegUpperLeft = 8,
        SegUpperRight = 16,
        SegLowerLeft = 32,
        SegLowerRight = 64,
        SegPoint = 128,
    };

    explicit TDigit(QWidget *parent = nullptr); // 16 x 32, shows 0
    ~TDigit() override;

    // 0..9; anything else stores 0 and raises OnOverflow. Setting the value
    // the digit already has does nothing, even if ValueBinary was changed.
    // A change is painted in the window's next paint pass, together with
    // every other digit changed meanwhile, and reaches the screen in one
    // flush with them (a lane display changes several digits per tick).
    // While a TDigitScreenBatch is open, changes wait for it instead.
    int Value() const { return m_value; }
    void SetValue(int value);

    // The segment mask actually drawn (see Segment).
    std::uint8_t ValueBinary() const { return m_valueBinary; }
    void SetValueBinary(std::uint8_t valueBinary);

    QColor ColorOn() const { return m_colorOn; } // lit segments (yellow)
    void SetColorOn(const QColor &color);
    QColor ColorOff() const { return m_colorOff; } // unlit segments (black)
    void SetColorOff(const QColor &color);
    QColor Color() const { return m_color; } // background and outlines (black)
    void SetColor(const QColor &color);

    // Half the stroke width; accepted only when <= width / 2 and <= height / 2.
    int Thickness() const { return m_thickness; }
    void SetThickness(int thickness);
    // Gap between neighbouring segments.
    int Separation() const { return m_separation; }
    void SetSeparation(int separation);

    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // The segment mask of a digit 0..9 (0 for anything else).
    static std::uint8_t DigitPattern(int digit);
    // The polygon of one segment (a single Segment bit) for a digit of the
    // given size: a hexagon, or the corner triangle for SegPoint.
    static QPolygon SegmentPolygon(Segment segment, int width, int height, int thickness,
                                   int separation);

signals:
    void OnOverflow(TDigit *sender);
    void OnMouseDown(TDigit *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                     const QPoint &pos);
    void OnMouseMove(TDigit *sender, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                     const QPoint &pos);
    void OnMouseUp(TDigit *sender, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                   const QPoint &pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class TDigitScreenBatch;

    // Shows a changed area: in the next paint pass, or with the open batch.
    void Repaint(const QRect &area);
    // The face for the current looks at the given scale, drawn once per
    // distinct look and shared by every digit that shows it. An opaque
    // digit's face is of Format_RGB32, a translucent one's premultiplied.
    QImage Face(qreal pixelRatio) const;
    bool IsOpaque() const;
    void DrawFace(QImage &face) const;
    // Takes the new segment mask and repaints only where segments changed:
    // the running clock's digits then copy fewer pixels to the screen.
    void ShowPattern(std::uint8_t valueBinary);
    QRect SegmentsArea(std::uint8_t segments) const;

    int ValueBinaryInt() const { return m_valueBinary; }
    void SetValueBinaryInt(int value) { SetValueBinary(static_cast<std::uint8_t>(value)); }

    // Each segment's bounding rectangle, for the size and strokes they were
    // computed for.
    struct SegmentBounds
    {
        QSize size;
        int thickness = -1;
        int separation = -1;
        std::array<QRect, 8> rects;
    };
    mutable SegmentBounds m_segmentBounds;
    QRect m_changedArea; // waiting for the open batch
    int m_value = 0;
    std::uint8_t m_valueBinary = 125;
    QColor m_colorOn{Qt::yellow};
    QColor m_colorOff{Qt::black};
    QColor m_color{Qt::black};
    int m_thickness = 2;
    int m_separation = 1;
    int m_tag = 0;
};
