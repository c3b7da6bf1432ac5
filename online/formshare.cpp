#include "formshare.h"

#include "appglobals.h"
#include "ffmpegarguments.h"
#include "filedialog.h"
#include "formdialog.h"
#include "framelesshelper.h"
#include "shareprogress.h"
#include "skin.h"
#include "ui_formshare.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>

namespace {
// where the visible page frame sits; the others wait below the window
const QRect contentRect(230, 130, 851, 361);

QString shareText(int index)
{
    return gLangShareVideos.value(index);
}
} // namespace

FormShare::FormShare(QWidget *parent, UploadClient *uploadClient)
    : QDialog(parent), ui(std::make_unique<Ui::FormShare>()),
      client(uploadClient ? uploadClient : &youtube)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(1100, 580);
    // rounded mask, drag by the body; a pressed button does not drag
    FramelessHelper::install(this);

    connect(ui->btn_select, &QPushButton::clicked, this, &FormShare::onSelectFolder);
    connect(ui->btn_next, &QPushButton::clicked, this, &FormShare::onNext);
    connect(ui->btn_back, &QPushButton::clicked, this, &FormShare::onBack);
    connect(ui->btn_close, &QPushButton::clicked, this, &FormShare::onClose);
    connect(ui->s2_tbtn_youtube, &QToolButton::clicked, this, &FormShare::onYouTube);
    // upload client -> dialog
    connect(client, &UploadClient::uploadProgressChanged, this, &FormShare::onProgressChanged);
    connect(client, &UploadClient::authenticated, this, &FormShare::onAuthorized);
    connect(client, &UploadClient::uploadFinished, this, &FormShare::onFinished);
    connect(client, &UploadClient::networkErrorOccur, this, &FormShare::onNetworkErrorDialog);
    connect(client, &UploadClient::videoFileChanged, this, &FormShare::onVideoFileChanged);
    connect(client, &UploadClient::authorizationFailed, this, [this] {
        ui->s2_la_signin->hide();
        onNetworkErrorDialog(QNetworkReply::AuthenticationRequiredError);
    });
    connect(&preview, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &FormShare::onProcessFinished);

    ui->btn_back->hide();
    ui->s2_la_signin->hide();
    ui->shareDescription_tv->hide();
    ui->description_ed->hide();
    ui->s3_pv_pd->setRange(0, 100);
    ui->s3_la_progress->setText(QStringLiteral("0%"));
    page_ = 1;
    youtube.init();
}

FormShare::~FormShare()
{
    preview.disconnect(this);
    if (preview.state() != QProcess::NotRunning) {
        preview.kill();
        preview.waitForFinished(3000);
    }
}

QString FormShare::previewPath() const
{
    return previewDir.isValid() ? previewDir.filePath(QStringLiteral("preview.jpg")) : QString();
}

void FormShare::onCurrentVideoPath(QString path)
{
    if (path.isEmpty()) {
        ui->s1_rb_current->setEnabled(false);
        ui->la_image_current->setEnabled(false);
        ui->s1_le_current->setEnabled(false);
        ui->s1_rb_file->setChecked(true);
        return;
    }
    while (path.contains(QLatin1String("//")))
        path.replace(QLatin1String("//"), QLatin1String("/"));
    ui->s1_le_current->setText(path);
    makePreview(path);
}

void FormShare::onCurrentVideoFileInfo(FileInfo_t info)
{
    currentInfo = info;
}

void FormShare::makePreview(const QString &path)
{
    if (preview.state() != QProcess::NotRunning) {
        preview.kill();
        preview.waitForFinished(3000); // reports the old run as failed
    }
    previewTarget = ui->s1_rb_current->isChecked() ? ui->la_image_current : ui->la_image_other;
    previewTarget->setPixmap(QPixmap());
    const QString output = previewPath();
    if (output.isEmpty()) {
        previewTarget = nullptr;
        emit previewFinished(false);
        return;
    }
    QFile::remove(output); // a frame is shown only when this run wrote it
    preview.start(FfmpegArguments::program(), ShareProgress::previewArguments(path, output));
    if (!preview.waitForStarted(10000)) {
        previewTarget = nullptr;
        emit previewFinished(false);
    }
}

