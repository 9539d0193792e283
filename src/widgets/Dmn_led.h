// A 16 x 16 pixel LED lamp drawn from fixed pixel patterns; optionally keeps
// a label's text in step with its state. The main window uses one per lane
// to show the light-barrier lockout.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>

class QLabel;

enum TLedKind { lkRed, lkGreen, lkYellow, lkCyan, lkMagenta, lkBlue, lkWhite };
enum TLedShape { lsCircle, lsRectangle };

class TLed : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool Value READ Value WRITE SetValue)
    Q_PROPERTY(QString LabelOnText READ LabelOnText WRITE SetLabelOnText)
    Q_PROPERTY(QString LabelOffText READ LabelOffText WRITE SetLabelOffText)

public:
    static constexpr int PatternSize = 16;
    // 16 rows of 16 characters, top row first: '.' = not painted, '1'..'6' = palette code.
    using Pattern = std::array<const char *, PatternSize>;

    explicit TLed(QWidget *parent = nullptr); // 16 x 16, red circle, dark

    TLedKind Kind() const { return m_kind; }
    void SetKind(TLedKind kind);
    TLedShape Shape() const { return m_shape; }
    void SetShape(TLedShape shape);

    // Lit or dark. A change repaints, updates the linked label, then raises OnChange.
    bool Value() const { return m_value; }
    void SetValue(bool value);

    // Optional label whose text follows Value (nullptr = none). The LED does
    // not own it and forgets it when the label is destroyed.
    QLabel *LabelLinked() const;
    void SetLabelLinked(QLabel *label);
    QString LabelOnText() const { return m_labelOnText; }
    void SetLabelOnText(const QString &text);
    QString LabelOffText() const { return m_labelOffText; }
    void SetLabelOffText(const QString &text);

    // The pixel pattern of a shape in the given state.
    static const Pattern &PatternFor(TLedShape shape, bool lit);
    // Palette code 1..6 for a kind; an invalid colour for any other code.
    static QColor PaletteColor(TLedKind kind, int code);

signals:
    void OnChange(TLed *sender);
    void OnClick(TLed *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void UpdateLabel();
    static QImage LampImage(TLedKind kind, TLedShape shape, bool lit);

    TLedKind m_kind = lkRed;
    TLedShape m_shape = lsCircle;
    bool m_value = false;
    QPointer<QLabel> m_labelLinked;
    QString m_labelOnText;
    QString m_labelOffText;
    bool m_pressed = false;
};
