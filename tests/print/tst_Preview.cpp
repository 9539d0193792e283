// The print preview: building documents, paper and units, zoom, scrolling,
// keys and dragging, and printing (to PDF, the only printer tests have).
#include "print/Preview.h"

#include "FakePlatform.h"
#include "PdfReadBack.h"
#include "print/PaperPreview.h"
#include "settings/CertificateLayout.h"

#include <QFontMetrics>

#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TUnits)

namespace {

// A preview in a window of its own, laid out at the given size.
struct ShownPreview
{
    explicit ShownPreview(QSize size = QSize(600, 400))
    {
        preview.resize(size);
        preview.show();
    }
    ScopedFakePlatform platform;
    TPrintPreview preview;
};

void BuildPages(TPrintPreview &preview, int count)
{
    preview.BeginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            preview.NewPage();
        preview.Canvas()->drawText(QPoint(3000, 3000), QStringLiteral("Seite %1").arg(page));
    }
    preview.EndDoc();
}

// Draws a text the way certificates place their lines: its cell's top-left
// corner (or right end, or middle) at the entry's position.
void DrawEntry(QPainter &canvas, const LayoutEntry &entry, const QString &text)
{
    canvas.setFont(PageFont(entry));
    const QFontMetrics metrics = canvas.fontMetrics();
    const int x = PlacedLeft(entry, metrics.horizontalAdvance(text));
    canvas.drawText(QPoint(x, entry.Top * 10 + metrics.ascent()), text);
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT
private slots:
    // --- building a document ---

    void endDocWithoutDrawingGivesOneEmptyPage()
    {
        ScopedFakePlatform platform;
        TPrintPreview preview;
        QSignalSpy changes(&preview, &TPrintPreview::OnChange);
        QSignalSpy begins(&preview, &TPrintPreview::OnBeginDoc);
        QSignalSpy newPages(&preview, &TPrintPreview::OnNewPage);
        QSignalSpy ends(&preview, &TPrintPreview::OnEndDoc);
        QVERIFY(!preview.Sheet()->isVisibleTo(&preview));
        preview.BeginDoc();
        QCOMPARE(preview.State(), TPreviewState::Building);
        QVERIFY(preview.Canvas() != nullptr);
        QCOMPARE(preview.TotalPages(), 0);
        preview.EndDoc();
        QCOMPARE(preview.State(), TPreviewState::Idle);
        QCOMPARE(preview.Canvas(), nullptr);
        QCOMPARE(preview.TotalPages(), 1);
        QCOMPARE(preview.CurrentPage(), 1);
        QVERIFY(preview.Sheet()->isVisibleTo(&preview));
        QCOMPARE(begins.size(), 1);
        QCOMPARE(newPages.size(), 1);
        QCOMPARE(ends.size(), 1);
        QVERIFY(changes.size() >= 2);
    }

    void operationsOutsideTheirState()
    {
        ScopedFakePlatform platform;
        TPrintPreview preview;
        preview.NewPage();
        preview.EndDoc();
        QCOMPARE(preview.TotalPages(), 0);
        BuildPages(preview, 2);
        preview.BeginDoc();
        preview.Canvas()->drawText(QPoint(10, 10), "x");
        preview.BeginDoc(); // ignored while building: the open page stays
        preview.EndDoc();
        QCOMPARE(preview.TotalPages(), 1);
        QSignalSpy changes(&preview, &TPrintPreview::OnChange);
        preview.Clear();
        QCOMPARE(preview.TotalPages(), 0);
        QCOMPARE(preview.CurrentPage(), 0);
        QCOMPARE(changes.size(), 1);
        QVERIFY(!preview.Sheet()->isVisibleTo(&preview));
    }

    void currentPageIsClamped_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("shown");
        QTest::newRow("0 shows the first") << 3 << 0 << 1;
        QTest::newRow("negative") << 3 << -5 << 1;
        QTest::newRow("beyond shows the last") << 3 << 9 << 3;
        QTest::newRow("inside") << 3 << 2 << 2;
        QTest::newRow("no pages: ignored") << 0 << 2 << 0;
    }
    void currentPageIsClamped()
    {
        QFETCH(int, pages);
        QFETCH(int, asked);
        QFETCH(int, shown);
        ScopedFakePlatform platform;
        TPrintPreview preview;
        if (pages > 0)
            BuildPages(preview, pages);
        preview.SetCurrentPage(2);
        QSignalSpy changes(&preview, &TPrintPreview::OnChange);
        preview.SetCurrentPage(asked);
        QCOMPARE(preview.CurrentPage(), shown);
        QCOMPARE(changes.size(), shown == 2 || shown == 0 ? 0 : 1);
    }

    // --- paper, units and margins ---

    void paperSizeIsClampedAndCustom_data()
    {
        QTest::addColumn<bool>("width");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("stored");
        QTest::newRow("width 0") << true << 0 << 1;
        QTest::newRow("width 40000") << true << 40000 << 32767;
        QTest::newRow("height -3") << false << -3 << 1;
        QTest::newRow("height 40000") << false << 40000 << 32767;
    }
    void paperSizeIsClampedAndCustom()
    {
        QFETCH(bool, width);
        QFETCH(int, asked);
        QFETCH(int, stored);
        ScopedFakePlatform platform;
        TPrintPreview preview;
        QCOMPARE(preview.PaperType(), pA4);
        if (width)
            preview.SetPaperWidth(asked);
        else
            preview.SetPaperHeight(asked);
        QCOMPARE(width ? preview.PaperWidth() : preview.PaperHeight(), stored);
        QCOMPARE(width ? preview.PaperHeight() : preview.PaperWidth(), width ? 29700 : 21000);
        QCOMPARE(preview.PaperType(), pCustom);
    }

    void orientation()
    {
        ScopedFakePlatform platform;
        TPrintPreview preview;
        preview.BeginDoc();
        preview.SetOrientation(QPageLayout::Landscape);
        QCOMPARE(preview.Orientation(), QPageLayout::Portrait);
        QCOMPARE(preview.PaperWidth(), 21000);
        preview.EndDoc();
        preview.SetOrientation(QPageLayout::Landscape);
        QCOMPARE(preview.Orientation(), QPageLayout::Landscape);
        QCOMPARE(QSize(preview.PaperWidth(), preview.PaperHeight()), QSize(29700, 21000));
        preview.SetPaperType(pA5);
        QCOMPARE(QSize(preview.PaperWidth(), preview.PaperHeight()), QSize(21000, 14800));
        QCOMPARE(preview.PaperType(), pA5);
    }

    void unitsConvertLengths_data()
    {
        QTest::addColumn<TUnits>("units");
        QTest::addColumn<int>("margin");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<int>("minimum"); // a margin of 0 is raised to this
        QTest::newRow("0.1 mm") << mmLoMetric << 70 << QSize(2100, 2970) << 60;
        QTest::newRow("0.01 mm") << mmHiMetric << 700 << QSize(21000, 29700) << 600;
        QTest::newRow("pixels at 96 dpi") << mmPixel << 26 << QSize(794, 1123) << 23;
        QTest::newRow("twips") << mmTWIPS << 397 << QSize(11906, 16838) << 340;
        QTest::newRow("0.01 in") << mmLoEnglish << 28 << QSize(827, 1169) << 24;
        QTest::newRow("0.001 in") << mmHiEnglish << 276 << QSize(8268, 11693) << 236;
    }
    void unitsConvertLengths()
    {
        QFETCH(TUnits, units);
        QFETCH(int, margin);
        QFETCH(QSize, paper);
        QFETCH(int, minimum);
        ScopedFakePlatform platform;
        TPrintPreview preview;
        QCOMPARE(preview.PrinterDpi(), QSize(96, 96)); // the screen's without a printer
        preview.SetUnits(units);
        QCOMPARE(preview.MarginLeft(), margin);
        QCOMPARE(preview.MarginBottom(), margin);
        QCOMPARE(QSize(preview.PaperWidth(), preview.PaperHeight()), paper);
        QCOMPARE(
            preview.PageBounds(),
            QRect(QPoint(margin, margin), QPoint(paper.width() - margin, paper.height() - margin)));
        preview.SetMarginTop(0);
        QCOMPARE(preview.MarginTop(), minimum);
        preview.SetMarginRight(minimum + 5);
        QCOMPARE(preview.MarginRight(), minimum + 5);
        preview.SetPaperType(pA3);
        QCOMPARE(preview.PaperWidth(), ConvertUnits(2970, mmLoMetric, units, 96));
        const QSize pixels = preview.PaperPixels(); // A3 at 96 dpi, rounded twice
        QVERIFY(qAbs(pixels.width() - 1123) <= 1 && qAbs(pixels.height() - 1587) <= 1);
    }

    void conversions_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<TUnits>("from");
        QTest::addColumn<TUnits>("to");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("expected");
        QTest::newRow("px to 0.1 mm") << 100 << mmPixel << mmLoMetric << 96 << 265;
        QTest::newRow("0.1 mm to px at 600") << 2100 << mmLoMetric << mmPixel << 600 << 4961;
        QTest::newRow("px to 0.01 mm") << 1 << mmPixel << mmHiMetric << 300 << 8;
        QTest::newRow("0.01 mm to 0.1 mm rounds") << 705 << mmHiMetric << mmLoMetric << 96 << 71;
        QTest::newRow("negative rounds away") << -705 << mmHiMetric << mmLoMetric << 96 << -71;
        QTest::newRow("twips to 0.1 mm") << 1440 << mmTWIPS << mmLoMetric << 96 << 254;
        QTest::newRow("same unit") << 12345 << mmTWIPS << mmTWIPS << 96 << 12345;
    }
    void conversions()
    {
        QFETCH(int, value);
        QFETCH(TUnits, from);
        QFETCH(TUnits, to);
        QFETCH(int, dpi);
        QTEST(ConvertUnits(value, from, to, dpi), "expected");
    }

    void paperTable()
    {
        int custom = 0;
        for (int type = 0; type < PaperTypeCount; ++type) {
            const TPaperInfo &info = PaperInfo(TPaperType(type));
            if (type == pCustom) {
                QVERIFY(info.size.isEmpty());
                ++custom;
                continue;
            }
            QCOMPARE(info.code, type < 47 ? type + 1 : type + 3);
            QVERIFY(info.size.width() >= 900 && info.size.height() >= 1200);
        }
        QCOMPARE(custom, 1);
        QCOMPARE(PaperInfo(pLetter).size, QSize(2159, 2794));
        QCOMPARE(PaperInfo(pA4).code, 9);
        QCOMPARE(PaperInfo(pA4).size, QSize(2100, 2970));
        QCOMPARE(PaperInfo(pA3).code, 8);
        QCOMPARE(PaperInfo(pA3).size, QSize(2970, 4200));
        QCOMPARE(PaperInfo(pA5).code, 11);
        QCOMPARE(PaperInfo(pA5).size, QSize(1480, 2100));
        QCOMPARE(PaperInfo(pA3ExtraTransverse).code, 68);
        QCOMPARE(PageSizeOf(PaperInfo(pA4).size).id(), QPageSize::A4);
        QCOMPARE(PageSizeOf(PaperInfo(pLetter).size).id(), QPageSize::Letter);
        QCOMPARE(PageSizeOf(PaperInfo(pEnvDL).size).id(), QPageSize::DLE);
    }

    // --- zoom, scrolling, keys and dragging ---

    void zoomToFitOnAWideLowWindowCentres()
    {
        ShownPreview shown(QSize(800, 300));
        TPrintPreview &preview = shown.preview;
        BuildPages(preview, 1);
        QCOMPARE(preview.ZoomState(), zsZoomToFit);
        QVERIFY(!preview.HorzScrollBar()->isVisible());
        QVERIFY(!preview.VertScrollBar()->isVisible());
        const QRect sheet = preview.Sheet()->geometry();
        const QSize room = preview.InnerPanel()->size();
        QCOMPARE(room, QSize(800, 300));
        QCOMPARE(sheet.height(), 300 - 2 * TPrintPreview::Gutter);
        QCOMPARE(sheet.top(), TPrintPreview::Gutter);
        QCOMPARE(sheet.left(), (800 - sheet.width()) / 2);
        const double ratio = double(preview.Sheet()->PaperHeight()) / preview.Sheet()->PaperWidth();
        QVERIFY(qAbs(ratio - 297.0 / 210.0) < 0.02);
    }

    void zoomStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("horzBar");
        QTest::addColumn<bool>("vertBar");
        QTest::newRow("to width on a low window") << int(zsZoomToWidth) << false << true;
        QTest::newRow("to height on a narrow window") << int(zsZoomToHeight) << true << false;
    }
    void zoomStates()
    {
        QFETCH(int, state);
        QFETCH(bool, horzBar);
        QFETCH(bool, vertBar);
        ShownPreview shown(state == zsZoomToWidth ? QSize(600, 300) : QSize(200, 600));
        TPrintPreview &preview = shown.preview;
        BuildPages(preview, 1);
        preview.SetZoomState(TZoomState(state));
        QCOMPARE(preview.HorzScrollBar()->isVisible(), horzBar);
        QCOMPARE(preview.VertScrollBar()->isVisible(), vertBar);
        const QSize room = preview.InnerPanel()->size();
        if (state == zsZoomToWidth)
            QCOMPARE(preview.Sheet()->width(), room.width() - 2 * TPrintPreview::Gutter);
        else
            QCOMPARE(preview.Sheet()->height(), room.height() - 2 * TPrintPreview::Gutter);
    }

    void zoomPercentShowsTrueSize()
    {
        ShownPreview shown;
        TPrintPreview &preview = shown.preview;
        preview.SetUnits(mmLoMetric);
        BuildPages(preview, 1);
        preview.SetZoom(75);
        QCOMPARE(preview.ZoomState(), zsZoomOther);
        // A4 at 96 dpi is 794 x 1123 pixels; three quarters of it:
        QCOMPARE(preview.Sheet()->PaperWidth(), 596);
        QCOMPARE(preview.Sheet()->PaperHeight(), 842);
        preview.SetZoomState(zsZoomToFit);
        preview.SetZoom(75); // same percent, other state: back to 75 %
        QCOMPARE(preview.ZoomState(), zsZoomOther);
        QCOMPARE(preview.Sheet()->PaperWidth(), 596);
    }

    void zoom200ScrollsAndDrags()
    {
        ShownPreview shown(QSize(300, 250));
        TPrintPreview &preview = shown.preview;
        BuildPages(preview, 1);
        preview.SetZoom(200);
        QScrollBar *h = preview.HorzScrollBar();
        QScrollBar *v = preview.VertScrollBar();
        QVERIFY(h->isVisible() && v->isVisible());
        QCOMPARE(preview.Sheet()->cursor().shape(), Qt::PointingHandCursor);
        const QSize room = preview.InnerPanel()->size();
        QCOMPARE(h->maximum(), preview.Sheet()->width() - room.width() + 2 * TPrintPreview::Gutter);
        QCOMPARE(h->pageStep(), room.width());
        QCOMPARE(v->pageStep(), room.height());
        QCOMPARE(preview.Sheet()->pos(), QPoint(6, 6));

        // Drag up and to the left by (40, 30).
        TPaperPreview *sheet = preview.Sheet();
        const QPoint grab(100, 100);
        QTest::mousePress(sheet, Qt::LeftButton, {}, grab);
        QMouseEvent move(QEvent::MouseMove, QPointF(grab - QPoint(40, 30)),
                         sheet->mapToGlobal(QPointF(grab - QPoint(40, 30))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(sheet, &move);
        QCOMPARE(h->value(), 40);
        QCOMPARE(v->value(), 30);
        QCOMPARE(sheet->pos(), QPoint(6 - 40, 6 - 30));
        QTest::mouseRelease(sheet, Qt::LeftButton, {}, grab - QPoint(40, 30));

        // Without the left button the mouse only moves.
        QMouseEvent hover(QEvent::MouseMove, QPointF(10, 10), sheet->mapToGlobal(QPointF(10, 10)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(sheet, &hover);
        QCOMPARE(h->value(), 40);

        // A new zoom starts at the top-left again.
        preview.SetZoom(150);
        QCOMPARE(h->value(), 0);
        QCOMPARE(sheet->pos(), QPoint(6, 6));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expect"); // h=..., v=..., page=...
        QTest::newRow("End") << int(Qt::Key_End) << 0 << "h=max v=20 page=2";
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << "h=0 v=20 page=2";
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << int(Qt::ControlModifier)
                                  << "h=20 v=max page=2";
        QTest::newRow("Ctrl+Home")
            << int(Qt::Key_Home) << int(Qt::ControlModifier) << "h=20 v=0 page=2";
        QTest::newRow("Right") << int(Qt::Key_Right) << 0 << "h=28 v=20 page=2";
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "h=12 v=20 page=2";
        QTest::newRow("Down") << int(Qt::Key_Down) << 0 << "h=20 v=28 page=2";
        QTest::newRow("Up") << int(Qt::Key_Up) << 0 << "h=20 v=12 page=2";
        QTest::newRow("Ctrl+Right")
            << int(Qt::Key_Right) << int(Qt::ControlModifier) << "h=20+page v=20 page=2";
        QTest::newRow("Ctrl+Down")
            << int(Qt::Key_Down) << int(Qt::ControlModifier) << "h=20 v=20+page page=2";
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 0 << "h=20 v=20 page=3";
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 0 << "h=20 v=20 page=1";
        QTest::newRow("Ctrl+Page Down")
            << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << "h=20 v=20 page=4";
        QTest::newRow("Ctrl+Page Up")
            << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << "h=20 v=20 page=1";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, expect);
        ShownPreview shown(QSize(300, 250));
        TPrintPreview &preview = shown.preview;
        BuildPages(preview, 4);
        preview.SetZoom(300);
        QScrollBar *h = preview.HorzScrollBar();
        QScrollBar *v = preview.VertScrollBar();
        h->setValue(20);
        v->setValue(20);
        preview.SetCurrentPage(2);
        QTest::keyClick(&preview, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        const auto value = [](const QString &text, const QScrollBar *bar) {
            if (text == "max")
                return bar->maximum();
            if (text == "20+page")
                return qMin(bar->maximum(), 20 + bar->pageStep());
            return text.toInt();
        };
        const QStringList parts = expect.split(' ');
        QCOMPARE(h->value(), value(parts[0].mid(2), h));
        QCOMPARE(v->value(), value(parts[1].mid(2), v));
        QCOMPARE(preview.CurrentPage(), parts[2].mid(5).toInt());
        QCOMPARE(preview.Sheet()->pos(), QPoint(6 - h->value(), 6 - v->value()));
    }

    void sheetShowsTheCurrentPage()
    {
        ShownPreview shown(QSize(400, 500));
        TPrintPreview &preview = shown.preview;
        preview.SetUnits(mmLoMetric);
        preview.BeginDoc();
        preview.Canvas()->fillRect(QRect(0, 0, 1050, 2970), Qt::black); // left half black
        preview.NewPage();
        preview.Canvas()->fillRect(QRect(1050, 0, 1050, 2970), Qt::black); // right half
        preview.EndDoc();
        const auto grab = [&] {
            return preview.Sheet()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const auto darkAt = [](const QImage &image, double fx) {
            return qGray(image.pixel(int(image.width() * fx), image.height() / 2)) < 60;
        };
        QImage image = grab();
        QVERIFY(darkAt(image, 0.25) && !darkAt(image, 0.75));
        QTest::keyClick(&preview, Qt::Key_PageDown);
        image = grab();
        QVERIFY(!darkAt(image, 0.25) && darkAt(image, 0.75));
    }

    // --- printing ---

    void emptyRangesPrintNothing_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("3 to 2") << 3 << 2;
        QTest::newRow("ending below 1") << -4 << 0;
    }
    void emptyRangesPrintNothing()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        ScopedFakePlatform platform;
        TPrintPreview preview;
        BuildPages(preview, 3);
        QSignalSpy before(&preview, &TPrintPreview::OnBeforePrint);
        preview.PrintPages(from, to);
        QCOMPARE(before.size(), 0);
        QVERIFY(platform.saveRequests.isEmpty());
    }

    void threePagesToPdf()
    {
        ScopedFakePlatform platform;
        QTemporaryDir folder;
        const QString pdf = folder.filePath("Urkunden.pdf");
        platform.saveAnswers.enqueue({true, pdf, 1});
        TPrintPreview preview;
        preview.SetUnits(mmLoMetric);
        preview.SetPrintJobTitle("Urkunden");
        struct Placed
        {
            const char *text;
            int alignment;
            int left; // mm
            int top;  // mm
        };
        const QList<Placed> placed = {{"Erster", laLeft, 30, 20},
                                      {"Zweiter", laRight, 180, 100},
                                      {"Dritter", laCenter, 105, 250}};
        preview.BeginDoc();
        for (const Placed &p : placed) {
            if (&p != &placed.first())
                preview.NewPage();
            LayoutEntry entry;
            entry.FontName = "Arial";
            entry.FontSize = 16;
            entry.Alignment = std::uint8_t(p.alignment);
            entry.Left = p.left;
            entry.Top = p.top;
            DrawEntry(*preview.Canvas(), entry, p.text);
        }
        preview.EndDoc();

        QSignalSpy status(&preview, &TPrintPreview::OnStatusText);
        QSignalSpy after(&preview, &TPrintPreview::OnAfterPrint);
        QList<int> progress;
        connect(&preview, &TPrintPreview::OnPrintProgress,
                [&](TPrintPreview *, int, int percent, bool &) { progress << percent; });
        preview.Print();
        QCOMPARE(platform.saveRequests.size(), 1);
        QCOMPARE(platform.saveRequests[0].fileName, QString("Urkunden.pdf"));
        QCOMPARE(after.size(), 1);
        QCOMPARE(progress, QList<int>({0, 33, 33, 67, 67, 100}));
        QCOMPARE(status.size(), 1);
        QVERIFY(status[0][1].toString().contains("Urkunden.pdf"));
        QVERIFY(platform.messages.isEmpty());

        const QString info = PdfInfo(pdf);
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(info));
        QVERIFY2(info.contains("(A4)"), qPrintable(info));
        const QList<PdfWord> words = PdfWords(pdf);
        QCOMPARE(words.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const PdfWord &word = words[i];
            const Placed &p = placed[i];
            QCOMPARE(word.text, QString(p.text));
            const double anchor = p.alignment == laLeft    ? word.box.left()
                                  : p.alignment == laRight ? word.box.right()
                                                           : word.box.center().x();
            QVERIFY2(qAbs(anchor - p.left) < 0.5, qPrintable(QString::number(anchor)));
            QVERIFY2(qAbs(word.box.top() - p.top) < 0.5,
                     qPrintable(QString::number(word.box.top())));
        }
    }

    void printingToAFileThatCannotBeWritten()
    {
        ScopedFakePlatform platform;
        QTemporaryDir folder;
        QFile blocker(folder.filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        platform.saveAnswers.enqueue({true, folder.filePath("plain/Urkunden.pdf"), 1});
        TPrintPreview preview;
        BuildPages(preview, 2);
        QSignalSpy aborts(&preview, &TPrintPreview::OnAbort);
        QSignalSpy after(&preview, &TPrintPreview::OnAfterPrint);
        QSignalSpy status(&preview, &TPrintPreview::OnStatusText);
        preview.Print();
        QCOMPARE(aborts.size(), 1);
        QCOMPARE(after.size(), 0);
        QCOMPARE(status.size(), 0);
        QVERIFY(preview.Aborted());
        QCOMPARE(preview.State(), TPreviewState::Idle);
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY(platform.messages[0].text.startsWith("Das Drucken ist fehlgeschlagen"));
    }

    void abortAskedForByTheProgressHandler()
    {
        ScopedFakePlatform platform;
        QTemporaryDir folder;
        const QString pdf = folder.filePath("halb.pdf");
        platform.saveAnswers.enqueue({true, pdf, 1});
        TPrintPreview preview;
        BuildPages(preview, 3);
        QSignalSpy aborts(&preview, &TPrintPreview::OnAbort);
        QSignalSpy after(&preview, &TPrintPreview::OnAfterPrint);
        QList<int> pagesReported;
        connect(&preview, &TPrintPreview::OnPrintProgress,
                [&](TPrintPreview *sender, int page, int, bool &abortIt) {
                    pagesReported << page;
                    sender->PrintPages(1, 3); // ignored while printing
                    abortIt = page == 2;
                });
        preview.PrintPages(1, 3);
        QCOMPARE(pagesReported, QList<int>({1, 1, 2}));
        QCOMPARE(aborts.size(), 1);
        QCOMPARE(after.size(), 0);
        QVERIFY(platform.messages.isEmpty()); // the operator asked for it
        QCOMPARE(platform.saveRequests.size(), 1);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(preview.State(), TPreviewState::Idle);
    }

    void printerPageSetup_data()
    {
        QTest::addColumn<int>("paperType");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QSizeF>("pageMm"); // upright, as the printer is told
        QTest::newRow("A4") << int(pA4) << false << QSizeF(210, 297);
        QTest::newRow("A5 landscape") << int(pA5) << true << QSizeF(148, 210);
        QTest::newRow("custom") << int(pCustom) << false << QSizeF(100, 150);
        QTest::newRow("custom landscape") << int(pCustom) << true << QSizeF(100, 150);
    }
    void printerPageSetup()
    {
        QFETCH(int, paperType);
        QFETCH(bool, landscape);
        QFETCH(QSizeF, pageMm);
        ScopedFakePlatform platform;
        platform.printerInstalled = true;
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath("drucker.pdf"));
        TPrintPreview preview;
        preview.SetPrinter(&printer);
        preview.SetUnits(mmLoMetric);
        QCOMPARE(preview.PrinterDpi(), QSize(1200, 1200));
        if (paperType == pCustom) {
            preview.SetPaperWidth(1000);
            preview.SetPaperHeight(1500);
        } else {
            preview.SetPaperType(TPaperType(paperType));
        }
        if (landscape)
            preview.SetOrientation(QPageLayout::Landscape);
        BuildPages(preview, 2);
        preview.Print();
        QVERIFY(platform.saveRequests.isEmpty());
        QVERIFY(!preview.Aborted());
        const QPageLayout layout = printer.pageLayout();
        QCOMPARE(layout.orientation(), landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        const QSizeF size = layout.pageSize().size(QPageSize::Millimeter);
        QVERIFY2(qAbs(size.width() - pageMm.width()) < 0.5 &&
                     qAbs(size.height() - pageMm.height()) < 0.5,
                 qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
        QVERIFY(printer.docName().isEmpty());
        QVERIFY(
            PdfInfo(folder.filePath("drucker.pdf")).contains(QRegularExpression("Pages:\\s+2\\n")));
    }

    // The page is stretched over the printable area grown by the printer's
    // offset on every side, so a position counts from the sheet's corner,
    // not from the corner of the printable area.
    void printedPageStartsAtTheSheetCorner()
    {
        ScopedFakePlatform platform;
        platform.printerInstalled = true;
        QTemporaryDir folder;
        const QString pdf = folder.filePath("rand.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFileName(pdf);
        printer.setPageMargins(QMarginsF(10, 15, 10, 15), QPageLayout::Millimeter);
        TPrintPreview preview;
        preview.SetPrinter(&printer);
        preview.SetUnits(mmLoMetric);
        LayoutEntry entry;
        entry.FontName = "Arial";
        entry.FontSize = 16;
        entry.Left = 100;
        entry.Top = 100;
        preview.BeginDoc();
        DrawEntry(*preview.Canvas(), entry, "Ecke");
        preview.EndDoc();
        QSignalSpy status(&preview, &TPrintPreview::OnStatusText);
        preview.Print();
        QCOMPARE(status.size(), 1);
        QCOMPARE(status[0][1].toString(),
                 "1 Seite(n) gespeichert in " + QDir::toNativeSeparators(pdf));
        const QList<PdfWord> words = PdfWords(pdf);
        QCOMPARE(words.size(), 1);
        QVERIFY2(qAbs(words[0].box.left() - 100) < 0.5,
                 qPrintable(QString::number(words[0].box.left())));
        QVERIFY2(qAbs(words[0].box.top() - 100) < 0.5,
                 qPrintable(QString::number(words[0].box.top())));
    }

    void temporaryFileGoesWithThePreview()
    {
        ScopedFakePlatform platform;
        const auto tempFiles = [] {
            const QStringList names = QDir::temp().entryList({"TMP*"}, QDir::Files);
            return QSet<QString>(names.begin(), names.end());
        };
        const QSet<QString> before = tempFiles();
        QSet<QString> made;
        {
            TPrintPreview preview;
            preview.SetUseTempFile(true);
            BuildPages(preview, 2);
            QVERIFY(preview.UseTempFile());
            made = tempFiles() - before;
            QCOMPARE(made.size(), 1);
            preview.BeginDoc(); // drops the old pages and their file
            QVERIFY(!QDir::temp().exists(*made.begin()));
            preview.EndDoc();
            made = tempFiles() - before;
            QCOMPARE(made.size(), 1);
        }
        QVERIFY(!QDir::temp().exists(*made.begin()));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_Preview.moc"
