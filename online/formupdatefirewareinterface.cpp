#include "formupdatefirewareinterface.h"

#include "cameradevice.h"
#include "onlinelog.h"
#include "removabledrives.h"
#include "ui_formupdatewizard.h"
#include "updateconfig.h"
#include "workerpool.h"

#include <QJsonArray>
#include <QThread>

namespace {

constexpr unsigned long enumerationPauseMs = 100; // the camera reports its drives late

QString offerText(const QString &headline, const QString &published, const QString &current)
{
    return QStringLiteral("%1\nLatext Version: %2\nCurrent Version: %3")
        .arg(headline, published, current);
}

} // namespace

FormUpdateFirewareInterface::FormUpdateFirewareInterface(QWidget *parent)
    : FormUpdateWizard(QStringLiteral("FormUpdateFirewareInterface"),
                       QStringLiteral("Update Fiemware"), parent)
{
    ui->btn_ok->hide();
    ui->btn_back->hide();
    connect(ui->btn_close, &QPushButton::clicked, this, &FormUpdateFirewareInterface::onClose);
    connect(ui->btn_back, &QPushButton::clicked, this, &FormUpdateFirewareInterface::onBack);
    connect(ui->btn_next, &QPushButton::clicked, this, &FormUpdateFirewareInterface::onNext);
    connect(ui->btn_ok, &QPushButton::clicked, this, &FormUpdateFirewareInterface::onClose);
    connect(this, &FormUpdateFirewareInterface::USBDeviceChange, this,
            &FormUpdateFirewareInterface::updateDeviceChange);
    connect(&check_, &QFutureWatcher<DeviceCheckResult>::finished, this, [this] {
        // a check that found no thread to run on found no camera
        const DeviceCheckResult result = WorkerPool::resultOr(check_.future(), DeviceCheckResult());
        if (!result.record.isEmpty())
            deviceRecord_ = result.record;
        emit USBDeviceChange(result.mode);
    });
    updateStatus();
}

// A check still running (on a drive that stopped answering) ends by itself: it owns its device.
FormUpdateFirewareInterface::~FormUpdateFirewareInterface() = default;

void FormUpdateFirewareInterface::setCameraDevice(std::shared_ptr<CameraDevice> device)
{
    camera_ = std::move(device);
}

DeviceCheckResult FormUpdateFirewareInterface::checkUSBDevice(CameraDevice &device)
{
    DeviceCheckResult result;
    const int handle = device.getFirstAvailableDevice();
    if (handle == 0)
        return result;
    // The drives are collected on this worker and handed over whole with the result.
    QJsonArray disks;
    QJsonArray versions;
    device.enumAvailableDevice([&](const QString &root) {
        disks.append(root);
        versions.append(QString()); // the camera's own version is not read
    });
    QThread::msleep(enumerationPauseMs);
    if (disks.isEmpty())
        return result;
    if (device.connectToDevice(handle) == 0) {
        qCDebug(lcOnline, "Connect to Device Failed!");
        return result;
    }
    result.record =
        QJsonObject{{QStringLiteral("Disk"), disks}, {QStringLiteral("Version"), versions}};
    result.mode = disks.size() == 1 ? 1 : 2;
    return result;
}

void FormUpdateFirewareInterface::startDeviceCheck()
{
    if (check_.isRunning())
        return; // the running check reports for this one
    // the roots are taken here, on the GUI thread, where tests replace their provider
    std::shared_ptr<CameraDevice> device =
        camera_
            ? camera_
            : std::make_shared<RemovableCameraDevice>(RemovableDrives::removableRootsForSearch());
    check_.setFuture(WorkerPool::drives().run([device] { return checkUSBDevice(*device); }));
}

void FormUpdateFirewareInterface::onNext()
{
    ui->btn_next->setEnabled(false);
    ui->info_text->setText(updateText(6));
    switch (state_) {
    case Prompt:
    case Failed:
    case VersionCheckError:
    case SeveralDevices:
    case NoDevice:
        state_ = Checking;
        break;
    case Offer:
        state_ = Downloading;
        if (!info_.url.isEmpty())
            download_->startDownload(QUrl(info_.url), info_.name, cameraDrive());
        break;
    default:
        break;
    }
    updateStatus();
}

void FormUpdateFirewareInterface::onBack()
{
    ui->btn_back->setEnabled(false);
    if (state_ == Checking) {
        setState(Prompt);
        ui->btn_next->setEnabled(true);
        ui->btn_back->hide();
    } else if (state_ != Saved) {
        download_->abort();
        close();
    }
    ui->btn_back->setEnabled(true);
}

void FormUpdateFirewareInterface::onClose()
{
    download_->abort();
    close();
}

