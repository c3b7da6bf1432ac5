#include "partfile.h"

#include "ownentries.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int uniqueTagLength = 8;
constexpr int createAttempts = 64;

QString uniqueTag()
{
    return QString::fromLatin1(
        OwnEntries::randomName(uniqueTagLength, "abcdefghijklmnopqrstuvwxyz0123456789"));
}

// ".<base>.<tag>.part[.<suffix>]": hidden, and ending in the target's suffix so that a program
// choosing a format by name (ffmpeg) writes the same format as for the target
QString partName(const QFileInfo &target, const QString &tag)
{
    const QString suffix = target.suffix();
    return QLatin1Char('.') + target.completeBaseName() + QLatin1Char('.') + tag +
           QStringLiteral(".part") + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

// Any name partName() gives: the tag is uniqueTag()'s
const QRegularExpression &partPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\..*\\.[a-z0-9]{%1}\\.part(\\.[^.]+)?$").arg(uniqueTagLength),
        QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

PartFile::PartFile(const QString &targetPath)
    : PartFile(-1, QFileInfo(targetPath).path(), QFileInfo(targetPath).fileName())
{
    // the folder as the caller names it, looked up here once
    folder_.reset(
        ::open(QFile::encodeName(folderPath_).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    openErrno_ = errno;
}

PartFile::PartFile(int folderFd, const QString &folderPath, const QString &targetName)
    : folder_(folderFd >= 0 ? ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0) : -1), folderPath_(folderPath),
      target_(targetName)
{
}

PartFile::~PartFile()
{
    discard();
}

bool PartFile::create()
{
    discard();
    if (!folder_.isValid()) {
        error_ = QStringLiteral("cannot open %1: %2")
                     .arg(folderPath_, QString::fromLocal8Bit(std::strerror(openErrno_)));
        return false;
    }
    const QFileInfo target(target_);
    for (int attempt = 0; attempt < createAttempts; ++attempt) {
        const QByteArray name = QFile::encodeName(partName(target, uniqueTag()));
        const int fd = ::openat(folder_.fd(), name.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            name_ = name;
            error_ = QStringLiteral("cannot create %1: %2").arg(path(), errnoText());
            return false;
        }
        // the lock is held on a duplicate of its own; it fails when another instance's sweep
        // took the new part for a dead one's (and removes it) between the open and the lock
        if (!lock_.take(::fcntl(fd, F_DUPFD_CLOEXEC, 0), folder_.fd(), name)) {
            ::close(fd);
            continue;
        }
        name_ = name;
        if (!file_.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlinkat(folder_.fd(), name.constData(), 0);
            lock_.release();
            error_ = QStringLiteral("cannot open %1").arg(path());
            return false;
        }
        live_ = true;
        return true;
    }
    error_ = QStringLiteral("no free part name beside %1/%2").arg(folderPath_, target_);
    return false;
}

int PartFile::reopen(int flags)
{
    changedByOthers_ = false;
    if (!live_) {
        error_ = QStringLiteral("no part beside %1/%2").arg(folderPath_, target_);
        return -1;
    }
    // non-blocking, so that a fifo put under the name cannot hold the open
    Descriptor fd(
        ::openat(folder_.fd(), name_.constData(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!fd.isValid()) {
        const int openErrno = errno;
        changedByOthers_ = openErrno == ENOENT || openErrno == ELOOP;
        error_ = QStringLiteral("cannot open %1: %2").arg(path(), errnoText());
        errno = openErrno; // for callers that name the system's reason
        return -1;
    }
    if (!OwnEntries::isSameFile(fd.fd(), lock_.fd())) {
        changedByOthers_ = true;
        error_ = QStringLiteral("%1 was replaced by someone else").arg(path());
        return -1;
    }
    ::fcntl(fd.fd(), F_SETFL, ::fcntl(fd.fd(), F_GETFL) & ~O_NONBLOCK);
    return fd.release();
}

bool PartFile::commit()
{
    return commitAs(target_);
}

bool PartFile::commitAs(const QString &targetName)
{
    return commitInto(folder_.fd(), targetName);
}

bool PartFile::commitInto(int folderFd, const QString &targetName)
{
    if (!live_)
        return false;
    changedByOthers_ = false;
    const QByteArray target = QFile::encodeName(targetName);
    const int fd = lock_.fd(); // the part's, also while file() is closed
    if (!OwnEntries::isEntryOf(folder_.fd(), name_, fd)) {
        changedByOthers_ = true;
        error_ = QStringLiteral("%1 was replaced by someone else").arg(path());
        discard();
        return false;
    }
    if (::renameat(folder_.fd(), name_.constData(), folderFd, target.constData()) != 0) {
        const int renameErrno = errno;
        error_ = QStringLiteral("cannot rename %1 to %2: %3").arg(path(), targetName, errnoText());
        if (renameErrno != EXDEV)
            discard();
        errno = renameErrno; // for callers that tell a full disk by errno
        return false;
    }
    // the name is the target's now, whatever became of it since
    const bool inPlace = OwnEntries::isEntryOf(folderFd, target, fd);
    close();
    if (!inPlace) {
        changedByOthers_ = true;
        error_ = QStringLiteral("%1 was taken over by someone else").arg(targetName);
        return false;
    }
    return true;
}

void PartFile::discard()
{
    if (!live_)
        return;
    // a name that another entry took over stays theirs
    if (OwnEntries::isEntryOf(folder_.fd(), name_, lock_.fd()))
        ::unlinkat(folder_.fd(), name_.constData(), 0);
    close();
}

void PartFile::close()
{
    live_ = false;
    file_.close();
    lock_.release();
}

void PartFile::removeLeftoversBeside()
{
    if (folder_.isValid())
        removeLeftovers(folder_.fd());
}

void PartFile::removeLeftovers(int folderFd)
{
    for (const QByteArray &name : OwnEntries::namesIn(folderFd)) {
        FileLock lock; // dropped after the unlink
        if (partPattern().match(QFile::decodeName(name)).hasMatch() && lock.takeOwn(folderFd, name))
            ::unlinkat(folderFd, name.constData(), 0);
    }
}
