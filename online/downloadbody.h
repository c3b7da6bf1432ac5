// One download's body, bounded: kept in memory or streamed into a part file beside its target,
// and how the transfer ended. Shared by the update wizards' downloader and the cloud-drive
// downloader.
#pragma once

#include "networklimits.h"
#include "partfile.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class DownloadBody : public QObject
{
    Q_OBJECT
public:
    enum class End
    {
        Complete,   // a 200 answer with every announced byte, all of it kept
        Failed,     // network error, timeout, an answer other than 200 (ended at its head), too
                    // large or cancelled: see error()
        WriteFailed // the part file refused bytes (a full disk, say); nothing is kept
    };

    // maxBytes: the most the body may hold. targetPath empty keeps the body in memory.
    DownloadBody(qint64 maxBytes, const QString &targetPath, QObject *parent = nullptr);
    ~DownloadBody() override;

    // Creates the part file beside the target (memory bodies need none); false when the folder
    // refuses it.
    bool open();
    // Follows reply until it finishes; then ended() is emitted once. deadlineMs: the time the
    // whole answer may take (0: only the manager's idle timeout applies).
    void attach(QNetworkReply *reply, int deadlineMs = 0);
    // Aborts the transfer; it ends as Failed with OperationCanceledError.
    void cancel();

    End end() const { return end_; }
    QNetworkReply::NetworkError error() const { return error_; }
    // The HTTP status of an answer that was not the file (not 200); 0 when none came.
    int refusedStatus() const { return answerIsFile() ? 0 : status_; }
    QByteArray data() const { return data_; }
    qint64 size() const { return received_; }
    // The closed part file of a Complete streamed body, for the caller to commit; removed with
    // it when not committed. Null otherwise or once taken.
    std::unique_ptr<PartFile> takePart() { return std::move(part_); }

signals:
    void ended();

private:
    void onMetaData();
    void onReadyRead();
    // Moves count body bytes to `to`; returns the bytes it took.
    qint64 pass(QIODevice *to, qint64 count);
    void onFinished();
    void stop(End end, QNetworkReply::NetworkError error);
    // Only a 200 answer holds the whole file asked for: a 204 holds none, a 206 a part.
    bool answerIsFile() const;

    QPointer<QNetworkReply> reply_;
    const qint64 maxBytes_;
    const QString target_;
    std::unique_ptr<PartFile> part_; // streamed bodies only
    QByteArray data_;
    QByteArray chunk_; // the bytes of one read of a reply that is no CurlReply
    qint64 received_ = 0;
    qint64 announced_ = -1;
    int status_ = 0;
    bool stopped_ = false; // aborted here: end_ and error_ are already set
    End end_ = End::Failed;
    QNetworkReply::NetworkError error_ = QNetworkReply::NoError;
};
