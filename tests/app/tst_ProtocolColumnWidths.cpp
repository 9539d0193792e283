// Widths of the protocol columns: the designed widths as the least, name
// columns widened to their texts only where the window has room, and the
// team name column taking the rest.
#include "app/ProtocolColumnWidths.h"

#include <QtTest>

#include <numeric>

using Widths = ProtocolColumnWidthList;
Q_DECLARE_METATYPE(Widths)

class TestProtocolColumnWidths : public QObject
{
    Q_OBJECT
private slots:
    void widths_data()
    {
        QTest::addColumn<Widths>("texts");
        QTest::addColumn<int>("client");
        QTest::addColumn<Widths>("expected");
        QTest::newRow("no texts: the designed widths")
            << Widths{} << 900 << Widths{47, 290, 40, 90, 90, 90, 60, 77, 60, 46};
        QTest::newRow("short texts never narrow a column")
            << Widths{5, 5, 5, 5, 5, 5, 5, 5, 5, 5} << 900
            << Widths{47, 290, 40, 90, 90, 90, 60, 77, 60, 46};
        QTest::newRow("long names and class widened, team name keeps the rest")
            << Widths{0, 120, 60, 130, 100, 0, 0, 0, 0, 0} << 900
            << Widths{47, 220, 60, 130, 100, 90, 60, 77, 60, 46};
        QTest::newRow("room runs out: the first columns get it")
            << Widths{0, 150, 70, 200, 200, 200, 0, 0, 0, 0} << 900
            << Widths{47, 150, 70, 200, 90, 90, 60, 77, 60, 46};
        QTest::newRow("no room at all: designed widths, team name at least 40")
            << Widths{0, 300, 70, 200, 0, 0, 0, 0, 0, 0} << 500
            << Widths{47, 40, 40, 90, 90, 90, 60, 77, 60, 46};
        QTest::newRow("result columns are never widened")
            << Widths{0, 0, 0, 0, 0, 0, 200, 200, 200, 200} << 900
            << Widths{47, 290, 40, 90, 90, 90, 60, 77, 60, 46};
    }
    void widths()
    {
        QFETCH(Widths, texts);
        QFETCH(int, client);
        QFETCH(Widths, expected);
        const Widths widths = ProtocolColumnWidths(texts, client);
        QCOMPARE(widths, expected);
        // Whenever the team name is above its least width the columns fill the client width.
        if (widths[1] > 40)
            QCOMPARE(std::accumulate(widths.begin(), widths.end(), 0) + 10, client);
    }
};

QTEST_APPLESS_MAIN(TestProtocolColumnWidths)
#include "tst_ProtocolColumnWidths.moc"
