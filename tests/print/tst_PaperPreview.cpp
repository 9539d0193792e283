// The paper sheet control: its size rules and what it paints where.
#include "print/PaperPreview.h"

#include "PaintCounter.h"
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor kBackground(10, 20, 30);
const QColor kBorder(200, 0, 0);
const QColor kShadow(0, 0, 200);
const QColor kPaper(250, 250, 210);
const QColor kInk(0, 160, 0);

struct SheetOnPanel
{
    SheetOnPanel()
    {
        panel.resize(300, 300);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, kBackground);
        panel.setPalette(palette);
        panel.setAutoFillBackground(true);
        sheet = new TPaperPreview(&panel);
        sheet->SetBorderColor(kBorder);
        sheet->SetShadowColor(kShadow);
        sheet->SetPaperColor(kPaper);
    }
    QImage Grab() { return sheet->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QWidget panel;
    TPaperPreview *sheet = nullptr;
};

} // namespace

class TestPaperPreview : public QObject
{
    Q_OBJECT
private slots:
    void sizes_data()
    {
        QTest::addColumn<int>("border");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<QSize>("paper");
        QTest::newRow("defaults") << 1 << 3 << QSize(105, 148);
        QTest::newRow("thick border") << 4 << 3 << QSize(212, 292);
        QTest::newRow("no shadow") << 2 << 0 << QSize(50, 60);
    }
    void sizes()
    {
        QFETCH(int, border);
        QFETCH(int, shadow);
        QFETCH(QSize, paper);
        TPaperPreview sheet;
        QCOMPARE(sheet.size(), QSize(110, 153)); // 105 x 148 paper at creation
        sheet.SetBorderSize(border);
        sheet.SetShadowSize(shadow);
        QCOMPARE(QSize(sheet.PaperWidth(), sheet.PaperHeight()), QSize(105, 148));
        sheet.SetPaperWidth(paper.width());
        sheet.SetPaperHeight(paper.height());
        QCOMPARE(sheet.size(), paper + QSize(2 * border + shadow, 2 * border + shadow));
        QCOMPARE(sheet.PageRect(), QRect(QPoint(border, border), paper));
    }

    void paintsBorderShadowCornersAndPaper_data()
    {
        QTest::addColumn<int>("border");
        QTest::addColumn<int>("shadow");
        QTest::newRow("defaults") << 1 << 3;
        QTest::newRow("wide") << 3 << 5;
    }
    void paintsBorderShadowCornersAndPaper()
    {
        QFETCH(int, border);
        QFETCH(int, shadow);
        SheetOnPanel on;
        on.sheet->SetBorderSize(border);
        on.sheet->SetShadowSize(shadow);
        on.sheet->SetPaperSize(QSize(40, 50));
        const QImage image = on.Grab();
        const int w = image.width();
        const int h = image.height();
        QCOMPARE(image.pixelColor(0, 0), kBorder);
        QCOMPARE(image.pixelColor(border - 1, border - 1), kBorder);
        QCOMPARE(image.pixelColor(w - shadow - 1, h - shadow - 1), kBorder);
        QCOMPARE(image.pixelColor(w - shadow - border, 20), kBorder);
        QCOMPARE(image.pixelColor(border, border), kPaper);
        QCOMPARE(image.pixelColor(w - shadow - border - 1, h - shadow - border - 1), kPaper);
        QCOMPARE(image.pixelColor(w - 1, h - 1), kShadow);
        QCOMPARE(image.pixelColor(w - 1, shadow), kShadow);
        QCOMPARE(image.pixelColor(shadow, h - 1), kShadow);
        QCOMPARE(image.pixelColor(w - 1, shadow - 1), kBackground);
        QCOMPARE(image.pixelColor(shadow - 1, h - 1), kBackground);
    }

    void ownerPaintsClippedToThePage()
    {
        SheetOnPanel on;
        on.sheet->SetPaperSize(QSize(40, 50));
        QList<QRect> pageRects;
        QObject::connect(on.sheet, &TPaperPreview::OnPaint,
                         [&](TPaperPreview *sender, QPainter *canvas, const QRect &page) {
                             QCOMPARE(sender, on.sheet);
                             pageRects << page;
                             canvas->fillRect(QRect(-10, -10, 500, 500), kInk);
                         });
        const QImage image = on.Grab();
        QCOMPARE(pageRects.value(0), on.sheet->PageRect());
        QCOMPARE(image.pixelColor(1, 1), kInk);
        QCOMPARE(image.pixelColor(40, 50), kInk);
        QCOMPARE(image.pixelColor(0, 0), kBorder);
        QCOMPARE(image.pixelColor(41, 51), kBorder);
        QCOMPARE(image.pixelColor(43, 53), kShadow);
    }

    void settersRepaintOnlyOnChange()
    {
        SheetOnPanel on;
        on.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&on.panel));
        PaintCounter counter(on.sheet);
        const auto paintsAfter = [&](auto change) {
            QCoreApplication::processEvents();
            counter.count = 0;
            change();
            QCoreApplication::processEvents();
            return counter.count;
        };
        QCOMPARE(paintsAfter([&] { on.sheet->SetPaperColor(kPaper); }), 0);
        QCOMPARE(paintsAfter([&] { on.sheet->SetBorderColor(kBorder); }), 0);
        QCOMPARE(paintsAfter([&] { on.sheet->SetShadowSize(3); }), 0);
        QVERIFY(paintsAfter([&] { on.sheet->SetPaperColor(Qt::white); }) > 0);
        QVERIFY(paintsAfter([&] { on.sheet->SetShadowColor(Qt::gray); }) > 0);
        QVERIFY(paintsAfter([&] { on.sheet->SetBorderSize(2); }) > 0);
    }

    void mouseAndClicks()
    {
        SheetOnPanel on;
        QSignalSpy downs(on.sheet, &TPaperPreview::OnMouseDown);
        QSignalSpy clicks(on.sheet, &TPaperPreview::OnClick);
        QSignalSpy doubles(on.sheet, &TPaperPreview::OnDblClick);
        QTest::mouseClick(on.sheet, Qt::LeftButton, {}, QPoint(50, 100));
        QCOMPARE(downs.size(), 1);
        QCOMPARE(downs[0][3].toPoint(), QPoint(50, 100));
        QCOMPARE(clicks.size(), 1);
        QTest::mouseClick(on.sheet, Qt::RightButton, {}, QPoint(5, 6));
        QCOMPARE(downs.size(), 2);
        QCOMPARE(downs[1][1].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(clicks.size(), 1);
        QTest::mouseDClick(on.sheet, Qt::LeftButton, {}, QPoint(5, 6));
        QCOMPARE(doubles.size(), 1);
    }
};

QTEST_MAIN(TestPaperPreview)
#include "tst_PaperPreview.moc"
