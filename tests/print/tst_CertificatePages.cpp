// Which protocol rows get a certificate and what each certificate draws:
// the rows chosen by place and range, the texts made from the race data and
// kept in the layout, and where each line lands on the page.
#include "print/CertificatePages.h"
#include "settings/CertificateLayout.h"

#include <QDate>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QtTest>

namespace {

ProtocolTable TableWithPlaces(const QStringList &places)
{
    ProtocolTable table;
    for (int i = 0; i < places.size(); ++i) {
        ProtocolRow row;
        row[ColNr] = QString::number(i + 1);
        row[ColTeamName] = QStringLiteral("Team %1").arg(i + 1);
        row[ColKlasse] = QStringLiteral("K%1").arg(i + 1);
        row[ColFahrer] = QStringLiteral("Fahrer %1").arg(i + 1);
        row[ColTotal] = QStringLiteral("%1,00").arg(60 + i);
        row[ColPlatz] = places[i];
        table.push_back(row);
    }
    return table;
}

ProtocolRow SampleRow()
{
    ProtocolRow row = TableWithPlaces({"1"}).front();
    row[ColKlasse] = "A";
    row[ColBeifahrer1] = "Bert";
    row[ColBeifahrer2] = "";
    row[ColTotal] = "61,23";
    return row;
}

CertificateLayout DefaultLayout()
{
    CertificateLayout layout;
    layout.ApplyDefaults();
    return layout;
}

const CertificateLine *LineOf(const std::vector<CertificateLine> &lines, int entry)
{
    for (const CertificateLine &line : lines)
        if (line.entry == entry)
            return &line;
    return nullptr;
}

} // namespace

