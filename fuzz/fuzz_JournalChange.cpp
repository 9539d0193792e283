// Any bytes as a change record of the recovery journal and as its change
// log: reading must never crash; a record text that reads writes back to
// the same change and applies only to rows that exist; the records found in
// a log are exactly what framing their payloads again gives, from its start.
#include "protocol/Journal.h"

#include <cstdint>
#include <cstdlib>

namespace {

JournalState ThreeTeams()
{
    JournalState state;
    state.rows = {ProtocolRow{"1", "Blitz", "1"}, ProtocolRow{"2", "Flöhe", "1"},
                  ProtocolRow{"3", "Schnecken", "2"}};
    state.stamp = QDateTime(QDate(2026, 12, 7), QTime(23, 0));
    return state;
}

void CheckChangeText(QByteArrayView bytes)
{
    const std::optional<JournalChange> change = ReadJournalChangeText(bytes);
    if (!change)
        return;
    const std::optional<JournalChange> again = ReadJournalChangeText(JournalChangeText(*change));
    if (!again || *again != *change)
        std::abort();
    JournalState state = ThreeTeams();
    const bool applied = ApplyJournalChange(state, *change);
    const bool consistent = applied ? static_cast<const JournalNotes &>(state) == change->notes &&
                                          state.rows.size() == ThreeTeams().rows.size()
                                    : state == ThreeTeams();
    if (!consistent)
        std::abort();
}

void CheckLog(QByteArrayView bytes)
{
    // The key of the first record, so that whole records are found at all.
    quint64 key = 0;
    for (int i = 15; i >= 8 && bytes.size() >= 16; --i)
        key = key << 8 | static_cast<unsigned char>(bytes[i]);
    QByteArray framed;
    for (const QByteArrayView payload : JournalLogPayloads(bytes, key))
        framed += JournalLogRecord(key, payload);
    if (!bytes.startsWith(framed))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CheckChangeText(bytes);
    CheckLog(bytes);
    return 0;
}
