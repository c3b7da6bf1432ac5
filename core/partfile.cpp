#include "partfile.h"

#include "ownentries.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int uniqueTagLength = 8;
constexpr int createAttempts = 64;

QString uniqueTag()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString tag;
    for (int i = 0; i < uniqueTagLength; ++i)
        tag += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)]);
    return tag;
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

PartFile::PartFile(const QString &targetPath) : target_(targetPath) {}

PartFile::~PartFile()
{
    discard();
}

bool PartFile::create()
{
    discard();
    const QFileInfo target(target_);
    for (int attempt = 0; attempt < createAttempts; ++attempt) {
        const QString path = target.dir().filePath(partName(target, uniqueTag()));
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error_ = QStringLiteral("cannot create %1: %2").arg(path, errnoText());
            return false;
        }
        // the lock is held on a duplicate of its own, so that it outlives file_ closed for
        // another program; it fails when another instance's sweep took the new part for a dead
        // one's (and removes it) between the open and the lock
        if (!lock_.take(::fcntl(fd, F_DUPFD_CLOEXEC, 0), path)) {
            ::close(fd);
            continue;
        }
        path_ = path;
        if (!file_.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(QFile::encodeName(path).constData());
            lock_.release();
            error_ = QStringLiteral("cannot open %1").arg(path);
            return false;
        }
        live_ = true;
        return true;
    }
    error_ = QStringLiteral("no free part name beside %1").arg(target_);
    return false;
}

bool PartFile::commit()
{
    return commitAs(target_);
}

bool PartFile::commitAs(const QString &targetPath)
{
    if (!live_)
        return false;
    file_.close();
    if (std::rename(QFile::encodeName(path()).constData(),
                    QFile::encodeName(targetPath).constData()) != 0) {
        const int renameErrno = errno;
        error_ = QStringLiteral("cannot rename %1 to %2: %3").arg(path(), targetPath, errnoText());
        discard();
        errno = renameErrno; // for callers that tell a full disk by errno
        return false;
    }
    live_ = false;
    lock_.release();
    return true;
}

void PartFile::discard()
{
    if (!live_)
        return;
    live_ = false;
    file_.close();
    ::unlink(QFile::encodeName(path()).constData());
    lock_.release();
}

void PartFile::removeLeftovers(int folderFd)
{
    for (const QByteArray &name : OwnEntries::namesIn(folderFd)) {
        FileLock lock; // dropped after the unlink
        if (partPattern().match(QFile::decodeName(name)).hasMatch() && lock.takeOwn(folderFd, name))
            ::unlinkat(folderFd, name.constData(), 0);
    }
}
