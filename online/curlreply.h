// A network reply carried by libcurl on the worker thread (CurlWorker), as Qt's HTTP reply behaves
// towards its readers (signals, attributes, headers, error codes, abort()), but with the answer's
// framing checked strictly (HttpFraming), its head and body held to bounds in time against a slow
// peer, the unread body held to the read-buffer size by pausing the transfer, redirects followed
// by the reply itself under its policy, plain HTTP to this machine only and HTTPS verified against
// the system's certificates. Thread of its creator: the worker only reaches it through the
// TransferState of the running hop and a queued wake-up.
#pragma once

#include "bodyrate.h"
#include "networklimits.h"
#include "transferstate.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

class CurlWorker;

class CurlReply : public QNetworkReply
{
    Q_OBJECT
public:
    struct Policy
    {
        int transferTimeoutMs = 0; // no progress for this long aborts the reply; 0: never
        // Each hop's head must be complete within pace.headMs of its request going out, and its
        // body bring NetworkLimits::bodyRateMinBytes in every pace.bodyWindowMs from then on,
        // or the reply ends with TimeoutError. Neither clock runs while the request body goes
        // out (the idle timeout does), nor the body's while the reader leaves its buffer full.
        NetworkLimits::PaceBounds pace;
        QNetworkRequest::RedirectPolicy redirects = QNetworkRequest::ManualRedirectPolicy;
    };

    // Starts op (GET or POST; any other ends as ProtocolUnknownError) for request at once;
    // outgoing: the POST body, read from its current position on this thread.
    CurlReply(std::shared_ptr<CurlWorker> worker, QNetworkAccessManager::Operation op,
              const QNetworkRequest &request, QIODevice *outgoing, const Policy &policy,
              QObject *parent = nullptr);
    ~CurlReply() override;

    // As Qt's: emits errorOccurred(OperationCanceledError) and finished() before it returns and
    // drops the unread body.
    void abort() override;
    void close() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }
    // The most body bytes held unread (0: NetworkLimits::streamReadBufferBytes); honoured at
    // any time.
    void setReadBufferSize(qint64 size) override;
    // Writes up to maxSize unread body bytes to device (null: drops them) from where the worker
    // put them, with no copy through a read buffer. Returns the bytes device took: fewer than
    // were available when it refused some (the rest are dropped all the same).
    qint64 readInto(QIODevice *device, qint64 maxSize);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    // Starts the transfer of url(); a refused one ends the reply.
    void startTransfer();
    void stopTransfer();
    // The worker's wake-up: takes what changed and emits it.
    void onWake();
    void takeHead(const HttpFraming::Head &head);
    // Runs the head's clock or the body's, as far as the exchange has come: requestSent, the
    // request body is out whole now; headArrived, the final head has just come.
    void keepPace(bool requestSent, bool headArrived);
    void onHeadLate();
    void onBodySlow();
    // Ends the reply as TimeoutError, its transfer stopped.
    void timeOut(const QString &why);
    void stopClocks();
    // Reads the POST body on into the upload buffer, as far as it has room.
    void feedUpload();
    void hopEnded(const TransferState::End &end);
    void followRedirect(const QUrl &target, int status);
    // The reply's end once its transfer is over; deliver() reports it.
    void conclude(NetworkError error, const QString &message);
    void deliver();
    void finish();
    qint64 bufferLimit() const;

    std::shared_ptr<CurlWorker> worker_;
    const Policy policy_;
    QNetworkRequest hop_;      // the request of the transfer running: the original, redirected
    QIODevice *outgoing_;      // the POST body; not owned
    qint64 outgoingLeft_ = -1; // bytes of it still to read; -1: read to its end
    QByteArray uploadChunk_;   // the bytes of one read of outgoing_
    std::shared_ptr<TransferState> state_; // of the running (or last) hop
    QTimer idle_;
    QElapsedTimer clock_;
    QTimer headClock_; // from the request out to the final head
    QTimer bodyClock_; // till the body-rate rule's deadline
    BodyRate bodyRate_;
    bool requestSent_ = false; // by the running hop, its body with it

    int status_ = 0;
    qint64 received_ = 0;
    qint64 announced_ = -1;
    qint64 sent_ = 0;
    qint64 sendTotal_ = 0;

    // to emit
    bool redirectedPending_ = false;
    bool metaDataPending_ = false;
    bool uploadPending_ = false;
    bool bytesPending_ = false;
    bool ended_ = false; // the transfer is over: finish() when delivered
    NetworkError end_ = NoError;
    QString endText_;
};
