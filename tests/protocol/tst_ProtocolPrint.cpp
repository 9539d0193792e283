// The printed protocol: every row on exactly one page, the header row and
// the page heading (event and day) on every page, nothing cut off at a page
// break, read back from the PDF.
#include "PdfReadBack.h"
#include "ProtocolCells.h"
#include "protocol/ProtocolPrint.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

CellRows Protocol(int teams)
{
    CellRows rows{ProtocolHeaders()};
    for (int team = 1; team <= teams; ++team)
        rows << RowTexts({{ColNr, QString::number(team)},
                          {ColTeamName, QStringLiteral("Rennteam%1x").arg(team)},
                          {ColKlasse, "A"},
                          {ColFahrer, "Jörg"},
                          {ColZeit, "12,34"},
                          {ColStrafzeit, "0,00"},
                          {ColTotal, "12,34"},
                          {ColPlatz, QString::number(team)}});
    return rows;
}

} // namespace

class TestProtocolPrint : public QObject
{
    Q_OBJECT

private slots:
    void everyRowOnceAndTheHeaderOnEveryPage_data()
    {
        QTest::addColumn<int>("teams");
        QTest::newRow("header only") << 0;
        QTest::newRow("one team") << 1;
        QTest::newRow("several pages") << 130;
    }
    void everyRowOnceAndTheHeaderOnEveryPage()
    {
        QFETCH(int, teams);
        const QDate day(2026, 5, 17);
        const QString text =
            PdfText(ProtocolPagePdf(Protocol(teams), {"Bergrennen", "Pfingstpokal", day}));
        QVERIFY(!text.isEmpty());
        QStringList pages = text.split(QLatin1Char('\f'));
        if (pages.last().trimmed().isEmpty())
            pages.removeLast();
        QCOMPARE(text.count("Bergrennen Zeitenprotokoll"), 1);
        QVERIFY(pages.first().contains("Bergrennen Zeitenprotokoll"));
        for (int page = 0; page < pages.size(); ++page) {
            QVERIFY2(pages[page].contains("TeamName"), qPrintable(QString::number(page)));
            QVERIFY(pages[page].contains("Pfingstpokal"));
            QVERIFY(pages[page].contains(QLocale().toString(day, QLocale::ShortFormat)));
            QVERIFY(pages[page].contains(
                QStringLiteral("Seite %1 von %2").arg(page + 1).arg(pages.size())));
        }
        for (int team = 1; team <= teams; ++team)
            QCOMPARE(text.count(QStringLiteral("Rennteam%1x").arg(team)), 1);
        QCOMPARE(pages.size() > 1, teams > 100);
    }

    // A table wider than the page is narrowed, never drawn past the edge.
    void wideTextsStayOnThePage()
    {
        CellRows rows = Protocol(1);
        rows[1][ColTeamName] = QString(400, QLatin1Char('W'));
        const QString text = PdfText(ProtocolPagePdf(rows, {"Bergrennen", "", {}}));
        QVERIFY(text.contains("Jörg"));
        QVERIFY(text.contains("12,34"));
        QVERIFY(!text.contains(QString(400, QLatin1Char('W'))));
    }
};

QTEST_MAIN(TestProtocolPrint)
#include "tst_ProtocolPrint.moc"
