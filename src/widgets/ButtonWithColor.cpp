#include "widgets/ButtonWithColor.h"

#include <QApplication>
#include <QBitmap>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>

#include <algorithm>

namespace {

// The looks a race button takes turns at (available, unavailable, focused,
// pressed) with room to spare; the oldest face drawn goes first.
constexpr std::size_t MaxStoredFaces = 6;

struct KindDefaults
{
    const char *caption;
    int modalResult;
};

// Captions and modal results of the predefined kinds (Qt's dialog codes are
// not used: these are the codes callers of the yes/no box compare with).
KindDefaults DefaultsOf(TBitBtnWithColorKind kind)
{
    switch (kind) {
    case bkOK:
        return {"OK", 1};
    case bkCancel:
        return {"Abbrechen", 2};
    case bkHelp:
        return {"&Hilfe", 0};
    case bkYes:
        return {"&Ja", 6};
    case bkNo:
        return {"&Nein", 7};
    case bkClose:
        return {"&Schließen", 0};
    case bkAbort:
        return {"Abbrechen", 3};
    case bkRetry:
        return {"&Wiederholen", 4};
    case bkIgnore:
        return {"&Ignorieren", 5};
    case bkAll:
        return {"&Alle", 8};
    case bkCustom:
        break;
    }
    return {"", 0};
}

// An image greyed for the disabled state: dark pixels become an engraved
// grey with a white highlight one pixel down and right.
QPixmap DisabledImage(const QPixmap &up)
{
    const QImage source = up.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage shape(source.size(), QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (qAlpha(pixel) > 0 && qGray(pixel) < 192)
                shape.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    QImage result(source.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    auto tinted = [&](const QColor &color) {
        QImage image = shape;
        QPainter tint(&image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(image.rect(), color);
        return image;
    };
    painter.drawImage(1, 1, tinted(Qt::white));
    painter.drawImage(0, 0, tinted(QColor(128, 128, 128)));
    painter.end();
    return QPixmap::fromImage(result);
}

// The button's font, made smaller where the caption would not fit the
// room the face leaves it: a caption is drawn whole, never cut at the edges.
QFont CaptionFont(const QFont &font, const QString &caption, int flags, const QSize &room,
                  QPaintDevice *device)
{
    QFont fitted = font;
    for (int attempt = 0; attempt < 8 && !caption.isEmpty(); ++attempt) {
        const QSize needed = QFontMetrics(fitted, device).size(flags, caption);
        if (needed.width() <= room.width() && needed.height() <= room.height())
            break;
        const qreal scale = std::min(qreal(room.width()) / std::max(1, needed.width()),
                                     qreal(room.height()) / std::max(1, needed.height()));
        if (fitted.pixelSize() > 0)
            fitted.setPixelSize(
                std::max(1, std::min(fitted.pixelSize() - 1, int(fitted.pixelSize() * scale))));
        else
            fitted.setPointSizeF(std::max(1.0, fitted.pointSizeF() * std::min(scale, 0.97)));
    }
    return fitted;
}

} // namespace

TBitBtnWithColor::TBitBtnWithColor(QWidget *parent) : QPushButton(parent)
{
    Init();
}

TBitBtnWithColor::TBitBtnWithColor(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    Init();
}

void TBitBtnWithColor::Init()
{
    m_color = ButtonFace();
    FollowFaceOpacity();
    // Enter on the focused button clicks it, as Space does, also outside dialogs.
    setAutoDefault(true);
    connect(this, &QAbstractButton::clicked, this, &TBitBtnWithColor::OnClicked);
    // The default-button mark depends on where the focus is in the window.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (isDefault())
            update();
    });
}

TBitBtnWithColor::~TBitBtnWithColor()
{
    // QWidget's destructor moves the focus away and would still reach the
    // focus-change handler of a button that is no longer one.
    disconnect(qApp, nullptr, this, nullptr);
}

QColor TBitBtnWithColor::ButtonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

void TBitBtnWithColor::SetColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    FollowFaceOpacity();
    for (QPixmap &image : m_glyphCache)
        image = QPixmap();
    repaint();
}

// The face, its edges and outlines cover every pixel of the button, so with
// an opaque colour what lies beneath it need not be painted first: a colour
// change repaints the button alone.
void TBitBtnWithColor::FollowFaceOpacity()
{
    setAttribute(Qt::WA_OpaquePaintEvent, m_color.alpha() == 255);
}

