// The certificates through the real main window: "Urkunden drucken" with
// the scripted print dialog, the pages built from the protocol, zoom, page
// and orientation, and "Drucken" writing a PDF that is read back with the
// poppler tools (no printer here, or the printer's own print-to-file).
#include "MainWindowFixture.h"
#include "PdfReadBack.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "print/FPP.h"
#include "print/PaperPreview.h"
#include "print/Preview.h"
#include "settings/CertificateLayout.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>
#include <climits>
#include <memory>

namespace {

const QByteArray FiveTeams = "1\tDie Blitze\tA\tJürgen Köhler\tAnna Schäfer\tLukas Brück\n"
                             "2\tGrüne Flöhe\tA\tSören Müller\tMarie Großmann\t\n"
                             "3\tRote Raketen\tA\tPaul Weiß\t\tEva Roth\n"
                             "4\tSchnecken\tA\tTim Bauer\tLea Bauer\tMax Bauer\n"
                             "5\tWirbelwind\tA\tIda Frank\t\t\n";

// The words of a line: those whose top lies within 1 mm of `topMm`.
QRectF LineBox(const QList<PdfWord> &words, double topMm, QString *text = nullptr)
{
    QRectF box;
    QStringList texts;
    for (const PdfWord &word : words) {
        if (qAbs(word.box.top() - topMm) > 1)
            continue;
        box = box.isNull() ? word.box : box.united(word.box);
        texts << word.text;
    }
    if (text)
        *text = texts.join(' ');
    return box;
}

struct PlacedEntry
{
    int index;
    TLayoutAlignment alignment;
    int left; // mm
    int top;  // mm
};

QPageLayout::Orientation OrientationOf(int cbOriIndex)
{
    return cbOriIndex == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Three lines, one of each alignment, in different fonts and sizes.
const PlacedEntry PlacedEntries[] = {
    {0, laLeft, 20, 30},
    {1, laCenter, 105, 60},
    {6, laRight, 180, 150},
};

} // namespace

class TestFPP : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;
    TFormMain *m_form = nullptr;
    TFormPP *m_pp = nullptr;

    void LoadTeams()
    {
        m_program.Load(FiveTeams, QStringLiteral("Bergpreis.txt"));
        QCOMPARE(m_program.GridRows().size(), 5);
    }

    // Places as the operator may have left them in edit mode; each team's
    // total is 6<row>,23.
    void SetPlaces(const QStringList &places)
    {
        for (int row = 0; row < places.size(); ++row) {
            m_form->SortGrid1->SetCells(ColTotal, row + 1, QStringLiteral("6%1,23").arg(row + 1));
            m_form->SortGrid1->SetCells(ColPlatz, row + 1, places[row]);
        }
    }

    // "Urkunden drucken", the dialog answered with rows from..to.
    void OpenCertificates(int from = 1, int to = 5)
    {
        m_program.Platform().printRangeAnswers.enqueue({from, to});
        m_form->sbGramoty->click();
        QVERIFY(m_program.Platform().printRangeAnswers.isEmpty());
    }

    void OnlyEntriesOn(std::initializer_list<int> entries)
    {
        for (LayoutEntry &entry : SharedCertificateLayout().Entries)
            entry.On = 0;
        for (int index : entries)
            SharedCertificateLayout().Entries[index].On = 1;
    }

    void PlaceEntries()
    {
        OnlyEntriesOn({0, 1, 6});
        auto &entries = SharedCertificateLayout().Entries;
        const QString fonts[] = {"Times New Roman", "Arial", "Times New Roman"};
        int font = 0;
        for (const PlacedEntry &placed : PlacedEntries) {
            LayoutEntry &entry = entries[placed.index];
            entry.Alignment = placed.alignment;
            entry.Left = placed.left;
            entry.Top = placed.top;
            entry.FontName = fonts[font++];
            entry.FontSize = 10 + 4 * font;
        }
    }

    QString PrintToPdf(const QString &name)
    {
        const QString path = m_program.Folder().FilePath(name);
        QFile::remove(path);
        m_program.Platform().saveAnswers.enqueue({true, path, 1});
        m_pp->Button1->click();
        return path;
    }

    QStringList ZoomChoices() const
    {
        QStringList zooms;
        for (int i = 0; i < m_pp->cbZoom->count(); ++i)
            zooms << m_pp->cbZoom->itemText(i);
        return zooms;
    }

private slots:
    void initTestCase() { m_program.Enter(); }

