#include "cameradevice.h"

#include "removabledrives.h"

RemovableCameraDevice::RemovableCameraDevice(std::function<QStringList()> roots)
    : roots_(roots ? std::move(roots)
                   : std::function<QStringList()>(RemovableDrives::mountedRemovableRoots))
{
}

int RemovableCameraDevice::getFirstAvailableDevice()
{
    return roots_().isEmpty() ? 0 : 1;
}

void RemovableCameraDevice::enumAvailableDevice(
    const std::function<void(const QString &root)> &onDrive)
{
    for (QString root : roots_()) {
        while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
            root.chop(1);
        onDrive(root);
    }
}

int RemovableCameraDevice::connectToDevice(int handle)
{
    return handle != 0 && !roots_().isEmpty() ? 1 : 0;
}
