// Reading starter lists: line splitting, rows, encodings and file errors.
#include "LoadedStarterList.h"
#include "protocol/StarterList.h"

#include <QtTest>
#include <sys/stat.h>

namespace {

// A row as its non-empty cells joined by "|", trailing empty cells left out.
QString Joined(const ProtocolRow &row)
{
    QStringList cells(row.begin(), row.end());
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    return cells.join(QLatin1Char('|'));
}

QStringList Joined(const ProtocolTable &table)
{
    QStringList rows;
    for (const ProtocolRow &row : table)
        rows.append(Joined(row));
    return rows;
}

// "1;Team 1;1", ... one line per team.
QByteArray TeamLines(int count)
{
    QByteArray lines;
    for (int team = 1; team <= count; ++team)
        lines += QByteArray::number(team) + ";Team" + QByteArray::number(team) + ";1\n";
    return lines;
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray Utf16(const char *utf8, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(QString::fromUtf8(utf8));
}

QString ExampleFile(const char *name)
{
    return qEnvironmentVariable("DUOBAHN_SOURCE_DIR") + QStringLiteral("/examples/") +
           QLatin1String(name);
}

} // namespace

class TestStarterList : public QObject
{
    Q_OBJECT
private slots:
    void splitLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("tabs keep blanks inside names")
            << "7\tDie Blitze\t1\tAnna Müller"
            << QStringList{"7", "Die Blitze", "1", "Anna Müller"};
        QTest::newRow("semicolons, fields trimmed")
            << "7; Die Blitze ;1" << QStringList{"7", "Die Blitze", "1"};
        QTest::newRow("blanks only when nothing else")
            << "7  Blitze   1 Anna" << QStringList{"7", "Blitze", "1", "Anna"};
        QTest::newRow("tab wins over semicolon")
            << "7\tBlitz;Donner\t1" << QStringList{"7", "Blitz;Donner", "1"};
        QTest::newRow("empty co-driver keeps its column")
            << "7;Blitz;1;Anna;;Ben" << QStringList{"7", "Blitz", "1", "Anna", " ", "Ben"};
        QTest::newRow("empty tab field keeps its column")
            << "7\tBlitz\t1\tAnna\t\tBen" << QStringList{"7", "Blitz", "1", "Anna", " ", "Ben"};
        QTest::newRow("leading separator") << ";Blitz" << QStringList{" ", "Blitz"};
        QTest::newRow("only separators") << ";;;" << QStringList{" ", " ", " ", " "};
        QTest::newRow("only blanks") << "   " << QStringList{" "};
        QTest::newRow("quoted fields") << "\"7\";\"Blitz\"" << QStringList{"7", "Blitz"};
        QTest::newRow("quoted field holds ';' and blanks")
            << "7;\" Rot;Weiß \";1" << QStringList{"7", " Rot;Weiß ", "1"};
        QTest::newRow("doubled quotes inside quotes")
            << "7;\"Die \"\"Blitze\"\"\";\"\"\"\"" << QStringList{"7", "Die \"Blitze\"", "\""};
        QTest::newRow("empty quotes keep the column") << "7;\"\";1" << QStringList{"7", " ", "1"};
        QTest::newRow("unclosed quote stays as written")
            << "7;\"Rot;Weiß;1" << QStringList{"7", "\"Rot", "Weiß", "1"};
        QTest::newRow("quote closing before text stays as written")
            << "7;\"Rot\"x;1" << QStringList{"7", "\"Rot\"x", "1"};
        QTest::newRow("quotes inside a field are characters")
            << "7;Die \"Blitze\";1" << QStringList{"7", "Die \"Blitze\"", "1"};
        QTest::newRow("quotes in a tab line are characters")
            << "7\t\"Rot;Weiß\"\t1" << QStringList{"7", "\"Rot;Weiß\"", "1"};
    }
    void splitLine()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        const ProtocolTable rows = ParseStarterList(line);
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(Joined(rows.front()).split(QLatin1Char('|')), fields);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("header and empty lines skipped, CR LF")
            << "Nr.;TeamName;Klasse\r\n1;Blitz;1\r\n\r\n2;Donner;2\r\n"
            << QStringList{"1|Blitz|1", "2|Donner|2"};
        QTest::newRow("any Nr line skipped, nr kept") << "Nrx;a\nnr;b\n" << QStringList{"nr|b"};
        QTest::newRow("last line without line break")
            << "1;Blitz;1\n2;Donner;2" << QStringList{"1|Blitz|1", "2|Donner|2"};
        QTest::newRow("fields beyond ten dropped")
            << "1;2;3;4;5;6;7;8;9;10;11;12" << QStringList{"1|2|3|4|5|6|7|8|9|10"};
        QTest::newRow("saved protocol loads back in its columns")
            << "Nr.\tTeamName\tKlasse\tFahrer\tBeifahrer1\tBeifahrer2\tZeit\tStrafzeit\tTotal\t"
               "Platz\t\r\n7\tDie Blitze\t1\tAnna\t \t \t23,45\t15,00\t38,45\t1\t\r\n"
            << QStringList{"7|Die Blitze|1|Anna| | |23,45|15,00|38,45|1"};
        QTest::newRow("nothing but a header") << "Nr.\tTeamName\n" << QStringList{};
        // A header of column names, in any order, places the fields of the
        // lines after it; the fields past it fill the columns it left free.
        QTest::newRow("a header of column names orders the fields")
            << "1;A;1\nNr.;Platz;TeamName\n7;2;Blitz;Anna\nNr.;Team\n8;3;Donner\n"
            << QStringList{"1|A|1", "7|Blitz||Anna||||||2", "8|Donner||||||||3"};
        QTest::newRow("lone CR ends a line too")
            << "Nr.;TeamName\r1;Blitz;1\r2;Donner;2\r\r3;Hagel;1"
            << QStringList{"1|Blitz|1", "2|Donner|2", "3|Hagel|1"};
        QTest::newRow("CR LF, LF and CR mixed")
            << "1;A\r\n2;B\n3;C\r4;D\n\r5;E" << QStringList{"1|A", "2|B", "3|C", "4|D", "5|E"};
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        const QString before = text;
        QCOMPARE(Joined(ParseStarterList(text)), rows);
        // The cells are cut from a copy when the caller still holds the text.
        QCOMPARE(text, before);
    }

    // The cells share the list's text; each must still behave as a text of
    // its own: ended by a null, changed without touching its neighbours,
    // alive after the rest of the list has gone, and growing in place.
    void cellsAreTextsOfTheirOwn()
    {
        ProtocolTable rows =
            ParseStarterList(QStringLiteral("1;Blitz ;1\r\n2; Donner  ;2;Anna\n3 Hagel"));
        for (const ProtocolRow &row : rows) {
            for (const QString &cell : row) {
                if (!cell.isEmpty())
                    QCOMPARE(cell.utf16()[cell.size()], u'\0');
            }
        }
        rows[0][1].append(QStringLiteral("lichter"));
        rows[1][1][0] = u'd';
        QCOMPARE(Joined(rows), (QStringList{"1|Blitzlichter|1", "2|donner|2|Anna", "3|Hagel"}));
        QString last = rows[2][1];
        rows.clear();
        // The last piece of the list's text is its only owner now.
        QVERIFY(last.isDetached());
        last.append(QStringLiteral(" und Sturm, ein langer Name über das Ende der Liste hinaus"));
        QCOMPARE(last,
                 QStringLiteral("Hagel und Sturm, ein langer Name über das Ende der Liste hinaus"));
    }

    // A class's cells share one text, so the ranking tells them alike
    // without reading them; an edit of one still changes that cell alone.
    void classCellsShareTheirText()
    {
        ProtocolColumns columns = ParseStarterListColumns(
            QStringLiteral("1;Blitz;3\n2;Donner; 3 \n3;Hagel;12\n4;Regen;3;3\n5;Sturm;12"));
        ProtocolTextColumn &classes = columns.cells[ColKlasse];
        QVERIFY(classes.SharesText(0, 1));
        QVERIFY(classes.SharesText(0, 3));
        QVERIFY(classes.SharesText(2, 4));
        QVERIFY(!classes.SharesText(0, 2));
        // Only the class column: the driver "3" is a text of its own.
        QVERIFY(!columns.cells[ColFahrer].SharesText(3, 0));
        classes.Set(1, u"4");
        classes.Set(3, classes.At(3).toString() + u'a');
        QCOMPARE(Joined(RowsOf(columns)), (QStringList{"1|Blitz|3", "2|Donner|4", "3|Hagel|12",
                                                       "4|Regen|3a|3", "5|Sturm|12"}));
    }

    void loadEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("UTF-8") << QByteArray(
                                      "1;Gr\xc3\xbcne Fl\xc3\xb6he;1;J\xc3\xbcrgen Stra\xc3\x9f"
                                      "e\n")
                               << QStringList{"1|Grüne Flöhe|1|Jürgen Straße"};
        QTest::newRow("UTF-8 with byte order mark, header skipped")
            << QByteArray("\xef\xbb\xbfNr.;TeamName\n2;\xc3\x84rger\n") << QStringList{"2|Ärger"};
        QTest::newRow("Windows-1252") << QByteArray("1;Gr\xfcne Fl\xf6he;1;J\xfcrgen \x84"
                                                    "Ede\x93 Stra\xdf"
                                                    "e\r\n")
                                      << QStringList{"1|Grüne Flöhe|1|Jürgen „Ede“ Straße"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        // "Unicode text" from a spreadsheet: UTF-16 with its byte order mark.
        QTest::newRow("UTF-16 LE with byte order mark")
            << Utf16("Nr.\tTeamName\r\n1\tGrüne Flöhe\t1\r\n2\tÄrger\t2\r\n",
                     QStringConverter::Utf16LE)
            << QStringList{"1|Grüne Flöhe|1", "2|Ärger|2"};
        QTest::newRow("UTF-16 BE with byte order mark")
            << Utf16("1;Straße;1\n", QStringConverter::Utf16BE) << QStringList{"1|Straße|1"};
    }
    void loadEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, rows);
        QTemporaryDir dir;
        const StarterListLoad load = LoadStarterList(WriteFile(dir, "Liste.txt", bytes));
        QVERIFY(load.ok);
        QCOMPARE(Joined(load.rows), rows);
    }

    // Nothing but a regular file within the limits is read, and nothing
    // else may block or eat memory; the reason is told in German.
    void refusedFilesSayWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "fehlt.txt"
                                 << "gibt es nicht";
        QTest::newRow("folder") << "Ordner.txt"
                                << "keine gewöhnliche Datei";
        QTest::newRow("FIFO without a writer") << "Pipe.txt"
                                               << "keine gewöhnliche Datei";
        QTest::newRow("link to an endless device") << "Null.txt"
                                                   << "keine gewöhnliche Datei";
        QTest::newRow("larger than 64 MB") << "Riesig.txt"
                                           << "größer als 64 MB";
        QTest::newRow("more than 100 000 teams") << "Viele.txt"
                                                 << "mehr als 100.000 Teams";
    }
    void refusedFilesSayWhy()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name == "Ordner.txt")
            QVERIFY(QDir(dir.path()).mkdir(name));
        if (name == "Pipe.txt")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (name == "Null.txt")
            QVERIFY(QFile::link("/dev/zero", path));
        if (name == "Riesig.txt") {
            QFile huge(path); // sparse: takes no room on the disk
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(MaxStarterListBytes + 1));
        }
        if (name == "Viele.txt")
            WriteFile(dir, name, TeamLines(MaxStarterListTeams + 1));

        const StarterListLoad load = LoadStarterList(dir.filePath(name));
        QVERIFY(!load.ok);
        QVERIFY2(load.error.contains(reason), qPrintable(load.error));
        QVERIFY(load.rows.empty());
    }

    void limitsAreInclusive()
    {
        QTemporaryDir dir;
        const StarterListLoad load = LoadStarterList(
            WriteFile(dir, "Voll.txt", "Nr.;Team\n" + TeamLines(MaxStarterListTeams)));
        QVERIFY2(load.ok, qPrintable(load.error));
        QCOMPARE(load.rows.size(), std::size_t(MaxStarterListTeams));
        QCOMPARE(load.rows.back()[ColNr], QString::number(MaxStarterListTeams));
    }

    void examplesHoldTheSameTeams()
    {
        const StarterListLoad tabs = LoadStarterList(ExampleFile("Starterliste.txt"));
        const StarterListLoad semicolons = LoadStarterList(ExampleFile("Starterliste.csv"));
        QVERIFY2(tabs.ok, qPrintable(tabs.error));
        QVERIFY2(semicolons.ok, qPrintable(semicolons.error));
        QCOMPARE(tabs.rows.size(), std::size_t(12));
        QCOMPARE(Joined(tabs.rows), Joined(semicolons.rows));
        QSet<QString> classes;
        for (const ProtocolRow &row : tabs.rows)
            classes.insert(row[ColKlasse]);
        QCOMPARE(classes.size(), 3);
    }

    void names_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("saveName");
        QTest::newRow("folder and extension") << "/daten/Mai.txt"
                                              << "Mai"
                                              << "/daten/Mai";
        QTest::newRow("only the last extension") << "/daten/Mai.2024.csv"
                                                 << "Mai.2024"
                                                 << "/daten/Mai.2024";
        QTest::newRow("no extension") << "/daten/Mai"
                                      << "Mai"
                                      << "/daten/Mai";
    }
    void names()
    {
        QFETCH(QString, file);
        QFETCH(QString, event);
        QFETCH(QString, saveName);
        QCOMPARE(EventName(file), event);
        QCOMPARE(PathWithoutExtension(file), saveName);
    }
};

QTEST_MAIN(TestStarterList)
#include "tst_StarterList.moc"
