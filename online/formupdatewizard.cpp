#include "formupdatewizard.h"

#include "appfont.h"
#include "appglobals.h"
#include "framelesshelper.h"
#include "onlinestyle.h"
#include "ui_formupdatewizard.h"

namespace {

const QString textColour = QStringLiteral("#ffffff");

QFont scaledAppFont(const QFont &formFont, int pixelSize)
{
    QFont font = applyAppFont(formFont, 0, false);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

FormUpdateWizard::FormUpdateWizard(const QString &objectName, const QString &title, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormUpdateWizard>()),
      download_(new FileDownload(this))
{
    ui->setupUi(this);
    setObjectName(objectName);
    ui->la_title->setText(title);
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    FramelessHelper::install(this);
    ui->la_title->setFont(scaledAppFont(ui->la_title->font(), 31));
    ui->info_text->setFont(scaledAppFont(ui->info_text->font(), 21));
    connect(download_, &FileDownload::downloaded, this, &FormUpdateWizard::downloadedProcess);
    connect(download_, &FileDownload::downloadProgress, this,
            &FormUpdateWizard::updateDownloadProgress);
    connect(download_, &FileDownload::saveFileFailed, this, &FormUpdateWizard::saveFileFailed);
    connect(download_, &FileDownload::downloadError, this, &FormUpdateWizard::downloadError);
    connect(download_, &FileDownload::saveFileCompleted, this,
            &FormUpdateWizard::saveFileCompleted);
}

// A save still running (onto a drive that stopped answering) ends by itself: it owns its part.
FormUpdateWizard::~FormUpdateWizard() = default;

void FormUpdateWizard::setStyle()
{
    setStyleSheet(QStringLiteral("QWidget {background-color:#000000}"));
    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(OnlineStyle::closeButtonSheet());
    // "text-size" is no Qt property: the form's font sets the size
    const QString buttonSheet = OnlineStyle::textButtonSheet(textColour) +
                                QStringLiteral("QPushButton:disabled {border-image:url(%1)}")
                                    .arg(OnlineStyle::folder + QStringLiteral("pw_button_disable"));
    for (QPushButton *button : {ui->btn_next, ui->btn_back, ui->btn_ok})
        button->setStyleSheet(buttonSheet);
    const QString labelSheet = QStringLiteral("QLabel{color:%1;}").arg(textColour);
    ui->info_text->setStyleSheet(labelSheet);
    ui->info_picture->setStyleSheet(labelSheet);
    ui->frame->setStyleSheet(OnlineStyle::titleFrameSheet());
}

QString FormUpdateWizard::updateText(int index)
{
    return gLangUpdate.value(index);
}

QString FormUpdateWizard::progressText(qlonglong received, qlonglong total)
{
    if (total <= 0)
        return updateText(6);
    const int percent = int(float(received) * 100 / float(total));
    return QStringLiteral("%1\n(%2%)").arg(updateText(6)).arg(percent);
}

QString FormUpdateWizard::saveFailedText(int errorCode)
{
    return QStringLiteral("Download failed, save file error:%1.").arg(errorCode);
}

QString FormUpdateWizard::networkFailedText(QNetworkReply::NetworkError error) const
{
    const QString text = QStringLiteral("Download failed, network error:%1.").arg(int(error));
    const int status = download_->refusedStatus();
    return status != 0 ? text + QStringLiteral("\nHTTP status %1").arg(status) : text;
}

QString FormUpdateWizard::versionCheckErrorText()
{
    return QStringLiteral("Version check error!");
}

void FormUpdateWizard::updateDownloadProgress(qlonglong bytesReceived, qlonglong bytesTotal)
{
    if (download_->fileName() != VersionFile::fileName)
        ui->info_text->setText(progressText(bytesReceived, bytesTotal));
}
