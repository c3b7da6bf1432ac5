// The camera on the USB bus, in place of the vendor's device library: the camera's storage is
// found as mounted removable volumes.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CameraDevice
{
public:
    virtual ~CameraDevice() = default;

    // A non-zero handle when a camera is attached, 0 when none is.
    virtual int getFirstAvailableDevice() = 0;
    // Calls onDrive with the root folder (no trailing "/") of each drive of the attached camera,
    // on the calling thread, before it returns.
    virtual void enumAvailableDevice(const std::function<void(const QString &root)> &onDrive) = 0;
    // Non-zero when the connection to the device of handle succeeded.
    virtual int connectToDevice(int handle) = 0;
};

// Every removable volume that answers counts as the camera's storage: roots are the volume roots
// to consider (RemovableDrives::removableRootsForSearch(), or folders in tests); one that does not
// answer within DriveProbe's bound counts as absent. Its calls block the calling thread for that
// bound at most; a worker thread only.
class RemovableCameraDevice : public CameraDevice
{
public:
    explicit RemovableCameraDevice(QStringList roots);

    int getFirstAvailableDevice() override;
    void enumAvailableDevice(const std::function<void(const QString &root)> &onDrive) override;
    int connectToDevice(int handle) override;

private:
    // The roots that answer now.
    QStringList answeringRoots() const;

    QStringList roots_;
};
