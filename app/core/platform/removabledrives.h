// Mounted removable volumes (camera memory cards, USB sticks) in place of drive letters.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace RemovableDrives {

// One mounted file system: where it is mounted and the block device behind it.
struct MountedVolume
{
    QString rootPath;  // mount point, e.g. "/media/user/CARD"
    QByteArray device; // e.g. "/dev/sdb1"
};

// Mount points under which the desktop mounts removable media.
const QStringList &mountParents();

// True when the disk holding device (a partition or a whole disk, or a link to one) carries
// removable = 1 under sysBlockRoot (normally "/sys/block").
bool isRemovableDevice(const QByteArray &device, const QString &sysBlockRoot);

// Roots of the removable volumes among volumes that are mounted under mountParents(), each
// ending in "/", sorted by path.
QStringList removableRoots(const QVector<MountedVolume> &volumes, const QString &sysBlockRoot);

// removableRoots() of the system's mounted volumes and /sys/block.
QStringList mountedRemovableRoots();

} // namespace RemovableDrives