class TestCertificatePages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // --- which rows get a certificate ---

    void rowsWithAWholePlace_data()
    {
        QTest::addColumn<QStringList>("places");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<std::vector<int>>("expected");
        const QStringList mixed{"1", "", "2", "AUS", "3"};
        QTest::newRow("unplaced in the middle") << mixed << 1 << 5 << std::vector<int>{0, 2, 4};
        QTest::newRow("unplaced at the end")
            << QStringList{"1", "2", "3", "", "DIS"} << 1 << 5 << std::vector<int>{0, 1, 2};
        QTest::newRow("unplaced at the start")
            << QStringList{"", "AUS", "1", "2", "3"} << 1 << 5 << std::vector<int>{2, 3, 4};
        QTest::newRow("range 2..3 only")
            << QStringList{"1", "2", "3", "4", "5"} << 2 << 3 << std::vector<int>{1, 2};
        QTest::newRow("range 2..3, one unplaced") << mixed << 2 << 3 << std::vector<int>{2};
        QTest::newRow("blanks around a place")
            << QStringList{" 4 ", "4,5", "x1"} << 1 << 3 << std::vector<int>{0};
        QTest::newRow("range past the table") << mixed << 4 << 9 << std::vector<int>{4};
        QTest::newRow("range before the table") << mixed << -3 << 1 << std::vector<int>{0};
        QTest::newRow("empty range") << mixed << 3 << 2 << std::vector<int>{};
        QTest::newRow("nothing placed")
            << QStringList{"", "AUS", "DIS"} << 1 << 3 << std::vector<int>{};
    }
    void rowsWithAWholePlace()
    {
        QFETCH(QStringList, places);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(std::vector<int>, expected);
        QCOMPARE(CertificateRows(TableWithPlaces(places), first, last), expected);
    }

    // --- the texts ---

    void entryTexts_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("expected");
        QTest::newRow("place") << 0 << "1";
        QTest::newRow("team") << 1 << "Team 1";
        QTest::newRow("class") << 2 << "Klasse: A";
        QTest::newRow("driver") << 3 << "Fahrer 1";
        QTest::newRow("co-driver 1") << 4 << "Bert";
        QTest::newRow("empty co-driver 2") << 5 << "";
        QTest::newRow("total") << 6 << "61,23 sek.";
        QTest::newRow("event") << 7 << "Bergrennen";
        QTest::newRow("date") << 8 << "08.12.26";
    }
    void entryTexts()
    {
        QFETCH(int, entry);
        QFETCH(QString, expected);
        CertificateLayout layout = DefaultLayout();
        layout.Entries[8].On = 1;
        const auto lines = CertificateLines(layout, SampleRow(), "Bergrennen", QDate(2026, 12, 8));
        const CertificateLine *line = LineOf(lines, entry);
        QVERIFY(line);
        QCOMPARE(line->text, expected);
        QCOMPARE(layout.Entries[entry].Text, expected);
    }

    void onlyEntriesThatAreOnInEntryOrder()
    {
        CertificateLayout layout = DefaultLayout();
        for (LayoutEntry &entry : layout.Entries)
            entry.On = 0;
        layout.Entries[12].On = 1;
        layout.Entries[12].SetText("Herzlichen Glückwunsch");
        layout.Entries[3].On = 7; // any value but 0 means on
        const auto lines = CertificateLines(layout, SampleRow(), "", QDate(2026, 12, 8));
        QCOMPARE(lines.size(), std::size_t(2));
        QCOMPARE(lines[0].entry, 3);
        QCOMPARE(lines[1].entry, 12);
        QCOMPARE(lines[1].text, QString("Herzlichen Glückwunsch"));
        QCOMPARE(layout.Entries[0].Text, QString()); // off: left alone
    }

    void layoutKeepsTheLastCertificatesTexts()
    {
        CertificateLayout layout = DefaultLayout();
        layout.Entries[8].On = 1;
        const ProtocolTable table = TableWithPlaces({"1", "2"});
        for (const ProtocolRow &row : table)
            CertificateLines(layout, row, "Lauf", QDate(2026, 12, 8));
        const QStringList expected{"2", "Team 2",     "Klasse: K2", "Fahrer 2", "",
                                   "",  "61,00 sek.", "Lauf",       "08.12.26"};
        for (int entry = 0; entry < expected.size(); ++entry)
            QCOMPARE(layout.Entries[entry].Text, expected[entry]);
    }

    void longTextsAreCutTo255()
    {
        CertificateLayout layout = DefaultLayout();
        ProtocolRow row = SampleRow();
        row[ColTeamName] = QString(300, 'x');
        const auto lines = CertificateLines(layout, row, "", QDate(2026, 12, 8));
        QCOMPARE(LineOf(lines, 1)->text.size(), 255);
        QCOMPARE(layout.Entries[1].Text.size(), 255);
    }

    // --- fonts and places ---

    void placesInTenthsOfAMillimetre_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<double>("widthShare"); // of the text width taken off Left
        QTest::newRow("left") << int(laLeft) << 30 << 16 << 0.0;
        QTest::newRow("centred") << int(laCenter) << 105 << 50 << 0.5;
        QTest::newRow("right") << int(laRight) << 180 << 200 << 1.0;
        QTest::newRow("unknown alignment is left") << 9 << 40 << 0 << 0.0;
    }
    void placesInTenthsOfAMillimetre()
    {
        QFETCH(int, alignment);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(double, widthShare);
        CertificateLayout layout = DefaultLayout();
        LayoutEntry &entry = layout.Entries[1];
        entry.Alignment = std::uint8_t(alignment);
        entry.Left = left;
        entry.Top = top;
        entry.FontSize = 20;
        const auto lines = CertificateLines(layout, SampleRow(), "", QDate(2026, 12, 8));
        const CertificateLine *line = LineOf(lines, 1);
        const double width = QFontMetricsF(line->font).horizontalAdvance("Team 1");
        QVERIFY(width > 100); // a 20 point name is over 1 cm wide
        QVERIFY(qAbs(line->topLeft.x() - (left * 10 - widthShare * width)) <= 1.0);
        QCOMPARE(line->topLeft.y(), top * 10);
        QCOMPARE(line->font.pixelSize(), PageEmHeight(PageCanvasPointSize(20)));
        QCOMPARE(line->font.bold(), true);
    }

    void colourAndStyleOfTheEntry()
    {
        CertificateLayout layout = DefaultLayout();
        LayoutEntry &entry = layout.Entries[0];
        entry.FontColor = 0x000000FF; // red in the record's order
        entry.FontStyle = lfItalic | lfUnderline;
        const CertificateLine *line =
            LineOf(CertificateLines(layout, SampleRow(), "", QDate(2026, 12, 8)), 0);
        QCOMPARE(line->color, QColor(255, 0, 0));
        QVERIFY(!line->font.bold());
        QVERIFY(line->font.italic());
        QVERIFY(line->font.underline());
    }

    // --- drawing ---

    // The ink of a line starts at its place: below the top of the text cell,
    // right of its left edge, never above or left of it.
    void drawsEachLineBelowAndRightOfItsCorner()
    {
        CertificateLayout layout = DefaultLayout();
        for (LayoutEntry &entry : layout.Entries)
            entry.On = 0;
        LayoutEntry &entry = layout.Entries[1];
        entry.On = 1;
        entry.Left = 20;
        entry.Top = 30;
        entry.FontColor = 0;
        QImage page(2100, 2970, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter canvas(&page);
            DrawCertificate(canvas, CertificateLines(layout, SampleRow(), "", QDate()));
        }
        QRect ink;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        QVERIFY(ink.left() >= 200 && ink.left() < 215);
        QVERIFY(ink.top() >= 300 && ink.top() < 320);
        QVERIFY(ink.bottom() < 300 + PageEmHeight(PageCanvasPointSize(entry.FontSize)));
    }
};

QTEST_MAIN(TestCertificatePages)
#include "tst_CertificatePages.moc"
