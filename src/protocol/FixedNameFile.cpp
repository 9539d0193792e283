// Writing under a name the program chose itself.
#include "protocol/FixedNameFile.h"

#include "protocol/RegularFile.h"

#include <QFile>
#include <sys/stat.h>

namespace {

// Why nothing may be written under the name, or "" when it is free or a file.
QString Refusal(const QString &fileName)
{
    struct stat status
    {};
    if (::lstat(QFile::encodeName(fileName).constData(), &status) != 0)
        return {};
    if (S_ISLNK(status.st_mode))
        return fileName +
               QStringLiteral(
                   " ist ein Verweis auf eine andere Datei und wird nicht überschrieben");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("Keine Datei: ") + fileName;
    return {};
}

} // namespace

bool WriteFixedNameFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    if (const QString refusal = Refusal(fileName); !refusal.isEmpty()) {
        *error = refusal;
        return false;
    }
    // A link planted after the look above is replaced by the rename, not followed.
    return WriteFileAtomically(fileName, bytes, error, FileReaders::Anyone);
}
