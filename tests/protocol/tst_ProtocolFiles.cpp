// The protocol files: the bytes of the tab-separated text and of the web
// page, escaping, loading the text back as a starter list, and saves that
// fail without harming the file that was there.
#include "LoadedStarterList.h"
#include "ProtocolCells.h"
#include "TestFiles.h"
#include "UnwritableTargets.h"
#include "protocol/ProtocolFiles.h"
#include "protocol/StarterList.h"

#include <QtTest>

namespace {

const QStringList &Header = ProtocolHeaderRow;
const QStringList &Tricky = TrickyTeamRow;
const QStringList Plain = RowTexts({{ColNr, "12"},
                                    {ColTeamName, "Die Blitze"},
                                    {ColKlasse, "2"},
                                    {ColFahrer, "Jörg Weiß"},
                                    {ColBeifahrer1, "Eva Roth"},
                                    {ColBeifahrer2, "Tim Kuhn"},
                                    {ColZeit, "61,02"},
                                    {ColStrafzeit, "0,00"},
                                    {ColTotal, "61,02"},
                                    {ColPlatz, "1"}});

QStringList Rows(const ProtocolTable &table)
{
    QStringList rows;
    for (const ProtocolRow &row : table)
        rows << QStringList(row.begin(), row.begin() + ProtocolColumnCount).join(QLatin1Char('|'));
    return rows;
}

} // namespace

class TestProtocolFiles : public QObject
{
    Q_OBJECT
private slots:
    void tabSeparatedBytes()
    {
        const QByteArray expected =
            "Nr.\tTeamName\tKlasse\tFahrer\tBeifahrer1\tBeifahrer2\tZeit\tStrafzeit\tTotal\t"
            "Platz\t\r\n"
            "7\tM\xC3\xBCller & S\xC3\xB6hne\t1\t<script>\tAnn \"Flash\" Lee\t \t83,45\t15,00\t"
            "98,45\t1\t\r\n";
        QCOMPARE(TabSeparatedProtocol({Header, Tricky}), expected);
    }

