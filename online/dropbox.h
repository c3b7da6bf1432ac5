// Downloads a queue of update files from a folder of the cloud drive into the working folder,
// one after the other, reporting per-file progress, the files still to come and how the batch
// ended.
#pragma once

#include "curlaccessmanager.h"
#include "downloadbody.h"

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QStringList>

struct UpdateConfig;

class Dropbox : public QObject
{
    Q_OBJECT
public:
    explicit Dropbox(QObject *parent = nullptr);
    ~Dropbox() override;

    // Sets up a batch of names and fetches the first one; nothing while a batch runs.
    void startBatch(const QStringList &names);
    // Fetches the first name of names into the working folder; nothing while a file is in
    // flight. A name that is no bare file name ends the batch at once.
    void downloadFile(QStringList names);
    // Milliseconds without a byte after which a request ends with TimeoutError.
    void setTransferTimeout(int ms);
    // The head's and the body's bounds in time (NetworkLimits::PaceBounds) of every request; the
    // body's window bounds each step of the part file's drive as well.
    void setPaceBounds(const NetworkLimits::PaceBounds &bounds);

    // The file a name is stored as in the working folder ("Zq Player.exe" is stored aside).
    static QString targetPath(const QString &name);
    // The "Dropbox-API-Arg" header value naming the file in the cloud folder: {"path": ...} by a
    // JSON writer, non-ASCII escaped.
    static QByteArray apiArgument(const QString &folder, const QString &name);

signals:
    void onDownloadProgressSignal(qlonglong d1, qlonglong d2);
    void onDownloadCount(signed char count, signed char total);
    void hasUpdateData(QString version);
    void updateComplete();
    // Every end of a batch: ok after updateComplete(); otherwise error names the file and why
    // (refused name, network error, too large, write failure, or an answer other than 200, its
    // status named). A failed file leaves nothing of itself; files fetched before it stay.
    void batchFinished(bool ok, const QString &error);

private slots:
    void onDownloadProgress(qlonglong d1, qlonglong d2);

private:
    void request(DownloadBody *body, const UpdateConfig &config);
    void onBodyEnded();
    void fail(const QString &error);

    CurlAccessManager manager_;
    QPointer<DownloadBody> body_; // the file in flight
    signed char total_ = 0;
    QString name_;   // the file in flight, as the batch names it
    QString target_; // where it lands once whole
    QStringList queue_;
    int writeStallMs_ = NetworkLimits::bodyRateWindowMs;
};
