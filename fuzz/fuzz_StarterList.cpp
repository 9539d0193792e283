// Any bytes as a starter list: decoding and splitting must neither crash
// nor exceed the team limit, and every column has a text for every row
// (a runs' column no header named has none).
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
    for (std::size_t column = 0; column < columns.cells.size(); ++column) {
        const ProtocolTextColumn &cells = columns.cells[column];
        // Each column holds every row's text; a runs' column may hold none.
        const bool unnamedRuns = column >= std::size_t(ProtocolColumnCount) && cells.Size() == 0;
        if (std::size_t(cells.Size()) != columns.rows && !unnamedRuns)
            std::abort();
        for (qsizetype cell = 0; cell < cells.Size(); ++cell) {
            if (cells.At(cell).contains(u'\n') || cells.At(cell).contains(u'\r'))
                std::abort();
        }
    }
    return 0;
}
