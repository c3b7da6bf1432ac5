// The page shared by the update wizards: a frameless, application-modal window with a title,
// an information text, three buttons on the skin's sheets, and the downloader whose file lands
// in a folder.
#pragma once

#include "filedownload.h"
#include "jsoninfo.h"

#include <QWidget>

#include <memory>

namespace Ui {
class FormUpdateWizard;
}

class FormUpdateWizard : public QWidget
{
    Q_OBJECT
public:
    ~FormUpdateWizard() override;

    // The default brand's skin, whatever the style: black page, white text.
    void setStyle();

    int state() const { return state_; }
    const JsonInfo_t &updateInfo() const { return info_; }
    FileDownload *downloader() const { return download_; }

protected slots:
    // The downloader's signals, connected by this page.
    virtual void downloadedProcess() = 0;
    virtual void saveFileFailed(int errorCode) = 0;
    virtual void saveFileCompleted(QString path, QString name, int filesize) = 0;
    virtual void downloadError(QNetworkReply::NetworkError error) = 0;
    // While the published file (not the version file) loads: "Please Wait." and its per cent.
    void updateDownloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);

protected:
    FormUpdateWizard(const QString &objectName, const QString &title, QWidget *parent);

    // The "Update" language text at index (1 "Next >" ... 6 "Please Wait.").
    static QString updateText(int index);
    // "Please Wait.", a line break and the whole per cent in brackets; just "Please Wait." while
    // the size is unknown.
    static QString progressText(qlonglong received, qlonglong total);
    // The information texts of a download that failed while saving or on the network; the
    // latter names the status of an answer that was not the file on a line of its own.
    static QString saveFailedText(int errorCode);
    QString networkFailedText(QNetworkReply::NetworkError error) const;
    // "Version check error!": a version file that cannot be read or names no safe file.
    static QString versionCheckErrorText();

    std::unique_ptr<Ui::FormUpdateWizard> ui;
    FileDownload *download_; // child
    JsonInfo_t info_;
    int state_ = 0;
};
