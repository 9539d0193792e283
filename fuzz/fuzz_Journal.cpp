// Any bytes as a recovery journal snapshot: reading must never crash, and
// whatever reads as a snapshot writes back to the same state and log key.
#include "protocol/Journal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quint64 key = 0;
    const std::optional<JournalState> state = ReadJournalText(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), &key);
    if (state) {
        quint64 keyAgain = 0;
        const std::optional<JournalState> again =
            ReadJournalText(JournalText(*state, key), &keyAgain);
        if (!again || *again != *state || keyAgain != key)
            std::abort();
    }
    return 0;
}
