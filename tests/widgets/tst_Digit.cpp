// The seven-segment digit: value and pattern rules, overflow, thickness
// limits, repaint rules and the drawn segments, checked on grabbed pixels.
#include "widgets/DigitScreenBatch.h"
#include "widgets/Udigit.h"

#include "PaintCounter.h"
#include <QScreen>
#include <QSignalSpy>

#include <QtTest>
#include <climits>
#include <cmath>

namespace {

// A digit the size the main window uses: 45 x 89, thickness 5, separation 1.
// ColorOff is not the background colour so that unlit segments can be told apart.
struct RaceDigit
{
    RaceDigit()
    {
        digit.resize(45, 89);
        digit.SetThickness(5);
        digit.SetColorOff(QColor(40, 40, 40));
    }
    QImage Grab() { return digit.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    TDigit digit;
};

// A point well inside each segment of a 45 x 89 digit (W = 44, H = 88, t = 5, s = 1).
struct SegmentPoint
{
    TDigit::Segment segment;
    QPoint point;
    const char *name;
};
const SegmentPoint kSegmentPoints[] = {
    {TDigit::SegTop, {22, 5}, "top"},
    {TDigit::SegMiddle, {22, 44}, "middle"},
    {TDigit::SegBottom, {22, 83}, "bottom"},
    {TDigit::SegUpperLeft, {5, 25}, "upper left"},
    {TDigit::SegUpperRight, {39, 25}, "upper right"},
    {TDigit::SegLowerLeft, {5, 64}, "lower left"},
    {TDigit::SegLowerRight, {39, 64}, "lower right"},
    {TDigit::SegPoint, {42, 86}, "decimal corner"},
};

// Collects the regions of the paint events a widget receives.
class PaintRegionRecorder : public QObject
{
public:
    PaintRegionRecorder(QWidget *widget, QRegion &painted) : m_painted(painted)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted |= static_cast<QPaintEvent *>(event)->region();
        return false;
    }

private:
    QRegion &m_painted;
};

} // namespace

class TestDigit : public QObject
{
    Q_OBJECT
private slots:
    void constructionDefaults()
    {
        TDigit digit;
        QCOMPARE(digit.size(), QSize(16, 32));
        QCOMPARE(digit.Value(), 0);
        QCOMPARE(digit.ValueBinary(), std::uint8_t(125));
        QCOMPARE(digit.ColorOn(), QColor(Qt::yellow));
        QCOMPARE(digit.ColorOff(), QColor(Qt::black));
        QCOMPARE(digit.Color(), QColor(Qt::black));
        QCOMPARE(digit.Thickness(), 2);
        QCOMPARE(digit.Separation(), 1);
    }

    void digitPatterns_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("mask");
        const int masks[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
        for (int value = 0; value < 10; ++value)
            QTest::addRow("%d", value) << value << masks[value];
    }
    void digitPatterns()
    {
        QFETCH(int, value);
        QFETCH(int, mask);
        TDigit digit;
        QSignalSpy overflow(&digit, &TDigit::OnOverflow);
        digit.SetValue(value == 0 ? 8 : 0); // make sure the value changes
        digit.SetValue(value);
        QCOMPARE(digit.Value(), value);
        QCOMPARE(int(digit.ValueBinary()), mask);
        QCOMPARE(int(TDigit::DigitPattern(value)), mask);
        QCOMPARE(overflow.count(), 0);
    }

