// Firmware update wizard: finds the camera's drive, fetches the firmware version file, offers the
// published firmware and writes it into the root folder of the camera's drive.
#pragma once

#include "formupdatewizard.h"

#include <QFutureWatcher>
#include <QJsonObject>

#include <memory>

class CameraDevice;

// What one device check found: mode 1 one drive, 2 several, 3 none; the drive record
// {"Disk": [roots], "Version": [""...]} when the camera accepted the connection.
struct DeviceCheckResult
{
    int mode = 3;
    QJsonObject record;
};

class FormUpdateFirewareInterface : public FormUpdateWizard
{
    Q_OBJECT
public:
    enum State
    {
        Prompt = 0,
        Checking = 1,
        Offer = 2,
        Downloading = 3,
        Saved = 10,
        Failed = 13,
        VersionCheckError = 15,
        SeveralDevices = 16,
        NoDevice = 17
    };

    explicit FormUpdateFirewareInterface(QWidget *parent = nullptr);
    ~FormUpdateFirewareInterface() override;

    // The camera layer the device check asks; unless replaced, a RemovableCameraDevice of the
    // removable roots at the check's start.
    void setCameraDevice(std::shared_ptr<CameraDevice> device);
    QJsonObject deviceRecord() const { return deviceRecord_; }

    // Runs on a thread of WorkerPool::drives(): enumerates the camera's drives and connects to
    // it. A drive that does not answer within DriveProbe's bound counts as absent.
    static DeviceCheckResult checkUSBDevice(CameraDevice &device);

signals:
    void USBDeviceChange(int mode);

private slots:
    void onBack();
    void onNext();
    void onClose();
    void updateDeviceChange(int mode);
    void downloadedProcess() override;
    void saveFileFailed(int errorCode) override;
    void saveFileCompleted(QString path, QString name, int filesize) override;
    void downloadError(QNetworkReply::NetworkError error) override;

private:
    void setState(int state);
    void updateStatus();
    void updateButtonText();
    void startDeviceCheck();
    void showFailure(const QString &text);
    // The camera's single version entry, or null when the record holds not exactly one.
    QString singleVersionEntry() const;
    // The root of the one camera drive of the record, or empty when it holds not exactly one.
    QString cameraDrive() const;

    std::shared_ptr<CameraDevice> camera_; // null: the removable roots at each check
    QFutureWatcher<DeviceCheckResult> check_;
    QJsonObject deviceRecord_;
};
