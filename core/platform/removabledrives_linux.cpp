#include "removabledrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace RemovableDrives {

namespace {

// Disk names that may own the block device name: itself, then the name without its partition
// number ("sdb1" -> "sdb", "mmcblk0p1" -> "mmcblk0", "nvme0n1p2" -> "nvme0n1").
QStringList diskCandidates(const QString &blockName)
{
    QStringList names{blockName};
    static const QRegularExpression partitionSuffix(QStringLiteral("^(.*\\d)p\\d+$|^(.*\\D)\\d+$"));
    const QRegularExpressionMatch match = partitionSuffix.match(blockName);
    if (match.hasMatch()) {
        const QString disk = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
        if (!disk.isEmpty())
            names << disk;
    }
    return names;
}

bool readsOne(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == "1";
}

// SD cards show as mmcblk*; built-in readers leave their removable flag at 0.
bool isSdCard(const QString &disk)
{
    return disk.startsWith(QLatin1String("mmcblk"));
}

// /sys/block/<disk> links into the device tree; a USB disk's path passes through a usb bus.
bool sitsOnUsb(const QString &sysDiskPath)
{
    const QString devicePath = QFileInfo(sysDiskPath).canonicalFilePath();
    return devicePath.contains(QLatin1String("/usb"));
}

RootsProvider &rootsProvider()
{
    static RootsProvider provider;
    return provider;
}

// The mount table's escapes of blank, tab, newline and backslash back to their bytes; the
// backslash last, so that an escape it leaves is not read once more.
QByteArray unescapeMountField(QByteArray field)
{
    return field.replace("\\040", " ")
        .replace("\\011", "\t")
        .replace("\\012", "\n")
        .replace("\\134", "\\");
}

bool isUnderMountParent(const QString &rootPath)
{
    for (const QString &parent : mountParents()) {
        if (rootPath.startsWith(parent) && rootPath.size() > parent.size())
            return true;
    }
    return false;
}

} // namespace

const QStringList &mountParents()
{
    static const QStringList parents{QStringLiteral("/media/"), QStringLiteral("/run/media/"),
                                     QStringLiteral("/mnt/")};
    return parents;
}

bool isRemovableDevice(const QByteArray &device, const QString &sysBlockRoot)
{
    QString path = QString::fromLocal8Bit(device);
    if (!path.startsWith(QLatin1Char('/')))
        return false; // tmpfs, network shares and other devices without a node
    // /dev/disk/by-label/... and similar links name the same device
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (!resolved.isEmpty())
        path = resolved;
    const QString blockName = path.section(QLatin1Char('/'), -1);
    if (blockName.isEmpty())
        return false;
    const QDir sysBlock(sysBlockRoot);
    for (const QString &disk : diskCandidates(blockName)) {
        const QString flag = sysBlock.filePath(disk + QStringLiteral("/removable"));
        if (QFileInfo::exists(flag))
            return readsOne(flag) || isSdCard(disk) || sitsOnUsb(sysBlock.filePath(disk));
    }
    return false;
}

QVector<MountedVolume> parseMountInfo(const QByteArray &table)
{
    constexpr int mountPointField = 4;
    constexpr int firstOptionalField = 6;
    QVector<MountedVolume> volumes;
    for (const QByteArray &line : table.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // optional fields ("shared:1", ...) run up to the separator; fs type and source follow
        const int separator = fields.indexOf("-", firstOptionalField);
        if (separator < 0 || separator + 2 >= fields.size())
            continue;
        volumes.push_back({QFile::decodeName(unescapeMountField(fields.at(mountPointField))),
                           unescapeMountField(fields.at(separator + 2))});
    }
    return volumes;
}

QStringList removableRoots(const QVector<MountedVolume> &volumes, const QString &sysBlockRoot)
{
    QStringList roots;
    for (const MountedVolume &volume : volumes) {
        QString root = QDir::cleanPath(volume.rootPath);
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        if (!isUnderMountParent(root) || roots.contains(root))
            continue;
        if (isRemovableDevice(volume.device, sysBlockRoot))
            roots << root;
    }
    roots.sort();
    return roots;
}

QVector<MountedVolume> mountedVolumes()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    return parseMountInfo(table.readAll());
}

QStringList mountedRemovableRoots()
{
    return removableRoots(mountedVolumes(), QStringLiteral("/sys/block"));
}

void setRootsProvider(RootsProvider provider)
{
    rootsProvider() = std::move(provider);
}

QStringList removableRootsForSearch()
{
    return rootsProvider() ? rootsProvider()() : mountedRemovableRoots();
}

} // namespace RemovableDrives
