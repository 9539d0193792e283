// Any bytes as the stored certificate layout record: reading must never
// crash, a readable record comes back byte for byte (padded with zeros to
// its size), and placing its entries on a page stays free of overflow.
#include "settings/CertificateLayout.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CertificateLayout layout;
    const bool readable = layout.Read(bytes);
    if (readable != (bytes.size() <= CertificateLayout::Size))
        std::abort();
    const QByteArray expected =
        readable ? bytes + QByteArray(CertificateLayout::Size - bytes.size(), '\0')
                 : QByteArray(CertificateLayout::Size, '\0');
    if (layout.ToBytes() != expected)
        std::abort();
    for (const LayoutEntry &entry : layout.Entries) {
        if (LayoutEntry::RecordText(entry.Text) != entry.Text)
            std::abort();
        for (const int width : {0, 1, 2100, entry.Left, entry.Top, entry.FontSize})
            PlacedLeft(entry, width);
        PageEmHeight(PageCanvasPointSize(entry.FontSize));
    }
    return 0;
}