    void overflowStoresZero_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("value");
        QTest::newRow("10") << 7 << 10;
        QTest::newRow("-1") << 7 << -1;
        QTest::newRow("1000 from 0") << 0 << 1000;
        QTest::newRow("INT_MIN") << 3 << INT_MIN;
    }
    void overflowStoresZero()
    {
        QFETCH(int, start);
        QFETCH(int, value);
        TDigit digit;
        digit.SetValue(start);
        QSignalSpy overflow(&digit, &TDigit::OnOverflow);
        digit.SetValue(value);
        QCOMPARE(overflow.count(), 1);
        QCOMPARE(overflow.at(0).at(0).value<TDigit *>(), &digit);
        QCOMPARE(digit.Value(), 0);
        QCOMPARE(int(digit.ValueBinary()), 125);
    }

    void sameValueKeepsHandMadePattern()
    {
        RaceDigit race;
        race.digit.SetValue(3);
        race.digit.SetValueBinary(TDigit::SegMiddle | TDigit::SegPoint);
        race.digit.SetValue(3);
        QCOMPARE(int(race.digit.ValueBinary()), TDigit::SegMiddle | TDigit::SegPoint);
        const QImage image = race.Grab();
        QCOMPARE(image.pixelColor(22, 44), QColor(Qt::yellow)); // middle
        QCOMPARE(image.pixelColor(42, 86), QColor(Qt::yellow)); // corner
        QCOMPARE(image.pixelColor(22, 5), QColor(40, 40, 40));  // top stays dark
    }

    void thicknessLimits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("thickness");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("45 wide, 22") << QSize(45, 89) << 22 << true;
        QTest::newRow("45 wide, 23") << QSize(45, 89) << 23 << false;
        QTest::newRow("41 high, 20") << QSize(90, 41) << 20 << true;
        QTest::newRow("41 high, 21") << QSize(90, 41) << 21 << false;
        QTest::newRow("default size, 8") << QSize(16, 32) << 8 << true;
        QTest::newRow("default size, 9") << QSize(16, 32) << 9 << false;
    }
    void thicknessLimits()
    {
        QFETCH(QSize, size);
        QFETCH(int, thickness);
        QFETCH(bool, accepted);
        TDigit digit;
        digit.resize(size);
        digit.SetThickness(thickness);
        QCOMPARE(digit.Thickness(), accepted ? thickness : 2);
    }

    // Every segment centre shows ColorOn when its bit is set, ColorOff otherwise;
    // the space between the segments is the background.
    void drawnSegments_data()
    {
        QTest::addColumn<int>("mask");
        for (int value = 0; value < 10; ++value)
            QTest::addRow("digit %d", value) << int(TDigit::DigitPattern(value));
        QTest::newRow("all, 255") << 255;
        QTest::newRow("none") << 0;
        QTest::newRow("corner only") << 128;
    }
    void drawnSegments()
    {
        QFETCH(int, mask);
        RaceDigit race;
        race.digit.SetValueBinary(std::uint8_t(mask));
        const QImage image = race.Grab();
        for (const SegmentPoint &sp : kSegmentPoints) {
            const QColor expected = (mask & sp.segment) ? QColor(Qt::yellow) : QColor(40, 40, 40);
            if (image.pixelColor(sp.point) != expected)
                QFAIL(qPrintable(QStringLiteral("%1 segment at (%2,%3) is %4")
                                     .arg(sp.name)
                                     .arg(sp.point.x())
                                     .arg(sp.point.y())
                                     .arg(image.pixelColor(sp.point).name())));
        }
        for (QPoint background : {QPoint(0, 0), QPoint(44, 0), QPoint(22, 25), QPoint(22, 64),
                                  QPoint(0, 88), QPoint(44, 44)})
            QCOMPARE(image.pixelColor(background), QColor(Qt::black));
    }

    // Segments are outlined in the background colour, so neighbouring lit
    // segments stay separated by it.
    void outlinesInBackgroundColour()
    {
        RaceDigit race;
        race.digit.SetColor(QColor(0, 0, 128));
        race.digit.SetValueBinary(255);
        const QImage image = race.Grab();
        QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 128));
        // The top segment's upper edge runs along y = 0 from x = 11 to 33.
        QCOMPARE(image.pixelColor(22, 0), QColor(0, 0, 128));
        QCOMPARE(image.pixelColor(22, 1), QColor(Qt::yellow));
        // The gap between the upper-left segment and the top one.
        QCOMPARE(image.pixelColor(8, 8), QColor(0, 0, 128));
    }

    // The thickness and separation change the drawn shape.
    void thicknessChangesStroke()
    {
        RaceDigit race;
        race.digit.SetValueBinary(TDigit::SegTop);
        QCOMPARE(race.Grab().pixelColor(22, 14), QColor(Qt::black));
        race.digit.SetThickness(8); // top now reaches down to y = 16
        QCOMPARE(race.Grab().pixelColor(22, 14), QColor(Qt::yellow));
        race.digit.SetSeparation(6); // left end of the top bar moves right: 2t + s = 22
        QCOMPARE(race.Grab().pixelColor(19, 2), QColor(Qt::black));
    }

    // Digits share the faces they draw: a digit that differs in one look
    // from a digit drawn before shows a face of its own.
    void facesFollowEveryLook_data()
    {
        QTest::addColumn<int>("look");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("on colour") << 0 << QPoint(22, 5) << QColor(Qt::red);
        QTest::newRow("off colour") << 1 << QPoint(22, 44) << QColor(Qt::blue);
        QTest::newRow("background") << 2 << QPoint(0, 0) << QColor(0, 0, 128);
        QTest::newRow("thickness") << 3 << QPoint(22, 14) << QColor(Qt::yellow);
        QTest::newRow("separation") << 4 << QPoint(11, 2) << QColor(Qt::black);
        QTest::newRow("size") << 5 << QPoint(15, 54) << QColor(Qt::yellow);
        QTest::newRow("pattern") << 6 << QPoint(22, 83) << QColor(40, 40, 40);
    }
    void facesFollowEveryLook()
    {
        QFETCH(int, look);
        QFETCH(QPoint, point);
        QFETCH(QColor, expected);
        const std::uint8_t shown = TDigit::SegTop | TDigit::SegBottom;
        RaceDigit first;
        first.digit.SetValueBinary(shown);
        const QImage before = first.Grab();
        QVERIFY(before.pixelColor(point) != expected);

        RaceDigit second;
        second.digit.SetValueBinary(shown);
        switch (look) {
        case 0:
            second.digit.SetColorOn(Qt::red);
            break;
        case 1:
            second.digit.SetColorOff(Qt::blue);
            break;
        case 2:
            second.digit.SetColor(QColor(0, 0, 128));
            break;
        case 3:
            second.digit.SetThickness(8);
            break;
        case 4:
            second.digit.SetSeparation(6);
            break;
        case 5:
            second.digit.resize(30, 60); // bottom segment from y = 49 to 59
            break;
        case 6:
            second.digit.SetValueBinary(TDigit::SegTop);
            break;
        }
        QCOMPARE(second.Grab().pixelColor(point), expected);
        // The first digit still shows its own face.
        QCOMPARE(first.Grab(), before);
    }

    void segmentPolygonsStayInside_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("thickness");
        QTest::newRow("race digit") << QSize(45, 89) << 5;
        QTest::newRow("thick") << QSize(45, 89) << 10;
        QTest::newRow("default") << QSize(16, 32) << 2;
    }
    // (The thickest accepted strokes overlap and reach past the edge; they are
    // drawn as computed and clipped.)
    void segmentPolygonsStayInside()
    {
        QFETCH(QSize, size);
        QFETCH(int, thickness);
        const QRect bounds(QPoint(0, 0), size);
        for (const SegmentPoint &sp : kSegmentPoints) {
            const QPolygon polygon =
                TDigit::SegmentPolygon(sp.segment, size.width(), size.height(), thickness, 1);
            QCOMPARE(polygon.size(), sp.segment == TDigit::SegPoint ? 3 : 6);
            for (const QPoint &p : polygon)
                QVERIFY2(bounds.contains(p), sp.name);
        }
    }

    // Setters store and repaint only on a change. A change is painted in
    // the next paint pass, not at once, and changes made before that pass
    // are painted together.
    void repaintRules_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("paints");
        QTest::newRow("nothing changes") << 0 << 0;
        QTest::newRow("value") << 1 << 1;
        QTest::newRow("pattern") << 2 << 1;
        QTest::newRow("on colour") << 4 << 1;
        QTest::newRow("off colour") << 8 << 1;
        QTest::newRow("all four, one paint") << 15 << 1;
    }
    void repaintRules()
    {
        QFETCH(int, change);
        TDigit digit;
        digit.resize(45, 89);
        digit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&digit));
        QCoreApplication::processEvents();
        PaintCounter paints(&digit);

        digit.SetValue(change & 1 ? 4 : 0);
        digit.SetValueBinary(change & 2 ? 1 : digit.ValueBinary());
        digit.SetColorOn(change & 4 ? QColor(64, 64, 64) : QColor(Qt::yellow));
        digit.SetColorOff(change & 8 ? QColor(1, 1, 1) : QColor(Qt::black));
        QCOMPARE(paints.count, 0);
        QCoreApplication::sendPostedEvents();
        QTEST(paints.count, "paints");
    }

    // A new value repaints the pixels where its face differs from the old
    // one, and little beyond: the clock's hundredths change a hundred times
    // a second. The digit then shows exactly the new value's face.
    void valueRepaintsChangedSegments_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<double>("mostRepainted"); // share of the digit's pixels
        QTest::newRow("5 to 6: lower left only") << 5 << 6 << 0.2;
        QTest::newRow("8 to 9: lower left only") << 8 << 9 << 0.2;
        QTest::newRow("2 to 3: both lower sides") << 2 << 3 << 0.6;
        QTest::newRow("0 to 1: top to bottom") << 0 << 1 << 1.0;
    }
    void valueRepaintsChangedSegments()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(double, mostRepainted);
        RaceDigit before;
        before.digit.SetValue(from);
        RaceDigit after;
        after.digit.SetValue(to);
        const QImage oldFace = before.Grab();
        const QImage newFace = after.Grab();

        before.digit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&before.digit));
        QCoreApplication::sendPostedEvents();
        QRegion painted;
        PaintRegionRecorder recorder(&before.digit, painted);
        before.digit.SetValue(to);
        QCoreApplication::sendPostedEvents();

        int changedPixels = 0;
        for (int y = 0; y < newFace.height(); ++y) {
            for (int x = 0; x < newFace.width(); ++x) {
                if (oldFace.pixel(x, y) != newFace.pixel(x, y)) {
                    ++changedPixels;
                    QVERIFY2(painted.contains(QPoint(x, y)),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
            }
        }
        QVERIFY(changedPixels > 0);
        const QRect area = painted.boundingRect();
        QVERIFY(area.width() * area.height() <= mostRepainted * 45 * 89);
        // What the window shows, not a fresh rendering of the widget.
        const QImage shown = before.digit.screen()
                                 ->grabWindow(before.digit.winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, newFace);
    }

    // Changes made within a batch reach the screen when it closes, copied
    // there without a paint event, where the digit's pixels are its own and
    // its face is opaque; anywhere else they are painted in the window's
    // next paint pass, as without a batch.
    void batchShowsChangesAtOnceWhereItCan_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("plain") << QString() << true;
        QTest::newRow("translucent face") << QStringLiteral("translucent") << false;
        QTest::newRow("a sibling over it") << QStringLiteral("covered") << false;
        QTest::newRow("cut off by its parent") << QStringLiteral("clipped") << false;
        QTest::newRow("inside a native child") << QStringLiteral("native") << false;
    }
    void batchShowsChangesAtOnceWhereItCan()
    {
        QFETCH(QString, setting);
        QFETCH(bool, atOnce);
        QWidget window;
        window.resize(120, 120);
        QWidget panel(&window);
        panel.setGeometry(0, 0, 120, setting == QStringLiteral("clipped") ? 70 : 120);
        if (setting == QStringLiteral("native"))
            panel.winId();
        RaceDigit race;
        TDigit &digit = race.digit;
        digit.setParent(&panel);
        digit.move(10, 10);
        digit.SetValue(5);
        if (setting == QStringLiteral("translucent"))
            digit.SetColorOn(QColor(255, 255, 0, 128));
        QWidget cover(&panel);
        cover.setAutoFillBackground(true);
        cover.setGeometry(setting == QStringLiteral("covered") ? QRect(0, 60, 30, 20) : QRect());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::sendPostedEvents();
        // In the screen's pixels, which are more than the window's when scaled.
        const qreal ratio = window.devicePixelRatio();
        const QRect shown(digit.mapTo(&window, QPoint()) * ratio, digit.size() * ratio);
        const auto onScreen = [&] {
            return window.screen()->grabWindow(window.winId()).toImage().copy(shown);
        };
        const QImage before = onScreen();
        PaintCounter paints(&digit);

        {
            const TDigitScreenBatch batch;
            digit.SetValue(6);
            QCOMPARE(onScreen(), before);
        }
        // A fractional scale would blur copies; the paint pass draws those.
        const bool copied = atOnce && ratio == std::floor(ratio);
        QCOMPARE(onScreen() != before, copied);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(paints.count, copied ? 0 : 1);
        QVERIFY(onScreen() != before);
    }

    // Only the outermost batch shows the changes, all of them; a digit that
    // goes away meanwhile is simply left out.
    void nestedBatchShowsWhenTheOuterCloses()
    {
        QWidget window;
        window.resize(120, 140);
        RaceDigit first, second;
        first.digit.setParent(&window);
        second.digit.setParent(&window);
        second.digit.move(60, 0);
        auto *gone = new TDigit(&window);
        gone->move(0, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::sendPostedEvents();
        const auto onScreen = [&] {
            return window.screen()
                ->grabWindow(window.winId())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        const QImage before = onScreen();
        {
            const TDigitScreenBatch outer;
            first.digit.SetValue(7);
            {
                const TDigitScreenBatch inner;
                second.digit.SetValue(4);
                gone->SetValue(1);
            }
            QCOMPARE(onScreen(), before);
            delete gone;
        }
        const QImage after = onScreen();
        for (TDigit *digit : {&first.digit, &second.digit}) {
            const QRect shown = digit->geometry();
            QCOMPARE(after.copy(shown),
                     digit->grab().toImage().convertToFormat(QImage::Format_RGB32));
            QVERIFY(after.copy(shown) != before.copy(shown));
        }
    }

    void mouseEventsAreRaised()
    {
        TDigit digit;
        QSignalSpy down(&digit, &TDigit::OnMouseDown);
        QSignalSpy up(&digit, &TDigit::OnMouseUp);
        QTest::mousePress(&digit, Qt::RightButton, Qt::NoModifier, QPoint(3, 4));
        QTest::mouseRelease(&digit, Qt::RightButton, Qt::NoModifier, QPoint(3, 4));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(1).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(down.at(0).at(3).toPoint(), QPoint(3, 4));
        QCOMPARE(up.count(), 1);
    }
};

QTEST_MAIN(TestDigit)
#include "tst_Digit.moc"