    void init()
    {
        SharedCertificateLayout() = CertificateLayout();
        m_program.Open();
        m_form = m_program.Form();
        m_pp = m_program.Windows().FormPP;
        m_form->show();
        LoadTeams();
    }

    void cleanup() { m_program.Close(); }

    // --- the window and the print dialog ---

    void windowAsCreated()
    {
        QCOMPARE(m_pp->windowTitle(), QString("Ansicht"));
        QVERIFY(!m_pp->isVisible());
        QVERIFY(m_pp->isWindow());
        QCOMPARE(m_pp->Button1->text(), QString("Drucken"));
        QVERIFY(m_pp->Button1->font().bold());
        QCOMPARE(ZoomChoices(), QStringList({"Ganze Seite", "Seitenbreite", "Seitenhohe", "25%",
                                             "50%", "75%", "100%", "200%"}));
        QCOMPARE(m_pp->cbZoom->currentIndex(), 0);
        QCOMPARE(m_pp->cbOri->itemText(0), QString("Hoch"));
        QCOMPARE(m_pp->cbOri->itemText(1), QString("Quer"));
        QCOMPARE(m_pp->cbOri->currentIndex(), 0);
        QCOMPARE(m_pp->sePage->minimum(), 1);
        QCOMPARE(m_pp->sePage->maximum(), 1);
        const TPrintPreview *preview = m_pp->PrintPreview1;
        QCOMPARE(preview->Units(), mmLoMetric);
        QCOMPARE(QList<int>({preview->MarginLeft(), preview->MarginRight(), preview->MarginTop(),
                             preview->MarginBottom()}),
                 QList<int>({160, 60, 60, 60}));
        // Full work-area height, half the screen wide, a quarter in.
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect work = screen->availableGeometry();
        const int width = screen->geometry().width();
        QCOMPARE(m_pp->geometry(), QRect(width / 4, work.top(), width / 2, work.height()));
    }

