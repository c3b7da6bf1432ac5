#include "formupdateapplication.h"

#include "abouttexts.h"
#include "launcher.h"
#include "onlinelog.h"
#include "ui_formupdatewizard.h"
#include "updateconfig.h"

#include <QCoreApplication>
#include <QStandardPaths>

const QString FormUpdateApplication::builtInVersion = AboutTexts::builtInVersion();
const QString FormUpdateApplication::installerName = QStringLiteral("TALVEX VIDEO PLAYER.exe");

namespace {
QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
} // namespace

FormUpdateApplication::FormUpdateApplication(QWidget *parent)
    : FormUpdateWizard(QStringLiteral("FormUpdateApplication"),
                       QStringLiteral("Update TALVEX VIDEO PLAYER"), parent),
      launcher_(std::make_shared<ProcessLauncher>()), exit_(&QCoreApplication::exit)
{
    connect(ui->btn_close, &QPushButton::clicked, this, &FormUpdateApplication::onClose);
    connect(ui->btn_back, &QPushButton::clicked, this, &FormUpdateApplication::onBack);
    connect(ui->btn_next, &QPushButton::clicked, this, &FormUpdateApplication::onNext);
    connect(ui->btn_ok, &QPushButton::clicked, this, &FormUpdateApplication::onClose);
    updateStatus();
    ui->info_picture->hide();
    ui->btn_ok->hide();
}

void FormUpdateApplication::setLauncher(std::shared_ptr<Launcher> launcher)
{
    launcher_ = std::move(launcher);
}

void FormUpdateApplication::setExitFunction(std::function<void(int)> exitFunction)
{
    exit_ = std::move(exitFunction);
}

void FormUpdateApplication::onNext()
{
    switch (state_) {
    case Prompt:
    case NetworkError:
    case SaveError:
        setState(Busy);
        download_->startDownload(UpdateConfig::current().applicationVersionUrl,
                                 VersionFile::fileName);
        enableButtons(false);
        break;
    case Offer:
        if (!info_.version.isEmpty())
            download_->startDownload(QUrl(info_.url), info_.name, desktopFolder());
        enableButtons(false);
        break;
    default:
        break;
    }
}

void FormUpdateApplication::onBack()
{
    if (state_ == Offer) {
        setState(Prompt);
    } else if (state_ == Prompt || state_ == NetworkError || state_ == SaveError) {
        download_->abort();
        close();
    }
}

void FormUpdateApplication::onClose()
{
    download_->abort();
    close();
}

void FormUpdateApplication::downloadedProcess()
{
    if (download_->fileName() != VersionFile::fileName) {
        // a file of the user's on the Desktop is never replaced
        download_->saveInBackground(desktopFolder(), FileDownload::Existing::KeepIfDifferent);
        return;
    }
    const std::optional<JsonInfo_t> parsed =
        VersionFile::parseUpdateJson(download_->downloadedData(), VersionFile::Kind::Application);
    if (!parsed) {
        showErrorMessage(NetworkError, versionCheckErrorText());
        return;
    }
    info_ = *parsed;
    if (!info_.product.isEmpty()) {
        qCDebug(lcOnline) << "AAjsonInfo.version " << info_.version << "  VER_FILEVERSION_STR  "
                          << builtInVersion;
        // the installer is run: it comes only over an authenticated channel
        if (info_.version == builtInVersion)
            setState(Latest);
        else if (VersionFile::isBareFileName(info_.name) && VersionFile::isSafeLink(info_.url))
            setState(Offer);
        else
            showErrorMessage(NetworkError, versionCheckErrorText());
    }
    enableButtons(true);
}

void FormUpdateApplication::saveFileCompleted(QString path, QString name, int)
{
    if (name != installerName)
        return;
    // The program ends only once the installer runs.
    if (launcher_->startDetached(path, {}))
        exit_(0);
    else
        showErrorMessage(SaveError, QStringLiteral("Cannot start %1.").arg(path));
}

void FormUpdateApplication::saveFileFailed(int errorCode)
{
    showErrorMessage(SaveError, saveFailedText(errorCode));
}

void FormUpdateApplication::downloadError(QNetworkReply::NetworkError error)
{
    showErrorMessage(NetworkError, networkFailedText(error));
}

void FormUpdateApplication::showErrorMessage(int state, const QString &text)
{
    state_ = state;
    ui->info_text->setText(text);
    ui->btn_back->setText(updateText(3));
    ui->btn_next->setText(updateText(4));
    enableButtons(true);
}

void FormUpdateApplication::enableButtons(bool enabled)
{
    ui->btn_back->setEnabled(enabled);
    ui->btn_next->setEnabled(enabled);
}

void FormUpdateApplication::setState(int state)
{
    state_ = state;
    updateStatus();
}

void FormUpdateApplication::updateStatus()
{
    switch (state_) {
    case Prompt:
        ui->info_text->setText(QStringLiteral("Check TALVEX VIDEO Player latest version."));
        ui->btn_next->setText(updateText(1));
        ui->btn_back->setText(updateText(3));
        break;
    case Offer:
        ui->info_text->setText(QStringLiteral("%1\nLatext Version: %2\nCurrent Version: %3")
                                   .arg(QStringLiteral("Are you sure you want to update?"),
                                        info_.version, builtInVersion));
        ui->btn_next->setText(updateText(1));
        ui->btn_back->setText(updateText(2));
        break;
    case Latest:
        ui->info_text->setText(QStringLiteral("Currently the latest version.\nCurrent Version:%1")
                                   .arg(builtInVersion));
        ui->btn_ok->show();
        ui->btn_back->hide();
        ui->btn_next->hide();
        break;
    case Busy:
        ui->info_text->setText(updateText(6));
        break;
    default:
        break;
    }
}
