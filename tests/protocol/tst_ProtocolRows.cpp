// Finding a lane's team row and the result cells written into it.
#include "protocol/Penalties.h"

#include <QtTest>

namespace {

ProtocolRow TeamRow(const QString &number, const QString &name, const QString &klasse)
{
    ProtocolRow row;
    row[ColNr] = number;
    row[ColTeamName] = name;
    row[ColKlasse] = klasse;
    return row;
}

QStringList ResultCells(const ProtocolRow &row)
{
    return {row[ColZeit], row[ColStrafzeit], row[ColTotal], row[ColPlatz]};
}

} // namespace

class TestProtocolRows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The selector item carries the cells as they stand, blanks included.
    void selectorItemText_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("selectorText");
        QTest::newRow("plain number") << "12"
                                      << "12 Blitz 3";
        QTest::newRow("leading zero") << "07"
                                      << "07 Blitz 3";
        QTest::newRow("blanks around the number") << " 7 "
                                                  << " 7  Blitz 3";
        QTest::newRow("blank start number") << " "
                                            << "  Blitz 3";
    }
    void selectorItemText()
    {
        QFETCH(QString, number);
        QCOMPARE(LaneSelectorText(TeamRow("3", "Eins", "1")), QStringLiteral("3 Eins 1"));
        QTEST(LaneSelectorText(TeamRow(number, "Blitz", "3")), "selectorText");
    }

    void penaltiesAndMarks_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("cells");
        // Every run starts with the lane stopped at 83 459 ms.
        QTest::newRow("stop only") << QStringList{} << QStringList{"83,45", "0,00", "83,45", ""};
        QTest::newRow("S15") << QStringList{"15"} << QStringList{"83,45", "15,00", "98,45", ""};
        QTest::newRow("S15 then S30 replaces")
            << QStringList{"15", "30"} << QStringList{"83,45", "30,00", "113,45", ""};
        QTest::newRow("S30 twice as once")
            << QStringList{"30", "30"} << QStringList{"83,45", "30,00", "113,45", ""};
        QTest::newRow("DIS") << QStringList{"DIS"} << QStringList{"DIS", "DIS", "DIS", "DIS"};
        QTest::newRow("AUS") << QStringList{"AUS"} << QStringList{"AUS", "AUS", "AUS", "AUS"};
        QTest::newRow("DIS then S15")
            << QStringList{"DIS", "15"} << QStringList{"DIS", "15,00", "98,45", "DIS"};
    }
    void penaltiesAndMarks()
    {
        QFETCH(QStringList, actions);
        QFETCH(QStringList, cells);
        const std::uint32_t elapsed = 83459;
        ProtocolRow row = TeamRow("7", "Blitz", "1");
        WriteLaneTime(row, QStringLiteral("83,45"));
        for (const QString &action : actions) {
            bool isPenalty = false;
            const int seconds = action.toInt(&isPenalty);
            if (isPenalty)
                WritePenalty(row, elapsed, seconds);
            else
                WriteResultMark(row, action);
        }
        QCOMPARE(ResultCells(row), cells);
        QCOMPARE(row[ColNr], QStringLiteral("7"));
    }

    void penaltyButtons_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("lane");
        QTest::addColumn<int>("seconds");
        QTest::newRow("S15 lane 1") << -15 << 1 << 15;
        QTest::newRow("S30 lane 1") << -30 << 1 << 30;
        QTest::newRow("S15 lane 2") << 15 << 2 << 15;
        QTest::newRow("S30 lane 2") << 30 << 2 << 30;
    }
    void penaltyButtons()
    {
        QFETCH(int, number);
        QFETCH(int, lane);
        QFETCH(int, seconds);
        const PenaltyButton button = DecodePenaltyButton(number);
        QCOMPARE(button.lane, lane);
        QCOMPARE(button.seconds, seconds);
    }

    void laneWithoutTeamHasNoRow_data()
    {
        QTest::addColumn<int>("itemIndex");
        QTest::addColumn<int>("row");
        QTest::newRow("no selection") << -1 << -1;
        QTest::newRow("first team") << 0 << 0;
        QTest::newRow("last team") << 1 << 1;
        QTest::newRow("beyond the table") << 2 << -1;
    }
    void laneWithoutTeamHasNoRow()
    {
        QFETCH(int, itemIndex);
        QFETCH(int, row);
        const ProtocolTable table = {TeamRow("1", "A", "1"), TeamRow("2", "B", "1")};
        QCOMPARE(RowOfSelectorItem(itemIndex, table).value_or(-1), row);
    }
};

QTEST_MAIN(TestProtocolRows)
#include "tst_ProtocolRows.moc"