    void printDialogOffersTheProtocolRows()
    {
        SetPlaces({"1", "2", "3", "4", "5"});
        m_form->sbGramoty->click(); // no answer queued: cancelled
        QCOMPARE(m_program.Platform().printRangeOffers.size(), 1);
        QCOMPARE(m_program.Platform().printRangeOffers[0].from, 1);
        QCOMPARE(m_program.Platform().printRangeOffers[0].to, 5);
        QVERIFY(!m_pp->isVisible());
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 0);
        OpenCertificates();
        QVERIFY(m_pp->isVisible());
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 5);
    }

    // --- pages ---

    void onePagePerPlacedRow_data()
    {
        QTest::addColumn<QStringList>("places");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("lastTeam");
        QTest::newRow("unplaced in between")
            << QStringList{"1", "", "2", "AUS", "3"} << 1 << 5 << 3 << "Wirbelwind";
        QTest::newRow("unplaced at the end")
            << QStringList{"1", "2", "3", "", "DIS"} << 1 << 5 << 3 << "Rote Raketen";
        QTest::newRow("unplaced first")
            << QStringList{"", "DIS", "1", "2", "3"} << 1 << 5 << 3 << "Wirbelwind";
        QTest::newRow("not a whole number")
            << QStringList{"1", "2,5", "2", "x", "3"} << 1 << 5 << 3 << "Wirbelwind";
        QTest::newRow("rows 2 to 3")
            << QStringList{"1", "2", "3", "4", "5"} << 2 << 3 << 2 << "Rote Raketen";
        QTest::newRow("one certificate")
            << QStringList{"", "", "1", "", ""} << 1 << 5 << 1 << "Rote Raketen";
    }
    void onePagePerPlacedRow()
    {
        QFETCH(QStringList, places);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, pages);
        QFETCH(QString, lastTeam);
        SetPlaces(places);
        OpenCertificates(from, to);
        QVERIFY(m_pp->isVisible());
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), pages);
        QCOMPARE(m_pp->PrintPreview1->CurrentPage(), 1);
        QCOMPARE(m_pp->sePage->maximum(), pages);
        QCOMPARE(m_pp->sePage->value(), 1);
        QCOMPARE(m_pp->sePage->isEnabled(), pages > 1);
        QCOMPARE(SharedCertificateLayout().Entries[1].Text, lastTeam);
        QVERIFY(m_pp->Notice->text().isEmpty());
    }

    void noPlacedRowGivesOneEmptyPageAndSaysSo()
    {
        SetPlaces({"1", "AUS", "DIS", "", "2"});
        OpenCertificates(2, 4);
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 1);
        QVERIFY(!m_pp->sePage->isEnabled());
        QCOMPARE(m_pp->Notice->text(), QString("Keine Zeile im Bereich 2 bis 4 hat einen Platz."));
        // A later run with places drops the notice.
        OpenCertificates(1, 5);
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 2);
        QVERIFY(m_pp->Notice->text().isEmpty());
    }

    // A race day as the operator runs it: two heats timed and ranked, the
    // fifth team never ran; the certificates follow the ranked rows.
    void rankedRaceDay()
    {
        const std::uint32_t stops[2][2] = {{62000, 63500}, {61000, 64000}};
        for (const auto &heat : stops) {
            m_form->mStart->trigger();
            m_program.Platform().AdvanceTick(heat[0]);
            m_form->mSTOP1->trigger();
            m_program.Platform().AdvanceTick(heat[1] - heat[0]);
            m_form->mStop2->trigger();
            m_form->mReset->trigger();
        }
        QCOMPARE(m_program.GridRows()[3][ColPlatz], QString("4"));
        OpenCertificates(1, 5);
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 4);
        const auto &entries = SharedCertificateLayout().Entries;
        QCOMPARE(entries[0].Text, QString("4"));
        QCOMPARE(entries[1].Text, QString("Schnecken"));
        QCOMPARE(entries[6].Text, QString("64,00 sek."));
        QCOMPARE(entries[7].Text, QString("Bergpreis"));
    }

    void layoutKeepsTheLastCertificatesTexts()
    {
        SetPlaces({"1", "2", "", "", ""});
        OnlyEntriesOn({0, 1, 2, 3, 4, 5, 6, 7, 8});
        OpenCertificates();
        const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
        const QStringList expected{
            "2", "Grüne Flöhe", "Klasse: A", "Sören Müller", "Marie Großmann",
            "",  "62,23 sek.",  "Bergpreis", today};
        // An empty cell may hold a blank; either way nothing shows.
        for (int entry = 0; entry < expected.size(); ++entry)
            QCOMPARE(SharedCertificateLayout().Entries[entry].Text.trimmed(), expected[entry]);
    }

    // Class, total with its unit, and nothing at all for an empty co-driver.
    void certificateTextsOnThePage()
    {
        SetPlaces({"", "1", "", "", ""});
        OnlyEntriesOn({2, 5, 6});
        OpenCertificates();
        const QList<PdfWord> words = PdfWords(PrintToPdf("Texte.pdf"));
        QString klasse, beifahrer2, total;
        LineBox(words, 32, &klasse);
        LineBox(words, 80, &beifahrer2);
        LineBox(words, 96, &total);
        QCOMPARE(klasse, QString("Klasse: A"));
        QCOMPARE(beifahrer2, QString());
        QCOMPARE(total, QString("62,23 sek."));
        QCOMPARE(words.size(), 4);
    }

    // --- zoom, page, orientation ---

    void zoomChoices_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("zoom");
        QTest::newRow("Seitenbreite") << 1 << int(zsZoomToWidth) << 100;
        QTest::newRow("Seitenhohe") << 2 << int(zsZoomToHeight) << 100;
        QTest::newRow("25%") << 3 << int(zsZoomOther) << 25;
        QTest::newRow("75%") << 5 << int(zsZoomOther) << 75;
        QTest::newRow("200%") << 7 << int(zsZoomOther) << 200;
        QTest::newRow("Ganze Seite") << 0 << int(zsZoomToFit) << 100;
    }
    void zoomChoices()
    {
        QFETCH(int, item);
        QFETCH(int, state);
        QFETCH(int, zoom);
        SetPlaces({"1", "2", "3", "4", "5"});
        OpenCertificates();
        m_pp->cbZoom->setCurrentIndex(6); // away from the first choice
        m_pp->cbZoom->setCurrentIndex(item);
        TPrintPreview *preview = m_pp->PrintPreview1;
        QCOMPARE(int(preview->ZoomState()), state);
        if (state == zsZoomOther) {
            QCOMPARE(preview->Zoom(), zoom);
            // True size on screen at that zoom: A4 is 210 mm wide.
            const int expected = qRound(210 / 25.4 * preview->logicalDpiX() * zoom / 100);
            QVERIFY2(qAbs(preview->Sheet()->PaperWidth() - expected) <= 1,
                     qPrintable(QString::number(preview->Sheet()->PaperWidth())));
        }
        m_pp->cbOri->setCurrentIndex(1); // the zoom stays across builds
        QCOMPARE(int(preview->ZoomState()), state);
    }

    void pageFieldShowsThatPage()
    {
        SetPlaces({"1", "2", "3", "4", "5"});
        OpenCertificates();
        m_pp->sePage->setValue(4);
        QCOMPARE(m_pp->PrintPreview1->CurrentPage(), 4);
        m_pp->sePage->setValue(2);
        QCOMPARE(m_pp->PrintPreview1->CurrentPage(), 2);
        QTest::keyClick(m_pp->PrintPreview1, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(m_pp->sePage->value(), 5);
        OpenCertificates(4, 5); // a new run starts on its first page
        QCOMPARE(m_pp->sePage->value(), 1);
        QCOMPARE(m_pp->sePage->maximum(), 2);
        QCOMPARE(m_pp->PrintPreview1->CurrentPage(), 1);
    }

    void querRebuildsInLandscape()
    {
        SetPlaces({"1", "2", "", "3", ""});
        OpenCertificates();
        QCOMPARE(m_pp->PrintPreview1->PaperWidth(), 2100);
        QCOMPARE(m_pp->PrintPreview1->PaperHeight(), 2970);
        m_pp->sePage->setValue(3);
        m_pp->cbOri->setCurrentIndex(1);
        QCOMPARE(m_pp->PrintPreview1->Orientation(), QPageLayout::Landscape);
        QCOMPARE(m_form->Printer.pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(m_pp->PrintPreview1->PaperWidth(), 2970);
        QCOMPARE(m_pp->PrintPreview1->PaperHeight(), 2100);
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 3);
        QCOMPARE(m_pp->sePage->value(), 1);
        QCOMPARE(m_pp->PrintPreview1->CurrentPage(), 1);
        // The next run keeps the printer's landscape.
        OpenCertificates();
        QCOMPARE(m_pp->cbOri->currentIndex(), 1);
        QCOMPARE(m_pp->PrintPreview1->PaperWidth(), 2970);
        m_pp->cbOri->setCurrentIndex(0);
        QCOMPARE(m_pp->PrintPreview1->PaperWidth(), 2100);
        QCOMPARE(m_form->Printer.pageLayout().orientation(), QPageLayout::Portrait);
    }

    // The page field says which certificate of how many; Escape closes
    // the window and leaves the main window as it was.
    void pageFieldAndEscape()
    {
        SetPlaces({"1", "2", "3", "4", "5"});
        OpenCertificates();
        QVERIFY(QTest::qWaitForWindowActive(m_pp));
        QCOMPARE(m_pp->sePage->text(), QString("Urkunde 1 von 5"));
        m_pp->sePage->setValue(3);
        QCOMPARE(m_pp->sePage->text(), QString("Urkunde 3 von 5"));
        QCOMPARE(m_pp->PrintPreview1->CurrentPage(), 3);
        m_pp->sePage->setFocus();
        if (!qt_sendShortcutOverrideEvent(m_pp->sePage, 0, Qt::Key_Escape, Qt::NoModifier))
            QTest::keyClick(m_pp->sePage, Qt::Key_Escape);
        QVERIFY(!m_pp->isVisible());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_form->SortGrid1->RowCount(), 6);
    }

    // A stored layout no editor could make (positions and sizes at the ends
    // of the integer range) is read within the editor's ranges, so the pages
    // build and print: the place at the top-left corner, the team name at
    // 999 mm (beyond A4) in 500 points.
    void storedLayoutBeyondAnyPaper()
    {
        CertificateLayout stored;
        stored.ApplyDefaults();
        for (LayoutEntry &entry : stored.Entries)
            entry.On = 0;
        const struct
        {
            int index;
            qint32 position;
            qint32 fontSize;
            TLayoutAlignment alignment;
        } extremes[] = {{0, INT_MIN, 12, laLeft}, {1, INT_MAX, INT_MAX, laRight}};
        for (const auto &extreme : extremes) {
            LayoutEntry &entry = stored.Entries[extreme.index];
            entry.On = 1;
            entry.Alignment = extreme.alignment;
            entry.Left = entry.Top = extreme.position;
            entry.FontSize = extreme.fontSize;
        }
        m_program.Quit();
        ProgramSettingsStore().setValue("Nadpis", stored.ToBytes());
        m_program.Restart();
        m_form = m_program.Form();
        m_pp = m_program.Windows().FormPP;
        LoadTeams();
        SetPlaces({"1", "2", "", "", ""});
        OpenCertificates();
        QCOMPARE(m_pp->PrintPreview1->TotalPages(), 2);
        const LayoutEntry &place = SharedCertificateLayout().Entries[0];
        const LayoutEntry &team = SharedCertificateLayout().Entries[1];
        QCOMPARE(QList<int>({place.Left, place.Top, place.FontSize}), QList<int>({0, 0, 12}));
        QCOMPARE(QList<int>({team.Left, team.Top, team.FontSize}), QList<int>({999, 999, 500}));
        const QList<PdfWord> words = PdfWords(PrintToPdf("Extrem.pdf"));
        for (int page = 0; page < 2; ++page) {
            const QList<PdfWord> onPage = PdfPageWords(words, page);
            QVERIFY(!onPage.isEmpty());
            QCOMPARE(onPage[0].text, QString::number(page + 1));
            QVERIFY(onPage[0].box.right() < 8 && onPage[0].box.bottom() < 8);
        }
    }

    // --- "Drucken" ---

    // No printer installed: one A4 PDF the operator names, each line where
    // the layout puts it, measured from the sheet's top-left corner.
    void pdfWithoutPrinter_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("size");
        QTest::newRow("Hoch") << 0 << "595 x 842 pts (A4)";
        QTest::newRow("Quer") << 1 << "842 x 595 pts (A4)";
    }
    void pdfWithoutPrinter()
    {
        QFETCH(int, orientation);
        QFETCH(QString, size);
        SetPlaces({"1", "2", "3", "", ""});
        PlaceEntries();
        OpenCertificates();
        m_pp->cbOri->setCurrentIndex(orientation);
        const QString pdf = PrintToPdf("Urkunden.pdf");
        QCOMPARE(m_program.Platform().saveRequests.size(), 1);
        QCOMPARE(m_program.Platform().saveRequests[0].fileName, QString("Urkunden Bergpreis.pdf"));
        const QString info = PdfInfo(pdf);
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(info));
        QVERIFY2(
            info.contains(QRegularExpression("Page size:\\s+" + QRegularExpression::escape(size))),
            qPrintable(info));
        QVERIFY(m_pp->Notice->text().contains(pdf));
        QVERIFY(m_pp->Button1->isEnabled());

        const QList<PdfWord> words = PdfWords(pdf);
        const QStringList teams{"Die Blitze", "Grüne Flöhe", "Rote Raketen"};
        for (int page = 0; page < 3; ++page) {
            const QList<PdfWord> onPage = PdfPageWords(words, page);
            const QString expected[] = {QString::number(page + 1), teams[page],
                                        QString("6%1,23 sek.").arg(page + 1)};
            for (const PlacedEntry &placed : PlacedEntries) {
                QString text;
                const QRectF box = LineBox(onPage, placed.top, &text);
                QCOMPARE(text, expected[&placed - PlacedEntries]);
                const double anchor = placed.alignment == laLeft     ? box.left()
                                      : placed.alignment == laCenter ? box.center().x()
                                                                     : box.right();
                QVERIFY2(qAbs(anchor - placed.left) <= 0.5, qPrintable(QString::number(anchor)));
                QVERIFY2(qAbs(box.top() - placed.top) <= 0.5,
                         qPrintable(QString::number(box.top())));
            }
        }
    }

    void cancellingTheFileNameWritesNothing()
    {
        SetPlaces({"1", "2", "3", "4", "5"});
        OpenCertificates();
        const QStringList before = QDir(m_program.Folder().Path()).entryList({"*.pdf"});
        m_pp->Button1->click(); // no answer queued: cancelled
        QCOMPARE(m_program.Platform().saveRequests.size(), 1);
        QCOMPARE(QDir(m_program.Folder().Path()).entryList({"*.pdf"}), before);
        QVERIFY(m_pp->Notice->text().isEmpty());
    }

    // No printer installed, and the print dialog chose "In PDF-Datei
    // drucken" with a file and a paper: "Drucken" writes that file on that
    // paper without asking again.
    void fileAndPaperOfThePrintDialog_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("size");
        QTest::newRow("A5 Hoch") << 0 << "420 x 595 pts (A5)";
        QTest::newRow("A5 Quer") << 1 << "595 x 420 pts (A5)";
    }
    void fileAndPaperOfThePrintDialog()
    {
        QFETCH(int, orientation);
        QFETCH(QString, size);
        const QString pdf = m_program.Folder().FilePath("Gewaehlt.pdf");
        QFile::remove(pdf);
        m_program.Platform().printDialogChoice = [&](QPrinter *printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            printer->setPageSize(QPageSize(QPageSize::A5));
            printer->setPageOrientation(OrientationOf(orientation));
        };
        SetPlaces({"1", "2", "", "", ""});
        PlaceEntries();
        OpenCertificates();
        QCOMPARE(m_pp->cbOri->currentIndex(), orientation);
        m_pp->Button1->click();
        QVERIFY(m_program.Platform().saveRequests.isEmpty());
        QCOMPARE(m_pp->Notice->text(),
                 "2 Seite(n) gespeichert in " + QDir::toNativeSeparators(pdf));
        const QString info = PdfInfo(pdf);
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\\n")), qPrintable(info));
        QVERIFY2(
            info.contains(QRegularExpression("Page size:\\s+" + QRegularExpression::escape(size))),
            qPrintable(info));
        // The layout's places hold on the sheet chosen.
        const QRectF place = LineBox(PdfPageWords(PdfWords(pdf), 1), 30);
        QVERIFY2(qAbs(place.left() - 20) <= 0.5, qPrintable(QString::number(place.left())));
    }

    // At half of a 1280 pixel screen a notice naming a file in a deep
    // folder is shown whole, on more lines, not cut at the window's edge.
    void longNoticeShownWhole()
    {
        const QString folder = m_program.Folder().FilePath(
            "Urkunden der Jugendfeuerwehr Oberhausen vom Bergpreis am Sonntag");
        QVERIFY(QDir().mkpath(folder));
        SetPlaces({"1", "2", "", "", ""});
        OpenCertificates();
        m_pp->resize(640, 800);
        m_program.Platform().saveAnswers.enqueue({true, folder + "/Urkunden Bergpreis.pdf", 1});
        m_pp->Button1->click();
        QTest::qWait(0);
        const QLabel *notice = m_pp->Notice;
        QVERIFY(notice->text().endsWith("Urkunden Bergpreis.pdf"));
        QVERIFY(notice->fontMetrics().horizontalAdvance(notice->text()) > 640);
        QVERIFY(notice->geometry().right() < 640);
        QVERIFY2(notice->height() >= notice->heightForWidth(notice->width()),
                 qPrintable(QString::number(notice->height())));
        QCOMPARE(notice->toolTip(), notice->text());
    }

    // A printer is installed and its dialog chose "print to file": the
    // pages go there without another question, one per certificate.
    void printersOwnFileChoice()
    {
        m_program.Platform().printerInstalled = true;
        const QString pdf = m_program.Folder().FilePath("Drucker.pdf");
        m_form->Printer.setOutputFileName(pdf);
        SetPlaces({"1", "2", "", "", ""});
        PlaceEntries();
        OpenCertificates();
        QList<int> progress;
        connect(m_pp->PrintPreview1, &TPrintPreview::OnPrintProgress,
                [&](TPrintPreview *, int, int percent, bool &) {
                    progress << percent;
                    QVERIFY(!m_pp->Button1->isEnabled() && !m_pp->cbOri->isEnabled());
                });
        m_pp->Button1->click();
        QVERIFY(m_program.Platform().saveRequests.isEmpty());
        QCOMPARE(progress, QList<int>({0, 50, 50, 100}));
        QVERIFY(m_pp->Button1->isEnabled() && m_pp->cbOri->isEnabled());
        QCOMPARE(m_pp->Notice->text(),
                 "2 Seite(n) gespeichert in " + QDir::toNativeSeparators(pdf));
        QVERIFY(PdfInfo(pdf).contains(QRegularExpression("Pages:\\s+2\\n")));
        const QRectF place = LineBox(PdfPageWords(PdfWords(pdf), 1), 30);
        QVERIFY2(qAbs(place.left() - 20) <= 0.5, qPrintable(QString::number(place.left())));
    }
};

QTEST_MAIN(TestFPP)
#include "tst_FPP.moc"
