// The LED lamp: palette, patterns drawn pixel for pixel in the top-left
// corner, value and label rules, and the change event.
#include "widgets/Dmn_led.h"

#include "PaintCounter.h"
#include <QLabel>
#include <QSignalSpy>

#include <QtTest>

Q_DECLARE_METATYPE(TLedKind)
Q_DECLARE_METATYPE(TLedShape)

namespace {

const QColor kBackground(10, 20, 30);

// An LED on a plain panel of a known colour, so unpainted pixels show it.
struct LedOnPanel
{
    explicit LedOnPanel(QSize ledSize = QSize(16, 16))
    {
        panel.resize(ledSize + QSize(4, 4));
        panel.setAutoFillBackground(true);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, kBackground);
        panel.setPalette(palette);
        led = new TLed(&panel);
        led->setGeometry(QRect(QPoint(0, 0), ledSize));
    }
    QImage Grab() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QWidget panel;
    TLed *led = nullptr;
};

} // namespace

class TestLed : public QObject
{
    Q_OBJECT
private slots:
    void constructionDefaults()
    {
        TLed led;
        QCOMPARE(led.size(), QSize(16, 16));
        QCOMPARE(led.Kind(), lkRed);
        QCOMPARE(led.Shape(), lsCircle);
        QCOMPARE(led.Value(), false);
        QCOMPARE(led.LabelLinked(), nullptr);
        QVERIFY(led.LabelOnText().isEmpty());
        QVERIFY(led.LabelOffText().isEmpty());
    }

    void palette_data()
    {
        QTest::addColumn<TLedKind>("kind");
        QTest::addColumn<QColor>("code4");
        QTest::addColumn<QColor>("code5");
        QTest::newRow("red") << lkRed << QColor(255, 0, 0) << QColor(255, 0, 255);
        QTest::newRow("green") << lkGreen << QColor(0, 255, 0) << QColor(255, 255, 0);
        QTest::newRow("yellow") << lkYellow << QColor(255, 255, 0) << QColor(255, 255, 255);
        QTest::newRow("cyan") << lkCyan << QColor(0, 128, 128) << QColor(0, 255, 255);
        QTest::newRow("magenta") << lkMagenta << QColor(255, 0, 255) << QColor(255, 255, 255);
        QTest::newRow("blue") << lkBlue << QColor(0, 0, 255) << QColor(0, 255, 255);
        QTest::newRow("white") << lkWhite << QColor(128, 128, 128) << QColor(192, 192, 192);
    }
    void palette()
    {
        QFETCH(TLedKind, kind);
        QFETCH(QColor, code4);
        QFETCH(QColor, code5);
        QCOMPARE(TLed::PaletteColor(kind, 1), QColor(255, 255, 255));
        QCOMPARE(TLed::PaletteColor(kind, 2), QColor(128, 128, 128));
        QCOMPARE(TLed::PaletteColor(kind, 3), QColor(0, 0, 0));
        QCOMPARE(TLed::PaletteColor(kind, 4), code4);
        QCOMPARE(TLed::PaletteColor(kind, 5), code5);
        QCOMPARE(TLed::PaletteColor(kind, 6), QColor(255, 255, 255));
        QVERIFY(!TLed::PaletteColor(kind, 0).isValid());
    }

    void patternsAreSixteenBySixteen()
    {
        for (TLedShape shape : {lsCircle, lsRectangle}) {
            for (bool lit : {false, true}) {
                for (const char *row : TLed::PatternFor(shape, lit)) {
                    QCOMPARE(qstrlen(row), 16u);
                    for (const char *c = row; *c; ++c)
                        QVERIFY(*c == '.' || (*c >= '1' && *c <= '6'));
                }
            }
        }
        // A few rows as given, so a mistyped table does not check itself.
        QCOMPARE(TLed::PatternFor(lsCircle, false)[4], ".23334443333331.");
        QCOMPARE(TLed::PatternFor(lsCircle, true)[2], "..234455544441..");
        QCOMPARE(TLed::PatternFor(lsRectangle, false)[5], "2344443333333331");
        QCOMPARE(TLed::PatternFor(lsRectangle, true)[11], "2433333333333331");
    }

