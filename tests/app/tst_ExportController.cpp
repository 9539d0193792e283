// The protocol leaving the real main window: the save dialog and its four
// file types, the files loaded back as starter lists, the web page for the
// browser and the printer (a PDF without printer), and failed saves.
#include "MainWindowFixture.h"
#include "PdfReadBack.h"
#include "TestFiles.h"
#include "UnwritableTargets.h"
#include "app/ExportController.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "protocol/WordProcessorExport.h"
#include "widgets/SortGrid.h"

#include <QApplication>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {

// Blanks inside names, umlauts, markup characters, a quote, a semicolon
// in a name and an empty second co-driver.
const QByteArray RaceList = "Nr.\tTeamName\tKlasse\tFahrer\tBeifahrer1\tBeifahrer2\r\n"
                            "1\tMüller & Söhne\t1\t<script>\tAnn \"Flash\" Lee\t\r\n"
                            "2\tDie Blitze\t2\tJörg Weiß\tEva Roth\tTim Kuhn\r\n"
                            "3\tRot;Weiß\t1\tPaul\tPia\tPeer\r\n";

} // namespace

class TestExportController : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;
    TFormMain *m_form = nullptr;

    // Loads the race list and gives team 1 a time, the way a race day does.
    void LoadRace()
    {
        m_program.Load(RaceList, QStringLiteral("Rennen.txt"));
        QVERIFY(m_form->Protocol->RecordLaneTime(ColZeit, 1, QStringLiteral("83,45")));
        m_form->Protocol->RankProtocol();
    }

    // The protocol's rows as shown, "cell|cell|...", blanks around cells aside.
    QStringList ProtocolRows() const
    {
        QStringList rows;
        for (QStringList row : m_program.GridRows()) {
            for (QString &cell : row)
                cell = cell.trimmed();
            rows << row.join(QLatin1Char('|'));
        }
        return rows;
    }

    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const FakePlatform::Message &message : m_program.Platform().messages)
            texts << message.text;
        return texts;
    }

