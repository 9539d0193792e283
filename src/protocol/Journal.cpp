// The recovery journal's files.
#include "protocol/Journal.h"

#include "protocol/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

// A key for a new snapshot's log: never 0 (no log), never an earlier one's.
quint64 NewLogKey()
{
    quint64 key = 0;
    while (key == 0)
        key = QRandomGenerator::system()->generate64();
    return key;
}

} // namespace

Journal::Journal(const QString &fileName)
    : m_fileName(fileName), m_log(QFileInfo(fileName).dir().filePath(
                                QFileInfo(fileName).completeBaseName() + QStringLiteral(".log")))
{}

Journal::~Journal()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

bool Journal::WriteSnapshot(const SnapshotWriter &text, QString *error)
{
    // Until this snapshot is on the disk, records of the last one would
    // describe a table that is no longer shown.
    m_log.Close();
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(folder);
        return false;
    }
    const quint64 key = NewLogKey();
    if (!WriteFileAtomically(
            m_fileName, [&](const ChunkWriter &write) { return text(key, write); }, error))
        return false;
    // Without its log every later change takes a snapshot: slower, as safe.
    m_log.Start(key, nullptr);
    return true;
}

bool Journal::Write(const JournalState &state, QString *error)
{
    WaitUntilWritten();
    return WriteSnapshot(
        [&](quint64 key, const ChunkWriter &write) { return WriteJournalText(state, key, write); },
        error);
}

void Journal::WriteInBackground(const JournalNotes &notes, const ProtocolColumns &columns,
                                const StartOrder &startOrder)
{
    {
        const std::lock_guard lock(m_mutex);
        m_waiting = Picture{notes, columns, startOrder};
    }
    if (!m_writer.joinable())
        m_writer = std::thread([this] { WriteInTurn(); });
    m_changed.notify_all();
}

void Journal::WaitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_waiting && !m_writing; });
}

// The journal's thread: writes the newest picture waiting, until the
// journal closes with none left.
void Journal::WriteInTurn()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_waiting || m_closing; });
        if (!m_waiting)
            return;
        std::optional<Picture> picture = std::exchange(m_waiting, std::nullopt);
        m_writing = true;
        lock.unlock();
        QString error;
        const bool written = WriteSnapshot(
            [&](quint64 key, const ChunkWriter &write) {
                return WriteJournalText(picture->notes, picture->columns, picture->startOrder, key,
                                        write);
            },
            &error);
        // The grid's columns are no longer shared once the picture is gone:
        // its next change then copies nothing.
        picture.reset();
        if (m_outcome)
            m_outcome(written, error);
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}

bool Journal::Append(const JournalChange &change)
{
    WaitUntilWritten();
    if (!m_log.IsOpen())
        return false;
    const QByteArray payload = JournalChangeText(change);
    return m_log.HasRoom(payload) && m_log.Write(payload, nullptr);
}

Journal::Found Journal::Read(JournalState &state) const
{
    if (!QFileInfo::exists(m_fileName) && !QFileInfo(m_fileName).isSymLink())
        return Found::Nothing;
    const RegularFileRead file = ReadRegularFile(m_fileName, MaxJournalBytes);
    quint64 key = 0;
    std::optional<JournalState> read;
    if (file.ok)
        read = ReadJournalText(file.bytes, &key);
    if (!read)
        return Found::Damaged;
    const RegularFileRead log =
        key != 0 ? ReadRegularFile(LogFileName(), MaxJournalBytes) : RegularFileRead{};
    for (const QByteArrayView payload : JournalLogPayloads(log.bytes, key)) {
        const std::optional<JournalChange> change = ReadJournalChangeText(payload);
        if (!change || !ApplyJournalChange(*read, *change))
            break;
    }
    state = std::move(*read);
    return Found::Readable;
}

QString Journal::DatedName(const QDateTime &stamp) const
{
    const QFileInfo info(m_fileName);
    const QString base =
        info.dir().filePath(info.completeBaseName() + QStringLiteral(" vom ") +
                            stamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    for (int number = 1; number < 1000; ++number) {
        const QString name = base + (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) +
                             QStringLiteral(".txt");
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
    return {};
}

QString Journal::KeepAside(const JournalState &state) const
{
    const QString name = DatedName(state.stamp);
    const auto produce = [&](const ChunkWriter &write) {
        return WriteJournalText(state, 0, write);
    };
    if (name.isEmpty() || !WriteFileAtomically(name, produce, nullptr))
        return {};
    QFile::remove(m_fileName);
    return name;
}

QString Journal::PutAside(const QDateTime &stamp) const
{
    const QString name = DatedName(stamp);
    return !name.isEmpty() && QFile::rename(m_fileName, name) ? name : QString();
}
