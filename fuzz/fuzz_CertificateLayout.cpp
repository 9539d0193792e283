// Any bytes as the stored certificate layout record: reading must never
// crash, every set-up entry comes back within the editor's ranges, the
// record read once is written back unchanged from then on, and the pages
// of a certificate are built and drawn from it as "Urkunden drucken" does.
#include "print/CertificatePages.h"
#include "settings/CertificateLayout.h"

#include <QApplication>
#include <QDate>
#include <QPainter>
#include <QPicture>
#include <cstdint>
#include <cstdlib>

namespace {

bool WithinEditorRanges(const LayoutEntry &entry)
{
    const auto within = [](std::int32_t value, std::int32_t lowest, std::int32_t highest) {
        return value >= lowest && value <= highest;
    };
    return entry.FontName.isEmpty() ||
           (within(entry.Left, 0, LayoutEntry::MaxPosition) &&
            within(entry.Top, 0, LayoutEntry::MaxPosition) &&
            within(entry.FontSize, LayoutEntry::MinFontSize, LayoutEntry::MaxFontSize) &&
            entry.Alignment <= laRight);
}

ProtocolRow SampleRow()
{
    ProtocolRow row;
    const QStringList cells{"12",    "Die Blitze", "A",    "Anna",  "Bert",
                            "Clara", "60,23",      "1,00", "61,23", "1"};
    for (qsizetype column = 0; column < cells.size(); ++column)
        row[std::size_t(column)] = cells[column];
    return row;
}

// One certificate page of A4 in 0.1 mm, recorded as the preview records it.
void DrawPage(CertificateLayout &layout)
{
    QPicture page;
    QPainter canvas(&page);
    canvas.setWindow(0, 0, 2100, 2970);
    DrawCertificate(canvas, CertificateLines(layout, SampleRow(), QStringLiteral("Bergpreis"),
                                             QDate(2024, 6, 1)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CertificateLayout layout;
    const bool readable = layout.Read(bytes);
    if (readable != (bytes.size() <= CertificateLayout::Size))
        std::abort();
    const QByteArray once = layout.ToBytes();
    CertificateLayout again;
    if (!again.Read(once) || again.ToBytes() != once)
        std::abort();
    for (const LayoutEntry &entry : layout.Entries) {
        if (LayoutEntry::RecordText(entry.Text) != entry.Text || !WithinEditorRanges(entry))
            std::abort();
    }
    layout.ApplyDefaults();
    DrawPage(layout);
    return 0;
}
