// The "Share Videos" window: a four-step wizard that picks a video, shows a preview frame, signs in
// to the video-sharing service, takes privacy and title and follows the upload to its end.
#pragma once

#include "childprocess.h"
#include "filedialog.h"
#include "formdialog.h"
#include "sharedtypes.h"
#include "youtubewrapper.h"

#include <QDialog>
#include <QList>
#include <QNetworkReply>
#include <QPointer>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class FormShare;
}

class FormShare : public QDialog
{
    Q_OBJECT
public:
    // client: the upload client to drive (tests); null uses the dialog's own YoutubeWrapper.
    explicit FormShare(QWidget *parent = nullptr, UploadClient *client = nullptr);
    ~FormShare() override;

    // Fonts and texts of the current language (gLangShareVideos, gLanguage).
    void setLanguageFont();
    // One dark look whatever the style; the index goes on to the file chooser.
    void setStyle(int style);

    int page() const { return page_; }
    QString chosenVideoPath() const { return videoPath; }
    // Where the preview frame is written; a folder of this dialog's own.
    QString previewPath() const;
    FormDialog *errorDialog() const { return errorDialog_; }
    FileDialog_C *fileChooser() const { return fileDialog; }
    YoutubeWrapper &youtubeWrapper() { return youtube; }

public slots:
    void onCurrentVideoPath(QString path);
    void onCurrentVideoFileInfo(FileInfo_t info);

signals:
    void cloesd();
    // The preview run ended; shown tells whether a frame is now on screen.
    void previewFinished(bool shown);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onClose();
    void onSelectFolder();
    void onNext();
    void onBack();
    void onYouTube();
    void onAuthorized();
    void onProgressChanged(qint64 bytesSent, qint64 bytesTotal);
    void onFinished();
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);
    void onOpenFile(QList<QUrl> urls);
    void onNetworkErrorDialog(QNetworkReply::NetworkError error);
    void onVideoFileChanged();
    void onInitPage();
    void onUploadAgreeAndNext();

private:
    void showPage(int n);
    void goToPage(int p);
    void makePreview(const QString &path);
    void startUpload();
    // Ends a running sign-in and its note on page 2.
    void giveUpSignIn();
    QString makeTitle() const;
    void setSiteButtonImages(const QString &normal, const QString &hover);
    void setStepColours(int activeStep);
    void setProgressBar(qint64 sent, qint64 total);
    // The error dialog, on the page that putPage puts up: OK returns to page 1, Cancel closes.
    void showErrorDialog(const std::function<void(FormDialog &)> &putPage);
    // formshare_style.cpp
    static QString lineEditSheet();
    static QString emptyLineEditSheet();

    std::unique_ptr<Ui::FormShare> ui;
    QString videoPath;
    FileInfo_t currentInfo;
    int page_ = 1;
    YoutubeWrapper youtube;
    UploadClient *client = nullptr; // youtube, or the client given to the constructor
    ChildProcess preview;
    QTemporaryDir previewDir;          // the preview frame's own folder
    QLabel *previewTarget = nullptr;   // label of the running preview
    QPointer<FileDialog_C> fileDialog; // deletes itself on close
    int style_ = 0;
    QPointer<FormDialog> errorDialog_; // deletes itself on close
    qint64 uploadTotal = 0;            // bytes of the running upload, for the end texts
};
