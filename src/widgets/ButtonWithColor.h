// A push button whose whole face is painted in a settable colour. The race
// logic shows the race state through the face colour of its large buttons.
// Being a QPushButton it keeps "&" accelerators, Space/Enter, focus, default
// and auto-default roles and the QAbstractButton signals.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

#include <functional>
#include <vector>

enum TBitBtnWithColorKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

class TBitBtnWithColor : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)

public:
    explicit TBitBtnWithColor(QWidget *parent = nullptr);
    explicit TBitBtnWithColor(const QString &caption, QWidget *parent = nullptr);
    ~TBitBtnWithColor() override;

    // Face colour; the system button face at construction. Setting the
    // colour the button already has does not repaint.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    // The system's button face, the colour of a button that shows no state.
    static QColor ButtonFace();

    // Optional glyph: NumGlyphs equal-width images side by side in the order
    // up, disabled, down, exclusive. Its bottom-left pixel colour is transparent.
    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap &glyph);
    int NumGlyphs() const { return m_numGlyphs; } // 1..4
    void SetNumGlyphs(int numGlyphs);

    // Anything but bkCustom gives a predefined caption (when none is set yet),
    // modal result and default / cancel role.
    TBitBtnWithColorKind Kind() const { return m_kind; }
    void SetKind(TBitBtnWithColorKind kind);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return m_margin; } // -1 = glyph and caption centred
    void SetMargin(int margin);
    int Spacing() const { return m_spacing; } // pixels between glyph and caption
    void SetSpacing(int spacing);
    TButtonStyle Style() const { return m_style; }
    void SetStyle(TButtonStyle style);

    // When not 0, a click ends the dialog the button sits in with this result.
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int modalResult) { m_modalResult = modalResult; }
    // When set, Escape in the button's dialog clicks it (QPushButton has the default role).
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool cancel);

    // The default-button mark: the button has the focus, or it is the
    // default button while the focus is on a control that is not a button.
    bool IsActive() const;

    QSize sizeHint() const override;

    // The application's help, opened by a click on a bkHelp button with the
    // first non-zero "HelpContext" property found on the button or its
    // parents (0 when none has one). The application sets it at start.
    static inline std::function<void(int helpContext)> ApplicationHelp;
    // The help context a bkHelp button asks for.
    int HelpContext() const;

signals:
    // Raised for a press of any mouse button (and for the second press of a
    // double-click), before the button itself reacts. If a handler disables
    // or hides the button, the press goes no further: no pressed(), no click.
    void OnMouseDown(TBitBtnWithColor *sender, Qt::MouseButton button,
                     Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseUp(TBitBtnWithColor *sender, Qt::MouseButton button,
                   Qt::KeyboardModifiers modifiers, const QPoint &pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Up, Disabled, Down, Exclusive };
    // Everything the face depends on. Laying out the caption is most of a
    // paint, so each look is drawn once and later paints copy it.
    struct FaceLooks
    {
        State state;
        bool active;
        bool focused;
        QRgb color;
        QSize size;
        qreal pixelRatio;
        QString caption;
        QFont font;
        qint64 palette;
        qint64 glyph;
        int numGlyphs;
        TButtonLayout layout;
        int margin;
        int spacing;
        bool mnemonic;

        bool operator==(const FaceLooks &) const = default;
    };
    struct Face
    {
        FaceLooks looks;
        QImage image;
    };

    void Init();
    void FollowFaceOpacity();
    void OnClicked();
    QPixmap GlyphImage(State state) const;
    FaceLooks CurrentLooks() const;
    QImage FaceImage();
    void DrawFace(QPainter &painter, const FaceLooks &looks) const;

    QColor m_color;
    QPixmap m_glyph;
    int m_numGlyphs = 1;
    TBitBtnWithColorKind m_kind = bkCustom;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    TButtonStyle m_style = bsAutoDetect;
    int m_modalResult = 0;
    bool m_cancel = false;
    mutable QPixmap m_glyphCache[4];
    std::vector<Face> m_faces;
};
