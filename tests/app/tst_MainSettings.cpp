#include "app/FileTypeNames.h"
#include "app/MainSettings.h"
#include "protocol/Rounds.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// Each case starts from a store holding exactly the given values.
using Values = QList<std::pair<QString, QVariant>>;

namespace {

// Each integer with the value read; the layout record by its last byte.
QVariantMap Fields(const MainSettings &s)
{
    return {{"Port", s.Port},
            {"Alg", s.Alg},
            {"Left", s.Bounds.left()},
            {"Top", s.Bounds.top()},
            {"Width", s.Bounds.width()},
            {"Height", s.Bounds.height()},
            {"FilterInd", s.FilterInd},
            {"CountBahn", s.CountBahn},
            {"TimerGesperrt", s.TimerGesperrt},
            {"Nadpis", int(s.Nadpis.at(9647))},
            {"Laps", s.Laps}};
}

} // namespace

class TestMainSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QSettings Store(const QString &name, const Values &values)
    {
        QSettings store(m_dir.filePath(name + ".conf"), QSettings::IniFormat);
        store.clear();
        for (const auto &[key, value] : values)
            store.setValue(key, value);
        store.sync();
        return QSettings(m_dir.filePath(name + ".conf"), QSettings::IniFormat);
    }

    static Values FullStore()
    {
        return {{"Port", 3},
                {"Alg", 2},
                {"Left", 10},
                {"Top", 20},
                {"Width", 900},
                {"Height", 600},
                {"FilterInd", 4},
                {"CountBahn", 1},
                {"TimerGesperrt", 2500},
                {"Nadpis", QByteArray(9648, 'x')},
                {"Laps", 5}};
    }

    static Values Without(Values values, const QString &key)
    {
        values.removeIf([&](const auto &entry) { return entry.first == key; });
        return values;
    }

    static Values With(Values values, const QString &key, const QVariant &value)
    {
        for (auto &entry : values)
            if (entry.first == key)
                entry.second = value;
        return values;
    }