    void tabSeparatedLoadsBackAsTheSameRows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("protokoll.txt"));
        QVERIFY(ReplaceFileContents(path, TabSeparatedProtocol({Header, Tricky, Plain}), nullptr));
        const StarterListLoad load = LoadStarterList(path);
        QVERIFY(load.ok);
        // An empty cell comes back as the single blank the loader uses for
        // an empty field; everything else exactly as it was.
        QStringList tricky = Tricky;
        tricky[5] = QStringLiteral(" ");
        QCOMPARE(Rows(load.rows), (QStringList{tricky.join('|'), Plain.join('|')}));
    }

    void escaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << "Die Blitze 1"
                               << "Die Blitze 1";
        QTest::newRow("markup") << "<script>alert(1)</script>"
                                << "&lt;script&gt;alert(1)&lt;/script&gt;";
        QTest::newRow("ampersand first") << "a&lt;b"
                                         << "a&amp;lt;b";
        QTest::newRow("quotes") << "Ann \"Flash\""
                                << "Ann &quot;Flash&quot;";
        QTest::newRow("umlauts stay") << "Müller & Söhne"
                                      << "Müller &amp; Söhne";
        QTest::newRow("apostrophe stays") << "O'Neil"
                                          << "O'Neil";
    }
    void escaping()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(HtmlEscaped(text), escaped);
    }

    void webPageBytes()
    {
        const QByteArray expected =
            "<HTML>\r\n<HEAD>\r\n"
            "<TITLE>Lauf &amp; Co</TITLE>\r\n"
            "<META http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
            "<META name=keywords content=\"Lauf &amp; Co\">\r\n"
            "<META name=description content=\"Chronalt professional software development for "
            "all\">\r\n"
            "<style type=\"text/css\">\r\n<!--\r\n"
            "body {font-family:Verdana;\r\nscrollbar-track-color:#F9F9E6;\r\n"
            "scrollbar-face-color:#B0A786}\r\n"
            "table {font-size:10pt}\r\n"
            "a:hover{text-decoration:none; background-color:#E2E6CB}\r\n"
            "-->\r\n</style></head>\r\n"
            "<body bgcolor=#F9F9E6>\r\n"
            "<div style=\"width:100%; color:#A37E4E; filter:Glow(color=0, strength=6)\">\r\n"
            "<h1>Lauf &amp; Co Zeitenprotokoll</h1>\r\n"
            "</div><br>\r\n"
            "</b><table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#E0E0E0 "
            "border=1 cellpadding=4 width=100%>\r\n"
            "<colgroup valign=top> <col align=right> <col> <col align=center> <col> <col> <col> "
            "<col align=right> <col align=right> <col align=right> <col align=right></colgroup>"
            "\r\n"
            "<thead bgcolor=#B0A786><tr>\r\n<thead align=left bgcolor=#91B5FF>\r\n<tr>\r\n"
            "<th>Nr.\r\n<th width=15% nowrap>TeamName\r\n<th>Klasse\r\n"
            "<th width=15% nowrap>Fahrer\r\n<th width=15% nowrap>Beifahrer1\r\n"
            "<th width=15% nowrap>Beifahrer2\r\n<th>Zeit\r\n<th>Strafzeit\r\n<th>Total\r\n"
            "<th>Platz\r\n"
            "</tr></thead>\r\n"
            "<tr><td>7<td>M\xC3\xBCller &amp; S\xC3\xB6hne<td>1<td>&lt;script&gt;"
            "<td>Ann &quot;Flash&quot; Lee<td>&nbsp;<td>83,45<td>15,00<td>98,45<td>1</tr>\r\n"
            "<tr><td>12<td>Die Blitze<td>2<td>J\xC3\xB6rg Wei\xC3\x9F<td>Eva Roth<td>Tim Kuhn"
            "<td>61,02<td>0,00<td>61,02<td>1</tr>\r\n"
            "</table>\r\n<FONT face=Arial size=4><B>"
            "<P align=right><a style=\"cursor:help\" title=\"Lauf &amp; Co\">Duobahn</a>"
            "<FONT color=#666600 size=3>&nbsp;Sport&nbsp;Software</P>\r\n"
            "</body></html>\r\n";
        QCOMPARE(HtmlProtocolPage({Header, Tricky, Plain}, QStringLiteral("Lauf & Co")), expected);
    }

    void webPageBlankCells_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("empty") << "" << QByteArray("<td>&nbsp;");
        QTest::newRow("a blank from a starter list") << " " << QByteArray("<td>&nbsp;");
        QTest::newRow("zero is text") << "0" << QByteArray("<td>0");
    }
    void webPageBlankCells()
    {
        QFETCH(QString, cell);
        QFETCH(QByteArray, written);
        QStringList row = Plain;
        row[ColBeifahrer2] = cell;
        const QByteArray page = HtmlProtocolPage({Header, row}, QStringLiteral("t"));
        QVERIFY2(page.contains("<td>Eva Roth" + written + "<td>61,02"), page.constData());
    }

    void webPageOfAnEmptyProtocol()
    {
        const QByteArray page = HtmlProtocolPage({Header}, QStringLiteral("t"));
        QCOMPARE(page.count("<tr>"), 2); // the two header openings, no team row
        QVERIFY(page.contains("</tr></thead>\r\n</table>"));
    }

    // What a failed save must never do: lose the file that was there.
    void failedSavesKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("folder cannot be written") << "immutable";
        QTest::newRow("disk full while writing") << "full";
    }
    void failedSavesKeepTheOldFile()
    {
        QFETCH(QString, situation);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("protokoll.txt"));
        WriteAll(path, "the old protocol");
        const QByteArray large(64 * 1024, 'x');
        QString error;
        bool written = true;
        if (situation == QLatin1String("immutable")) {
            ImmutableFolder folder;
            if (!folder.Lock(dir.path()))
                QSKIP("this file system cannot mark a folder immutable");
            written = ReplaceFileContents(path, large, &error);
        } else {
            FileSizeLimit limit(4096);
            written = ReplaceFileContents(path, large, &error);
        }
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadAll(path), QByteArray("the old protocol"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"protokoll.txt"});
    }

    void targetsThatAreNoFiles_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("a folder") << "folder";
        QTest::newRow("below a regular file") << "plain/protokoll.txt";
        QTest::newRow("below a missing folder") << "missing/protokoll.txt";
    }
    void targetsThatAreNoFiles()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        WriteAll(dir.filePath(QStringLiteral("plain")), "plain");
        QString error;
        QVERIFY(!ReplaceFileContents(dir.filePath(relative), "bytes", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
        QCOMPARE(ReadAll(dir.filePath(QStringLiteral("plain"))), QByteArray("plain"));
    }

    void replacingWritesExactlyTheBytes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.html"));
        WriteAll(path, QByteArray(5000, 'o'));
        QVERIFY(ReplaceFileContents(path, "new", nullptr));
        QCOMPARE(ReadAll(path), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.html"});
    }
};

QTEST_GUILESS_MAIN(TestProtocolFiles)
#include "tst_ProtocolFiles.moc"
