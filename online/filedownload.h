// One download at a time, bounded and timed: the version file into memory, a published file
// streamed into a part file of its own beside folder/name (written off this thread) and moved into
// place by saveFile or saveInBackground.
#pragma once

#include "curlaccessmanager.h"
#include "downloadbody.h"

#include <QByteArray>
#include <QFutureWatcher>
#include <QMutex>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class FileDownload : public QObject
{
    Q_OBJECT
public:
    // What saveFile does with a file already at the target.
    enum class Existing
    {
        Replace,        // the new file replaces it
        KeepIfDifferent // a different file stays; the new one takes "name (1).ext", ...
    };

    explicit FileDownload(QObject *parent = nullptr);
    ~FileDownload() override;

    // Stores name; when idle, starts a GET of url. With folder empty the body is kept in memory
    // (the version file: at most NetworkLimits::smallAnswerMaxBytes, within the answer
    // deadline); otherwise it streams into a part file beside folder/name (at most the
    // configured published-file size, held to the idle timeout and the pace bounds only). Only a
    // 200 answer is the file; any other ends at its head. A name that is no bare file name, or
    // a part file that cannot be created (or whose drive does not create it within the body's
    // window, PaceBounds::bodyWindowMs), reports saveFileFailed(1) and sends nothing; a drive
    // that takes none of the body's bytes for as long ends the download so too. When busy,
    // aborts the running request (which ends with downloadError(OperationCanceledError)) and
    // sends nothing.
    void startDownload(const QUrl &url, const QString &name, const QString &folder = QString());
    void abort();
    // The version file's body; empty for a streamed download.
    QByteArray downloadedData() const;
    QString fileName() const;
    // Milliseconds without a byte after which a request ends with TimeoutError.
    void setTransferTimeout(int ms);
    // Milliseconds the version file may take as a whole before it ends with TimeoutError.
    void setAnswerDeadline(int ms) { answerDeadlineMs_ = ms; }
    // The head's and the body's bounds in time (NetworkLimits::PaceBounds) of every request; the
    // body's window bounds each step of the part file's drive as well.
    void setPaceBounds(const NetworkLimits::PaceBounds &bounds);
    // The HTTP status of the answer that ended the last failed request, when it was not 200; 0
    // when the request failed without such an answer.
    int refusedStatus() const { return refusedStatus_; }

    // Puts the last streamed download into folder as fileName() (or a free name, see Existing),
    // through a descriptor of folder opened once here; on another volume than the download, its
    // bytes are copied into a part file of folder's own, which goes into place there. Any
    // thread. Reported by saveFileCompleted or saveFileFailed(1) as well. The download is gone
    // either way, and no part file stays in either folder; one never saved goes with the next
    // download or this object.
    bool saveFile(const QString &folder, Existing existing = Existing::Replace);
    // The same on a thread of WorkerPool::drives(), as folder may be on a drive that stops
    // answering: reported while this object lives; nothing waits for it. No thread for it is a
    // save failure.
    void saveInBackground(const QString &folder, Existing existing = Existing::Replace);

    // name when the folder open at folderFd has no entry of that name or a file of the same
    // bytes as the file open at contentFd, else the first free "base (n).suffix".
    static QString freeName(int folderFd, const QString &name, int contentFd);

signals:
    // The request ended with a 200 answer and every announced byte.
    void downloaded();
    // The request failed, timed out (TimeoutError), was too large or was answered with another
    // status (its error code, or UnknownContentError for one below 400: refusedStatus() names
    // it); nothing was kept.
    void downloadError(QNetworkReply::NetworkError error);
    void downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);
    // The part file could not be created or written, or the file not put into place; no part
    // file stays (on a drive that stopped answering, it goes once the drive answers).
    void saveFileFailed(int errorCode);
    // filesize in KiB, remainder dropped
    void saveFileCompleted(QString path, QString name, int filesize);

private:
    // What a save did: path empty when it failed.
    struct Saved
    {
        QString path;
        QString name;
        int sizeKiB = 0;
    };

    void request(DownloadBody *body, const QUrl &url, int deadlineMs);
    void onBodyEnded();
    // Takes the download that arrived whole, with its name and size.
    ReadyPart takeReady(QString &name, qint64 &size);
    // Puts part into folder as saveFile says, on the calling thread; no part stays once it
    // returns.
    static Saved save(PartFile *part, const QString &folder, const QString &name, qint64 size,
                      Existing existing);
    bool report(const Saved &saved);

    CurlAccessManager manager_;
    QPointer<DownloadBody> body_; // the request in flight
    mutable QMutex mutex_;        // guards what saveFile reads on another thread
    QByteArray data_;
    QString fileName_;
    ReadyPart readyPart_; // a streamed download that arrived whole, for saveFile
    qint64 readySize_ = 0;
    int refusedStatus_ = 0;
    int answerDeadlineMs_ = NetworkLimits::smallAnswerDeadlineMs;
    int writeStallMs_ = NetworkLimits::bodyRateWindowMs;
    QFutureWatcher<Saved> save_; // a save in the background: dropped, not waited for, with this
};