void TBitBtnWithColor::SetGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    for (QPixmap &image : m_glyphCache)
        image = QPixmap();
    updateGeometry();
    repaint();
}

void TBitBtnWithColor::SetNumGlyphs(int numGlyphs)
{
    m_numGlyphs = qBound(1, numGlyphs, 4);
    for (QPixmap &image : m_glyphCache)
        image = QPixmap();
    updateGeometry();
    repaint();
}

void TBitBtnWithColor::SetKind(TBitBtnWithColorKind kind)
{
    m_kind = kind;
    if (kind == bkCustom)
        return;
    const KindDefaults defaults = DefaultsOf(kind);
    if (text().isEmpty())
        setText(QString::fromUtf8(defaults.caption));
    m_modalResult = defaults.modalResult;
    if (kind == bkOK || kind == bkYes)
        setDefault(true);
    if (kind == bkCancel || kind == bkNo)
        SetCancel(true);
}

void TBitBtnWithColor::SetLayout(TButtonLayout layout)
{
    m_layout = layout;
    repaint();
}

void TBitBtnWithColor::SetMargin(int margin)
{
    m_margin = margin;
    repaint();
}

void TBitBtnWithColor::SetSpacing(int spacing)
{
    m_spacing = spacing;
    repaint();
}

void TBitBtnWithColor::SetStyle(TButtonStyle style)
{
    m_style = style;
    repaint();
}

void TBitBtnWithColor::SetCancel(bool cancel)
{
    if (cancel == m_cancel)
        return;
    m_cancel = cancel;
    if (QWidget *top = window(); top != this) {
        if (cancel)
            top->installEventFilter(this);
        else
            top->removeEventFilter(this);
    }
}

bool TBitBtnWithColor::IsActive() const
{
    if (hasFocus())
        return true;
    if (!isDefault())
        return false;
    const QWidget *focus = window()->focusWidget();
    return !qobject_cast<const QAbstractButton *>(focus);
}

QSize TBitBtnWithColor::sizeHint() const
{
    QSize hint = QPushButton::sizeHint();
    if (!m_glyph.isNull()) {
        const QSize glyph(m_glyph.width() / m_numGlyphs, m_glyph.height());
        if (m_layout == blGlyphLeft || m_layout == blGlyphRight) {
            hint.rwidth() += glyph.width() + m_spacing;
            hint.setHeight(qMax(hint.height(), glyph.height() + 8));
        } else {
            hint.rheight() += glyph.height() + m_spacing;
            hint.setWidth(qMax(hint.width(), glyph.width() + 8));
        }
    }
    return hint;
}

QPixmap TBitBtnWithColor::GlyphImage(State state) const
{
    if (m_glyph.isNull())
        return {};
    QPixmap &cached = m_glyphCache[static_cast<int>(state)];
    if (!cached.isNull())
        return cached;

    const int width = m_glyph.width() / m_numGlyphs;
    auto slice = [&](int index) {
        QPixmap image = m_glyph.copy(index * width, 0, width, m_glyph.height());
        // The bottom-left pixel's colour is the glyph's transparent colour.
        const QImage pixels = image.toImage();
        const QColor transparent = pixels.pixelColor(0, pixels.height() - 1);
        if (transparent.alpha() == 255)
            image.setMask(image.createMaskFromColor(transparent, Qt::MaskInColor));
        return image;
    };
    const int index = static_cast<int>(state);
    if (index < m_numGlyphs)
        cached = slice(index);
    else if (state == State::Disabled)
        cached = DisabledImage(slice(0));
    else
        cached = slice(0);
    return cached;
}

TBitBtnWithColor::FaceLooks TBitBtnWithColor::CurrentLooks() const
{
    const State state = !isEnabled()                     ? State::Disabled
                        : isDown()                       ? State::Down
                        : (isCheckable() && isChecked()) ? State::Exclusive
                                                         : State::Up;
    const bool mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this);
    return {state,
            IsActive(),
            hasFocus(),
            m_color.rgba(),
            size(),
            devicePixelRatioF(),
            text(),
            font(),
            palette().cacheKey(),
            m_glyph.cacheKey(),
            m_numGlyphs,
            m_layout,
            m_margin,
            m_spacing,
            mnemonic};
}

