#include "platform/QtPlatform.h"

#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void qtFiltersFromPipeList_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two types") << "Textdatei (*.txt)|*.txt|MS Excel (*.csv)|*.csv"
                                   << QStringList{"Textdatei (*.txt)", "MS Excel (*.csv)"};
        QTest::newRow("name without pattern") << "Alle|*.*" << QStringList{"Alle (*.*)"};
        QTest::newRow("several patterns")
            << "Bilder|*.png;*.bmp" << QStringList{"Bilder (*.png *.bmp)"};
        QTest::newRow("dangling name ignored")
            << "Textdatei (*.txt)|*.txt|Rest" << QStringList{"Textdatei (*.txt)"};
    }
    void qtFiltersFromPipeList()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtPlatform::QtFilters(filter), expected);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_Platform.moc"
