// Data folder, sound lookup and working folder of the program.
#include "app/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <unistd.h>

namespace {

bool IsSystemFolder(const QString &folder)
{
    static const QStringList systemRoots{
        QStringLiteral("/bin"),   QStringLiteral("/boot"), QStringLiteral("/dev"),
        QStringLiteral("/etc"),   QStringLiteral("/lib"),  QStringLiteral("/lib32"),
        QStringLiteral("/lib64"), QStringLiteral("/opt"),  QStringLiteral("/proc"),
        QStringLiteral("/run"),   QStringLiteral("/sbin"), QStringLiteral("/sys"),
        QStringLiteral("/usr"),   QStringLiteral("/var")};
    const QString path = QDir::cleanPath(folder);
    if (path == QStringLiteral("/"))
        return true;
    for (const QString &root : systemRoots) {
        if (path == root || path.startsWith(root + QLatin1Char('/')))
            return true;
    }
    return false;
}

bool IsWritableFolder(const QString &folder)
{
    return QFileInfo(folder).isDir() &&
           ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

ProgramFolders FindProgramFolders(const QString &executablePath)
{
    ProgramFolders folders;
    folders.executable = QFileInfo(executablePath).absolutePath();
    const QString shared =
        QDir::cleanPath(folders.executable + QStringLiteral("/../share/duobahn"));
    folders.installed = QFileInfo(shared).isDir();
    folders.data = folders.installed ? shared : folders.executable;
    const QDir data(folders.data);
    folders.helpFile =
        data.filePath(QFileInfo(executablePath).completeBaseName() + QStringLiteral(".hlp"));
    folders.protocolTemplate = data.filePath(QStringLiteral("Protokollvorlage.doc"));
    return folders;
}

QString FindSoundFile(const QString &name, const QString &dataFolder)
{
    if (QFileInfo(name).isFile())
        return name;
    const QString shipped = QDir(dataFolder).filePath(name);
    return QFileInfo(shipped).isFile() ? shipped : QString();
}

QString StartFolder(const QString &current, const QString &home)
{
    return IsSystemFolder(current) || !IsWritableFolder(current) ? home : current;
}
