#include "filelock.h"

#include "ownentries.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileLock::take(int fd, int folderFd, const QByteArray &name)
{
    release();
    if (fd < 0)
        return false;
    struct stat locked = {};
    struct stat named = {};
    // checked after the lock: a sweep that took the lock first may have removed the entry
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0 &&
                      ::fstatat(folderFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISREG(locked.st_mode) && locked.st_dev == named.st_dev &&
                      locked.st_ino == named.st_ino;
    if (!held) {
        ::close(fd);
        return false;
    }
    heldFd = fd;
    return true;
}

bool FileLock::takeOwn(int folderFd, const QByteArray &name)
{
    // O_NONBLOCK: opening a fifo of the name does not wait for a writer
    const int fd =
        ::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && !OwnEntries::isOwnFile(fd)) {
        ::close(fd);
        return false;
    }
    return take(fd, folderFd, name);
}

void FileLock::release()
{
    if (heldFd < 0)
        return;
    ::close(heldFd);
    heldFd = -1;
}
