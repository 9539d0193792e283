#include "widgets/Dmn_led.h"

#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

// clang-format off
const TLed::Pattern kCircleDark = {
    ".....222222.....",
    "...2233333322...",
    "..233333333331..",
    ".23333333333331.",
    ".23334443333331.",
    "2333443333333331",
    "2333433333333331",
    "2333433333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    ".23333333333331.",
    ".23333333333331.",
    "..133333333331..",
    "...1133333311...",
    ".....111111.....",
};
const TLed::Pattern kCircleLit = {
    ".....222222.....",
    "...2234444422...",
    "..234455544441..",
    ".23455544444441.",
    ".24566644444441.",
    "2345664444444431",
    "2455644444444431",
    "2454444444444431",
    "2454444444444431",
    "2444444444444331",
    "2444444444444331",
    ".24444444444331.",
    ".24444444443331.",
    "..144444433331..",
    "...1133333311...",
    ".....111111.....",
};
const TLed::Pattern kRectangleDark = {
    "................",
    "................",
    "................",
    "2222222222222222",
    "2333333333333331",
    "2344443333333331",
    "2344333333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    "2333333333333331",
    "2111111111111111",
    "................",
    "................",
    "................",
};
const TLed::Pattern kRectangleLit = {
    "................",
    "................",
    "................",
    "2222222222222222",
    "2444444444444441",
    "2455555555555431",
    "2456554444444431",
    "2455544444444431",
    "2455444444444431",
    "2454444444444431",
    "2444444444444431",
    "2433333333333331",
    "2111111111111111",
    "................",
    "................",
    "................",
};
// clang-format on

} // namespace

TLed::TLed(QWidget *parent) : QWidget(parent)
{
    resize(PatternSize, PatternSize);
}

const TLed::Pattern &TLed::PatternFor(TLedShape shape, bool lit)
{
    if (shape == lsRectangle)
        return lit ? kRectangleLit : kRectangleDark;
    return lit ? kCircleLit : kCircleDark;
}

QColor TLed::PaletteColor(TLedKind kind, int code)
{
    switch (code) {
    case 1:
    case 6:
        return QColor(255, 255, 255);
    case 2:
        return QColor(128, 128, 128);
    case 3:
        return QColor(0, 0, 0);
    case 4:
    case 5:
        break;
    default:
        return {};
    }
    struct KindColors
    {
        QRgb code4;
        QRgb code5;
    };
    static constexpr KindColors kKinds[] = {
        {qRgb(255, 0, 0), qRgb(255, 0, 255)},       // lkRed: red, fuchsia
        {qRgb(0, 255, 0), qRgb(255, 255, 0)},       // lkGreen: lime, yellow
        {qRgb(255, 255, 0), qRgb(255, 255, 255)},   // lkYellow: yellow, white
        {qRgb(0, 128, 128), qRgb(0, 255, 255)},     // lkCyan: teal, aqua
        {qRgb(255, 0, 255), qRgb(255, 255, 255)},   // lkMagenta: fuchsia, white
        {qRgb(0, 0, 255), qRgb(0, 255, 255)},       // lkBlue: blue, aqua
        {qRgb(128, 128, 128), qRgb(192, 192, 192)}, // lkWhite: grey, silver
    };
    if (kind < lkRed || kind > lkWhite)
        return {};
    return QColor(code == 4 ? kKinds[kind].code4 : kKinds[kind].code5);
}

void TLed::SetKind(TLedKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    repaint();
}

void TLed::SetShape(TLedShape shape)
{
    if (shape == m_shape)
        return;
    m_shape = shape;
    repaint();
}

void TLed::SetValue(bool value)
{
    if (value == m_value)
        return;
    m_value = value;
    repaint();
    UpdateLabel();
    emit OnChange(this);
}

QLabel *TLed::LabelLinked() const
{
    return m_labelLinked.data();
}

void TLed::SetLabelLinked(QLabel *label)
{
    if (label == m_labelLinked)
        return;
    m_labelLinked = label;
    UpdateLabel();
}

void TLed::SetLabelOnText(const QString &text)
{
    m_labelOnText = text;
    UpdateLabel();
}

void TLed::SetLabelOffText(const QString &text)
{
    m_labelOffText = text;
    UpdateLabel();
}

void TLed::UpdateLabel()
{
    if (m_labelLinked)
        m_labelLinked->setText(m_value ? m_labelOnText : m_labelOffText);
}

// Setting up to 256 pixels one by one on every paint is most of a lockout
// LED's cost at a barrier start or stop; each lamp is drawn once instead
// (seven kinds, two shapes, lit or dark) and later paints copy it.
QImage TLed::LampImage(TLedKind kind, TLedShape shape, bool lit)
{
    static QHash<int, QImage> lamps;
    // Kinds without colours all draw alike; any shape but a rectangle is a circle.
    const int kindKey = kind >= lkRed && kind <= lkWhite ? int(kind) : -1;
    const int key = (kindKey * 2 + int(shape == lsRectangle)) * 2 + int(lit);
    if (const auto stored = lamps.constFind(key); stored != lamps.constEnd())
        return *stored;
    QImage lamp(PatternSize, PatternSize, QImage::Format_ARGB32_Premultiplied);
    lamp.fill(Qt::transparent);
    QPainter painter(&lamp);
    const Pattern &pattern = PatternFor(shape, lit);
    for (int y = 0; y < PatternSize; ++y) {
        for (int x = 0; x < PatternSize; ++x) {
            const char code = pattern[y][x];
            if (code >= '1' && code <= '6')
                painter.fillRect(x, y, 1, 1, PaletteColor(kind, code - '0'));
        }
    }
    painter.end();
    return lamps.insert(key, lamp).value();
}

void TLed::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, LampImage(m_kind, m_shape, m_value));
}

void TLed::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QWidget::mousePressEvent(event);
}

void TLed::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    if (click)
        emit OnClick(this);
    QWidget::mouseReleaseEvent(event);
}
