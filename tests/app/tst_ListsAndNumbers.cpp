// Lists as race days bring them to the window: totals written under the
// other locale's decimal separator, names with commas, semicolons and
// quotes, stray control characters; read, ranked, sorted, exported and
// read back as the operator does it.
#include "MainWindowFixture.h"
#include "TestFiles.h"
#include "app/ExportController.h"
#include "app/FMain.h"
#include "app/FileTypeNames.h"
#include "protocol/ProtocolTable.h"
#include "widgets/SortGrid.h"

#include <QComboBox>
#include <QToolButton>
#include <QtTest>

namespace {

// A protocol line as a saved protocol holds it, tab-separated.
QString Line(int number, const QString &team, const QString &zeit = " ",
             const QString &strafzeit = " ", const QString &total = " ")
{
    return QStringList{
        QString::number(number), team, "3", "Fahrer", " ", " ", zeit, strafzeit, total, " "}
        .join(QLatin1Char('\t'));
}

void AddLocales()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
}

} // namespace

class TestListsAndNumbers : public QObject
{
    Q_OBJECT

    MainWindowFixture m_window;

    QStringList Column(int column) const
    {
        QStringList texts;
        for (const QStringList &row : m_window.GridRows())
            texts << row[column];
        return texts;
    }

    // The team on the lane, picked in its selector as the operator does.
    void PutOnLane(QComboBox *selector, const QString &team)
    {
        const qsizetype row = Column(ColTeamName).indexOf(team);
        QVERIFY(row >= 0);
        selector->setCurrentIndex(int(row));
    }

private slots:
    void initTestCase() { m_window.Enter(); }
    void init() { m_window.Open(); }
    void cleanup() { m_window.Close(); }

    // A protocol saved under a point locale, with totals typed under a
    // comma one, timed on under the locale of this machine: every time
    // counts by its value, in the places and in each result column's
    // header sort, and new times are written with the protocol's first
    // time's decimal mark.
    void totalsOfEitherSeparatorRankAndSort_data() { AddLocales(); }
    void totalsOfEitherSeparatorRankAndSort()
    {
        QFETCH(QLocale, locale);
        MainWindowFixture::UseLocale(locale);
        m_window.Load({Line(1, "A", "3.12", "0,00", "3.12"),
                       Line(2, "B", "18.35", "15.00", "33.35"),
                       Line(3, "C", "30,00", "0.00", "30,00"),
                       Line(4, "D", "25,00", "5,00", "30,00"), Line(5, "E"), Line(6, "F")});
        QCOMPARE(m_window.TeamRow("A")[ColPlatz], "1");
        QCOMPARE(m_window.TeamRow("B")[ColPlatz], "4");
        QCOMPARE(m_window.TeamRow("C")[ColPlatz], "2");
        QCOMPARE(m_window.TeamRow("D")[ColPlatz], "2");

        PutOnLane(m_window.Form()->cbBuhn1, "E");
        PutOnLane(m_window.Form()->cbBuhn2, "F");
        m_window.Heat(3350, 40000);
        // The first time of the protocol, A's "3.12", sets the mark.
        const QString point = ".";
        QCOMPARE(m_window.TeamRow("E")[ColZeit], "3" + point + "35");
        QCOMPARE(m_window.TeamRow("F")[ColTotal], "40" + point + "00");
        QCOMPARE(Column(ColTeamName), QStringList({"A", "E", "C", "D", "B", "F"}));
        QCOMPARE(Column(ColPlatz), QStringList({"1", "2", "3", "3", "5", "6"}));

        const QList<QPair<int, QStringList>> sorts = {
            {ColZeit, {"A", "E", "B", "D", "C", "F"}},
            {ColStrafzeit, {"A", "E", "C", "F", "D", "B"}},
            {ColTotal, {"A", "E", "C", "D", "B", "F"}},
        };
        for (const auto &[column, order] : sorts) {
            m_window.ClickHeader(column);
            QCOMPARE(Column(ColTeamName), order);
        }
    }

