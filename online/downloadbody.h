// One download's body, bounded: kept in memory or streamed into a part file beside its target,
// written on a thread of its own (PartWriter), and how the transfer ended. Shared by the update
// wizards' downloader and the cloud-drive downloader.
#pragma once

#include "networklimits.h"
#include "partwriter.h"

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
        WriteFailed // the part file could not be created or refused bytes (a full disk, say), or
                    // its drive took none for the stall bound; nothing is kept
    };

    // maxBytes: the most the body may hold. targetPath empty keeps the body in memory.
    // writeStallMs: how long the part's drive may take over one step before the body ends as
    // WriteFailed (0: no bound).
    DownloadBody(qint64 maxBytes, const QString &targetPath,
                 int writeStallMs = NetworkLimits::bodyRateWindowMs, QObject *parent = nullptr);
    // A transfer still running leaves nothing: its part goes once its drive answers.
    ~DownloadBody() override;

    // Streamed bodies, before attach(): creates the part file beside the target off this thread;
    // opened() follows, or ended() as WriteFailed when the folder refuses it or does not answer.
    void open();
    // Follows reply until it finishes; then ended() is emitted once. deadlineMs: the time the
    // whole answer may take (0: only the manager's idle timeout applies).
    void attach(QNetworkReply *reply, int deadlineMs = 0);
    // Aborts the transfer, or the opening; it ends as Failed with OperationCanceledError.
    void cancel();

    End end() const { return end_; }
    QNetworkReply::NetworkError error() const { return error_; }
    // The HTTP status of an answer that was not the file (not 200); 0 when none came.
    int refusedStatus() const { return answerIsFile() ? 0 : status_; }
    QByteArray data() const { return data_; }
    qint64 size() const { return received_; }
    // The closed part file of a Complete streamed body, for the caller to commit; removed with
    // it when not committed. Null otherwise or once taken.
    ReadyPart takePart() { return writer_ ? writer_->takePart() : ReadyPart(); }

signals:
    void opened();
    // Once the part file is closed whole or gone, or its drive has not answered within the stall
    // bound (the part then goes once it answers).
    void ended();

private:
    enum class Phase
    {
        Opening,
        Receiving,
        Settling, // the transfer is over; the writer closes or removes the part
        Ended
    };

    void onMetaData();
    // Takes the reply's bytes unless the writer holds too many unwritten.
    void onReadyRead();
    // Moves every byte the reply holds into memory or to the writer.
    void take();
    void onFinished();
    void stop(End end, QNetworkReply::NetworkError error);
    // Has the writer close the part of a Complete body, or remove it; ended() follows.
    void settle();
    void onWriterFailed();
    void finish();
    // Only a 200 answer holds the whole file asked for: a 204 holds none, a 206 a part.
    bool answerIsFile() const;

    QPointer<QNetworkReply> reply_;
    const qint64 maxBytes_;
    std::unique_ptr<PartWriter> writer_; // streamed bodies only
    Phase phase_ = Phase::Opening;
    QByteArray data_;
    qint64 received_ = 0;
    qint64 announced_ = -1;
    int status_ = 0;
    bool stopped_ = false; // aborted here: end_ and error_ are already set
    End end_ = End::Failed;
    QNetworkReply::NetworkError error_ = QNetworkReply::NoError;
};