private slots:
    void readStopsAtFirstBadValue_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<int>("port");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<int>("countBahn");
        QTest::addColumn<int>("lockout");
        QTest::addColumn<char>("layoutByte");
        QTest::addColumn<int>("laps");

        const QRect defaults(395, 380, 808, 541);
        const QRect stored(10, 20, 900, 600);
        QTest::newRow("first run") << Values{} << 0 << defaults << 2 << 2000 << '\0' << 3;
        QTest::newRow("everything stored") << FullStore() << 3 << stored << 1 << 2500 << 'x' << 5;
        QTest::newRow("no lane count: later values keep defaults")
            << Without(FullStore(), "CountBahn") << 3 << stored << 2 << 2000 << '\0' << 3;
        QTest::newRow("text where a number belongs ends the reading")
            << With(FullStore(), "Width", "breit") << 3 << QRect(10, 20, 808, 541) << 2 << 2000
            << '\0' << 3;
        QTest::newRow("layout missing: reading goes on")
            << Without(FullStore(), "Nadpis") << 3 << stored << 1 << 2500 << '\0' << 5;
        QTest::newRow("layout too long ends the reading")
            << With(FullStore(), "Nadpis", QByteArray(9649, 'y')) << 3 << stored << 1 << 2500
            << '\0' << 3;
        QTest::newRow("layout as text ends the reading")
            << With(FullStore(), "Nadpis", QString("abc")) << 3 << stored << 1 << 2500 << '\0' << 3;
    }
    void readStopsAtFirstBadValue()
    {
        QFETCH(Values, values);
        QSettings store = Store(QTest::currentDataTag(), values);
        MainSettings settings;
        ReadMainSettings(store, settings);
        QTEST(settings.Port, "port");
        QTEST(settings.Bounds, "bounds");
        QTEST(settings.CountBahn, "countBahn");
        QTEST(settings.TimerGesperrt, "lockout");
        QCOMPARE(settings.Nadpis.size(), MainSettings::LayoutRecordSize);
        QTEST(settings.Nadpis.at(9647), "layoutByte");
        QTEST(settings.Laps, "laps");
    }

    // A value out of range takes its default; the values after it are
    // still read. Values at the edges of their ranges are kept.
    void outOfRangeTakesTheDefault_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("read");
        const auto row = [](const char *key, QVariant value, QVariant read) {
            QTest::addRow("%s=%s", key, qPrintable(value.toString())) << key << value << read;
        };
        row("CountBahn", 0, 2);
        row("CountBahn", 3, 2);
        row("CountBahn", 1, 1);
        row("Laps", -5, 3);
        row("Laps", 101, 3);
        row("Laps", 0, 0);
        row("Laps", 100, 100);
        row("TimerGesperrt", -2000, 2000);
        row("TimerGesperrt", 999, 2000);
        row("TimerGesperrt", 600001, 2000);
        row("TimerGesperrt", 600000, 600000);
        row("Alg", 7, 0);
        row("Alg", -1, 0);
        row("FilterInd", 99, 1);
        row("FilterInd", 0, 1);
        row("Port", 300, 0);
        row("Port", -1, 0);
        row("Port", 255, 255);
        row("Left", INT_MAX, 395);
        row("Left", INT_MIN, 395);
        row("Top", INT_MAX, 380);
        row("Width", INT_MAX, 808);
        row("Width", 0, 808);
        row("Height", INT_MIN, 541);
        row("Height", -1, 541);
    }
    void outOfRangeTakesTheDefault()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QVariant, read);
        QSettings store = Store("range", With(FullStore(), key, value));
        MainSettings settings;
        ReadMainSettings(store, settings);
        QSettings full = Store("full", FullStore());
        MainSettings complete;
        ReadMainSettings(full, complete);
        QVariantMap fields = Fields(complete);
        fields[key] = read;
        QCOMPARE(Fields(settings), fields);
    }

    // Every window value at the integer limits at once: the bounds read
    // must be a usable rectangle (the sanitizer build stops on an overflow).
    void windowBoundsAtTheLimits()
    {
        Values values = FullStore();
        for (const char *key : {"Left", "Top", "Width", "Height"})
            values = With(values, key, key[0] == 'L' ? INT_MIN : INT_MAX);
        QSettings store = Store("limits", values);
        MainSettings settings;
        ReadMainSettings(store, settings);
        QCOMPARE(settings.Bounds, QRect(395, 380, 808, 541));
        QCOMPARE(settings.Laps, 5);
    }

    void unwritableStoreIsTold()
    {
        QFile blocker(m_dir.filePath("Datei"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings store(m_dir.filePath("Datei/Chronalt/duobahn.conf"), QSettings::IniFormat);
        QVERIFY(!WriteMainSettings(store, MainSettings{}));
        QSettings writable(m_dir.filePath("ok.conf"), QSettings::IniFormat);
        QVERIFY(WriteMainSettings(writable, MainSettings{}));
    }

    void shortLayoutFillsOnlyTheStart()
    {
        QSettings store = Store("short", With(FullStore(), "Nadpis", QByteArray("ABC")));
        MainSettings settings;
        settings.Nadpis.fill('z');
        ReadMainSettings(store, settings);
        QCOMPARE(settings.Nadpis.left(4), QByteArray("ABCz"));
        QCOMPARE(settings.Nadpis.size(), MainSettings::LayoutRecordSize);
        QCOMPARE(settings.Laps, 5);
    }

    // The runs' values come after every older value: a store without them
    // reads in full, a bad one takes its default, text ends the reading.
    // What is read writes and reads back the same.
    void roundsReadAfterTheOlderValues_data()
    {
        QTest::addColumn<Values>("extra");
        QTest::addColumn<QString>("rounds"); // runs, scoring, lane change, class choices
        const Values stored{{"Wertungslaeufe", 3},
                            {"Wertung", 2},
                            {"Bahnwechsel", 0},
                            {"WertungKlassen", "Open:1,5:0"}};
        QTest::newRow("older store") << Values{} << "1 0 1 ";
        QTest::newRow("stored") << stored << "3 2 0 Open:1,5:0";
        QTest::newRow("out of range")
            << Values{{"Wertungslaeufe", 5}, {"Wertung", -1}, {"Bahnwechsel", 2}} << "1 0 1 ";
        QTest::newRow("text ends the reading")
            << With(stored, "Wertung", "Bestzeit") << "3 0 1 Open:1,5:0";
        QTest::newRow("bad class entries skipped")
            << With(stored, "WertungKlassen", " Open :1,Kids:7,Senior,:2,5:2,Open:0")
            << "3 2 0 Open:1,5:2";
    }
    void roundsReadAfterTheOlderValues()
    {
        QFETCH(Values, extra);
        const Values older{{"AnzeigeVollbild", 0}, {"AnzeigeNetz", 1}, {"AnzeigePort", 9000}};
        QSettings store = Store("rounds", FullStore() + older + extra);
        MainSettings read;
        ReadMainSettings(store, read);
        QCOMPARE(read.AnzeigePort, 9000);
        const RoundsSetup rounds = RoundsOf(read);
        QTEST(QString("%1 %2 %3 %4")
                  .arg(rounds.runs)
                  .arg(int(rounds.scoring))
                  .arg(int(rounds.laneChange))
                  .arg(ClassScoringText(rounds.classScoring)),
              "rounds");

        MainSettings kept;
        StoreRounds(kept, rounds);
        QSettings written = Store("rounds-written", {});
        QVERIFY(WriteMainSettings(written, kept));
        MainSettings again;
        ReadMainSettings(written, again);
        QVERIFY(RoundsOf(again) == rounds);
    }

    void writtenValuesReadBack()
    {
        MainSettings written;
        written.Port = 4;
        written.PortDevice = "/dev/ttyUSB0";
        written.Alg = 1;
        written.Bounds = QRect(-5, 7, 1024, 700);
        written.FilterInd = 3;
        written.CountBahn = 1;
        written.TimerGesperrt = 7000;
        written.Nadpis[0] = '\x01';
        written.Nadpis[9647] = '\xff';
        written.Laps = 0;
        {
            QSettings store(m_dir.filePath("roundtrip.conf"), QSettings::IniFormat);
            WriteMainSettings(store, written);
        }
        QSettings store(m_dir.filePath("roundtrip.conf"), QSettings::IniFormat);
        MainSettings read;
        ReadMainSettings(store, read);
        QCOMPARE(read.Port, 4);
        QCOMPARE(read.PortDevice, QString("/dev/ttyUSB0"));
        QCOMPARE(read.Alg, 1);
        QCOMPARE(read.Bounds, written.Bounds);
        QCOMPARE(read.FilterInd, 3);
        QCOMPARE(read.CountBahn, 1);
        QCOMPARE(read.TimerGesperrt, 7000);
        QCOMPARE(read.Nadpis, written.Nadpis);
        QCOMPARE(read.Laps, 0);
    }

    void corruptStoreGivesDefaults()
    {
        const QString path = m_dir.filePath("corrupt.conf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General\nPort=\xff\xfe\x00garbage\n=\n[[[");
        file.close();
        QSettings store(path, QSettings::IniFormat);
        MainSettings settings;
        ReadMainSettings(store, settings);
        QCOMPARE(settings.Port, 0);
        QCOMPARE(settings.CountBahn, 2);
        QCOMPARE(settings.Laps, 3);
    }

    // An unknown type keeps its built-in name and the lookup goes on.
    void fileTypeNamesPastAnUnknownType()
    {
        QStringList asked;
        const FileTypeNames names = ReadFileTypeNames([&](const QString &mime) {
            asked << mime;
            if (mime == "text/html")
                return std::optional<QString>("HTML-Dokument");
            if (mime == "text/plain")
                return std::optional<QString>("");
            if (mime == "text/csv")
                return std::optional<QString>("CSV-Dokument");
            return std::optional<QString>();
        });
        asked.sort();
        QCOMPARE(asked, (QStringList{"application/msword", "text/csv", "text/html", "text/plain"}));
        QCOMPARE(names[FileType::WebPage], QString("HTML-Dokument"));
        QCOMPARE(names[FileType::TabText], QString(""));
        QCOMPARE(names[FileType::Document], QString("MS Word"));
        QCOMPARE(names[FileType::SemicolonList], QString("CSV-Dokument"));
    }

    void dialogFiltersInTheirIndexOrder()
    {
        const FileTypeNames names;
        QCOMPARE(OpenDialogFilter(names),
                 QString("Textdatei (*.txt)|*.txt|MS Excel (*.csv)|*.csv"));
        QCOMPARE(SaveDialogFilter(names),
                 QString("MS Excel (*.csv)|*.csv|MS Word (*.doc)|*.doc|Webseite (*.html)|*.html|"
                         "Textdatei (*.txt)|*.txt"));
    }
};

QTEST_GUILESS_MAIN(TestMainSettings)
#include "tst_MainSettings.moc"