void FormShare::onProcessFinished(int exitCode, QProcess::ExitStatus status)
{
    QLabel *target = previewTarget;
    previewTarget = nullptr;
    if (!target)
        return;
    QPixmap frame;
    const bool shown = status == QProcess::NormalExit && exitCode == 0 && frame.load(previewPath());
    if (shown) {
        target->setEnabled(true);
        target->setPixmap(
            frame.scaled(target->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    emit previewFinished(shown);
}

void FormShare::onSelectFolder()
{
    fileDialog = new FileDialog_C;
    fileDialog->applyStyle(style_);
    fileDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(fileDialog, &FileDialog_C::openFileList, this, &FormShare::onOpenFile);
    fileDialog->setMode(FileDialog_C::OpenFiles);
    fileDialog->show();
}

void FormShare::onOpenFile(QList<QUrl> urls)
{
    if (urls.isEmpty())
        return;
    const QString path = urls.first().toLocalFile();
    ui->s1_rb_file->setChecked(true);
    ui->s1_le_file->setStyleSheet(lineEditSheet());
    ui->s1_le_file->setText(path);
    makePreview(path);
}

void FormShare::showPage(int n)
{
    if (n < 1 || n > 4)
        return;
    QFrame *frames[] = {ui->f_step1, ui->f_step2, ui->f_step3};
    QFrame *shown = frames[qMin(n, 3) - 1];
    for (QFrame *frame : frames) {
        if (frame == shown) {
            frame->setGeometry(contentRect);
            frame->show();
        } else {
            frame->hide();
        }
    }
    setStepColours(n);
    static const int headings[] = {6, 11, 13, 15};
    ui->la_step->setText(formatMultilineText(shareText(headings[n - 1])));
    switch (n) {
    case 1:
        ui->btn_back->hide();
        ui->btn_next->setText(shareText(10));
        ui->btn_next->show();
        break;
    case 2:
        ui->btn_back->setText(shareText(12));
        ui->btn_back->show();
        ui->btn_next->setText(shareText(10));
        ui->btn_next->hide(); // until the sign-in is granted
        break;
    case 3:
        ui->btn_back->setText(shareText(14));
        ui->btn_back->show();
        ui->btn_next->hide();
        break;
    default:
        ui->btn_back->hide();
        ui->btn_next->setText(shareText(16));
        ui->btn_next->show();
        break;
    }
    if (n <= 2)
        setSiteButtonImages(QStringLiteral("pw_share_youtube_unselect"),
                            QStringLiteral("pw_share_youtube_select"));
}

void FormShare::goToPage(int p)
{
    page_ = qBound(1, p, 4);
    showPage(page_);
}

void FormShare::onNext()
{
    switch (page_) {
    case 1: {
        const QString path =
            ui->s1_rb_current->isChecked() ? ui->s1_le_current->text() : ui->s1_le_file->text();
        if (path.isEmpty() || !QFileInfo(path).isFile())
            return;
        videoPath = path;
        goToPage(2);
        break;
    }
    case 2:
        startUpload();
        goToPage(3);
        break;
    case 3:
        goToPage(4);
        client->cancelUpload();
        close();
        break;
    default:
        client->cancelUpload();
        close();
        break;
    }
}

void FormShare::onBack()
{
    if (page_ == 2)
        giveUpSignIn();
    if (page_ == 3)
        client->cancelUpload();
    if (page_ >= 2)
        goToPage(page_ - 1);
}

void FormShare::onClose()
{
    giveUpSignIn();
    client->cancelUpload();
    close();
}

void FormShare::closeEvent(QCloseEvent *event)
{
    emit cloesd();
    event->accept();
}

QString FormShare::makeTitle() const
{
    if (ui->rb_auto->isChecked())
        return ShareProgress::autoTitle(gDateFormat, QDate::currentDate());
    if (ui->rb_filename->isChecked())
        return ui->filename_ed->text();
    return QString();
}

void FormShare::startUpload()
{
    QByteArray privacy;
    if (ui->rb_public->isChecked())
        privacy = "Public";
    else if (ui->rb_private->isChecked())
        privacy = "Private";
    else if (ui->rb_unlisted->isChecked())
        privacy = "Unlisted";
    else
        return;
    // a new upload starts from zero, also after a failed one
    uploadTotal = 0;
    ui->s3_pv_pd->setRange(0, 100);
    ui->s3_pv_pd->setValue(0);
    ui->s3_la_progress->setText(QStringLiteral("0%"));
    ui->s3_la_number->clear();
    ui->s3_la_wait->setText(
        QString(shareText(17) + QLatin1Char('\n') + shareText(18)).remove(QLatin1Char('"')));
    client->startUploadingVideo(videoPath, makeTitle().toUtf8(), QByteArray(), privacy);
}

void FormShare::onYouTube()
{
    ui->s3_la_wait->setText(
        QString(shareText(17) + QLatin1Char('\n') + shareText(18)).remove(QLatin1Char('"')));
    // the browser has the sign-in now; Back gives it up
    ui->s2_la_signin->show();
    client->authorize();
}

void FormShare::giveUpSignIn()
{
    ui->s2_la_signin->hide();
    client->cancelAuthorization();
}

void FormShare::onAuthorized()
{
    if (page_ != 2)
        return; // a grant that arrives after the user left the sign-in page
    ui->s2_la_signin->hide();
    ui->btn_next->show();
    setSiteButtonImages(QStringLiteral("pw_share_youtube_select"),
                        QStringLiteral("pw_share_youtube_select"));
}

void FormShare::setProgressBar(qint64 sent, qint64 total)
{
    const ShareProgress::Bar bar = ShareProgress::bar(sent, total);
    if (bar.maximum != ui->s3_pv_pd->maximum())
        ui->s3_pv_pd->setRange(0, bar.maximum);
    ui->s3_pv_pd->setValue(bar.value);
}

void FormShare::onProgressChanged(qint64 bytesSent, qint64 bytesTotal)
{
    if (bytesTotal <= 0)
        return;
    uploadTotal = bytesTotal;
    ui->s3_pv_pd->setUpdatesEnabled(false);
    setProgressBar(bytesSent, bytesTotal);
    ui->s3_la_number->setText(ShareProgress::numberText(bytesSent, bytesTotal));
    ui->s3_la_progress->setText(ShareProgress::percentText(bytesSent, bytesTotal));
    ui->s3_pv_pd->setUpdatesEnabled(true);
    ui->s3_pv_pd->repaint();
}

void FormShare::onFinished()
{
    ui->s3_pv_pd->setUpdatesEnabled(false);
    ui->s3_pv_pd->setValue(ui->s3_pv_pd->maximum());
    ui->s3_la_number->setText(ShareProgress::numberText(uploadTotal, uploadTotal));
    ui->s3_la_progress->setText(QStringLiteral("100%"));
    ui->s3_la_wait->setText(shareText(19));
    // the page stays 3: the next Next goes through the page-3 branch and closes
    showPage(4);
    ui->s3_pv_pd->setUpdatesEnabled(true);
    ui->s3_pv_pd->repaint();
}

void FormShare::onNetworkErrorDialog(QNetworkReply::NetworkError error)
{
    showErrorDialog([error](FormDialog &dialog) { dialog.showNetworkError(int(error)); });
}

void FormShare::onVideoFileChanged()
{
    showErrorDialog([](FormDialog &dialog) { dialog.showUploadFailure(shareText(28)); });
}

void FormShare::showErrorDialog(const std::function<void(FormDialog &)> &putPage)
{
    if (errorDialog_)
        errorDialog_->onClose2();
    errorDialog_ = new FormDialog;
    errorDialog_->applyLanguage();
    putPage(*errorDialog_);
    connect(errorDialog_, &FormDialog::networkErrorOkTriggered, this, &FormShare::onInitPage);
    connect(errorDialog_, &FormDialog::networkErrorCancelTriggered, this, &FormShare::onClose);
    errorDialog_->setAttribute(Qt::WA_DeleteOnClose);
    errorDialog_->applyStyle(gStyle);
    errorDialog_->show();
}

void FormShare::onInitPage()
{
    page_ = 1;
    showPage(1);
}

void FormShare::onUploadAgreeAndNext()
{
    goToPage(page_ + 1);
    if (page_ == 4) {
        client->cancelUpload();
        close();
    }
}
