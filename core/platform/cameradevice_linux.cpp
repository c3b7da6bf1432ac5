#include "cameradevice.h"

#include "driveprobe.h"

RemovableCameraDevice::RemovableCameraDevice(QStringList roots) : roots_(std::move(roots)) {}

QStringList RemovableCameraDevice::answeringRoots() const
{
    return DriveProbe::answering(roots_, &DriveProbe::isFolder);
}

int RemovableCameraDevice::getFirstAvailableDevice()
{
    return answeringRoots().isEmpty() ? 0 : 1;
}

void RemovableCameraDevice::enumAvailableDevice(
    const std::function<void(const QString &root)> &onDrive)
{
    for (QString root : answeringRoots()) {
        while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
            root.chop(1);
        onDrive(root);
    }
}

int RemovableCameraDevice::connectToDevice(int handle)
{
    return handle != 0 && !answeringRoots().isEmpty() ? 1 : 0;
}
