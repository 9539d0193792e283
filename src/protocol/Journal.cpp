// The recovery journal's files.
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

Journal::Found Journal::Read(JournalState &state, int *unreadableEntry) const
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
    const int unreadable = key != 0 ? ApplyLog(*read, key) : 0;
    if (unreadableEntry)
        *unreadableEntry = unreadable;
    state = std::move(*read);
    return Found::Readable;
}

int Journal::ApplyLog(JournalState &state, quint64 key) const
{
    const QString name = LogFileName();
    // A snapshot whose log could not be made has none: its changes went
    // into snapshots.
    if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
        return 0;
    const RegularFileRead log = ReadRegularFile(name, MaxJournalBytes);
    if (!log.ok)
        return 1;
    bool damaged = false;
    const std::vector<QByteArrayView> payloads = JournalLogPayloads(log.bytes, key, &damaged);
    for (std::size_t entry = 0; entry < payloads.size(); ++entry) {
        const std::optional<JournalChange> change = ReadJournalChangeText(payloads[entry]);
        if (!change || !ApplyJournalChange(state, *change))
            return int(entry) + 1;
    }
    return damaged ? int(payloads.size()) + 1 : 0;
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

QString Journal::AsideName(const QDateTime &stamp, const QString &suffix) const
{
    const QFileInfo info(m_fileName);
    const QString base =
        info.dir().filePath(info.completeBaseName() + QStringLiteral(" vom ") +
                            stamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    for (int number = 1; number < 1000; ++number) {
        const QString name =
            base + (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) + suffix;
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
    return {};
}

QString Journal::KeepAside(const JournalState &state) const
{
    const QString name = AsideName(state.stamp);
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
    return RenameAside(m_fileName, AsideName(stamp));
}

QString Journal::PutLogAside(const QDateTime &stamp) const
{
    return RenameAside(LogFileName(), AsideName(stamp, QStringLiteral(".log")));
}

QString Journal::RenameAside(const QString &file, const QString &name)
{
    return !name.isEmpty() && QFile::rename(file, name) ? name : QString();
}
