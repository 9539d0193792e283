// 1 000 certificates from a ranked protocol to the certificate window: the
// pages built with the default layout (eight lines each), the first, the
// middle and the last page shown, with the time taken and how much the
// process grew. No printer: the pages are A4, as on a race-day laptop.
#include "BenchSupport.h"
#include "FakePlatform.h"
#include "print/FPP.h"
#include "print/Preview.h"
#include "settings/CertificateLayout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QSpinBox>
#include <cstdio>

namespace {

const int Certificates = bench::Measured(1000, 7);

CertificateRun RankedRun(int certificates)
{
    CertificateRun run;
    run.eventName = QStringLiteral("Bergpreis");
    for (int i = 0; i < certificates; ++i) {
        ProtocolRow row;
        row[ColNr] = QString::number(i + 1);
        row[ColTeamName] = QStringLiteral("Team Nummer %1").arg(i + 1);
        row[ColKlasse] = QString::number(i % 7 + 1);
        row[ColFahrer] = QStringLiteral("Fahrerin %1").arg(i);
        row[ColBeifahrer1] = QStringLiteral("Beifahrer %1").arg(i);
        row[ColTotal] = QStringLiteral("%1,%2").arg(60 + i % 40).arg(i % 100, 2, 10, QChar('0'));
        row[ColPlatz] = QString::number(i / 7 + 1);
        run.table.push_back(row);
    }
    run.lastRow = certificates;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ScopedFakePlatform platform;
    SharedCertificateLayout().ApplyDefaults();
    QPrinter printer(QPrinter::HighResolution);
    TFormPP window(&printer);
    window.ShowCertificates(RankedRun(7)); // fonts and window warmed up
    const CertificateRun run = RankedRun(Certificates);

    const double before = bench::ResidentBytes();
    QElapsedTimer clock;
    clock.start();
    window.ShowCertificates(run);
    const qint64 built = clock.elapsed();
    for (int page : {1, Certificates / 2, Certificates}) {
        window.sePage->setValue(page);
        window.PrintPreview1->repaint();
        QApplication::processEvents();
    }
    const qint64 shown = clock.elapsed();
    std::printf("%d certificates: built in %lld ms, three pages shown by %lld ms, "
                "resident memory %+.1f MB (%d pages stored)\n",
                Certificates, static_cast<long long>(built), static_cast<long long>(shown),
                (bench::ResidentBytes() - before) / (1024.0 * 1024.0),
                window.PrintPreview1->TotalPages());
    return 0;
}