    // A protocol saved under one locale and timed on under another keeps
    // the decimal mark of its times in every new time; a list without times
    // takes the locale's.
    void newTimesKeepTheProtocolsDecimalMark_data()
    {
        QTest::addColumn<QLocale>("savedUnder");
        QTest::addColumn<QLocale>("timedUnder");
        QTest::addColumn<bool>("timesSaved");
        QTest::addColumn<QString>("mark");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("German, then C") << german << QLocale::c() << true << ",";
        QTest::newRow("C, then German") << QLocale::c() << german << true << ".";
        QTest::newRow("no times, then C") << german << QLocale::c() << false << ".";
    }
    void newTimesKeepTheProtocolsDecimalMark()
    {
        QFETCH(QLocale, savedUnder);
        QFETCH(QLocale, timedUnder);
        QFETCH(bool, timesSaved);
        QFETCH(QString, mark);
        MainWindowFixture::UseLocale(savedUnder);
        m_window.Load(MainWindowFixture::Teams({"A", "B", "C", "D"}));
        if (timesSaved)
            m_window.Heat(2800, 2820);
        const QString saved = m_window.Folder().FilePath("Gespeichert.txt");
        m_window.Save(saved, SaveDialogIndex(FileType::TabText));
        MainWindowFixture::UseLocale(timedUnder);
        m_window.LoadFile(saved);
        PutOnLane(m_window.Form()->cbBuhn1, "C");
        PutOnLane(m_window.Form()->cbBuhn2, "D");
        m_window.Heat(3350, 40000);
        for (const char *team : {"C", "D"}) {
            const QStringList row = m_window.TeamRow(team);
            for (const int column : {ColZeit, ColStrafzeit, ColTotal})
                QCOMPARE(row[column].at(row[column].size() - 3), mark.at(0));
        }
    }

    // A name with a comma arrives in the workbook exactly; the times, of
    // either separator, arrive as numbers.
    void workbookKeepsNamesAndReadsTimes_data() { AddLocales(); }
    void workbookKeepsNamesAndReadsTimes()
    {
        QFETCH(QLocale, locale);
        MainWindowFixture::UseLocale(locale);
        m_window.Load({Line(1, "Müller, Hans", "12,34", "0,00", "12,34"),
                       Line(2, "1,2,3", "12.5", "0.00", "12.5")});
        m_window.Platform().automation = FakePlatform::Automation::BuiltIn;
        m_window.Form()->sbExcel->click();
        QCOMPARE(m_window.Platform().openedUrls.size(), 1);
        const QString package = m_window.Platform().openedUrls[0].toLocalFile();
        const QString sheet = QString::fromUtf8(PackagePart(package, "xl/worksheets/sheet1.xml"));
        const QString strings = QString::fromUtf8(PackagePart(package, "xl/sharedStrings.xml"));
        if (sheet.isEmpty())
            QSKIP("unzip is not installed");
        QVERIFY2(strings.contains("<t>Müller, Hans</t>"), qPrintable(strings));
        QVERIFY2(strings.contains("<t>1,2,3</t>"), qPrintable(strings));
        for (const char *number : {"<v>12.34</v>", "<v>12.5</v>"})
            QVERIFY2(sheet.contains(QLatin1String(number)), number);
    }

    // Names with ";", quotes and blanks go into the ";" file and come back
    // as the same list, every field in its column.
    void semicolonFileLoadsBackAsWritten()
    {
        const QStringList names = {
            "Rot;Weiß", "\"Blitz\" Team", "Die \"Schnellen\";2", "Ost ; West", "\"", "Anna Maria"};
        QStringList lines;
        for (int i = 0; i < names.size(); ++i)
            lines << Line(i + 1, names[i], "1,00", "0,00", "1,00");
        m_window.Load(lines);
        const QList<QStringList> before = m_window.GridRows();
        const QString path = m_window.Folder().FilePath(QStringLiteral("Protokoll.csv"));
        m_window.Save(path, SaveDialogIndex(FileType::SemicolonList));
        const QByteArray file = ReadAll(path);
        QVERIFY2(file.contains("\r\n1;\"Rot;Weiß\";3;"), file.constData());
        QVERIFY2(file.contains(";\"\"\"Blitz\"\" Team\";"), file.constData());
        QVERIFY2(file.contains(";\"Die \"\"Schnellen\"\";2\";"), file.constData());
        m_window.LoadFile(path);
        QCOMPARE(m_window.GridRows(), before);
    }

    // Control characters in a list are taken out as it is read, the status
    // line tells how many, and no file written afterwards holds one.
    void controlCharactersLeaveTheList()
    {
        const QString controls = QStringLiteral("x") + QChar(0) + "y" + QChar(0x01) + QChar(0x0b) +
                                 QChar(0x1f) + QChar(0x7f) + QChar(0x85);
        m_window.Load({Line(1, controls), Line(2, "B\tC")});
        QCOMPARE(m_window.StatusText(), "Starterliste: 6 Steuerzeichen entfernt");
        QCOMPARE(Column(ColTeamName), QStringList({"xy", "B"}));

        const QString path = m_window.Folder().FilePath(QStringLiteral("Protokoll.txt"));
        m_window.Save(path, SaveDialogIndex(FileType::TabText));
        for (const char byte : ReadAll(path)) {
            const auto code = static_cast<unsigned char>(byte);
            QVERIFY2(code >= 0x20 || byte == '\t' || byte == '\r' || byte == '\n',
                     qPrintable(QString::number(code)));
        }
    }
};

QTEST_MAIN(TestListsAndNumbers)
#include "tst_ListsAndNumbers.moc"
