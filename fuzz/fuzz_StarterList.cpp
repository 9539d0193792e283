// Any bytes as a starter list: decoding and splitting must neither crash
// nor exceed the team limit, and every column has a text for every row.
#include "protocol/StarterList.h"
#include "protocol/TextDecoding.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProtocolColumns columns;
    const bool complete = ParseStarterList(DecodeFileText(bytes), columns, 50);
    if (columns.rows > 50 || (!complete && columns.rows != 50))
        std::abort();
    for (const QList<QString> &cells : columns.cells) {
        // Each column holds every row's text, after the header's place.
        if (std::size_t(cells.size()) != columns.rows + 1 || !cells.front().isEmpty())
            std::abort();
        for (const QString &cell : cells) {
            if (cell.contains(u'\n') || cell.contains(u'\r'))
                std::abort();
        }
    }
    return 0;
}
