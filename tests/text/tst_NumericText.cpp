// Reading numbers from texts and the numeric order of mixed texts: the
// order must be total (no cycle such as 10 < 1a < 2 < 10), or a sort by
// class splits a class.
#include "text/NumericText.h"

#include <QtTest>

#include <algorithm>

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

int Compare(const QString &a, const QString &b)
{
    return CompareNumericTextKeys(NumericTextKeyOf(a), a, NumericTextKeyOf(b), b);
}

} // namespace

class TestNumericText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void readNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "10" << true << 10.0;
        QTest::newRow("leading zero") << "01" << true << 1.0;
        QTest::newRow("15 digits, exactly") << "123456789012345" << true << 123456789012345.0;
        QTest::newRow("16 digits") << "1234567890123456" << true << 1234567890123456.0;
        QTest::newRow("zeros only") << "000" << true << 0.0;
        QTest::newRow("locale decimal comma") << "12,5" << true << 12.5;
        QTest::newRow("blanks around") << " 7 " << true << 7.0;
        QTest::newRow("negative") << "-3" << true << -3.0;
        QTest::newRow("group separator refused") << "1.500" << false << 0.0;
        QTest::newRow("decimal point of another locale") << "9.99" << false << 0.0;
        QTest::newRow("letters after digits") << "1a" << false << 0.0;
        QTest::newRow("letters before digits") << "U12" << false << 0.0;
        QTest::newRow("nan is no number") << "nan" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("dash") << "-" << false << 0.0;
    }
    void readNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        const std::optional<double> read = ReadNumber(text);
        QCOMPARE(read.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(*read, value);
    }

    // Times, penalties and totals read alike whichever separator they were
    // written with, under every locale; a group separator never passes.
    void readRaceNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << "30,00" << true << 30.0;
        QTest::newRow("point") << "3.12" << true << 3.12;
        QTest::newRow("whole seconds") << "1234" << true << 1234.0;
        QTest::newRow("blanks and sign") << " -2,5 " << true << -2.5;
        QTest::newRow("plus sign") << "+7.5" << true << 7.5;
        QTest::newRow("no digits before the separator") << ",5" << true << 0.5;
        QTest::newRow("one separator is always decimal") << "1,234" << true << 1.234;
        QTest::newRow("group and decimal separator") << "1.234,5" << false << 0.0;
        QTest::newRow("two commas") << "1,2,3" << false << 0.0;
        QTest::newRow("blank inside") << "12 34" << false << 0.0;
        QTest::newRow("exponent") << "1e3" << false << 0.0;
        QTest::newRow("separator only") << "," << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("mark") << "AUS" << false << 0.0;
        QTest::newRow("name with comma") << "Müller, Hans" << false << 0.0;
        QTest::newRow("blank") << " " << false << 0.0;
    }
    void readRaceNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        for (const QLocale &locale : {QLocale(QLocale::German, QLocale::Germany), QLocale::c(),
                                      QLocale(QLocale::English, QLocale::UnitedStates)}) {
            QLocale::setDefault(locale);
            const std::optional<double> read = ReadRaceNumber(text);
            QCOMPARE(read.has_value(), isNumber);
            if (isNumber)
                QCOMPARE(*read, value);
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void order_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("by value, not characters") << "2"
                                                  << "10" << -1;
        QTest::newRow("1 and 01 are equal") << "01"
                                            << "1" << 0;
        QTest::newRow("decimal comma") << "1,5"
                                       << "2" << -1;
        QTest::newRow("blank before numbers") << " "
                                              << "-5" << -1;
        QTest::newRow("empty before numbers") << ""
                                              << "0" << -1;
        QTest::newRow("dash before numbers") << "-"
                                             << "1" << -1;
        QTest::newRow("1a after the largest number") << "1a"
                                                     << "10" << 1;
        QTest::newRow("U12 after numbers") << "U12"
                                           << "100" << 1;
        QTest::newRow("texts after numbers by characters") << "1a"
                                                           << "U12" << -1;
        QTest::newRow("texts before numbers by characters") << ""
                                                            << "-" << -1;
        QTest::newRow("same text") << "Mini"
                                   << "Mini" << 0;
    }
    void order()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        QCOMPARE(Sign(Compare(a, b)), sign);
        QCOMPARE(Sign(Compare(b, a)), -sign);
    }

    // Every triple of a mixed set is transitive, so any sort keeps each
    // class in one block.
    void orderIsTransitive()
    {
        const QStringList texts{"2", "1a", "10", "9", "-", "", "01", "1", "U12", "Mini", "1,5"};
        for (const QString &a : texts)
            for (const QString &b : texts)
                for (const QString &c : texts)
                    if (Compare(a, b) <= 0 && Compare(b, c) <= 0)
                        QVERIFY2(Compare(a, c) <= 0, qPrintable(a + " " + b + " " + c));
        QStringList sorted = texts;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const QString &a, const QString &b) { return Compare(a, b) < 0; });
        QCOMPARE(sorted,
                 QStringList({"", "-", "01", "1", "1,5", "2", "9", "10", "1a", "Mini", "U12"}));
    }
};

QTEST_MAIN(TestNumericText)
#include "tst_NumericText.moc"
