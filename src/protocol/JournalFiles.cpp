// The recovery journal's files read back, and kept or put aside under
// dated names.
#include "protocol/Journal.h"

#include "protocol/StarterList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Journal::Found Journal::Read(JournalState &state, int *unreadableEntry) const
{
    if (!QFileInfo::exists(m_fileName) && !QFileInfo(m_fileName).isSymLink())
        return Found::Nothing;
    const RegularFileRead file = ReadRegularFile(m_fileName, MaxJournalBytes);
    quint64 key = 0;
    JournalColumns columns;
    std::optional<JournalState> read;
    if (file.ok)
        read = ReadJournalText(file.bytes, &key, &columns);
    if (!read)
        return Found::Damaged;
    const int unreadable = key != 0 ? ApplyLog(*read, key, columns) : 0;
    if (unreadableEntry)
        *unreadableEntry = unreadable;
    state = std::move(*read);
    return Found::Readable;
}

int Journal::ApplyLog(JournalState &state, quint64 key, const JournalColumns &columns) const
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
        const std::optional<JournalChange> change = ReadJournalChangeText(payloads[entry], columns);
        if (!change || !ApplyJournalChange(state, *change))
            return int(entry) + 1;
    }
    return damaged ? int(payloads.size()) + 1 : 0;
}

QString Journal::AsideName(const QDateTime &stamp, const QString &suffix) const
{
    const QFileInfo info(m_fileName);
    return FreeName(info.completeBaseName() + QStringLiteral(" vom ") +
                        stamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")),
                    suffix);
}

QString Journal::KeptName(const JournalState &state) const
{
    return FreeName(KeptCopyName(state.eventName, state.stamp), QStringLiteral(".txt"));
}

// The first of "<base><suffix>", "<base> (2)<suffix>", ... beside the
// snapshot that names no file yet.
QString Journal::FreeName(const QString &base, const QString &suffix) const
{
    const QString path = QFileInfo(m_fileName).dir().filePath(base);
    for (int number = 1; number < 1000; ++number) {
        const QString name =
            path + (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) + suffix;
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
    return {};
}

QString Journal::KeepCopy(const JournalState &state) const
{
    const QString name = KeptName(state);
    const auto produce = [&](const ChunkWriter &write) {
        return WriteJournalText(state, 0, write);
    };
    if (name.isEmpty() || !QDir().mkpath(QFileInfo(name).absolutePath()) ||
        !WriteFileAtomically(name, produce, nullptr))
        return {};
    return name;
}

QString Journal::KeepAside(const JournalState &state) const
{
    const QString name = KeepCopy(state);
    if (!name.isEmpty())
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
