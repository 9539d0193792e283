// The recovery journal's change log: record framing and the log file.
#include "protocol/JournalLog.h"

#include "protocol/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype LengthAt = 0;
constexpr qsizetype CrcAt = 4;
constexpr qsizetype KeyAt = 8;
constexpr qsizetype HeaderSize = 16;

constexpr std::array<quint32, 256> Crc32Table = [] {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        table[i] = value;
    }
    return table;
}();

quint64 ReadLittleEndian(QByteArrayView bytes, qsizetype at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void AppendLittleEndian(QByteArray &bytes, quint64 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

quint32 RecordCrc(QByteArrayView record)
{
    return Crc32(Crc32(0, record.sliced(LengthAt, 4)), record.sliced(KeyAt));
}

bool WriteAllAt(int fd, QByteArrayView bytes, qint64 offset)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), std::size_t(bytes.size()), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
        offset += written;
    }
    return true;
}

} // namespace

quint32 Crc32(quint32 crc, QByteArrayView bytes)
{
    crc = ~crc;
    for (const char byte : bytes)
        crc = Crc32Table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

QByteArray JournalLogRecord(quint64 key, QByteArrayView payload)
{
    QByteArray record;
    record.reserve(HeaderSize + payload.size());
    AppendLittleEndian(record, quint64(payload.size()), 4);
    AppendLittleEndian(record, 0, 4);
    AppendLittleEndian(record, key, 8);
    record += payload;
    const quint32 crc = RecordCrc(record);
    for (int i = 0; i < 4; ++i)
        record[CrcAt + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return record;
}

std::vector<QByteArrayView> JournalLogPayloads(QByteArrayView log, quint64 key, bool *damaged)
{
    std::vector<QByteArrayView> payloads;
    bool intact = true;
    while (log.size() >= HeaderSize) {
        const quint64 length = ReadLittleEndian(log, LengthAt, 4);
        if (length == 0) {
            // The end mark, or the zeros of a log never written this far.
            intact = log.first(HeaderSize).count('\0') == HeaderSize;
            break;
        }
        if (length > quint64(log.size() - HeaderSize)) {
            intact = false;
            break;
        }
        const QByteArrayView record = log.first(HeaderSize + qsizetype(length));
        if (ReadLittleEndian(record, CrcAt, 4) != RecordCrc(record)) {
            intact = false;
            break;
        }
        // A whole record of an earlier snapshot's log: this one ends before it.
        if (ReadLittleEndian(record, KeyAt, 8) != key)
            break;
        payloads.push_back(record.sliced(HeaderSize));
        log = log.sliced(record.size());
    }
    if (damaged)
        *damaged = !intact;
    return payloads;
}

bool JournalLog::Start(quint64 key, QString *error)
{
    if (!IsOpen() && !Open(error))
        return false;
    m_key = key;
    m_end = 0;
    return true;
}

bool JournalLog::Open(QString *error)
{
    const QByteArray path = QFile::encodeName(m_fileName);
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (m_fd < 0)
        return Fail(errno, error);
    struct stat status
    {};
    if (::fstat(m_fd, &status) < 0)
        return Fail(errno, error);
    if (!S_ISREG(status.st_mode)) {
        Close();
        if (error)
            *error = QStringLiteral("%1 ist keine gewöhnliche Datei.").arg(m_fileName);
        return false;
    }
    // A longer log would not be read back: it starts afresh at the capacity.
    if (status.st_size > Capacity && ::ftruncate(m_fd, Capacity) < 0)
        return Fail(errno, error);
    if (status.st_size >= Capacity)
        return true;
    const int code = Fill(status.st_size);
    if (!code)
        return true;
    // No half-made log stays behind (on a full disk it would only take room).
    if (::ftruncate(m_fd, status.st_size) == 0 && status.st_size == 0)
        ::unlink(path.constData());
    return Fail(code, error);
}

// Zeros up to the capacity, on the disk with the file's name before any
// record relies on them; 0 or the error number.
int JournalLog::Fill(qint64 from)
{
    const QByteArray zeros(64 * 1024, '\0');
    errno = 0;
    for (qint64 at = from; at < Capacity; at += zeros.size()) {
        if (!WriteAllAt(m_fd, QByteArrayView(zeros).first(qMin(zeros.size(), Capacity - at)), at))
            return errno ? errno : EIO;
    }
    if (::fsync(m_fd) < 0)
        return errno;
    return SyncFolder(QFileInfo(m_fileName).absolutePath());
}

bool JournalLog::HasRoom(QByteArrayView payload) const
{
    return m_end + HeaderSize + payload.size() <= Capacity;
}

bool JournalLog::Write(QByteArrayView payload, QString *error)
{
    if (!IsOpen())
        return Fail(EBADF, error);
    if (!HasRoom(payload))
        return Fail(ENOSPC, error);
    // The end mark behind it, in the same write, where the log has room.
    QByteArray record = JournalLogRecord(m_key, payload);
    const qint64 recordSize = record.size();
    record.append(QByteArray(qMin(HeaderSize, Capacity - m_end - recordSize), '\0'));
    errno = 0;
    if (!WriteAllAt(m_fd, record, m_end) || ::fdatasync(m_fd) < 0)
        return Fail(errno ? errno : EIO, error);
    m_end += recordSize;
    return true;
}

bool JournalLog::Fail(int code, QString *error)
{
    Close();
    if (error)
        *error = SystemErrorText(code);
    return false;
}

void JournalLog::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
