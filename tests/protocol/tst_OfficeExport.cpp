// The office exports: the exact automation calls of the spreadsheet and the
// word-processor export against a recording double, and the program's own
// servers behind them: the .xlsx read back from its package and the RTF
// document read back as a table.
#include "FakePlatform.h"
#include "TestFiles.h"
#include "UnwritableTargets.h"
#include "protocol/Excel.h"
#include "protocol/RtfDocument.h"
#include "protocol/WordBasicServer.h"
#include "protocol/WordProcessorExport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QStringList &Header = ProtocolHeaderRow;
const QStringList &Team = TrickyTeamRow;
const QStringList Dropped = {"12",  "Die {Blitze}", "2",   "Eva\\Roth", "Tim",
                             "Pia", "AUS",          "AUS", "AUS",       ""};

QString Template()
{
    return qEnvironmentVariable("DUOBAHN_SOURCE_DIR") +
           QStringLiteral("/examples/Protokollvorlage.doc");
}

// "\cell" ends a table cell; "\cellx" is a cell's right edge, not a cell.
int CellCount(const QByteArray &rtf)
{
    static const QRegularExpression cell(QStringLiteral("\\\\cell(?![a-z])"));
    return int(QString::fromLatin1(rtf).count(cell));
}

int RowCount(const QByteArray &rtf)
{
    static const QRegularExpression row(QStringLiteral("\\\\row(?![a-z])"));
    return int(QString::fromLatin1(rtf).count(row));
}

} // namespace

class TestOfficeExport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<ScopedFakePlatform> m_platform;

    QStringList Log() const { return m_platform->automationLog->calls; }

