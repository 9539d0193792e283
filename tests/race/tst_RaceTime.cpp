// Race time texts, the lane digits and tick differences.
#include "race/RaceTime.h"

#include <QtTest>

using Digits = std::array<int, 5>;
using Flags = std::array<bool, 5>;
Q_DECLARE_METATYPE(Digits)
Q_DECLARE_METATYPE(Flags)
Q_DECLARE_METATYPE(std::optional<quint32>)

class TestRaceTime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void timeTextAndDigits_data()
    {
        QTest::addColumn<quint32>("ms");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Digits>("digits");
        QTest::addColumn<Flags>("significant");
        const Flags allLit{true, true, true, true, true};
        const Flags firstDim{false, true, true, true, true};
        const Flags twoDim{false, false, true, true, true};
        QTest::newRow("zero") << 0u << "0,00" << Digits{0, 0, 0, 0, 0} << twoDim;
        QTest::newRow("below a hundredth") << 9u << "0,00" << Digits{0, 0, 0, 0, 0} << twoDim;
        QTest::newRow("truncated, not rounded")
            << 9999u << "9,99" << Digits{0, 0, 9, 9, 9} << twoDim;
        QTest::newRow("ten seconds") << 10000u << "10,00" << Digits{0, 1, 0, 0, 0} << firstDim;
        QTest::newRow("83 459 ms") << 83459u << "83,45" << Digits{0, 8, 3, 4, 5} << firstDim;
        QTest::newRow("hundred seconds") << 100000u << "100,00" << Digits{1, 0, 0, 0, 0} << allLit;
        QTest::newRow("hundreds digit overflows")
            << 1234500u << "1234,50" << Digits{12, 3, 4, 5, 0} << allLit;
        QTest::newRow("largest tick difference")
            << 4294967295u << "4294967,29" << Digits{42949, 6, 7, 2, 9} << allLit;
    }
    void timeTextAndDigits()
    {
        QFETCH(quint32, ms);
        QFETCH(QString, text);
        QFETCH(Digits, digits);
        QFETCH(Flags, significant);
        QCOMPARE(FormatRaceTime(ms), text);
        const LaneDigits lane = SplitLaneTime(ms);
        QCOMPARE(lane.values, digits);
        QCOMPARE(lane.significant, significant);
    }

    void separatorFollowsLocale()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString text = FormatRaceTime(83459);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(text, QStringLiteral("83.45"));
    }

    void elapsed_data()
    {
        QTest::addColumn<quint32>("start");
        QTest::addColumn<quint32>("now");
        QTest::addColumn<quint32>("elapsed");
        QTest::newRow("plain") << 1000u << 84459u << 83459u;
        QTest::newRow("tick wraps during the race") << 0xFFFFFF00u << 0x00000100u << 0x200u;
        QTest::newRow("stop at the start tick") << 0xFFFFFFFFu << 0xFFFFFFFFu << 0u;
    }
    void elapsed()
    {
        QFETCH(quint32, start);
        QFETCH(quint32, now);
        QFETCH(quint32, elapsed);
        QCOMPARE(ElapsedMs(start, now), elapsed);
    }

    // Handled at tick 5000 unless said otherwise.
    void pressTick_data()
    {
        QTest::addColumn<std::optional<quint32>>("stamp");
        QTest::addColumn<quint32>("now");
        QTest::addColumn<quint32>("tick");
        QTest::newRow("no stamp") << std::optional<quint32>() << 5000u << 5000u;
        QTest::newRow("pressed 300 ms before handling") << std::optional(4700u) << 5000u << 4700u;
        QTest::newRow("a second before") << std::optional(4000u) << 5000u << 4000u;
        QTest::newRow("more than a second before: another clock")
            << std::optional(3999u) << 5000u << 5000u;
        QTest::newRow("a little ahead of the tick") << std::optional(5004u) << 5000u << 5004u;
        QTest::newRow("more than a second ahead") << std::optional(6001u) << 5000u << 5000u;
        QTest::newRow("pressed before the tick wrapped")
            << std::optional(0xFFFFFF00u) << 0x100u << 0xFFFFFF00u;
        QTest::newRow("half the tick range away") << std::optional(0x80001388u) << 5000u << 5000u;
    }
    void pressTick()
    {
        QFETCH(std::optional<quint32>, stamp);
        QFETCH(quint32, now);
        QFETCH(quint32, tick);
        QCOMPARE(PressTick(stamp, now), tick);
    }
};

QTEST_MAIN(TestRaceTime)
#include "tst_RaceTime.moc"
