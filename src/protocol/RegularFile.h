// Reading and writing the program's files safely: a file is read only when
// it is a regular file within a size limit (never a device, pipe or folder,
// which could block or never end), and a file is replaced atomically, so a
// crash or power cut leaves either the old or the new content on disk.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

struct RegularFileRead
{
    bool ok = false;
    QByteArray bytes;
    QString error; // the reason in German, when !ok
};

// Anything but a regular file (after following links) is refused without
// being opened; so is a file larger than maxBytes.
RegularFileRead ReadRegularFile(const QString &fileName, qint64 maxBytes);

// Who may read a file the program writes.
enum class FileReaders {
    Owner,  // the program's own records: the user alone
    Anyone, // pages and documents for other programs: as the user's umask allows
};

// Writes the bytes to a temporary file beside the target, flushes it to the
// disk, renames it over the target and flushes the folder. The rename puts
// the file in the name's place: a link of that name is replaced, never
// followed. On failure the old file stays as it was, the temporary file is
// removed and the error holds the reason.
bool WriteFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error,
                         FileReaders readers = FileReaders::Owner);
// The same for a text made piece by piece: produce hands each piece to the
// writer it is given, which returns false once a write failed; produce
// then returns false too.
using ChunkWriter = std::function<bool(QByteArrayView piece)>;
bool WriteFileAtomically(const QString &fileName,
                         const std::function<bool(const ChunkWriter &)> &produce, QString *error,
                         FileReaders readers = FileReaders::Owner);

// Removes what writes of that file left behind when the program died
// before their rename: the temporary files "<name>.XXXXXX" beside it.
void RemoveInterruptedWrites(const QString &fileName);

// The operating system's text for an error number.
QString SystemErrorText(int code);

// Flushes a folder's entries (the name of a file made or renamed in it) to
// the disk; 0, or the error number.
int SyncFolder(const QString &folder);
