// The print preview with a long document: 1 000 certificate-like pages built
// into the page store (memory and temporary file), then page 1 000 shown,
// with the time taken and how much the process grew.
#include "BenchSupport.h"
#include "print/CertificatePages.h"
#include "print/PaperPreview.h"
#include "print/Preview.h"
#include "settings/CertificateLayout.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QImage>

#include <cstdio>

namespace {

const int PageCount = bench::Measured(1000, 3);

void DrawRankedCertificate(QPainter &canvas, CertificateLayout &layout, int place)
{
    ProtocolRow row;
    row[ColPlatz] = QString::number(place);
    row[ColTeamName] = QStringLiteral("Team Nummer %1").arg(place);
    row[ColKlasse] = QStringLiteral("A");
    row[ColFahrer] = QStringLiteral("Fahrerin %1").arg(place);
    row[ColBeifahrer1] = QStringLiteral("Beifahrer Eins");
    row[ColBeifahrer2] = QStringLiteral("Beifahrer Zwei");
    row[ColTotal] =
        QStringLiteral("%1,%2").arg(60 + place % 40).arg(place % 100, 2, 10, QChar('0'));
    DrawCertificate(canvas,
                    CertificateLines(layout, row, QStringLiteral("Pokal"), QDate::currentDate()));
}

void Run(bool useTempFile)
{
    CertificateLayout layout;
    layout.ApplyDefaults();
    for (int i = 9; i < CertificateLayout::EntryCount; ++i)
        layout.Entries[i].Text = QStringLiteral("Freie Zeile %1 mit etwas Text").arg(i);

    TPrintPreview preview;
    preview.resize(800, 1000);
    preview.SetUnits(mmLoMetric);
    preview.SetUseTempFile(useTempFile);
    preview.show();
    QCoreApplication::processEvents();

    const double before = bench::ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    preview.BeginDoc();
    for (int page = 1; page <= PageCount; ++page) {
        if (page > 1)
            preview.NewPage();
        DrawRankedCertificate(*preview.Canvas(), layout, page);
    }
    preview.EndDoc();
    const qint64 built = timer.elapsed();
    preview.SetCurrentPage(PageCount);
    const QImage shown = preview.Sheet()->grab().toImage();
    const qint64 total = timer.elapsed();
    const double after = bench::ResidentBytes();
    std::printf("%-15s %d pages built in %lld ms, page %d shown after %lld ms in all "
                "(%dx%d), resident memory +%.1f MB\n",
                useTempFile ? "temporary file:" : "memory stream:", preview.TotalPages(),
                static_cast<long long>(built), preview.CurrentPage(), static_cast<long long>(total),
                shown.width(), shown.height(), (after - before) / (1024.0 * 1024.0));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Run(false);
    Run(true);
    return 0;
}
