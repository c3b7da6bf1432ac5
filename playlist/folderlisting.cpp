#include "folderlisting.h"

#include "removabledrives.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

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

// Calls visit(entry, folderFd) for each entry of folder that is not hidden, until it returns
// false.
template <typename Visit> void forEachShown(const QString &folder, Visit visit)
{
    DIR *const listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return;
    const int folderFd = ::dirfd(listing);
    while (const dirent *entry = ::readdir(listing)) {
        if (entry->d_name[0] != '.' && !visit(*entry, folderFd))
            break;
    }
    ::closedir(listing);
}

// A link or entry of the folder open at folderFd that leads to a folder.
bool leadsToFolder(int folderFd, const dirent &entry)
{
    struct stat info = {};
    return ::fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

// folder holds a folder that is not hidden, or a link to one.
bool hasSubfolders(const QString &folder)
{
    bool found = false;
    forEachShown(folder, [&found](const dirent &entry, int folderFd) {
        const unsigned char type = typeOf(folderFd, entry);
        found = type == DT_DIR || (type == DT_LNK && leadsToFolder(folderFd, entry));
        return !found;
    });
    return found;
}

} // namespace

QVector<Entry> entries(const QString &folder, const QSet<QString> &mountPoints)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QVector<Entry> found;
    forEachShown(folder, [&](const dirent &entry, int folderFd) {
        const QString name = QFile::decodeName(entry.d_name);
        if (pluginFolderNames().contains(name))
            return true;
        const QString path = prefix + name;
        // another file system's root is not looked at here, where it could hold the listing
        if (mountPoints.contains(path)) {
            found.push_back({name, true, false});
            return true;
        }
        const unsigned char type = typeOf(folderFd, entry);
        if (type == DT_DIR)
            found.push_back({name, false, hasSubfolders(path)});
        else if (type == DT_LNK)
            found.push_back({name, true, false});
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
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return Kind::NotFolder;
    return hasSubfolders(path) ? Kind::WithSubfolders : Kind::Empty;
}

} // namespace FolderListing
