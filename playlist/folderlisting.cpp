#include "folderlisting.h"

#include "descriptor.h"
#include "removabledrives.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace FolderListing {

namespace {

// Folders of the program's own plugins, never offered in the tree.
const QStringList &pluginFolderNames()
{
    static const QStringList names{
        QStringLiteral("bearer"),       QStringLiteral("iconengines"),
        QStringLiteral("imageformats"), QStringLiteral("platforminputcontexts"),
        QStringLiteral("platforms"),    QStringLiteral("position"),
        QStringLiteral("printsupport"), QStringLiteral("qmltooling"),
        QStringLiteral("resources"),    QStringLiteral("scenegraph"),
        QStringLiteral("translations")};
    return names;
}

// The type of an entry of the folder open at folderFd (DT_DIR, DT_LNK or another), looked at
// only where the listing does not tell.
unsigned char typeOf(int folderFd, const dirent &entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type;
    struct stat info = {};
    if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return DT_UNKNOWN;
    return S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
}

// Calls visit(entry, folderFd) for each entry of listing that is not hidden, until it returns
// false; then closes listing.
template <typename Visit> void forEachShown(DIR *listing, Visit visit)
{
    if (!listing)
        return;
    const int folderFd = ::dirfd(listing);
    while (const dirent *entry = ::readdir(listing)) {
        if (entry->d_name[0] != '.' && !visit(*entry, folderFd))
            break;
    }
    ::closedir(listing);
}

// A listing of the folder open at folderFd (O_PATH will do), with a reading position of its own.
DIR *listingOf(int folderFd)
{
    const int listed = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *listing = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!listing && listed >= 0)
        ::close(listed);
    return listing;
}

enum class Leads
{
    Folder,
    NotFolder, // a file, or nowhere
    Elsewhere  // out of the folder's mount, or its way cannot be told here
};

// Where the link name of the folder open at folderFd leads, followed only as long as it stays on
// the folder's own mount (RESOLVE_NO_XDEV), since a look beyond may wait on another file
// system. A folder is left open (O_PATH) in target.
Leads followLink(int folderFd, const char *name, Descriptor &target)
{
    open_how how = {};
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_NO_XDEV;
    const long fd = ::syscall(SYS_openat2, folderFd, name, &how, sizeof how);
    if (fd < 0) {
        // EXDEV: it leaves the mount; the others: this system offers no openat2 (an old kernel,
        // a filter on system calls)
        const bool untold = errno == EXDEV || errno == ENOSYS || errno == EPERM ||
                            errno == EINVAL || errno == E2BIG || errno == EAGAIN;
        return untold ? Leads::Elsewhere : Leads::NotFolder;
    }
    target.reset(int(fd));
    struct stat info = {};
    const bool folder = ::fstat(target.fd(), &info) == 0 && S_ISDIR(info.st_mode);
    return folder ? Leads::Folder : Leads::NotFolder;
}

// The folder open at folderFd holds a folder that is not hidden, or a link that leads to one or
// out of the folder's mount (which may be one: the tree offers the arrow, and opening tells).
bool holdsFolder(int folderFd)
{
    bool found = false;
    forEachShown(listingOf(folderFd), [&found](const dirent &entry, int fd) {
        const unsigned char type = typeOf(fd, entry);
        Descriptor target;
        found = type == DT_DIR ||
                (type == DT_LNK && followLink(fd, entry.d_name, target) != Leads::NotFolder);
        return !found;
    });
    return found;
}

// The path of the folder open at folderFd as the system resolved it (links along the way
// followed), where the mount table names mount points; given when it cannot be told.
QString resolvedPath(int folderFd, const QString &given)
{
    char target[PATH_MAX];
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(folderFd);
    const ssize_t size = ::readlink(self.constData(), target, sizeof target);
    if (size <= 0 || size >= ssize_t(sizeof target) || target[0] != '/')
        return QDir::cleanPath(given);
    return QFile::decodeName(QByteArray(target, int(size)));
}

// The mount point that the link name of the folder open at folderFd, at folderPath, reaches by
// its own text.
QString placeOfLink(int folderFd, const char *name, const QString &folderPath,
                    const QSet<QString> &mountPoints)
{
    char text[PATH_MAX];
    const ssize_t size = ::readlinkat(folderFd, name, text, sizeof text);
    QString path = QDir::cleanPath(folderPath);
    if (size > 0 && size < ssize_t(sizeof text)) {
        const QString target = QFile::decodeName(QByteArray(text, int(size)));
        path = QDir::cleanPath(
            target.startsWith(QLatin1Char('/')) ? target : folderPath + QLatin1Char('/') + target);
    }
    while (!mountPoints.contains(path) && path != QLatin1String("/") && !path.isEmpty())
        path = path.left(std::max(int(path.lastIndexOf(QLatin1Char('/'))), 1));
    return path.isEmpty() ? QStringLiteral("/") : path;
}

} // namespace

QVector<Entry> entries(const QString &folder, const QSet<QString> &mountPoints)
{
    QVector<Entry> found;
    DIR *const listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return found;
    const QString resolved = resolvedPath(::dirfd(listing), folder);
    const QString prefix =
        resolved.endsWith(QLatin1Char('/')) ? resolved : resolved + QLatin1Char('/');
    forEachShown(listing, [&](const dirent &entry, int folderFd) {
        const QString name = QFile::decodeName(entry.d_name);
        if (pluginFolderNames().contains(name))
            return true;
        const QString path = prefix + name;
        // another file system's root is not looked at here, where it could hold the listing
        if (mountPoints.contains(path)) {
            found.push_back({name, true, false, path});
            return true;
        }
        const unsigned char type = typeOf(folderFd, entry);
        Descriptor target;
        if (type == DT_DIR) {
            target.reset(
                ::openat(folderFd, entry.d_name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            found.push_back({name, false, target.isValid() && holdsFolder(target.fd()), {}});
        } else if (type == DT_LNK) {
            switch (followLink(folderFd, entry.d_name, target)) {
            case Leads::Folder:
                found.push_back({name, false, holdsFolder(target.fd()), {}});
                break;
            case Leads::Elsewhere:
                found.push_back({name, true, false,
                                 placeOfLink(folderFd, entry.d_name, resolved, mountPoints)});
                break;
            case Leads::NotFolder:
                break;
            }
        }
        return true;
    });
    std::stable_sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return found;
}

QSet<QString> mountPoints()
{
    QSet<QString> points;
    for (const RemovableDrives::MountedVolume &volume : RemovableDrives::mountedVolumes())
        points.insert(QDir::cleanPath(volume.rootPath));
    return points;
}

Kind kindOf(const QString &path)
{
    const Descriptor folder(
        ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isValid())
        return Kind::NotFolder;
    return holdsFolder(folder.fd()) ? Kind::WithSubfolders : Kind::Empty;
}

} // namespace FolderListing