    // Every pixel of a grabbed LED: the pattern unscaled in the top-left
    // corner, "." and everything beyond 16 x 16 left as the background.
    void drawnPixels_data()
    {
        QTest::addColumn<TLedKind>("kind");
        QTest::addColumn<TLedShape>("shape");
        QTest::addColumn<bool>("value");
        QTest::addColumn<QSize>("size");
        QTest::newRow("main window: red rectangle, dark")
            << lkRed << lsRectangle << false << QSize(16, 16);
        QTest::newRow("red rectangle, lit") << lkRed << lsRectangle << true << QSize(16, 16);
        QTest::newRow("green circle, lit") << lkGreen << lsCircle << true << QSize(16, 16);
        QTest::newRow("blue circle, dark") << lkBlue << lsCircle << false << QSize(16, 16);
        QTest::newRow("cyan circle, lit, 30x24") << lkCyan << lsCircle << true << QSize(30, 24);
        QTest::newRow("white rectangle, lit, 40x40")
            << lkWhite << lsRectangle << true << QSize(40, 40);
    }
    void drawnPixels()
    {
        QFETCH(TLedKind, kind);
        QFETCH(TLedShape, shape);
        QFETCH(bool, value);
        QFETCH(QSize, size);
        LedOnPanel fixture(size);
        fixture.led->SetKind(kind);
        fixture.led->SetShape(shape);
        fixture.led->SetValue(value);
        const QImage image = fixture.Grab();
        const TLed::Pattern &pattern = TLed::PatternFor(shape, value);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const char code = (x < 16 && y < 16) ? pattern[y][x] : '.';
                const QColor expected =
                    code == '.' ? kBackground : TLed::PaletteColor(kind, code - '0');
                if (image.pixelColor(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is %3, expected %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(image.pixelColor(x, y).name(), expected.name())));
            }
        }
    }

    void valueChangeRaisesOnChangeOnce()
    {
        TLed led;
        QSignalSpy changes(&led, &TLed::OnChange);
        led.SetValue(true);
        led.SetValue(true);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).value<TLed *>(), &led);
        led.SetValue(false);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(led.Value(), false);
    }

    void linkedLabelFollowsValue()
    {
        QLabel label(QStringLiteral("3"));
        TLed led;
        led.SetLabelOnText(QStringLiteral("gesperrt"));
        led.SetLabelOffText(QStringLiteral("frei"));
        QCOMPARE(label.text(), QStringLiteral("3")); // not linked yet

        led.SetLabelLinked(&label); // sets the text at once
        QCOMPARE(led.LabelLinked(), &label);
        QCOMPARE(label.text(), QStringLiteral("frei"));

        // The label already shows the new text when OnChange arrives.
        QString seen;
        connect(&led, &TLed::OnChange, &label, [&] { seen = label.text(); });
        led.SetValue(true);
        QCOMPARE(seen, QStringLiteral("gesperrt"));

        led.SetLabelOffText(QStringLiteral("offen")); // text for the current value stays
        QCOMPARE(label.text(), QStringLiteral("gesperrt"));
        led.SetLabelOnText(QStringLiteral("zu"));
        QCOMPARE(label.text(), QStringLiteral("zu"));
        led.SetValue(false);
        QCOMPARE(label.text(), QStringLiteral("offen"));

        led.SetLabelLinked(nullptr);
        led.SetValue(true);
        QCOMPARE(label.text(), QStringLiteral("offen"));
    }

    void destroyedLabelIsForgotten()
    {
        TLed led;
        auto *label = new QLabel;
        led.SetLabelLinked(label);
        delete label;
        QCOMPARE(led.LabelLinked(), nullptr);
        led.SetValue(true); // must not touch the deleted label
        led.SetLabelOnText(QStringLiteral("x"));
    }

    void repaintOnlyOnChange()
    {
        TLed led;
        led.show();
        QVERIFY(QTest::qWaitForWindowExposed(&led));
        QCoreApplication::processEvents();
        PaintCounter paints(&led);
        led.SetKind(lkRed);
        led.SetShape(lsCircle);
        led.SetValue(false);
        QCOMPARE(paints.count, 0);
        led.SetKind(lkBlue);
        led.SetShape(lsRectangle);
        led.SetValue(true);
        QCOMPARE(paints.count, 3);
    }

    void clickRaisesOnClick()
    {
        TLed led;
        QSignalSpy clicks(&led, &TLed::OnClick);
        QTest::mouseClick(&led, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
        QCOMPARE(clicks.count(), 1);
        QTest::mousePress(&led, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
        QTest::mouseRelease(&led, Qt::LeftButton, Qt::NoModifier,
                            QPoint(40, 8)); // released outside
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(TestLed)
#include "tst_Led.moc"
