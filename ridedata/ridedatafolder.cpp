#include "ridedatafolder.h"

#include "partfile.h"
#include "ridelog.h"
#include "riderecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>

namespace RideDataFolder {

namespace {

constexpr int dateDigits = 8;
constexpr int timeDigits = 6;
constexpr int maxSuffixLength = 17;
constexpr qint64 copyBlockBytes = 64 * 1024;

bool readsAsDecimal(const QString &text)
{
    bool ok = false;
    text.toLong(&ok, 10);
    return ok;
}

// A failed step of one file's copy: reading the card, or writing with the errno of the write.
struct StepFailure
{
    bool readSide = false;
    int writeErrno = 0;
};

// errno values of a file system without room for the write.
bool isNoRoomErrno(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

// Streams source into target (unbuffered: a write that finds no room fails at once), at most one
// byte more than a ride can have; bytes counts what was copied. The failed step, if any. errno is
// taken right after the write, before anything else can change it.
std::optional<StepFailure> copyContent(QFile &source, QFile &target, qint64 &bytes)
{
    for (bytes = 0;;) {
        const QByteArray block =
            source.read(qMin(copyBlockBytes, RideFormat::maxFileBytes + 1 - bytes));
        if (block.isEmpty()) {
            if (source.error() != QFileDevice::NoError)
                return StepFailure{true, 0};
            return std::nullopt;
        }
        if (target.write(block) != block.size())
            return StepFailure{false, errno};
        bytes += block.size();
    }
}

// What became of one file.
struct FileCopy
{
    bool ride = true; // false: no ride by its size, nothing left in the target
    std::optional<CopyError> error;
    bool stopped = false; // CopyStop::now() came first: nothing left in the target
};

FileCopy failedCopy(const QDir &from, const QFile &in, const PartFile *out, StepFailure failure)
{
    qCDebug(lcRideData) << "ride copy failed" << in.fileName() << in.errorString()
                        << (out ? out->errorString() : QString())
                        << std::strerror(failure.writeErrno);
    return {true, copyError(failure.readSide, from.exists(), isNoRoomErrno(failure.writeErrno))};
}

// Runs step, a write into the target (making or committing the part out), unless the copy was
// stopped now; what became of the file when the copy ends there.
std::optional<FileCopy> targetStep(CopyStop &stop, const QDir &from, const QFile &in, PartFile &out,
                                   const std::function<bool()> &step)
{
    bool done = false;
    int stepErrno = 0;
    if (!stop.unlessStoppedNow([&] {
            done = step();
            stepErrno = errno;
        }))
        return FileCopy{true, std::nullopt, true};
    if (!done)
        return failedCopy(from, in, &out, StepFailure{false, stepErrno});
    return std::nullopt;
}

// Copies one file by way of a part file beside its target when it is a ride by its size: judged on
// the bytes read, as a stream (a pipe) tells no size beforehand; a file already too large is not
// read at all.
FileCopy copyOneFile(const QDir &from, const QDir &to, const QString &name, CopyStop &stop)
{
    QFile in(from.filePath(name));
    if (!in.open(QIODevice::ReadOnly))
        return failedCopy(from, in, nullptr, StepFailure{true, 0});
    if (!in.isSequential() && in.size() > RideFormat::maxFileBytes)
        return {false, std::nullopt};
    PartFile out(to.filePath(name)); // removed alone unless committed
    if (const std::optional<FileCopy> ended =
            targetStep(stop, from, in, out, [&out] { return out.create(); }))
        return *ended;
    qint64 bytes = 0;
    if (const std::optional<StepFailure> failure = copyContent(in, out.file(), bytes))
        return failedCopy(from, in, &out, *failure);
    if (!RideFormat::isRideSize(bytes))
        return {false, std::nullopt};
    if (const std::optional<FileCopy> ended =
            targetStep(stop, from, in, out, [&out] { return out.commit(); }))
        return *ended;
    return {};
}

} // namespace

QString folderPath()
{
    return QDir::currentPath() + QLatin1Char('/') + folderName;
}

bool isRideFileName(const QString &name)
{
    const QString suffix = name.mid(dateDigits + timeDigits);
    return readsAsDecimal(name.mid(0, dateDigits)) &&
           readsAsDecimal(name.mid(dateDigits, timeDigits)) && suffix.size() <= maxSuffixLength &&
           suffix.endsWith(QLatin1String(".TXT"));
}

bool hasRideFile(const QStringList &names)
{
    for (const QString &name : names) {
        if (isRideFileName(name))
            return true;
    }
    return false;
}

QStringList rideFileNames(const QStringList &names)
{
    QStringList rides;
    for (const QString &name : names) {
        if (isRideFileName(name))
            rides << name;
    }
    return rides;
}

QStringList namesOfDay(const QStringList &listing, const QString &day)
{
    QStringList names;
    for (const QString &name : listing) {
        if (name.left(dateDigits) == day && isRideFileName(name))
            names << name;
    }
    return names;
}

QStringList listFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QStringList listRides(const QString &folder)
{
    // only a ride-file name is stat'ed for its size
    const QDir dir(folder);
    QStringList rides;
    for (const QString &name : rideFileNames(listFiles(folder))) {
        if (RideFormat::isRideSize(QFileInfo(dir.filePath(name)).size()))
            rides << name;
    }
    return rides;
}

bool holdsCardFolder(const QString &root)
{
    return QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).contains(folderName);
}

CardSearch cardSearchOf(const QStringList &cardRoots)
{
    CardSearch search;
    search.count = cardRoots.size();
    if (!cardRoots.isEmpty())
        search.found = QDir(cardRoots.last()).filePath(folderName);
    return search;
}

void CopyStop::afterCurrentFile()
{
    requested_.store(true);
}

void CopyStop::now()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    stoppedNow_ = true;
    requested_.store(true);
}

CopyError copyError(bool readSide, bool sourceFolderExists, bool noRoom)
{
    if (!sourceFolderExists)
        return CopyError::CardRemoved;
    if (readSide)
        return CopyError::Unreadable;
    return noRoom ? CopyError::DiskFull : CopyError::Unwritable;
}

CopyResult copyFiles(const QString &source, const QStringList &names, const QString &target,
                     bool overwrite, CopyStop *stop)
{
    CopyStop never;
    CopyStop &control = stop ? *stop : never;
    CopyResult result;
    const QDir from(source);
    const QDir to(target);
    bool cardGone = false;
    for (const QString &name : names) {
        if (control.isRequested())
            break;
        if (!isRideFileName(name))
            continue;
        if (cardGone) {
            result.failed.append({name, CopyError::CardRemoved});
            continue;
        }
        // with overwrite the complete copy is renamed over the existing file
        if (!overwrite && to.exists(name)) {
            result.kept << name;
            continue;
        }
        const FileCopy copy = copyOneFile(from, to, name, control);
        if (copy.stopped)
            break;
        if (copy.error) {
            result.failed.append({name, *copy.error});
            cardGone = *copy.error == CopyError::CardRemoved;
        } else if (copy.ride) {
            result.copied << name;
        }
    }
    return result;
}

CopyResult copyFolder(const QString &source, const QString &target, bool overwrite, CopyStop *stop)
{
    return copyFiles(source, listFiles(source), target, overwrite, stop);
}

} // namespace RideDataFolder
