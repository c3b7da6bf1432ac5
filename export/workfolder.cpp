#include "workfolder.h"

#include "ownentries.h"
#include "partfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int createAttempts = 16;
const QByteArray lockFileName = QByteArrayLiteral("export.lock");
const QByteArray namePrefix = QByteArrayLiteral(".export-");
constexpr int nameTagLength = 6; // as mkdtemp's

// The folder open at folderFd is the one just made under its name, not one that someone else put
// there before it was opened: nothing is in it but the lock file just made in it, and no one may
// change it whom the file system does not let change that file too (the same owner, no write
// right for others that the file lacks). On a file system that gives every entry one owner and
// mode (a memory card's), folder and file agree as well.
bool isMadeHere(int folderFd, int lockFd)
{
    struct stat folder = {};
    struct stat lock = {};
    constexpr mode_t othersWrite = S_IWGRP | S_IWOTH;
    return ::fstat(folderFd, &folder) == 0 && ::fstat(lockFd, &lock) == 0 &&
           folder.st_uid == lock.st_uid && (folder.st_mode & ~lock.st_mode & othersWrite) == 0 &&
           OwnEntries::namesIn(folderFd) == QList<QByteArray>{lockFileName};
}

} // namespace

WorkFolder::WorkFolder(const QString &folder)
    : outputFolder_(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())),
      // a descriptor to reach the folder's entries by, also where the user may write but not list
      parent_(
          ::open(QFile::encodeName(outputFolder_).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{
    if (!parent_.isValid())
        return;
    removeLeftovers(parent_.fd());
    make();
}

WorkFolder::~WorkFolder()
{
    if (!isValid() || OwnEntries::removeFolder(parent_.fd(), name_, folder_.fd()))
        return;
    // A file system that keeps the name of a removed file while it is open (FUSE's
    // ".fuse_hidden") keeps the folder with it: once the lock file is closed, its name goes too.
    lock.release();
    OwnEntries::removeFolder(parent_.fd(), name_, folder_.fd());
}

bool WorkFolder::make()
{
    for (int attempt = 0; attempt < createAttempts; ++attempt) {
        const QByteArray name =
            namePrefix + OwnEntries::randomName(nameTagLength, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                               "abcdefghijklmnopqrstuvwxyz"
                                                               "0123456789");
        if (::mkdirat(parent_.fd(), name.constData(), 0700) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        // a link put under its name since is not followed
        Descriptor folder(OwnEntries::openFolder(parent_.fd(), name));
        if (!folder.isValid())
            return false;
        const int lockFd = ::openat(folder.fd(), lockFileName.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (lockFd < 0)
            return false;
        if (!isMadeHere(folder.fd(), lockFd)) {
            // another folder was put under the name: left as found, but for the lock file
            if (OwnEntries::isEntryOf(folder.fd(), lockFileName, lockFd))
                ::unlinkat(folder.fd(), lockFileName.constData(), 0);
            ::close(lockFd);
            return false;
        }
        if (lock.take(lockFd, folder.fd(), lockFileName)) {
            name_ = name;
            folder_.reset(folder.release());
            return true;
        }
        // Another instance's sweep took the new folder for a dead one's between the lock file's
        // creation and its lock, and removes it; what is left of it goes here.
        OwnEntries::removeFolder(parent_.fd(), name, folder.fd());
    }
    return false;
}

QString WorkFolder::path() const
{
    return isValid() ? QStringLiteral("/proc/self/fd/%1").arg(folder_.fd()) : QString();
}

WorkFolder::Place WorkFolder::placeOf(const QString &filePath) const
{
    const QFileInfo file(filePath);
    const QString folder = QDir::cleanPath(file.absolutePath());
    if (!isValid() || file.fileName().isEmpty())
        return {};
    if (folder == path())
        return {folder_.fd(), file.fileName()};
    if (folder == outputFolder_)
        return {parent_.fd(), file.fileName()};
    return {};
}

bool WorkFolder::isInPlace() const
{
    return isValid() && OwnEntries::isEntryOf(parent_.fd(), name_, folder_.fd());
}

bool WorkFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    if (!isValid())
        return false;
    const int fd = ::openat(folder_.fd(), QFile::encodeName(name).constData(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

void WorkFolder::removeFile(const QString &name) const
{
    if (isValid())
        ::unlinkat(folder_.fd(), QFile::encodeName(name).constData(), 0);
}

void WorkFolder::removeLeftovers(int folderFd)
{
    PartFile::removeLeftovers(folderFd);
    static const QRegularExpression workFolderPattern(
        QStringLiteral("^%1[A-Za-z0-9]{%2}$")
            .arg(QRegularExpression::escape(QString::fromLatin1(namePrefix)))
            .arg(nameTagLength));
    for (const QByteArray &name : OwnEntries::namesIn(folderFd)) {
        if (!workFolderPattern.match(QFile::decodeName(name)).hasMatch())
            continue;
        const Descriptor work(OwnEntries::openOwnFolder(folderFd, name));
        FileLock held; // kept while the folder is removed
        if (work.isValid() && held.takeOwn(work.fd(), lockFileName))
            OwnEntries::removeFolder(folderFd, name, work.fd());
    }
}