void TBitBtnWithColor::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, FaceImage());
}

QImage TBitBtnWithColor::FaceImage()
{
    const FaceLooks looks = CurrentLooks();
    for (const Face &face : m_faces) {
        if (face.looks == looks)
            return face.image;
    }
    if (m_faces.size() >= MaxStoredFaces)
        m_faces.erase(m_faces.begin());
    QImage image(size() * looks.pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(looks.pixelRatio);
    // Captions in points come out as large as on the screen.
    constexpr double InchesPerMeter = 39.37;
    image.setDotsPerMeterX(qRound(logicalDpiX() * InchesPerMeter));
    image.setDotsPerMeterY(qRound(logicalDpiY() * InchesPerMeter));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawFace(painter, looks);
    painter.end();
    m_faces.push_back({looks, image});
    return image;
}

void TBitBtnWithColor::DrawFace(QPainter &painter, const FaceLooks &looks) const
{
    const QPalette &pal = palette();
    const State state = looks.state;
    const bool active = looks.active;
    const bool pressedLook = state == State::Down || state == State::Exclusive;

    // Aliased 1-pixel outlines: drawRect(r) covers r's border pixels when r
    // is shrunk by one at the right and bottom.
    auto outline = [&](const QRect &r, const QColor &color) {
        painter.setPen(color);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    };

    QRect r = rect();
    if (active || looks.focused) {
        outline(r, pal.color(QPalette::WindowText));
        r.adjust(1, 1, -1, -1);
    }

    if (!pressedLook) {
        // Raised two-pixel edge: light top-left, dark bottom-right.
        auto edge = [&](const QRect &e, const QColor &light, const QColor &dark) {
            painter.setPen(light);
            painter.drawLine(e.left(), e.bottom() - 1, e.left(), e.top());
            painter.drawLine(e.left(), e.top(), e.right() - 1, e.top());
            painter.setPen(dark);
            painter.drawLine(e.left(), e.bottom(), e.right(), e.bottom());
            painter.drawLine(e.right(), e.bottom(), e.right(), e.top());
        };
        // The palette roles of Qt's own Windows-style raised button.
        edge(r, pal.color(QPalette::Light), pal.color(QPalette::Shadow));
        r.adjust(1, 1, -1, -1);
        edge(r, pal.color(QPalette::Midlight), pal.color(QPalette::Dark));
        r.adjust(1, 1, -1, -1);
        painter.fillRect(r, m_color);
    } else {
        painter.fillRect(r, m_color);
        outline(r, pal.color(QPalette::Dark));
    }
    r.adjust(1, 1, -1, -1);

    if (active)
        r = rect().adjusted(1, 1, -1, -1);
    if (pressedLook)
        r.translate(1, 1);

    // Glyph and caption placement.
    const QPixmap glyph = GlyphImage(state);
    const QSize glyphSize = glyph.isNull() ? QSize(0, 0) : glyph.size() / glyph.devicePixelRatio();
    const QString caption = text();
    const int mnemonic = looks.mnemonic ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    const bool horizontal = m_layout == blGlyphLeft || m_layout == blGlyphRight;
    const int spacing = (glyph.isNull() || caption.isEmpty()) ? 0 : m_spacing;
    const QSize captionRoom = horizontal
                                  ? QSize(r.width() - glyphSize.width() - spacing, r.height())
                                  : QSize(r.width(), r.height() - glyphSize.height() - spacing);
    painter.setFont(
        CaptionFont(font(), caption, Qt::TextSingleLine | mnemonic, captionRoom, painter.device()));
    const QSize textSize = caption.isEmpty()
                               ? QSize(0, 0)
                               : painter.fontMetrics().size(Qt::TextSingleLine | mnemonic, caption);

    QPoint glyphPos;
    QPoint textPos;
    if (horizontal) {
        glyphPos.setY((r.height() - glyphSize.height() + 1) / 2);
        textPos.setY((r.height() - textSize.height() + 1) / 2);
    } else {
        glyphPos.setX((r.width() - glyphSize.width() + 1) / 2);
        textPos.setX((r.width() - textSize.width() + 1) / 2);
    }
    const int extent = horizontal ? r.width() : r.height();
    const int glyphExtent = horizontal ? glyphSize.width() : glyphSize.height();
    const int textExtent = horizontal ? textSize.width() : textSize.height();
    const int margin =
        m_margin < 0 ? (extent - (glyphExtent + spacing + textExtent) + 1) / 2 : m_margin;
    switch (m_layout) {
    case blGlyphLeft:
        glyphPos.setX(margin);
        textPos.setX(margin + glyphExtent + spacing);
        break;
    case blGlyphRight:
        glyphPos.setX(extent - margin - glyphExtent);
        textPos.setX(glyphPos.x() - spacing - textExtent);
        break;
    case blGlyphTop:
        glyphPos.setY(margin);
        textPos.setY(margin + glyphExtent + spacing);
        break;
    case blGlyphBottom:
        glyphPos.setY(extent - margin - glyphExtent);
        textPos.setY(glyphPos.y() - spacing - textExtent);
        break;
    }
    glyphPos += r.topLeft();
    textPos += r.topLeft();

    if (!glyph.isNull())
        painter.drawPixmap(glyphPos, glyph);

    if (!caption.isEmpty()) {
        const QRect textBox(textPos, textSize);
        const int flags = Qt::AlignCenter | Qt::TextSingleLine | mnemonic;
        if (state == State::Disabled) {
            painter.setPen(QColor(255, 255, 255));
            painter.drawText(textBox.translated(1, 1), flags, caption);
            painter.setPen(QColor(128, 128, 128));
            painter.drawText(textBox, flags, caption);
        } else {
            painter.setPen(pal.color(QPalette::ButtonText));
            painter.drawText(textBox, flags, caption);
        }
    }

    if (active) {
        // Dotted focus rectangle: every other pixel, starting at its corner.
        const QRect focus = rect().adjusted(4, 4, -4, -4);
        QList<QPoint> dots;
        auto dot = [&](int x, int y) {
            if ((x - focus.left() + y - focus.top()) % 2 == 0)
                dots << QPoint(x, y);
        };
        for (int x = focus.left(); x <= focus.right(); ++x) {
            dot(x, focus.top());
            dot(x, focus.bottom());
        }
        for (int y = focus.top() + 1; y < focus.bottom(); ++y) {
            dot(focus.left(), y);
            dot(focus.right(), y);
        }
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawPoints(dots.constData(), int(dots.size()));
    }
}

void TBitBtnWithColor::mousePressEvent(QMouseEvent *event)
{
    const QPointer<TBitBtnWithColor> self(this);
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
    if (!self)
        return;
    // A handler that made the button unavailable ends the press here, so
    // the release cannot click it a second time.
    if (!isEnabled() || !isVisible()) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void TBitBtnWithColor::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is a press like the first, so each
    // click of it gives its own click event.
    mousePressEvent(event);
}

void TBitBtnWithColor::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointer<TBitBtnWithColor> self(this);
    emit OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
    if (!self)
        return;
    QPushButton::mouseReleaseEvent(event);
}

