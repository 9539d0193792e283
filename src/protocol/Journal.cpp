// The recovery journal: writing its snapshots, in the background too, and
// its change log, and holding its folder.
#include "protocol/Journal.h"

#include "protocol/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>

namespace {

// The folder locks the journals of this process hold.
struct HeldFolderLocks
{
    static inline std::mutex mutex;
    static inline QSet<QString> names; // guarded by mutex
};

// A lock naming this very process that none of its journals holds was
// left by a program that had the same process id before a reboot.
bool TakeOverLeftLock(QLockFile &lock, const QString &name)
{
    qint64 process = 0;
    QString host;
    QString application;
    return lock.error() == QLockFile::LockFailedError && !HeldFolderLocks::names.contains(name) &&
           lock.getLockInfo(&process, &host, &application) &&
           process == QCoreApplication::applicationPid() && host == QSysInfo::machineHostName() &&
           lock.removeStaleLockFile() && lock.tryLock(0);
}

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
    if (m_folderLock) {
        const std::lock_guard guard(HeldFolderLocks::mutex);
        HeldFolderLocks::names.remove(m_folderLock->fileName());
    }
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

bool Journal::Write(const JournalNotes &notes, const ProtocolColumns &columns,
                    const StartOrder &startOrder, QString *error)
{
    WaitUntilWritten();
    return WriteSnapshot(
        [&](quint64 key, const ChunkWriter &write) {
            return WriteJournalText(notes, columns, startOrder, key, write);
        },
        error);
}

void Journal::WriteInBackground(const JournalNotes &notes, const ProtocolColumns &columns,
                                const StartOrder &startOrder)
{
    {
        const std::lock_guard lock(m_mutex);
        m_waiting = Picture{notes, columns, startOrder};
        m_notesBehind.reset(); // the picture's notes are newer
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
        // Notes changed while it was written go into its log, unless a
        // newer picture (with newer notes) follows anyway.
        if (std::optional<JournalChange> notes = std::exchange(m_notesBehind, std::nullopt);
            notes && written && !m_waiting) {
            lock.unlock();
            const QByteArray payload = JournalChangeText(*notes);
            if (m_log.IsOpen() && m_log.HasRoom(payload))
                m_log.Write(payload, nullptr);
            lock.lock();
        }
        m_writing = false;
        m_changed.notify_all();
    }
}

bool Journal::AppendNotes(const JournalChange &change)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_waiting || m_writing) {
            m_notesBehind = change;
            return true;
        }
    }
    return Append(change);
}

bool Journal::Append(const JournalChange &change)
{
    WaitUntilWritten();
    if (!m_log.IsOpen())
        return false;
    const QByteArray payload = JournalChangeText(change);
    return m_log.HasRoom(payload) && m_log.Write(payload, nullptr);
}

bool Journal::TakeFolder()
{
    const QFileInfo info(m_fileName);
    if (!QDir().mkpath(info.absolutePath()))
        return true; // nothing can be written there either: that is told when it is tried
    const QString name = info.dir().filePath(info.completeBaseName() + QStringLiteral(".lock"));
    auto lock = std::make_unique<QLockFile>(name);
    // Only a running program keeps its lock; a dead one's is taken over.
    lock->setStaleLockTime(0);
    const std::lock_guard guard(HeldFolderLocks::mutex);
    if (!lock->tryLock(0) && !TakeOverLeftLock(*lock, name))
        return lock->error() != QLockFile::LockFailedError;
    HeldFolderLocks::names.insert(name);
    m_folderLock = std::move(lock);
    return true;
}
