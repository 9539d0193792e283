// Widths of the protocol columns: the designed widths as the least, name
// columns widened to their texts only where the window has room, and the
// team name column taking the rest.
#include "app/ProtocolColumnWidths.h"

#include <QtTest>

#include <numeric>

using Widths = ProtocolColumnWidthList;
Q_DECLARE_METATYPE(Widths)

namespace {

using NamedWidths = std::initializer_list<std::pair<ProtocolColumn, int>>;

// The named columns' widths, 0 for the others.
Widths Named(NamedWidths named, int others = 0)
{
    Widths widths;
    widths.fill(others);
    for (const auto &[column, width] : named)
        widths[column] = width;
    return widths;
}

// The columns' designed widths, the named ones changed.
Widths Designed(NamedWidths changed)
{
    Widths widths;
    for (int column = 0; column < ProtocolColumnCount; ++column)
        widths[column] = DescriptionOf(column).designedWidth;
    for (const auto &[column, width] : changed)
        widths[column] = width;
    return widths;
}

} // namespace

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
            << Widths{} << 900 << Designed({{ColTeamName, 290}});
        QTest::newRow("short texts never narrow a column")
            << Named({}, 5) << 900 << Designed({{ColTeamName, 290}});
        QTest::newRow("long names and class widened, team name keeps the rest")
            << Named({{ColTeamName, 120}, {ColKlasse, 60}, {ColFahrer, 130}, {ColBeifahrer1, 100}})
            << 900
            << Designed(
                   {{ColTeamName, 220}, {ColKlasse, 60}, {ColFahrer, 130}, {ColBeifahrer1, 100}});
        QTest::newRow("room runs out: the first columns get it")
            << Named({{ColTeamName, 150},
                      {ColKlasse, 70},
                      {ColFahrer, 200},
                      {ColBeifahrer1, 200},
                      {ColBeifahrer2, 200}})
            << 900 << Designed({{ColTeamName, 150}, {ColKlasse, 70}, {ColFahrer, 200}});
        QTest::newRow("no room at all: designed widths, team name at least 40")
            << Named({{ColTeamName, 300}, {ColKlasse, 70}, {ColFahrer, 200}}) << 500
            << Designed({{ColTeamName, 40}});
        QTest::newRow("result columns are never widened")
            << Named({{ColZeit, 200}, {ColStrafzeit, 200}, {ColTotal, 200}, {ColPlatz, 200}}) << 900
            << Designed({{ColTeamName, 290}});
    }
    void widths()
    {
        QFETCH(Widths, texts);
        QFETCH(int, client);
        QFETCH(Widths, expected);
        const Widths widths = ProtocolColumnWidths(texts, client);
        QCOMPARE(widths, expected);
        // Whenever the team name is above its least width the columns fill the client width.
        if (widths[ColTeamName] > 40)
            QCOMPARE(std::accumulate(widths.begin(), widths.end(), 0) + ProtocolColumnCount,
                     client);
    }
};

QTEST_APPLESS_MAIN(TestProtocolColumnWidths)
#include "tst_ProtocolColumnWidths.moc"