void TBitBtnWithColor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange && m_cancel) {
        if (QWidget *top = window(); top != this)
            top->removeEventFilter(this);
    } else if (event->type() == QEvent::ParentChange && m_cancel) {
        if (QWidget *top = window(); top != this)
            top->installEventFilter(this);
    }
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}

void TBitBtnWithColor::focusInEvent(QFocusEvent *event)
{
    QPushButton::focusInEvent(event);
    update();
}

void TBitBtnWithColor::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    update();
}

bool TBitBtnWithColor::eventFilter(QObject *watched, QEvent *event)
{
    if (m_cancel && watched == window() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && isEnabled() &&
            isVisible()) {
            click();
            return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}

int TBitBtnWithColor::HelpContext() const
{
    for (const QWidget *widget = this; widget; widget = widget->parentWidget()) {
        if (const int context = widget->property("HelpContext").toInt())
            return context;
    }
    return 0;
}

void TBitBtnWithColor::OnClicked()
{
    if (m_kind == bkHelp) {
        if (ApplicationHelp)
            ApplicationHelp(HelpContext());
        return;
    }
    if (m_kind == bkClose) {
        window()->close();
        return;
    }
    if (m_modalResult != 0) {
        if (auto *dialog = qobject_cast<QDialog *>(window()))
            dialog->done(m_modalResult);
    }
}