private slots:
    void initTestCase()
    {
        // The documents folder and the temporary folder of these tests.
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("TMPDIR", m_home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void init() { m_platform = std::make_unique<ScopedFakePlatform>(); }
    void cleanup() { m_platform.reset(); }

    // --- spreadsheet -----------------------------------------------------------

    void spreadsheetCalls()
    {
        QVERIFY(ExportToSpreadsheet({{"Nr.", "Zeit"}, {"7 a", "12,34"}, {"\"x\" y", "1,2,3"}},
                                    nullptr));
        QCOMPARE(m_platform->automationRequests, QStringList{"create Excel.Application"});
        const QStringList expected = {
            R"(Excel.Application.visible = true)",
            R"(Excel.Application.Workbooks())",
            R"(Excel.Application.Workbooks.add())",
            R"(Excel.Application.Cells[1, 1] = "Nr.")",
            R"(Excel.Application.Cells[1, 2] = "Zeit")",
            R"(Excel.Application.Cells[2, 1] = "7 a")",
            R"(Excel.Application.Cells[2, 2] = "12.34")",
            R"(Excel.Application.Cells[3, 1] = ""x" y")",
            R"(Excel.Application.Cells[3, 2] = "1,2,3")",
            R"(Excel.Application.cells())",
            R"(Excel.Application.cells.select())",
            R"(Excel.Application.Selection())",
            R"(Excel.Application.Selection.Columns())",
            R"(Excel.Application.Selection.Columns.Autofit())",
        };
        QCOMPARE(Log(), expected);
    }

    void spreadsheetCellText_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("sent");
        QTest::newRow("race time") << "12,34"
                                   << "12.34";
        QTest::newRow("time with a point") << "12.34"
                                           << "12.34";
        QTest::newRow("no number, commas stay") << "1,2,3"
                                                << "1,2,3";
        QTest::newRow("name with a comma") << "Müller, Hans"
                                           << "Müller, Hans";
        QTest::newRow("no comma") << "Die Blitze"
                                  << "Die Blitze";
        QTest::newRow("leading comma") << ",5"
                                       << ".5";
        QTest::newRow("empty") << ""
                               << "";
    }
    void spreadsheetCellText()
    {
        QFETCH(QString, cell);
        QFETCH(QString, sent);
        QCOMPARE(SpreadsheetCellText(cell), sent);
    }

    void connecting_data()
    {
        QTest::addColumn<bool>("excelNew");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("available");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<bool>("connected");
        const QString create = "create Excel.Application", running = "running Excel.Application";
        QTest::newRow("new instance") << true << true << true << QStringList{create} << true;
        QTest::newRow("running one taken") << false << true << true << QStringList{running} << true;
        QTest::newRow("none running: a new one")
            << false << false << true << QStringList{running, create} << true;
        QTest::newRow("no spreadsheet at all")
            << false << false << false << QStringList{running, create} << false;
    }
    void connecting()
    {
        QFETCH(bool, excelNew);
        QFETCH(bool, running);
        QFETCH(bool, available);
        QFETCH(QStringList, requests);
        QFETCH(bool, connected);
        m_platform->automationRunning = running;
        if (!available)
            m_platform->automation = FakePlatform::Automation::None;
        TExcel excel(nullptr);
        excel.ExcelNew = excelNew;
        QCOMPARE(excel.Connect(), connected);
        QCOMPARE(m_platform->automationRequests, requests);
        QCOMPARE(Log(),
                 connected ? QStringList{"Excel.Application.visible = true"} : QStringList{});
        QCOMPARE(bool(excel.application), connected);
    }

    void noSpreadsheetEndsSilently()
    {
        m_platform->automation = FakePlatform::Automation::None;
        QVERIFY(!ExportToSpreadsheet({Header, Team}, nullptr));
        QVERIFY(Log().isEmpty());
        QVERIFY(m_platform->messages.isEmpty());
    }

    void writeLineDirections_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("row") << true
                             << QStringList{R"(Excel.Application.Cells[4, 1] = "a")",
                                            R"(Excel.Application.Cells[4, 2] = "b")"};
        QTest::newRow("column") << false
                                << QStringList{R"(Excel.Application.Cells[1, 4] = "a")",
                                               R"(Excel.Application.Cells[2, 4] = "b")"};
    }
    void writeLineDirections()
    {
        QFETCH(bool, horizontal);
        QFETCH(QStringList, expected);
        TExcel excel(nullptr);
        excel.ExcelNew = true;
        QVERIFY(excel.Connect());
        m_platform->automationLog->calls.clear();
        excel.Horizontal = horizontal;
        excel.line = 3;
        excel.WriteLine(); // nothing to write, still the next line
        excel.Values = {"a", "b"};
        excel.WriteLine();
        QCOMPARE(excel.line, 5);
        QCOMPARE(Log(), expected);
        excel.NewWorkbook();
        QCOMPARE(excel.line, 1);
    }

    void workbookReadBack()
    {
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QList<QStringList> rows = {Header, Team, Dropped};
        QVERIFY(ExportToSpreadsheet(rows, nullptr));
        QCOMPARE(m_platform->openedUrls.size(), 1);
        const QString package = m_platform->openedUrls[0].toLocalFile();
        QVERIFY2(package.endsWith(".xlsx"), qPrintable(package));
        const QFileInfo folder(QFileInfo(package).absolutePath());
        QVERIFY(folder.absolutePath() == QDir(m_home.path()).absolutePath());
        QCOMPARE(int(folder.permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)),
                 0);

        const QString sheet = QString::fromUtf8(PackagePart(package, "xl/worksheets/sheet1.xml"));
        const QString strings = QString::fromUtf8(PackagePart(package, "xl/sharedStrings.xml"));
        if (sheet.isEmpty())
            QSKIP("unzip is not installed");
        QCOMPARE(sheet.count(QStringLiteral("<row ")), rows.size());
        // Every header cell, and on row 2 the nine non-empty cells.
        static const QRegularExpression cell(QStringLiteral("<c r=\"([A-Z]+)(\\d+)\"([^>]*)>"));
        QMap<QString, QString> kinds; // "G2" -> "number" / "text"
        for (auto m = cell.globalMatch(sheet); m.hasNext();) {
            const QRegularExpressionMatch match = m.next();
            kinds[match.captured(1) + match.captured(2)] =
                match.captured(3).contains(QStringLiteral("t=\"s\"")) ? "text" : "number";
        }
        QCOMPARE(kinds.value("J1"), QStringLiteral("text"));
        QVERIFY(!kinds.contains("K1"));
        QVERIFY(!kinds.contains("F2")); // the empty co-driver stays empty
        for (const char *number : {"A2", "C2", "G2", "H2", "I2", "J2"})
            QVERIFY2(kinds.value(number) == "number", number);
        for (const char *text : {"B2", "D2", "E2", "G3"})
            QVERIFY2(kinds.value(text) == "text", text);
        QVERIFY(sheet.contains(QStringLiteral("<v>83.45</v>")));
        QVERIFY(sheet.contains(QStringLiteral("<v>98.45</v>")));
        // The quoted nickname stays in one cell, with the cell after it in place.
        QVERIFY2(strings.contains(QStringLiteral("<t>Ann \"Flash\" Lee</t>")) ||
                     strings.contains(QStringLiteral("<t>Ann &quot;Flash&quot; Lee</t>")),
                 qPrintable(strings));
        QVERIFY(strings.contains(QStringLiteral("<t>Müller &amp; Söhne</t>")));
        // Columns as wide as their longest text.
        QVERIFY(sheet.contains(QStringLiteral("<cols>")));
    }

    void workbookEveryExportANewFile()
    {
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QVERIFY(ExportToSpreadsheet({Header, Team}, nullptr));
        QVERIFY(ExportToSpreadsheet({Header, Dropped}, nullptr));
        QCOMPARE(m_platform->openedUrls.size(), 2);
        QVERIFY(m_platform->openedUrls[0] != m_platform->openedUrls[1]);
        QVERIFY(QFile::exists(m_platform->openedUrls[0].toLocalFile()));
    }

    void spreadsheetServerRejects_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("cells before a workbook") << "cells";
        QTest::newRow("row 0") << "row0";
        QTest::newRow("unknown member") << "unknown";
    }
    void spreadsheetServerRejects()
    {
        QFETCH(QString, step);
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        TExcel excel(nullptr);
        excel.ExcelNew = true;
        QVERIFY(excel.Connect());
        excel.Values = {"a"};
        if (step == "cells") {
            QVERIFY_THROWS_EXCEPTION(EAutomationError, excel.WriteLine());
            return;
        }
        excel.NewWorkbook();
        if (step == "row0") {
            excel.line = 0;
            QVERIFY_THROWS_EXCEPTION(EAutomationError, excel.WriteLine());
        } else {
            QVERIFY_THROWS_EXCEPTION(EAutomationError,
                                     excel.application->Call(QStringLiteral("Charts")));
        }
    }

    // --- word processor ------------------------------------------------------------

    void wordProcessorText()
    {
        const QString text = WordProcessorText({Header, Team});
        QCOMPARE(text.count(u'\t'), 2 * 9);
        QVERIFY(text.endsWith(QStringLiteral("\t1\r")));
        QCOMPARE(text.count(QStringLiteral("\r\n")), 1);
        QCOMPARE(text.count(u'\r'), 2);
        QVERIFY(text.startsWith(QStringLiteral("Nr.\tTeamName\t")));
        QVERIFY(text.contains(QStringLiteral("Platz\r\n7\tMüller & Söhne\t")));
    }

    void wordProcessorCalls_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("expected");
        const QString text = R"("a\tb\r\nc\td\r")";
        const QStringList middle = {
            R"(Word.Basic.FileOpen("/t/Protokollvorlage.doc"))",
            "Word.Basic.Insert(" + text + ")",
            R"(Word.Basic.LineUp(3, 1))",
            R"(Word.Basic.TextToTable(ConvertFrom:=1, NumColumns:=10))",
            R"(Word.Basic.FileSaveAs("x.doc"))",
        };
        QTest::newRow("visible") << int(WordProcessorMode::Visible)
                                 << QStringList{"Word.Basic.AppMaximize()"} + middle;
        QTest::newRow("background") << int(WordProcessorMode::Background)
                                    << QStringList{"Word.Basic.AppMinimize()"} + middle +
                                           QStringList{"Word.Basic.AppClose()"};
    }
    void wordProcessorCalls()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, expected);
        ExportToWordProcessor({{"a", "b"}, {"c", "d"}}, WordProcessorMode(mode),
                              QStringLiteral("/t/Protokollvorlage.doc"), QStringLiteral("x.doc"));
        QCOMPARE(m_platform->automationRequests, QStringList{"create Word.Basic"});
        QCOMPARE(Log(), expected);
    }

    void wordProcessorStopsAtAFailure_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("calls");
        QTest::newRow("template") << "FileOpen" << 2;
        QTest::newRow("table") << "TextToTable" << 5;
        QTest::newRow("save") << "filesaveas" << 6;
    }
    void wordProcessorStopsAtAFailure()
    {
        QFETCH(QString, failing);
        QFETCH(int, calls);
        m_platform->automationLog->failingMember = failing;
        QVERIFY_THROWS_EXCEPTION(
            EAutomationError,
            ExportToWordProcessor({{"a"}}, WordProcessorMode::Background, "t.doc", "x.doc"));
        QCOMPARE(Log().size(), calls);
        QVERIFY(!Log().join(' ').contains("AppClose"));
    }

    void noWordProcessorIsAnError()
    {
        m_platform->automation = FakePlatform::Automation::None;
        QVERIFY_THROWS_EXCEPTION(
            EAutomationError,
            ExportToWordProcessor({{"a"}}, WordProcessorMode::Visible, "t.doc", "x.doc"));
    }

    void dateStampName_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("name");
        QTest::newRow("morning") << QDateTime(QDate(2026, 3, 5), QTime(7, 8, 59))
                                 << "2026-03-05-07-08";
        QTest::newRow("evening") << QDateTime(QDate(2026, 12, 31), QTime(23, 59))
                                 << "2026-12-31-23-59";
        QTest::newRow("same minute, same name")
            << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 30)) << "2026-12-31-23-59";
    }
    void dateStampName()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, name);
        QCOMPARE(DateStampName(moment), name);
    }

    void documentReadBack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("shown");
        QTest::newRow("visible: shown afterwards") << int(WordProcessorMode::Visible) << 1;
        QTest::newRow("background: only saved") << int(WordProcessorMode::Background) << 0;
    }
    void documentReadBack()
    {
        QFETCH(int, mode);
        QFETCH(int, shown);
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Protokoll.doc"));
        const QList<QStringList> rows = {Header, Team, Dropped};
        QCOMPARE(ExportToWordProcessor(rows, WordProcessorMode(mode), Template(), target), target);
        const QByteArray rtf = ReadAll(target);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.trimmed().endsWith('}'));
        QCOMPARE(rtf.count('{'), rtf.count('}') + rtf.count("\\{") - rtf.count("\\}"));
        QVERIFY(rtf.contains("Zeitenprotokoll"));
        QCOMPARE(RowCount(rtf), 3);
        QCOMPARE(CellCount(rtf), 3 * 10);
        QVERIFY(rtf.contains("M\\u252?ller & S\\u246?hne\\cell"));
        QVERIFY(rtf.contains("Die \\{Blitze\\}\\cell"));
        QVERIFY(rtf.contains("Eva\\\\Roth\\cell"));
        QVERIFY(rtf.indexOf("Zeitenprotokoll") < rtf.indexOf("\\trowd"));
        QCOMPARE(m_platform->openedUrls.size(), shown);
        if (shown)
            QCOMPARE(m_platform->openedUrls[0], QUrl::fromLocalFile(target));
    }

    void documentOpensInLibreOffice()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed");
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Protokoll.doc"));
        ExportToWordProcessor({Header, Team}, WordProcessorMode::Background, Template(), target);
        QProcess convert;
        convert.start(office, {"-env:UserInstallation=" +
                                   QUrl::fromLocalFile(dir.filePath("profil")).toString(),
                               "--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir",
                               dir.path(), target});
        QVERIFY(convert.waitForFinished(120000));
        const QString text = QString::fromUtf8(ReadAll(dir.filePath("Protokoll.txt")));
        QVERIFY2(text.contains("Zeitenprotokoll"), qPrintable(text));
        QVERIFY(text.contains(QString::fromUtf8("Müller & Söhne")));
        QVERIFY(text.contains("Beifahrer2"));
    }

    void relativeNameGoesToTheDocumentsFolder()
    {
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        const QString saved =
            ExportToWordProcessor({Header, Team}, WordProcessorMode::Visible, Template(),
                                  QStringLiteral("2026-03-05-07-08.doc"));
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY(documents.startsWith(m_home.path()));
        QCOMPARE(saved, QDir(documents).filePath("2026-03-05-07-08.doc"));
        QVERIFY(ReadAll(saved).contains("\\row"));
    }

    void templateProblems_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no template at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not rich text") << QByteArray("PK\x03\x04 a zipped document");
    }
    void templateProblems()
    {
        QFETCH(QByteArray, content);
        if (!content.isEmpty() && !QStandardPaths::findExecutable("soffice").isEmpty())
            QSKIP("LibreOffice would try to convert it");
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlage.doc"));
        if (!content.isEmpty())
            WriteAll(path, content);
        const QString target = dir.filePath(QStringLiteral("x.doc"));
        try {
            ExportToWordProcessor({Header}, WordProcessorMode::Background, path, target);
            QFAIL("no error");
        } catch (const EAutomationError &error) {
            QCOMPARE(error.Message(), "Die Protokollvorlage kann nicht gelesen werden: " + path);
        }
        QVERIFY(!QFile::exists(target));
    }

    void documentSaveFailures_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("a folder of that name") << "folder";
        QTest::newRow("folder cannot be written") << "immutable";
    }
    void documentSaveFailures()
    {
        QFETCH(QString, situation);
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Protokoll.doc"));
        ImmutableFolder guard;
        if (situation == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("Protokoll.doc"));
        } else {
            WriteAll(target, "old");
            if (!guard.Lock(dir.path()))
                QSKIP("this file system cannot mark a folder immutable");
        }
        try {
            ExportToWordProcessor({Header, Team}, WordProcessorMode::Visible, Template(), target);
            QFAIL("no error");
        } catch (const EAutomationError &error) {
            QVERIFY2(error.Message().startsWith("Error write file: " + target),
                     qPrintable(error.Message()));
        }
        if (situation == "folder")
            QVERIFY(QFileInfo(target).isDir());
        else
            QCOMPARE(ReadAll(target), QByteArray("old"));
        QVERIFY(m_platform->openedUrls.isEmpty());
    }

    // Extreme texts and templates: the cell edges rise column by column,
    // each column keeps its minimum width, and the table ends within the
    // text width of real paper.
    void documentTableWithinThePage_data()
    {
        QTest::addColumn<QByteArray>("page"); // the template's page settings
        QTest::addColumn<int>("nameLength");
        QTest::addColumn<int>("textWidth");
        QTest::newRow("team name of 150 000 characters")
            << QByteArray("\\paperw16838\\margl1134\\margr1134") << 150000 << 14570;
        QTest::newRow("paper of 2 000 000 000 twips")
            << QByteArray("\\paperw2000000000\\margl1134\\margr1134") << 20 << 63360 - 2268;
        QTest::newRow("paper beyond any number")
            << QByteArray("\\paperw99999999999999999999") << 20 << 63360 - 3600;
        QTest::newRow("margins beyond the paper")
            << QByteArray("\\paperw12240\\margl-2000000000\\margr2000000000") << 20 << 6120;
        QTest::newRow("no paper, long name") << QByteArray("\\paperw0") << 150000 << 1440;
    }
    void documentTableWithinThePage()
    {
        QFETCH(QByteArray, page);
        QFETCH(int, nameLength);
        QFETCH(int, textWidth);
        m_platform->automation = FakePlatform::Automation::BuiltIn;
        QTemporaryDir dir;
        const QByteArray templateRtf = "{\\rtf1" + page + " Zeitenprotokoll\\par}";
        const QString templatePath = WriteAll(dir.filePath("Vorlage.rtf"), templateRtf);
        QCOMPARE(RtfTextWidth(templateRtf), textWidth);
        QStringList team = Team;
        team[1] = QString(nameLength, u'W');
        const QString target = dir.filePath(QStringLiteral("Protokoll.doc"));
        ExportToWordProcessor({Header, team, Dropped}, WordProcessorMode::Background, templatePath,
                              target);
        const QString rtf = QString::fromLatin1(ReadAll(target));
        const QString firstRow = rtf.section(QStringLiteral("\\trowd"), 1, 1);
        static const QRegularExpression edge(QStringLiteral("\\\\cellx(-?\\d+)"));
        QList<int> edges;
        for (auto m = edge.globalMatch(firstRow); m.hasNext();)
            edges << m.next().captured(1).toInt();
        QCOMPARE(edges.size(), 10);
        const int minimum = std::min(567, textWidth / 10);
        int left = 0;
        for (const int right : edges) {
            QVERIFY2(right - left >= minimum, qPrintable(firstRow.left(2000)));
            left = right;
        }
        QVERIFY2(edges.last() <= textWidth, qPrintable(QString::number(edges.last())));
    }

    void rtfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("plain") << "Team 7" << QByteArray("Team 7");
        QTest::newRow("braces and backslash") << "{a}\\b" << QByteArray("\\{a\\}\\\\b");
        QTest::newRow("umlaut") << "Jörg" << QByteArray("J\\u246?rg");
        QTest::newRow("beyond Latin-1, signed")
            << QString(QChar(0xFB01)) << QByteArray("\\u-1279?");
        QTest::newRow("tab") << "a\tb" << QByteArray("a\\tab b");
        QTest::newRow("line breaks") << "a\r\nb\rc" << QByteArray("a\\par\nb\\par\nc");
    }
    void rtfText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, rtf);
        QCOMPARE(RtfText(text), rtf);
    }

    void rtfTextWidth_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("width");
        QTest::newRow("landscape A4")
            << QByteArray("{\\rtf1\\paperw16838\\margl1134\\margr1134 }") << 14570;
        QTest::newRow("defaults") << QByteArray("{\\rtf1 }") << 8640;
    }
    void rtfTextWidth()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, width);
        QCOMPARE(RtfTextWidth(rtf), width);
    }
};

QTEST_MAIN(TestOfficeExport)
#include "tst_OfficeExport.moc"