private slots:
    void initTestCase()
    {
        m_program.Enter();
        // The documents folder the word processor saves into.
        qputenv("HOME", m_program.Folder().Path().toLocal8Bit());
        qputenv("TMPDIR", m_program.Folder().Path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void init()
    {
        m_program.Open();
        m_form = m_program.Form();
        m_form->resize(1000, 700);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }

    void cleanup() { m_program.Close(); }

    void saveDialogProposals()
    {
        LoadRace();
        m_form->sbSave->click(); // cancelled: nothing written, nothing shown
        QCOMPARE(m_program.Platform().saveRequests.size(), 1);
        const Platform::FileDialogRequest first = m_program.Platform().saveRequests[0];
        const QStringList patterns = first.filter.split(u'|');
        QCOMPARE(patterns.size(), 8);
        QCOMPARE((QStringList{patterns[1], patterns[3], patterns[5], patterns[7]}),
                 (QStringList{"*.csv", "*.doc", "*.html", "*.txt"}));
        QCOMPARE(first.defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(first.fileName, m_program.Folder().FilePath(QStringLiteral("Rennen")));
        QVERIFY(m_program.Platform().messages.isEmpty());
        QCOMPARE(QDir(m_program.Folder().Path()).entryList({"Rennen.*"}, QDir::Files),
                 QStringList{"Rennen.txt"});

        // The chosen type and place are proposed next time and kept for the next start.
        const QString html = m_program.Folder().FilePath(QStringLiteral("Ergebnis.html"));
        m_program.Save(html, SaveDialogIndex(FileType::WebPage));
        m_form->sbSave->click();
        const Platform::FileDialogRequest second = m_program.Platform().saveRequests.last();
        QCOMPARE(second.filterIndex, SaveDialogIndex(FileType::WebPage));
        QCOMPARE(second.fileName, html);
        m_program.Restart();
        m_form = m_program.Form();
        QCOMPARE(m_form->SaveDialog1.filterIndex, SaveDialogIndex(FileType::WebPage));
        QCOMPARE(m_form->SaveDialog1.folder,
                 QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
        QCOMPARE(m_form->SaveDialog1.fileName, m_form->ApplicationTitle + QStringLiteral(".txt"));
    }

    void savedFiles_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("secondLine");
        QTest::newRow("semicolons")
            << SaveDialogIndex(FileType::SemicolonList) << "p.csv"
            << QByteArray(
                   "1;M\xC3\xBC"
                   "ller & S\xC3\xB6hne;1;<script>;Ann \"Flash\" Lee; ;83,45;0,00;83,45;1\r\n");
        QTest::newRow("tabs") << SaveDialogIndex(FileType::TabText) << "p.txt"
                              << QByteArray("1\tM\xC3\xBC"
                                            "ller & S\xC3\xB6hne\t1\t<script>\tAnn \"Flash\" Lee\t "
                                            "\t83,45\t0,00\t83,45\t1\t\r\n");
        QTest::newRow("an unknown type writes tabs")
            << 9 << "p.dat"
            << QByteArray("1\tM\xC3\xBC"
                          "ller & S\xC3\xB6hne\t1\t<script>\tAnn \"Flash\" Lee\t "
                          "\t83,45\t0,00\t83,45\t1\t\r\n");
        QTest::newRow("web page")
            << SaveDialogIndex(FileType::WebPage) << "p.html"
            << QByteArray("<tr><td>1<td>M\xC3\xBC"
                          "ller &amp; S\xC3\xB6hne<td>1<td>&lt;script&gt;<td>Ann &quot;Flash&quot; "
                          "Lee<td>&nbsp;<td>83,45<td>0,00<td>83,45<td>1</tr>\r\n");
    }
    void savedFiles()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QByteArray, secondLine);
        LoadRace();
        const QString path = m_program.Folder().FilePath(name);
        QVERIFY(m_form->Protocol->ProtocolModified());
        m_program.Save(path, type);
        QVERIFY(!m_form->Protocol->ProtocolModified());
        QVERIFY(MessageTexts().isEmpty());
        const QByteArray bytes = ReadAll(path);
        const QList<QByteArray> lines = bytes.split('\n');
        QVERIFY2(lines.contains(secondLine.chopped(1)), bytes.constData());
        QVERIFY(m_form->statusBar()->currentMessage().contains(QDir::toNativeSeparators(path)));
    }

    // A protocol saved as text comes back as the same starter list.
    void savedTextLoadsBack_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("semicolons") << SaveDialogIndex(FileType::SemicolonList) << "back.csv";
        QTest::newRow("tabs") << SaveDialogIndex(FileType::TabText) << "back.txt";
    }
    void savedTextLoadsBack()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        m_program.Load(RaceList, QStringLiteral("Liste.txt"));
        QVERIFY(m_form->Protocol->RecordLaneTime(ColZeit, 2, QStringLiteral("61,02")));
        m_form->Protocol->RankProtocol();
        const QStringList before = ProtocolRows();
        m_program.Save(m_program.Folder().FilePath(name), type);
        m_program.LoadFile(m_program.Folder().FilePath(name));
        QCOMPARE(ProtocolRows(), before);
    }

    void failedSaves_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("box");
        QTest::newRow("semicolons")
            << SaveDialogIndex(FileType::SemicolonList) << "Can't write to file:\r";
        QTest::newRow("tabs") << SaveDialogIndex(FileType::TabText) << "Error write file: ";
        QTest::newRow("web page") << SaveDialogIndex(FileType::WebPage) << "Error write file: ";
    }
    void failedSaves()
    {
        QFETCH(int, type);
        QFETCH(QString, box);
        LoadRace();
        // A folder of the chosen name stays a folder.
        const QString folder = m_program.Folder().FilePath(QStringLiteral("Ordner"));
        QVERIFY(QDir().mkpath(folder));
        m_program.Save(folder, type);
        QVERIFY(m_form->Protocol->ProtocolModified());
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(MessageTexts().size(), 1);
        QVERIFY2(MessageTexts()[0].startsWith(box + folder), qPrintable(MessageTexts()[0]));

        // A folder that cannot be written keeps the old file.
        QTemporaryDir locked;
        const QString old = locked.filePath(QStringLiteral("alt.txt"));
        {
            QFile file(old);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        ImmutableFolder guard;
        if (!guard.Lock(locked.path()))
            QSKIP("this file system cannot mark a folder immutable");
        m_program.Save(old, type);
        QCOMPARE(ReadAll(old), QByteArray("old"));
        QCOMPARE(MessageTexts().size(), 2);
        QVERIFY(MessageTexts()[1].startsWith(box + old));
    }

    void webPageInTheBrowser()
    {
        LoadRace();
        m_form->sbInet->click();
        m_form->sbInet->click(); // the same page again, overwritten
        const QString page = QDir::current().absoluteFilePath(m_form->ApplicationTitle + ".html");
        QCOMPARE(m_program.Platform().openedUrls,
                 (QList<QUrl>{QUrl::fromLocalFile(page), QUrl::fromLocalFile(page)}));
        QVERIFY(ReadAll(page).contains("<td>M\xC3\xBCller &amp; S\xC3\xB6hne"));
        QVERIFY(m_program.Platform().printedPdfs.isEmpty());
    }

    // Without a browser the operator learns where the page is.
    void webPageWithoutBrowser()
    {
        LoadRace();
        m_program.Platform().desktopOpensUrls = false;
        m_form->sbInet->click();
        const QString page = QDir::current().absoluteFilePath(m_form->ApplicationTitle + ".html");
        QCOMPARE(m_program.Platform().openedUrls.size(), 1);
        QVERIFY(m_form->statusBar()->currentMessage().contains(QDir::toNativeSeparators(page)));
    }

    // A page that cannot be written is neither shown nor printed, even
    // when something of its name is there.
    void unwritablePageIsNotShown_data()
    {
        QTest::addColumn<QToolButton * TFormMain::*>("button");
        QTest::newRow("browser") << &TFormMain::sbInet;
        QTest::newRow("printer") << &TFormMain::sbPrint;
    }
    void unwritablePageIsNotShown()
    {
        QFETCH(QToolButton * TFormMain::*, button);
        LoadRace();
        m_program.Platform().printerInstalled = true;
        m_program.Platform().printDialogAnswer = true;
        const QString page = QDir::current().absoluteFilePath(m_form->ApplicationTitle + ".html");
        QFile::remove(page);
        QVERIFY(QDir().mkpath(page));
        (m_form->*button)->click();
        QVERIFY(QDir().rmdir(page));
        QCOMPARE(MessageTexts().size(), 1);
        QVERIFY(MessageTexts()[0].startsWith("Error write file: " + page));
        QVERIFY(m_program.Platform().openedUrls.isEmpty());
        QVERIFY(m_program.Platform().printedPdfs.isEmpty());
        QVERIFY(m_program.Platform().saveRequests.isEmpty());
    }

    // A link of a name the program chose (planted by someone else in a
    // shared folder) is never written through, whether it points to a file
    // or nowhere: a box says so and nothing is written. A name the
    // operator picks in the save dialog still follows its link.
    void linkInPlaceOfAnOwnName_data()
    {
        QTest::addColumn<QToolButton * TFormMain::*>("button");
        QTest::addColumn<bool>("dangling");
        const std::pair<const char *, QToolButton * TFormMain::*> buttons[] = {
            {"web page", &TFormMain::sbInet},
            {"printed page", &TFormMain::sbPrint},
            {"document", &TFormMain::sbWord}};
        for (const auto &[name, button] : buttons) {
            QTest::addRow("%s, link to a file", name) << button << false;
            QTest::addRow("%s, dangling link", name) << button << true;
        }
    }
    void linkInPlaceOfAnOwnName()
    {
        QFETCH(QToolButton * TFormMain::*, button);
        QFETCH(bool, dangling);
        LoadRace();
        m_program.Platform().printerInstalled = true;
        m_program.Platform().printDialogAnswer = true;
        m_program.Platform().automation = FakePlatform::Automation::BuiltIn;
        m_form->ProtocolTemplatePath =
            qEnvironmentVariable("DUOBAHN_SOURCE_DIR") + "/examples/Protokollvorlage.doc";
        m_form->Protocol->RefreshControlStates();
        const QString victim = m_program.Folder().FilePath(QStringLiteral("bashrc"));
        QFile::remove(victim);
        if (!dangling)
            WriteAll(victim, "keep me");
        // The document's name holds the minute: one link for this minute and the next.
        const QDir documents(m_program.Folder().FilePath(QStringLiteral("Documents")));
        const QDateTime now = QDateTime::currentDateTime();
        const QStringList links =
            button == &TFormMain::sbWord
                ? QStringList{documents.filePath(DateStampName(now) + ".doc"),
                              documents.filePath(DateStampName(now.addSecs(60)) + ".doc")}
                : QStringList{m_form->Export->HtmlPageName()};
        QVERIFY(documents.mkpath("."));
        for (const QString &link : links) {
            QFile::remove(link);
            QVERIFY(QFile::link(victim, link));
        }
        (m_form->*button)->click();
        QCOMPARE(m_program.Platform().messages.size(), 1);
        const QString refused = MessageTexts()[0];
        QVERIFY2(refused.contains(" ist ein Verweis auf eine andere Datei und wird nicht "
                                  "überschrieben"),
                 qPrintable(refused));
        QVERIFY(std::any_of(links.begin(), links.end(), [&refused](const QString &link) {
            return refused.contains(link + " ist ein Verweis");
        }));
        QCOMPARE(QFile::exists(victim), !dangling);
        if (!dangling)
            QCOMPARE(ReadAll(victim), QByteArray("keep me"));
        for (const QString &link : links)
            QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(m_program.Platform().openedUrls.isEmpty());
        QVERIFY(m_program.Platform().printedPdfs.isEmpty());

        // The same link chosen in the save dialog is written through.
        m_program.Save(links[0], SaveDialogIndex(FileType::WebPage));
        QCOMPARE(m_program.Platform().messages.size(), 1);
        QVERIFY(ReadAll(victim).contains("Zeitenprotokoll"));
        for (const QString &link : links)
            QFile::remove(link);
    }

    void printing_data()
    {
        QTest::addColumn<bool>("dialogAccepted");
        QTest::addColumn<int>("printed");
        QTest::newRow("printed") << true << 1;
        QTest::newRow("print dialog cancelled") << false << 0;
    }
    void printing()
    {
        QFETCH(bool, dialogAccepted);
        QFETCH(int, printed);
        LoadRace();
        m_program.Platform().printerInstalled = true;
        m_program.Platform().printDialogAnswer = dialogAccepted;
        m_form->sbPrint->click();
        QCOMPARE(m_program.Platform().printedPdfs.size(), printed);
        if (printed) {
            const QString text = PdfText(m_program.Platform().printedPdfs[0]);
            for (const char *shown : {"Zeitenprotokoll", "Müller & Söhne", "<script>", "83,45"})
                QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
        }
        QVERIFY(m_program.Platform().openedUrls.isEmpty());
        QVERIFY(m_program.Platform().saveRequests.isEmpty());
    }

    void printingWithoutPrinterWritesAPdf()
    {
        LoadRace();
        const QString pdf = m_program.Folder().FilePath(QStringLiteral("Protokoll.pdf"));
        m_program.Platform().saveAnswers.enqueue({true, pdf, 1});
        m_form->sbPrint->click();
        QCOMPARE(m_program.Platform().saveRequests.size(), 1);
        QCOMPARE(m_program.Platform().saveRequests[0].defaultSuffix, QStringLiteral("pdf"));
        const QByteArray bytes = ReadAll(pdf);
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(PdfText(bytes).contains(QStringLiteral("Müller & Söhne")));
        QVERIFY(m_form->statusBar()->currentMessage().contains(QDir::toNativeSeparators(pdf)));

        // Cancelled: no file, no box.
        m_form->sbPrint->click();
        QCOMPARE(m_program.Platform().saveRequests.size(), 2);
        QVERIFY(m_program.Platform().messages.isEmpty());
    }

    // The printed protocol (landscape A4, 12 mm margins) spans the page, its
    // number columns end in one line whatever their length, and every page
    // is headed by the loaded list's name and the day, in each locale.
    void printedProtocolLayout_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("C") << QLocale::c();
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    }
    void printedProtocolLayout()
    {
        QFETCH(QLocale, locale);
        LoadRace();
        QLocale::setDefault(locale);
        const QStringList times{"12,30", "5,10", "100,00"};
        for (int row = 1; row <= 3; ++row)
            m_form->SortGrid1->SetCells(ColZeit, row, times[row - 1]);
        const QString pdf = m_program.Folder().FilePath(QStringLiteral("Layout.pdf"));
        m_program.Platform().saveAnswers.enqueue({true, pdf, 1});
        m_form->sbPrint->click();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QList<PdfWord> words = PdfWords(pdf);
        const auto rightEdges = [&words](const QStringList &texts) {
            QList<double> edges;
            for (const PdfWord &word : words)
                if (texts.contains(word.text))
                    edges << word.box.right();
            return edges;
        };
        const QList<double> zeit = rightEdges(times + QStringList{"Zeit"});
        QCOMPARE(zeit.size(), 4);
        for (const double edge : zeit)
            QVERIFY2(qAbs(edge - zeit[0]) < 0.3, qPrintable(QString::number(edge)));
        const QList<double> platz = rightEdges({"Platz"});
        QCOMPARE(platz.size(), 1);
        QVERIFY2(platz[0] > 297 - 12 - 3, qPrintable(QString::number(platz[0])));
        const QString text = PdfText(ReadAll(pdf));
        QVERIFY(text.contains(QStringLiteral("Rennen")));
        QVERIFY2(text.contains(locale.toString(QDate::currentDate(), QLocale::ShortFormat)),
                 qPrintable(text));
    }

    void spreadsheetButton_data()
    {
        QTest::addColumn<int>("automation");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("cellsPut");
        QTest::addColumn<int>("boxes");
        QTest::newRow("every cell") << int(FakePlatform::Automation::Recording) << "" << 40 << 0;
        QTest::newRow("no spreadsheet: silent")
            << int(FakePlatform::Automation::None) << "" << 0 << 0;
        QTest::newRow("failing cell: a box")
            << int(FakePlatform::Automation::Recording) << "Cells" << 1 << 1;
    }
    void spreadsheetButton()
    {
        QFETCH(int, automation);
        QFETCH(QString, failing);
        QFETCH(int, cellsPut);
        QFETCH(int, boxes);
        LoadRace();
        m_program.Platform().automation = FakePlatform::Automation(automation);
        m_program.Platform().automationLog->failingMember = failing;
        m_form->sbExcel->click();
        const QStringList log = m_program.Platform().automationLog->calls;
        QCOMPARE(log.filter(QStringLiteral(".Cells[")).size(), cellsPut);
        QCOMPARE(m_program.Platform().messages.size(), boxes);
        if (cellsPut == 40) {
            QVERIFY(log.contains(R"(Excel.Application.Cells[1, 10] = "Platz")"));
            QVERIFY(log.contains(R"(Excel.Application.Cells[2, 7] = "83.45")"));
            QVERIFY(log.contains(R"(Excel.Application.Cells[2, 5] = "Ann "Flash" Lee")"));
            QCOMPARE(log.last(), QStringLiteral("Excel.Application.Selection.Columns.Autofit()"));
        }
    }

    // Without a spreadsheet program the workbook is still written: an
    // information names it, no error.
    void workbookWithoutSpreadsheetProgram()
    {
        LoadRace();
        m_program.Platform().automation = FakePlatform::Automation::BuiltIn;
        m_program.Platform().desktopOpensUrls = false;
        m_form->sbExcel->click();
        QCOMPARE(m_program.Platform().openedUrls.size(), 1);
        const QString workbook = m_program.Platform().openedUrls[0].toLocalFile();
        QVERIFY(ReadAll(workbook).startsWith("PK"));
        QCOMPARE(m_program.Platform().messages.size(), 1);
        QCOMPARE(m_program.Platform().messages[0].kind, Platform::MessageKind::Information);
        QCOMPARE(m_program.Platform().messages[0].text,
                 "Kein Tabellenprogramm gefunden; die Arbeitsmappe liegt hier: " +
                     QDir::toNativeSeparators(workbook));
    }

    // At start the program's own workbooks older than seven days leave its
    // temporary folder; younger ones and other files stay.
    void oldWorkbooksRemovedAtStart()
    {
        LoadRace();
        m_program.Platform().automation = FakePlatform::Automation::BuiltIn;
        m_form->sbExcel->click();
        const QString folder =
            QFileInfo(m_program.Platform().openedUrls[0].toLocalFile()).absolutePath();
        const QDateTime now = QDateTime::currentDateTime();
        const struct
        {
            const char *name;
            int ageDays;
            bool kept;
        } files[] = {{"Protokoll-2020-01-01-10-00-00-000.xlsx", 8, false},
                     {"Protokoll-2020-01-02-10-00-00-000.xlsx", 6, true},
                     {"Notizen.xlsx", 30, true},
                     {"Protokoll-alt.txt", 30, true}};
        for (const auto &file : files) {
            QFile made(WriteAll(QDir(folder).filePath(file.name), "x"));
            QVERIFY(made.open(QIODevice::ReadWrite));
            QVERIFY(
                made.setFileTime(now.addDays(-file.ageDays), QFileDevice::FileModificationTime));
        }
        m_program.Restart();
        m_form = m_program.Form();
        for (const auto &file : files)
            QVERIFY2(QFile::exists(QDir(folder).filePath(file.name)) == file.kept, file.name);
        QVERIFY(QFile::exists(m_program.Platform().openedUrls[0].toLocalFile()));
    }

    void wordButtonSavesADocumentAndShowsIt()
    {
        LoadRace();
        QVERIFY(!m_form->sbWord->isEnabled()); // no template beside the test program
        m_form->ProtocolTemplatePath =
            qEnvironmentVariable("DUOBAHN_SOURCE_DIR") + "/examples/Protokollvorlage.doc";
        m_form->Protocol->RefreshControlStates();
        QVERIFY(m_form->sbWord->isEnabled());
        m_program.Platform().automation = FakePlatform::Automation::BuiltIn;
        const QDateTime before = QDateTime::currentDateTime();
        m_form->sbWord->click();
        QCOMPARE(m_program.Platform().openedUrls.size(), 1);
        const QString saved = m_program.Platform().openedUrls[0].toLocalFile();
        const QString name = QFileInfo(saved).fileName();
        QVERIFY2(name == DateStampName(before) + ".doc" ||
                     name == DateStampName(QDateTime::currentDateTime()) + ".doc",
                 qPrintable(name));
        QCOMPARE(QFileInfo(saved).absolutePath(),
                 m_program.Folder().FilePath(QStringLiteral("Documents")));
        const QByteArray rtf = ReadAll(saved);
        QVERIFY(rtf.contains("Zeitenprotokoll"));
        QCOMPARE(rtf.count("\\row\n"), 4);
        QVERIFY(m_form->statusBar()->currentMessage().contains(saved));
        QVERIFY(m_program.Platform().messages.isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void documentFromTheSaveDialog_data()
    {
        QTest::addColumn<bool>("templateThere");
        QTest::newRow("written") << true;
        QTest::newRow("template missing: a box") << false;
    }
    void documentFromTheSaveDialog()
    {
        QFETCH(bool, templateThere);
        LoadRace();
        m_form->ProtocolTemplatePath =
            templateThere
                ? qEnvironmentVariable("DUOBAHN_SOURCE_DIR") + "/examples/Protokollvorlage.doc"
                : m_program.Folder().FilePath(QStringLiteral("fehlt.doc"));
        m_program.Platform().automation = FakePlatform::Automation::BuiltIn;
        const QString target = m_program.Folder().FilePath(QStringLiteral("Protokoll.doc"));
        QFile::remove(target);
        m_program.Save(target, SaveDialogIndex(FileType::Document));
        QVERIFY(m_program.Platform().openedUrls.isEmpty()); // saved in the background
        QCOMPARE(QFile::exists(target), templateThere);
        if (templateThere) {
            QCOMPARE(ReadAll(target).count("\\row\n"), 4);
            QVERIFY(m_program.Platform().messages.isEmpty());
        } else {
            QCOMPARE(MessageTexts(),
                     QStringList{"Die Protokollvorlage kann nicht gelesen werden: " +
                                 m_form->ProtocolTemplatePath});
        }
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestExportController)
#include "tst_ExportController.moc"
