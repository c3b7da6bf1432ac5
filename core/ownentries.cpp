#include "ownentries.h"

#include "descriptor.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// An export's folders are flat: a deeper tree is none of its leftovers, and the bound keeps the
// descriptors held at once few.
constexpr int maxDepth = 16;

bool isOwn(const struct stat &entry)
{
    return entry.st_uid == ::geteuid();
}

bool removeFolderAt(int parentFd, const QByteArray &name, int folderFd, int depth);

// Removes what is in the own folder open at folderFd; false when anything stayed.
bool emptyFolder(int folderFd, int depth)
{
    bool empty = true;
    for (const QByteArray &name : OwnEntries::namesIn(folderFd)) {
        const Descriptor sub(OwnEntries::openFolder(folderFd, name));
        const int openErrno = errno;
        bool removed = false;
        if (sub.isValid()) {
            removed = depth < maxDepth && OwnEntries::isOwnFolder(sub.fd()) &&
                      removeFolderAt(folderFd, name, sub.fd(), depth + 1);
        } else if (openErrno == ELOOP || openErrno == ENOTDIR) {
            // a link or a file, also one that replaced a folder since the listing
            removed = ::unlinkat(folderFd, name.constData(), 0) == 0 || errno == ENOENT;
        } else {
            removed = openErrno == ENOENT;
        }
        empty = empty && removed;
    }
    return empty;
}

bool removeFolderAt(int parentFd, const QByteArray &name, int folderFd, int depth)
{
    return emptyFolder(folderFd, depth) && OwnEntries::isEntryOf(parentFd, name, folderFd) &&
           ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0;
}

} // namespace

namespace OwnEntries {

bool isOwnFile(int fd)
{
    struct stat file = {};
    return ::fstat(fd, &file) == 0 && S_ISREG(file.st_mode) && isOwn(file) && file.st_nlink == 1;
}

bool isOwnFolder(int fd)
{
    struct stat folder = {};
    return ::fstat(fd, &folder) == 0 && S_ISDIR(folder.st_mode) && isOwn(folder) &&
           (folder.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool isEntryOf(int parentFd, const QByteArray &name, int fd)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 &&
           ::fstatat(parentFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool isSameFile(int fd, int otherFd)
{
    struct stat one = {};
    struct stat other = {};
    return ::fstat(fd, &one) == 0 && ::fstat(otherFd, &other) == 0 && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino;
}

QByteArray randomName(int length, const char *alphabet)
{
    const int letters = int(std::strlen(alphabet));
    QByteArray name;
    for (int i = 0; i < length; ++i)
        name += alphabet[QRandomGenerator::global()->bounded(letters)];
    return name;
}

QList<QByteArray> namesIn(int folderFd)
{
    QList<QByteArray> names;
    // a descriptor of its own, whose reading position no other reader moves
    const int listed = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

int openFolder(int parentFd, const QByteArray &name)
{
    return ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int openOwnFolder(int parentFd, const QByteArray &name)
{
    Descriptor folder(openFolder(parentFd, name));
    if (!folder.isValid() || !isOwnFolder(folder.fd()))
        return -1;
    return folder.release();
}

bool removeFolder(int parentFd, const QByteArray &name, int folderFd)
{
    return removeFolderAt(parentFd, name, folderFd, 0);
}

} // namespace OwnEntries
