// Mounted removable volumes (camera memory cards, USB sticks) in place of drive letters.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace RemovableDrives {

// One mounted file system: where it is mounted and the block device behind it.
struct MountedVolume
{
    QString rootPath;  // mount point, e.g. "/media/user/CARD"
    QByteArray device; // e.g. "/dev/sdb1"
};

// Mount points under which the desktop mounts removable media.
const QStringList &mountParents();

// True when the disk holding device (a partition or a whole disk, or a link to one) is removable
// under sysBlockRoot (normally "/sys/block"): it carries removable = 1, is an SD card (mmcblk*,
// built-in card readers are not flagged removable) or its sysfs entry sits on a USB bus.
bool isRemovableDevice(const QByteArray &device, const QString &sysBlockRoot);

// The mounted file systems of a mount table in the form of /proc/self/mountinfo: the mount point
// (fifth field) and the source (the second field after the " - " separator), with the table's
// octal escapes ("\040" for a blank) decoded. Lines not in that form are skipped. Reading the
// table asks nothing of the mounts themselves, so a mount that stopped answering cannot hold it.
QVector<MountedVolume> parseMountInfo(const QByteArray &table);

// Roots of the removable volumes among volumes that are mounted under mountParents(), each
// ending in "/", sorted by path.
QStringList removableRoots(const QVector<MountedVolume> &volumes, const QString &sysBlockRoot);

// parseMountInfo() of this process's mount table (/proc/self/mountinfo); empty when it cannot be
// read.
QVector<MountedVolume> mountedVolumes();

// removableRoots() of mountedVolumes() and /sys/block.
QStringList mountedRemovableRoots();

// Where the camera-card search takes its volume roots from; tests give temporary folders.
using RootsProvider = std::function<QStringList()>;
// An empty provider restores mountedRemovableRoots().
void setRootsProvider(RootsProvider provider);
// The roots of the current provider, in its order.
QStringList removableRootsForSearch();

} // namespace RemovableDrives
