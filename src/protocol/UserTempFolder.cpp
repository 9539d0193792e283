// The per-user temporary folder.
#include "protocol/UserTempFolder.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

QString UserTempFolder(QString *error)
{
    const QString path =
        QDir::temp().filePath(QStringLiteral("duobahn-%1").arg(static_cast<qulonglong>(getuid())));
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        *error = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    struct stat info
    {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != getuid() || (info.st_mode & 077) != 0) {
        *error = path + QStringLiteral(": kein privater Ordner dieses Benutzers");
        return {};
    }
    return path;
}
