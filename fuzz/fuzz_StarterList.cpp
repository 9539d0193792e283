// Any bytes as a starter list: decoding and splitting must neither crash
// nor exceed the team limit, and every row has its ten columns.
#include "protocol/StarterList.h"
#include "protocol/TextDecoding.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProtocolTable rows;
    const bool complete = ParseStarterList(DecodeFileText(bytes), rows, 50);
    if (rows.size() > 50 || (!complete && rows.size() != 50))
        std::abort();
    for (const ProtocolRow &row : rows) {
        for (const QString &cell : row) {
            if (cell.contains(u'\n') || cell.contains(u'\r'))
                std::abort();
        }
    }
    return 0;
}
