// Every protocol file and export for a 10 000-team protocol: the ";" file
// from the grid, the tab-separated text, the web page, the PDF of the page,
// the .xlsx workbook and the RTF document, each from the cell texts to the
// finished file on disk. Median of a few rounds.
#include "BenchSupport.h"
#include "protocol/Excel.h"
#include "protocol/ProtocolFiles.h"
#include "protocol/ProtocolPrint.h"
#include "protocol/SpreadsheetServer.h"
#include "protocol/UserTempFolder.h"
#include "protocol/WordProcessorExport.h"
#include "widgets/SortGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const int TeamCount = bench::Measured(10000, 100);
const int Rounds = bench::Measured(5, 1);

CellRows GeneratedProtocol()
{
    CellRows rows;
    rows << QStringList{"Nr.",        "TeamName", "Klasse",    "Fahrer", "Beifahrer1",
                        "Beifahrer2", "Zeit",     "Strafzeit", "Total",  "Platz"};
    for (int team = 1; team <= TeamCount; ++team) {
        const QString time =
            QStringLiteral("%1,%2").arg(20 + team % 180).arg(team % 100, 2, 10, QLatin1Char('0'));
        rows << QStringList{QString::number(team),
                            QStringLiteral("Team Müller & Söhne %1").arg(team),
                            QString::number(1 + team % 20),
                            QStringLiteral("Fahrer %1").arg(team),
                            QStringLiteral("Beifahrer A%1").arg(team),
                            QString(),
                            time,
                            QStringLiteral("0,00"),
                            time,
                            QString::number(1 + team % 500)};
    }
    return rows;
}

// The work returns the file it wrote.
void Measure(const char *what, int rounds, const std::function<QString()> &work)
{
    QString file;
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        file = work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%-28s %9.1f ms   %8.1f KiB\n", what, bench::Median(times),
                double(QFileInfo(file).size()) / 1024.0);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    const CellRows rows = GeneratedProtocol();
    std::printf("%d teams, median of %d rounds\n", TeamCount, Rounds);

    TSortGrid grid;
    grid.SetColCount(10);
    grid.SetRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 10; ++c)
            grid.SetCells(c, r, rows[r][c]);
    const QString csv = dir.filePath(QStringLiteral("p.csv"));
    Measure("semicolons (grid)", Rounds, [&] {
        grid.SaveToFile(csv);
        return csv;
    });

    const QString txt = dir.filePath(QStringLiteral("p.txt"));
    Measure("tab-separated text", Rounds, [&] {
        ReplaceFileContents(txt, TabSeparatedProtocol(rows), nullptr);
        return txt;
    });

    const QString html = dir.filePath(QStringLiteral("p.html"));
    Measure("web page", Rounds, [&] {
        ReplaceFileContents(html, HtmlProtocolPage(rows, QStringLiteral("duobahn")), nullptr);
        return html;
    });

    const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
    Measure("printed protocol as PDF", Rounds, [&] {
        ReplaceFileContents(pdf, ProtocolPagePdf(rows, {QStringLiteral("duobahn"), {}, {}}),
                            nullptr);
        return pdf;
    });

    // The spreadsheet server, not made visible, so nothing is opened.
    Measure("workbook (.xlsx)", Rounds, [&] {
        TExcel excel(nullptr);
        excel.application = CreateSpreadsheetServer();
        excel.NewWorkbook();
        for (const QStringList &cells : rows) {
            excel.Values.clear();
            for (const QString &cell : cells)
                excel.Values << SpreadsheetCellText(cell);
            excel.WriteLine();
        }
        excel.AutoFitColumns();
        QString error;
        const QFileInfoList written =
            QDir(UserTempFolder(&error))
                .entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Time);
        return written.isEmpty() ? QString() : written.first().filePath();
    });

    const QString document = dir.filePath(QStringLiteral("p.doc"));
    // The template of the source tree, wherever the benchmark was built.
    const QString templatePath =
        QStringLiteral(DUOBAHN_SOURCE_DIR "/examples/Protokollvorlage.doc");
    if (!QFileInfo::exists(templatePath))
        qFatal("no template at %s", qPrintable(templatePath));
    Measure("document (RTF)", Rounds, [&] {
        return ExportToWordProcessor(rows, WordProcessorMode::Background, templatePath, document);
    });
    return 0;
}