void FormUpdateFirewareInterface::updateDeviceChange(int mode)
{
    if (mode == 1)
        download_->startDownload(UpdateConfig::current().firmwareVersionUrl, VersionFile::fileName);
    else if (mode == 2 && state_ == Checking)
        setState(SeveralDevices);
    else if (mode == 3 && state_ == Checking)
        setState(NoDevice);
}

void FormUpdateFirewareInterface::downloadedProcess()
{
    if (download_->fileName() != VersionFile::fileName) {
        // the firmware has arrived: into the root of the one camera drive
        if (!cameraDrive().isEmpty())
            download_->saveInBackground(cameraDrive());
        return;
    }
    const std::optional<JsonInfo_t> parsed =
        VersionFile::parseUpdateJson(download_->downloadedData(), VersionFile::Kind::Firmware);
    if (!parsed) {
        if (state_ == Checking)
            setState(VersionCheckError);
        return;
    }
    info_ = *parsed;
    if (info_.product.isEmpty() || info_.version.isEmpty() || state_ != Checking)
        return;
    const bool oneVersion = !singleVersionEntry().isNull();
    setState(oneVersion && VersionFile::isBareFileName(info_.name) ? Offer : VersionCheckError);
}

void FormUpdateFirewareInterface::saveFileCompleted(QString, QString, int)
{
    ui->info_picture->setText(QStringLiteral("Download Completed"));
    setState(Saved);
}

void FormUpdateFirewareInterface::saveFileFailed(int errorCode)
{
    showFailure(saveFailedText(errorCode));
}

void FormUpdateFirewareInterface::downloadError(QNetworkReply::NetworkError error)
{
    showFailure(networkFailedText(error));
}

void FormUpdateFirewareInterface::showFailure(const QString &text)
{
    state_ = Failed;
    ui->btn_next->setEnabled(true);
    updateButtonText();
    ui->info_text->setText(text);
}

QString FormUpdateFirewareInterface::cameraDrive() const
{
    const QJsonArray disks = deviceRecord_.value(QStringLiteral("Disk")).toArray();
    return disks.size() == 1 ? disks.at(0).toString() : QString();
}

QString FormUpdateFirewareInterface::singleVersionEntry() const
{
    const QJsonArray versions = deviceRecord_.value(QStringLiteral("Version")).toArray();
    return versions.size() == 1 ? versions.at(0).toString(QStringLiteral("")) : QString();
}

void FormUpdateFirewareInterface::setState(int state)
{
    state_ = state;
    updateStatus();
}

void FormUpdateFirewareInterface::updateStatus()
{
    bool enableNext = false;
    switch (state_) {
    case Prompt:
        ui->info_picture->show();
        ui->info_text->setText(QStringLiteral("Please connect the machine to USB."));
        break;
    case Checking:
        ui->info_picture->hide();
        startDeviceCheck();
        break;
    case Offer:
    case Saved:
        if (!singleVersionEntry().isNull()) {
            ui->info_text->setText(
                offerText(state_ == Offer
                              ? QStringLiteral("Are you sure you want to update?")
                              : QStringLiteral("Update completed, the version is not the latest."),
                          info_.version, singleVersionEntry()));
            enableNext = true;
        }
        break;
    case VersionCheckError:
        ui->info_text->setText(versionCheckErrorText());
        enableNext = true;
        break;
    case SeveralDevices:
        ui->info_text->setText(QStringLiteral("More than two connected devices."));
        enableNext = true;
        break;
    case NoDevice:
        ui->info_text->setText(
            QStringLiteral("Please check the device,\nno device is currently connected to USB."));
        enableNext = true;
        break;
    default:
        break;
    }
    updateButtonText();
    if (enableNext)
        ui->btn_next->setEnabled(true);
}

void FormUpdateFirewareInterface::updateButtonText()
{
    const auto show = [](QPushButton *button, bool shown, int text) {
        button->setVisible(shown);
        if (shown)
            button->setText(updateText(text));
    };
    switch (state_) {
    case Prompt:
    case Offer:
        show(ui->btn_next, true, 1);
        show(ui->btn_back, true, 3);
        show(ui->btn_ok, false, 0);
        break;
    case Checking:
        show(ui->btn_next, true, 1);
        show(ui->btn_back, true, 2);
        show(ui->btn_ok, false, 0);
        break;
    case Downloading:
        show(ui->btn_next, true, 1);
        show(ui->btn_back, false, 0);
        show(ui->btn_ok, false, 0);
        break;
    case Saved:
        show(ui->btn_next, false, 0);
        show(ui->btn_back, false, 0);
        show(ui->btn_ok, true, 5);
        break;
    case Failed:
    case VersionCheckError:
    case SeveralDevices:
    case NoDevice:
        show(ui->btn_next, true, 4);
        show(ui->btn_back, true, 3);
        show(ui->btn_ok, false, 0);
        break;
    default:
        break;
    }
}
