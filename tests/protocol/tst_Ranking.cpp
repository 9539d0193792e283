// Sort order of the result columns and the per-class ranking.
#include "protocol/Ranking.h"
#include "protocol/ResultText.h"
#include "text/NumericText.h"

#include <QtTest>

#include <numeric>
#include <random>

namespace {

// Rows are written as "Nr:Klasse:Total:Platz" (totals hold a comma).
ProtocolTable TableOf(const QStringList &rows)
{
    ProtocolTable table;
    for (const QString &text : rows) {
        const QStringList parts = text.split(QLatin1Char(':'));
        ProtocolRow row;
        row[ColNr] = parts[0];
        row[ColKlasse] = parts[1];
        row[ColTotal] = parts[2];
        row[ColPlatz] = parts[3];
        table.push_back(row);
    }
    return table;
}

// "Nr:Platz" per row, in table order.
QStringList NumbersAndPlaces(const ProtocolTable &table)
{
    QStringList result;
    for (const ProtocolRow &row : table)
        result.append(row[ColNr] + QLatin1Char(':') + row[ColPlatz]);
    return result;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

class TestRanking : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void compareResultText_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("fewer seconds digits first") << "9,99"
                                                    << "10,00" << -1;
        QTest::newRow("hand-typed total by value") << "12,5"
                                                   << "9,99" << 1;
        QTest::newRow("12,5 and 12,50 tie") << "12,5"
                                            << "12,50" << 0;
        QTest::newRow("whole seconds") << "100"
                                       << "99,99" << 1;
        QTest::newRow("same length by value") << "12,35"
                                              << "12,34" << 1;
        QTest::newRow("a typo after every number") << "1O,00"
                                                   << "100,00" << 1;
        QTest::newRow("typos: shorter first") << "9,9x"
                                              << "1O,00" << -1;
        QTest::newRow("typos: same length by characters") << "1O,01"
                                                          << "1O,00" << 1;
        QTest::newRow("a long typo before empty") << "sehr langer Tippfehler"
                                                  << "" << -1;
        QTest::newRow("time before empty") << "1234567,89"
                                           << "" << -1;
        QTest::newRow("blank like empty") << " "
                                          << "AUS" << -1;
        QTest::newRow("empty before AUS") << ""
                                          << "AUS" << -1;
        QTest::newRow("AUS before DIS") << "AUS"
                                        << "DIS" << -1;
        QTest::newRow("DIS after a time") << "DIS"
                                          << "0,00" << 1;
        QTest::newRow("lower-case mark is text") << "aus"
                                                 << "AUS" << -1;
    }
    void compareResultText()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        QCOMPARE(Sign(CompareResultText(a, b)), sign);
        QCOMPARE(Sign(CompareResultText(b, a)), -sign);
    }

    void rankProtocol_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("ranked");
        QTest::newRow("ties share a place, per class")
            << QStringList{"1:2:13,00:", "2:1:12,34:", "3:2:12,34:",
                           "4:1:13,00:", "5:1:12,34:", "6:2:12,34:"}
            << QStringList{"2:1", "5:1", "4:3", "3:1", "6:1", "1:3"};
        QTest::newRow("9,99 before 10,00")
            << QStringList{"1:1:10,00:", "2:1:9,99:"} << QStringList{"2:1", "1:2"};
        QTest::newRow("1, 2, 2, 4")
            << QStringList{"1:1:20,00:", "2:1:30,00:", "3:1:20,00:", "4:1:10,00:"}
            << QStringList{"4:1", "1:2", "3:2", "2:4"};
        QTest::newRow("rows without a place after the times")
            << QStringList{"1:1:DIS:DIS", "2:1:AUS:AUS", "3:1::", "4:1:15,00:", "5:1:14,00:"}
            << QStringList{"5:1", "4:2", "3:", "2:AUS", "1:DIS"};
        QTest::newRow("stale place cleared")
            << QStringList{"1:1::1", "2:1: :2", "3:1:11,00:3"} << QStringList{"3:1", "1:", "2:"};
        QTest::newRow("classes by value") << QStringList{"1:10:11,00:", "2:2:12,00:", "3: :13,00:"}
                                          << QStringList{"3:1", "2:1", "1:1"};
        QTest::newRow("previous order among equals")
            << QStringList{"3:1::", "1:1::", "2:1::"} << QStringList{"3:", "1:", "2:"};
        QTest::newRow("01 and 1 are one class")
            << QStringList{"1:1:10,00:", "2:01:11,00:", "3:1:12,00:"}
            << QStringList{"1:1", "2:2", "3:3"};
        QTest::newRow("class names that are no number stay in one block")
            << QStringList{"1:2:12,00:",  "2:1a:13,00:", "3:10:11,00:", "4:2:11,00:", "5:1a:12,00:",
                           "6:10:14,00:", "7:9:10,00:",  "8:1a:11,00:", "9:2:13,00:"}
            << QStringList{"4:1", "1:2", "9:3", "7:1", "3:1", "6:2", "8:1", "5:2", "2:3"};
        QTest::newRow("blank and dash before numbers, U12 and Mini after")
            << QStringList{"1:U12:9,00:", "2:Mini:9,00:", "3:-:9,00:", "4: :9,00:", "5:3:9,00:"}
            << QStringList{"4:1", "3:1", "5:1", "2:1", "1:1"};
        QTest::newRow("hand-typed totals by value, 12,5 and 12,50 share")
            << QStringList{"1:1:12,5:",  "2:1:9,99:",   "3:1:12,50:", "4:1:100,00:",
                           "5:1:1O,00:", "6:1:DIS:DIS", "7:1::",      "8:1:AUS:AUS"}
            << QStringList{"2:1", "1:2", "3:2", "4:4", "5:5", "7:", "8:AUS", "6:DIS"};
        QTest::newRow("empty protocol") << QStringList{} << QStringList{};
    }
    void rankProtocol()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, ranked);
        ProtocolTable table = TableOf(rows);
        const ProtocolTable before = table;
        const std::vector<std::size_t> previousIndex = RankProtocol(table);
        QCOMPARE(NumbersAndPlaces(table), ranked);
        // Each row says where it stood.
        QCOMPARE(previousIndex.size(), before.size());
        for (std::size_t i = 0; i < previousIndex.size(); ++i)
            QCOMPARE(table[i][ColNr], before[previousIndex[i]][ColNr]);
    }

    // Against a plain stable sort by class, then total, over random rows
    // that share their texts the way a loaded list's classes do, many of
    // them equal in both, so that the order among equals shows.
    void rankingIsTheClassThenTotalOrder()
    {
        const QStringList classes{"1", "01", "2", "10", "1a", " ", ""};
        const QStringList totals{"", " ", "12,5", "12,50", "9,99", "100,00", "DIS", "AUS", "1O,00"};
        const auto compareClasses = [](const QString &a, const QString &b) {
            return CompareNumericTextKeys(NumericTextKeyOf(a), a, NumericTextKeyOf(b), b);
        };
        std::mt19937 random(5);
        for (int round = 0; round < 20; ++round) {
            ProtocolTable table;
            for (int i = 0; i < 200; ++i) {
                ProtocolRow row;
                row[ColNr] = QString::number(i);
                row[ColKlasse] = classes[qsizetype(random() % classes.size())];
                row[ColTotal] = totals[qsizetype(random() % totals.size())];
                table.push_back(row);
            }
            std::vector<std::size_t> expected(table.size());
            std::iota(expected.begin(), expected.end(), std::size_t(0));
            std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
                const int byClass = compareClasses(table[a][ColKlasse], table[b][ColKlasse]);
                if (byClass != 0)
                    return byClass < 0;
                return CompareResultText(table[a][ColTotal], table[b][ColTotal]) < 0;
            });
            QCOMPARE(RankProtocol(table), expected);
        }
    }

    void rankingKeepsOtherCells()
    {
        ProtocolTable table = TableOf({"1:1:12,00:", "2:1:11,00:"});
        table[0][ColTeamName] = QStringLiteral("Die Blitze");
        table[0][ColZeit] = QStringLiteral("12,00");
        RankProtocol(table);
        QCOMPARE(table[1][ColTeamName], QStringLiteral("Die Blitze"));
        QCOMPARE(table[1][ColZeit], QStringLiteral("12,00"));
        QCOMPARE(table[1][ColPlatz], QStringLiteral("2"));
    }
};

QTEST_MAIN(TestRanking)
#include "tst_Ranking.moc"
