// The grid's sort rules without a widget: styles, locale numbers, case,
// direction with stable ties, key lists and style detection.
#include "widgets/SortCompare.h"

#include <QtTest>
#include <random>

using Order = std::vector<int>;
Q_DECLARE_METATYPE(Order)
Q_DECLARE_METATYPE(TSortStyle)
Q_DECLARE_METATYPE(TSortDirection)

class TestSortCompare : public QObject
{
    Q_OBJECT
private slots:
    void sortPass_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<TSortStyle>("style");
        QTest::addColumn<TSortDirection>("direction");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Order>("expected"); // positions of the keys in sorted order

        QTest::newRow("numeric beats text order") << QStringList{"10", "9", "2"} << ssNumeric
                                                  << sdAscending << true << "C" << Order{2, 1, 0};
        QTest::newRow("numeric: DIS after the numbers")
            << QStringList{"10", "DIS", "9", "2"} << ssNumeric << sdAscending << true << "C"
            << Order{3, 2, 0, 1};
        QTest::newRow("numeric: class names in blocks, 1 and 01 tie")
            << QStringList{"2", "1a", "10", "01", "U12", "-", "1", "1a"} << ssNumeric << sdAscending
            << true << "C" << Order{5, 3, 6, 0, 2, 1, 7, 4};
        QTest::newRow("numeric descending: names first, ties keep their order")
            << QStringList{"1a", "2", "-", "10", "1"} << ssNumeric << sdDescending << true << "C"
            << Order{0, 3, 1, 4, 2};
        QTest::newRow("decimal comma of the locale")
            << QStringList{"10,25", "1,5", "2"} << ssNumeric << sdAscending << true << "de_DE"
            << Order{1, 2, 0};
        QTest::newRow("decimal comma is no number in C: texts after 2")
            << QStringList{"10,25", "1,5", "2"} << ssNumeric << sdAscending << true << "C"
            << Order{2, 1, 0};
        QTest::newRow("group separator is not accepted")
            << QStringList{"1.500", "20"} << ssNumeric << sdAscending << true << "de_DE"
            << Order{1, 0};
        QTest::newRow("descending keeps ties in previous order")
            << QStringList{"a", "b", "a", "b"} << ssNormal << sdDescending << true << "C"
            << Order{1, 3, 0, 2};
        QTest::newRow("case-insensitive ties keep order")
            << QStringList{"b", "A", "a", "B"} << ssNormal << sdAscending << false << "C"
            << Order{1, 2, 0, 3};
        QTest::newRow("case-sensitive: upper before lower")
            << QStringList{"b", "A", "a", "B"} << ssNormal << sdAscending << true << "C"
            << Order{1, 3, 2, 0};
        QTest::newRow("umlauts by code, after z")
            << QStringList{"\u00c4rger", "Zorn", "Abend"} << ssNormal << sdAscending << true
            << "de_DE" << Order{2, 1, 0};
        QTest::newRow("custom without compare is ordinal")
            << QStringList{"b", "a"} << ssCustom << sdAscending << true << "C" << Order{1, 0};
        QTest::newRow("times") << QStringList{"10:05", "9:30", "23:59"} << ssTime << sdAscending
                               << true << "de_DE" << Order{1, 0, 2};
        QTest::newRow("extended numbers with separators")
            << QStringList{"1.2.10", "1.2.9", "1.2.1"} << ssNumericExtended << sdAscending << true
            << "C" << Order{2, 1, 0};
    }
    void sortPass()
    {
        QFETCH(QStringList, keys);
        QFETCH(TSortStyle, style);
        QFETCH(TSortDirection, direction);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, locale);
        QFETCH(Order, expected);
        Order order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        QCOMPARE(SortPass(order, keys, style, direction, caseSensitive, {}, QLocale(locale)),
                 expected);
    }

    // Plain text keys sort by their characters as QString::compare orders
    // them, whatever their length, ties in their previous order: texts that
    // begin alike, that begin one another, that hold a null character or
    // characters beyond the first 256.
    // Against QString::compare over random texts, also where every text
    // begins with the same characters (the sort looks past them), one of
    // them nothing but those.
    void plainTextOrderIsTheCharacterOrder_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("longest");
        QTest::newRow("short texts") << QString() << 8;
        QTest::newRow("past four characters") << QString() << 14;
        QTest::newRow("a shared prefix") << QStringLiteral("Team ") << 12;
        QTest::newRow("a shared prefix with a null") << QStringLiteral("a\0") << 3;
    }
    void plainTextOrderIsTheCharacterOrder()
    {
        QFETCH(QString, prefix);
        QFETCH(int, longest);
        const QList<QChar> characters{u'a',        u'b',          u'A',         QChar(0),
                                      QChar(0xe4), QChar(0xffff), QChar(0xd83d)};
        std::mt19937 random(11);
        QStringList keys;
        Order order;
        for (int i = 0; i < 600; ++i) {
            QString key = prefix;
            for (int length = int(random() % longest); length > 0; --length)
                key += characters[int(random() % characters.size())];
            keys << key;
            order.push_back(i);
        }
        for (TSortDirection direction : {sdAscending, sdDescending}) {
            Order expected = order;
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                const int result = QString::compare(keys[a], keys[b]);
                return direction == sdDescending ? result > 0 : result < 0;
            });
            QCOMPARE(SortPass(order, keys, ssNormal, direction, true, {}), expected);
        }
    }

    void sortPassUsesCustomCompareOnOriginalRows()
    {
        // Reverse length order through the caller's comparison; order holds row numbers.
        const TSortCompare byLength = [](const QString &a, const QString &b) {
            return int(b.size() - a.size());
        };
        QCOMPARE(SortPass({5, 7, 9}, {"a", "ccc", "bb"}, ssCustom, sdAscending, true, byLength),
                 (Order{7, 9, 5}));
    }

    // The caller's comparison runs on the distinct texts, not once per pair
    // of rows compared; rows whose texts it calls equal keep their order.
    void customCompareRunsOnDistinctTexts()
    {
        const QStringList texts{"bb", "a", "cc", "ccc", "a"};
        QStringList keys;
        Order order;
        for (int i = 0; i < 1000; ++i) {
            keys << texts[i % texts.size()];
            order.push_back(i);
        }
        for (TSortDirection direction : {sdAscending, sdDescending}) {
            int calls = 0;
            const TSortCompare byLength = [&calls](const QString &a, const QString &b) {
                ++calls;
                return int(a.size() - b.size());
            };
            const Order sorted = SortPass(order, keys, ssCustom, direction, true, byLength);
            QVERIFY2(calls < 20, qPrintable(QString::number(calls)));
            Order expected;
            const std::vector<qsizetype> lengths = direction == sdAscending
                                                       ? std::vector<qsizetype>{1, 2, 3}
                                                       : std::vector<qsizetype>{3, 2, 1};
            for (qsizetype length : lengths) {
                for (int i : order) {
                    if (keys[i].size() == length)
                        expected.push_back(i);
                }
            }
            QCOMPARE(sorted, expected);
        }
    }

    void inconsistentCustomCompareStaysInRange()
    {
        // A comparison that is no order at all must not crash the sort.
        QStringList keys;
        Order order;
        for (int i = 0; i < 2000; ++i) {
            keys << QString::number(i % 17);
            order.push_back(i);
        }
        const TSortCompare noise = [](const QString &a, const QString &b) {
            return (a.size() + b.size()) % 3 - 1;
        };
        Order sorted = SortPass(order, keys, ssCustom, sdAscending, true, noise);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, order);
    }

    void lowerAsciiOnly()
    {
        QCOMPARE(LowerAscii(QStringLiteral("\u00c4BC-Xy")), QStringLiteral("\u00c4bc-xy"));
    }

    void keyColumns_data()
    {
        QTest::addColumn<int>("sortCol");
        QTest::addColumn<QString>("secondary");
        QTest::addColumn<Order>("expected");
        QTest::newRow("protocol") << 2 << "8" << Order{2, 8};
        QTest::newRow("sort column listed is used once") << 8 << "8" << Order{8};
        QTest::newRow("sort column among others") << 2 << "3,2,1" << Order{2, 3, 1};
        QTest::newRow("blanks and junk") << 0 << " 3, x ,1" << Order{0, 3, 1};
        QTest::newRow("empty") << 4 << "" << Order{4};
    }
    void keyColumns()
    {
        QFETCH(int, sortCol);
        QFETCH(QString, secondary);
        QFETCH(Order, expected);
        QCOMPARE(SortKeyColumns(sortCol, secondary), expected);
    }

    void detectStyle_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<TSortStyle>("expected");
        QTest::newRow("numbers") << QStringList{"1", "2,5", "-3"} << ssNumeric;
        QTest::newRow("an empty cell spoils it") << QStringList{"1", ""} << ssNormal;
        QTest::newRow("dates") << QStringList{"01.02.24 10:00", "03.04.25 11:30"} << ssDateTime;
        QTest::newRow("times") << QStringList{"10:00", "9:15"} << ssTime;
        QTest::newRow("text") << QStringList{"1", "DIS"} << ssNormal;
    }
    void detectStyle()
    {
        QFETCH(QStringList, texts);
        QFETCH(TSortStyle, expected);
        QCOMPARE(DetectSortStyle(texts, QLocale(QStringLiteral("de_DE"))), expected);
    }

    void numericExtended_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("longer number") << "A10"
                                       << "A9" << 1;
        QTest::newRow("equal") << "A-1"
                               << "A-1" << 0;
        QTest::newRow("empty first") << ""
                                     << "1" << -1;
        QTest::newRow("text remainder falls back to ordinal") << "Ab"
                                                              << "Ac" << -1;
    }
    void numericExtended()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const int result = CompareNumericExtended(a, b);
        QCOMPARE((result > 0) - (result < 0), sign);
    }
};

QTEST_MAIN(TestSortCompare)
#include "tst_SortCompare.moc"
