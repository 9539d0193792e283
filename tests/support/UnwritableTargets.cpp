// Unwritable targets for the tests of failed saves.
#include "UnwritableTargets.h"

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

bool ImmutableFolder::Lock(const QString &path)
{
    m_path = path;
    m_locked = SetFlag(true);
    return m_locked;
}

ImmutableFolder::~ImmutableFolder()
{
    if (m_locked)
        SetFlag(false);
}

bool ImmutableFolder::SetFlag(bool on)
{
    const int fd = ::open(m_path.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    // Past the limit the kernel sends SIGXFSZ, which would end the test.
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_previous);
    const rlimit limit{bytes, m_previous.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
}
