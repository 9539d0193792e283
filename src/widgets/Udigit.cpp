#include "widgets/Udigit.h"

#include "widgets/DigitScreenBatch.h"

#include <QHash>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr std::uint8_t kPatterns[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};

// Everything a digit's face depends on. A running race shows the same few
// faces over and over (ten patterns in two colours), so each is drawn once
// and later paints only copy it.
struct FaceLooks
{
    std::uint8_t pattern;
    QRgb on;
    QRgb off;
    QRgb background;
    int thickness;
    int separation;
    QSize size;
    qreal pixelRatio;

    bool operator==(const FaceLooks &) const = default;
};

size_t qHash(const FaceLooks &looks, size_t start = 0)
{
    return qHashMulti(start, looks.pattern, looks.on, looks.off, looks.background, looks.thickness,
                      looks.separation, looks.size.width(), looks.size.height(), looks.pixelRatio);
}

// Enough for the faces of both lanes' displays with room to spare; a
// program that keeps changing its digits' looks starts the store afresh.
constexpr qsizetype MaxStoredFaces = 256;

} // namespace

TDigit::TDigit(QWidget *parent) : QWidget(parent)
{
    resize(16, 32);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TDigit::~TDigit()
{
    if (!m_changedArea.isEmpty())
        TDigitScreenBatch::Remove(this);
}

void TDigit::Repaint(const QRect &area)
{
    if (area.isEmpty())
        return;
    if (!TDigitScreenBatch::IsOpen()) {
        update(area);
        return;
    }
    if (m_changedArea.isEmpty())
        TDigitScreenBatch::Add(this);
    m_changedArea |= area;
}

std::uint8_t TDigit::DigitPattern(int digit)
{
    return digit >= 0 && digit <= 9 ? kPatterns[digit] : 0;
}

void TDigit::SetValue(int value)
{
    if (value == m_value)
        return;
    const bool overflow = value < 0 || value > 9;
    m_value = overflow ? 0 : value;
    if (overflow)
        emit OnOverflow(this);
    ShowPattern(DigitPattern(m_value));
}

void TDigit::SetValueBinary(std::uint8_t valueBinary)
{
    ShowPattern(valueBinary);
}

void TDigit::ShowPattern(std::uint8_t valueBinary)
{
    const std::uint8_t changed = valueBinary ^ m_valueBinary;
    m_valueBinary = valueBinary;
    if (changed != 0)
        Repaint(SegmentsArea(changed));
}

// The rectangle around the given segments, with a pixel to spare for the
// outline drawn along their edges.
QRect TDigit::SegmentsArea(std::uint8_t segments) const
{
    SegmentBounds &bounds = m_segmentBounds;
    if (bounds.size != size() || bounds.thickness != m_thickness ||
        bounds.separation != m_separation) {
        bounds = {size(), m_thickness, m_separation, {}};
        for (int bit = 0; bit < 8; ++bit) {
            bounds.rects[bit] =
                SegmentPolygon(Segment(1 << bit), width(), height(), m_thickness, m_separation)
                    .boundingRect();
        }
    }
    QRect area;
    for (int bit = 0; bit < 8; ++bit) {
        if (segments & (1 << bit))
            area |= bounds.rects[bit];
    }
    return area.adjusted(-1, -1, 1, 1) & rect();
}

void TDigit::SetColorOn(const QColor &color)
{
    if (color == m_colorOn)
        return;
    m_colorOn = color;
    Repaint(rect());
}

void TDigit::SetColorOff(const QColor &color)
{
    if (color == m_colorOff)
        return;
    m_colorOff = color;
    Repaint(rect());
}

void TDigit::SetColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    Repaint(rect());
}

void TDigit::SetThickness(int thickness)
{
    if (thickness > width() / 2 || thickness > height() / 2)
        return;
    m_thickness = thickness;
    Repaint(rect());
}

void TDigit::SetSeparation(int separation)
{
    m_separation = separation;
    Repaint(rect());
}

QPolygon TDigit::SegmentPolygon(Segment segment, int width, int height, int thickness,
                                int separation)
{
    const int w = width - 1;
    const int h = height - 1;
    const int t = thickness;
    const int s = separation;
    const int half = h / 2;

    auto horizontal = [&](int y0) {
        return QPolygon({QPoint(t + s, y0 + t), QPoint(2 * t + s, y0), QPoint(w - 2 * t - s, y0),
                         QPoint(w - t - s, y0 + t), QPoint(w - 2 * t - s, y0 + 2 * t),
                         QPoint(2 * t + s, y0 + 2 * t)});
    };
    auto vertical = [&](int x0, int y0) {
        return QPolygon({QPoint(x0, y0 + 2 * t + s), QPoint(x0 + t, y0 + t + s),
                         QPoint(x0 + 2 * t, y0 + 2 * t + s), QPoint(x0 + 2 * t, y0 + half - t - s),
                         QPoint(x0 + t, y0 + half - s), QPoint(x0, y0 + half - t - s)});
    };

    switch (segment) {
    case SegTop:
        return horizontal(0);
    case SegMiddle:
        return horizontal(half - t);
    case SegBottom:
        return horizontal(h - 2 * t);
    case SegUpperLeft:
        return vertical(0, 0);
    case SegUpperRight:
        return vertical(w - 2 * t, 0);
    case SegLowerLeft:
        return vertical(0, half - t);
    case SegLowerRight:
        return vertical(w - 2 * t, half - t);
    case SegPoint:
        return QPolygon({QPoint(w, h), QPoint(w + s - 2 * t, h), QPoint(w, h + s - 2 * t)});
    }
    return {};
}

bool TDigit::IsOpaque() const
{
    return m_color.alpha() == 255 && m_colorOn.alpha() == 255 && m_colorOff.alpha() == 255;
}

QImage TDigit::Face(qreal pixelRatio) const
{
    // Images, not pixmaps: they need no window system, so the store may
    // outlive the application object.
    static QHash<FaceLooks, QImage> faces;
    const FaceLooks looks{m_valueBinary,  m_colorOn.rgba(), m_colorOff.rgba(),
                          m_color.rgba(), m_thickness,      m_separation,
                          size(),         pixelRatio};
    if (const auto stored = faces.constFind(looks); stored != faces.constEnd())
        return *stored;
    if (faces.size() >= MaxStoredFaces)
        faces.clear();
    // An opaque face is copied onto the window as it is, without blending.
    QImage face(size() * pixelRatio,
                IsOpaque() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(pixelRatio);
    face.fill(Qt::transparent);
    DrawFace(face);
    return faces.insert(looks, face).value();
}

void TDigit::DrawFace(QImage &face) const
{
    QPainter painter(&face);
    painter.fillRect(rect(), m_color);
    painter.setPen(m_color);

    static constexpr Segment kOrder[] = {SegTop,        SegMiddle,    SegBottom,     SegUpperLeft,
                                         SegUpperRight, SegLowerLeft, SegLowerRight, SegPoint};
    for (Segment segment : kOrder) {
        painter.setBrush((m_valueBinary & segment) ? m_colorOn : m_colorOff);
        painter.drawPolygon(SegmentPolygon(segment, width(), height(), m_thickness, m_separation));
    }
}

void TDigit::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Face(devicePixelRatioF()));
}

void TDigit::mousePressEvent(QMouseEvent *event)
{
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TDigit::mouseMoveEvent(QMouseEvent *event)
{
    emit OnMouseMove(this, event->buttons(), event->modifiers(), event->position().toPoint());
}

void TDigit::mouseReleaseEvent(QMouseEvent *event)
{
    emit OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
}
