#include "ridedatafolder.h"

#include "ridelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace RideDataFolder {

namespace {

constexpr int dateDigits = 8;
constexpr int timeDigits = 6;
constexpr int suffixSearchLength = 17;
constexpr qint64 copyBlockBytes = 64 * 1024;

bool readsAsDecimal(const QString &text)
{
    bool ok = false;
    text.toLong(&ok, 10);
    return ok;
}

QString temporaryName(const QString &name)
{
    return QStringLiteral(".") + name + QStringLiteral(".part");
}

// Streams source into target; false on any read or write error (target then is incomplete).
bool copyContent(QFile &source, QFile &target)
{
    QByteArray block;
    for (;;) {
        block = source.read(copyBlockBytes);
        if (block.isEmpty())
            return source.error() == QFileDevice::NoError;
        if (target.write(block) != block.size())
            return false;
    }
}

// Copies one file by way of a temporary name; the error when it failed.
std::optional<CopyError> copyFileByRename(const QDir &from, const QString &targetFolder,
                                          const QString &name)
{
    const QDir target(targetFolder);
    const QString temporary = target.filePath(temporaryName(name));
    QFile::remove(temporary); // a leftover of an earlier, interrupted copy
    QFile in(from.filePath(name));
    QFile out(temporary);
    const auto fail = [&](bool readSide) {
        qCDebug(lcRideData) << "ride copy failed" << in.fileName() << in.errorString()
                            << out.errorString();
        out.close();
        QFile::remove(temporary);
        return copyError(readSide, from.exists(), out.error());
    };
    if (!in.open(QIODevice::ReadOnly))
        return fail(true);
    if (!out.open(QIODevice::WriteOnly))
        return fail(false);
    if (!copyContent(in, out) || !out.flush())
        return fail(in.error() != QFileDevice::NoError);
    out.close();
    if (out.error() != QFileDevice::NoError)
        return fail(false);
    // rename() never replaces an existing file, so a file that appeared meanwhile is kept
    if (!QFile::rename(temporary, target.filePath(name)))
        return fail(false);
    return std::nullopt;
}

} // namespace

QString folderPath()
{
    return QDir::currentPath() + QLatin1Char('/') + folderName;
}

bool isRideFileName(const QString &name)
{
    return readsAsDecimal(name.mid(0, dateDigits)) &&
           readsAsDecimal(name.mid(dateDigits, timeDigits)) &&
           name.mid(dateDigits + timeDigits, suffixSearchLength).contains(QLatin1String(".TXT"));
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

CardSearch findCardFolders(const QStringList &roots)
{
    CardSearch search;
    for (const QString &root : roots) {
        const QDir dir(root);
        const QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &folder : folders) {
            if (folder == folderName) {
                ++search.count;
                search.found = dir.filePath(folder);
            }
        }
    }
    return search;
}

CopyError copyError(bool readSide, bool sourceFolderExists, QFileDevice::FileError writeError)
{
    if (!sourceFolderExists)
        return CopyError::CardRemoved;
    if (readSide)
        return CopyError::Unreadable;
    return writeError == QFileDevice::ResourceError ? CopyError::DiskFull : CopyError::Unwritable;
}

CopyResult copyFiles(const QString &source, const QStringList &names, const QString &target,
                     bool overwrite, const std::atomic_bool *cancel)
{
    CopyResult result;
    const QDir from(source);
    QDir to(target);
    bool cardGone = false;
    for (const QString &name : names) {
        if (cancel && cancel->load())
            break;
        if (!isRideFileName(name))
            continue;
        if (cardGone) {
            result.failed.append({name, CopyError::CardRemoved});
            continue;
        }
        if (to.exists(name)) {
            if (!overwrite) {
                result.kept << name;
                continue;
            }
            to.remove(name);
        }
        if (const std::optional<CopyError> error = copyFileByRename(from, target, name)) {
            result.failed.append({name, *error});
            cardGone = *error == CopyError::CardRemoved;
        } else {
            result.copied << name;
        }
    }
    return result;
}

CopyResult copyFolder(const QString &source, const QString &target, bool overwrite,
                      const std::atomic_bool *cancel)
{
    return copyFiles(source, listFiles(source), target, overwrite, cancel);
}

} // namespace RideDataFolder
