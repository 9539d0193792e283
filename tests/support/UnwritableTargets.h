// Targets that refuse writing even to root, for the tests of failed saves:
// a folder marked immutable (nothing in it can be created, replaced or
// removed) and a file size limit that makes every write past it fail, as a
// full disk does.
#pragma once

#include <QString>
#include <sys/resource.h>

class ImmutableFolder
{
public:
    // Marks the folder; false when the file system or the rights do not allow it.
    bool Lock(const QString &path);
    ~ImmutableFolder();

private:
    bool SetFlag(bool on);
    QString m_path;
    bool m_locked = false;
};

class FileSizeLimit
{
public:
    // Writes past this many bytes of a file fail with "file too large".
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};
