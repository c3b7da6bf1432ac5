#include "ridedatafolder.h"

#include "ridelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

bool copyFileByRename(const QString &sourcePath, const QString &targetFolder, const QString &name)
{
    const QDir target(targetFolder);
    const QString temporary = target.filePath(temporaryName(name));
    QFile::remove(temporary); // a leftover of an earlier, interrupted copy
    QFile in(sourcePath);
    QFile out(temporary);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        qCDebug(lcRideData) << "ride copy cannot open" << sourcePath << in.errorString()
                            << out.errorString();
        out.remove();
        return false;
    }
    const bool written = copyContent(in, out) && out.flush();
    out.close();
    // rename() never replaces an existing file, so a file that appeared meanwhile is kept
    if (!written || out.error() != QFileDevice::NoError ||
        !QFile::rename(temporary, target.filePath(name))) {
        qCDebug(lcRideData) << "ride copy failed" << sourcePath << in.errorString()
                            << out.errorString();
        QFile::remove(temporary);
        return false;
    }
    return true;
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

QStringList namesOfDay(const QStringList &listing, const QString &day)
{
    QStringList names;
    for (const QString &name : listing) {
        if (name.left(dateDigits) == day)
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

CopyResult copyFolder(const QString &source, const QString &target, bool overwrite)
{
    CopyResult result;
    const QDir from(source);
    QDir to(target);
    for (const QString &name : listFiles(source)) {
        if (to.exists(name)) {
            if (!overwrite) {
                result.kept << name;
                continue;
            }
            to.remove(name);
        }
        if (copyFileByRename(from.filePath(name), target, name))
            result.copied << name;
        else
            result.failed << name;
    }
    return result;
}

} // namespace RideDataFolder
