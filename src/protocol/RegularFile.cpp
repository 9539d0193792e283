// Safe reading and atomic writing of files.
#include "protocol/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString NotRegularReason()
{
    return QStringLiteral("Das ist keine gewöhnliche Datei (Ordner, Gerät oder Pipe).");
}

QString TooLargeReason(qint64 maxBytes)
{
    return QStringLiteral("Die Datei ist größer als %1 MB.").arg(maxBytes / (1024 * 1024));
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting the error a delayed write may bring.
    int Close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result < 0 ? errno : 0;
    }

private:
    int m_fd;
};

// The reason a regular file of the given status cannot be read, or "".
QString RefusalOf(const struct stat &status, qint64 maxBytes)
{
    if (!S_ISREG(status.st_mode))
        return NotRegularReason();
    if (status.st_size > maxBytes)
        return TooLargeReason(maxBytes);
    return {};
}

bool ReadAll(int fd, qint64 maxBytes, QByteArray &bytes, int &error)
{
    for (;;) {
        char buffer[65536];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            return false;
        }
        if (got == 0)
            return true;
        // A file that grows while it is read must still stay within the limit.
        if (bytes.size() + got > maxBytes)
            return false;
        bytes.append(buffer, got);
    }
}

bool WriteAll(int fd, QByteArrayView bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// A new file "<target>.XXXXXX" (six random letters or digits, the name
// RemoveInterruptedWrites looks for), made exclusively, so nothing of that
// name (nor a link) is ever opened; its descriptor, or -1 with errno set.
int CreateTemporaryBeside(const QByteArray &target, FileReaders readers, QByteArray &name)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // The kernel takes the user's umask off 0666.
    const mode_t mode = readers == FileReaders::Owner ? 0600 : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.';
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)];
        const int fd =
            ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

QString SystemErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

int SyncFolder(const QString &folder)
{
    FileDescriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    return ::fsync(fd.get()) < 0 ? errno : 0;
}

RegularFileRead ReadRegularFile(const QString &fileName, qint64 maxBytes)
{
    RegularFileRead result;
    const QByteArray path = QFile::encodeName(fileName);
    // Looked at before opening: opening a pipe waits for a writer, and
    // opening a device may change its state.
    struct stat status
    {};
    if (::stat(path.constData(), &status) < 0) {
        result.error =
            errno == ENOENT ? QStringLiteral("Die Datei gibt es nicht.") : SystemErrorText(errno);
        return result;
    }
    if (result.error = RefusalOf(status, maxBytes); !result.error.isEmpty())
        return result;
    // The name may have been switched to something else since.
    FileDescriptor fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &status) < 0) {
        result.error = SystemErrorText(errno);
        return result;
    }
    if (result.error = RefusalOf(status, maxBytes); !result.error.isEmpty())
        return result;
    result.bytes.reserve(qsizetype(status.st_size));
    int error = 0;
    if (!ReadAll(fd.get(), maxBytes, result.bytes, error)) {
        result.bytes.clear();
        result.error = error ? SystemErrorText(error) : TooLargeReason(maxBytes);
        return result;
    }
    result.ok = true;
    return result;
}

void RemoveInterruptedWrites(const QString &fileName)
{
    const QFileInfo target(fileName);
    // The name mkostemp gives below: a dot and six random characters.
    const QFileInfoList leftovers = target.dir().entryInfoList(
        {target.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &leftover : leftovers)
        QFile::remove(leftover.filePath());
}

bool WriteFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error,
                         FileReaders readers)
{
    return WriteFileAtomically(
        fileName, [&](const ChunkWriter &write) { return write(bytes); }, error, readers);
}

bool WriteFileAtomically(const QString &fileName,
                         const std::function<bool(const ChunkWriter &)> &produce, QString *error,
                         FileReaders readers)
{
    const QByteArray target = QFile::encodeName(fileName);
    QByteArray temporary;
    const auto fail = [&](int code) {
        if (error)
            *error = SystemErrorText(code);
        return false;
    };
    FileDescriptor fd(CreateTemporaryBeside(target, readers, temporary));
    if (fd.get() < 0)
        return fail(errno);
    int code = 0;
    errno = 0;
    const ChunkWriter write = [&](QByteArrayView piece) { return WriteAll(fd.get(), piece); };
    if (!produce(write) || ::fsync(fd.get()) < 0)
        code = errno ? errno : EIO;
    if (const int closeError = fd.Close(); !code)
        code = closeError;
    if (!code && ::rename(temporary.constData(), target.constData()) < 0)
        code = errno;
    if (code) {
        ::unlink(temporary.constData());
        return fail(code);
    }
    // The rename itself is only durable once the folder is on the disk.
    if (const int syncError = SyncFolder(QFileInfo(fileName).absolutePath()))
        return fail(syncError);
    return true;
}
