// A network reply carried by libcurl on its thread's event loop (CurlMulti), as Qt's HTTP reply
// behaves towards its readers (signals, attributes, headers, error codes, abort()), but with the
// answer's framing checked strictly (HttpFraming), the unread body held to the read-buffer size by
// pausing the transfer, redirects followed by the reply itself under its policy, plain HTTP to
// this machine only and HTTPS verified against the system's certificates. Thread of its creator.
#pragma once

#include "httpframing.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <curl/curl.h>

#include <deque>
#include <memory>
#include <vector>

class CurlMulti;

class CurlReply : public QNetworkReply
{
    Q_OBJECT
public:
    struct Policy
    {
        int transferTimeoutMs = 0; // no progress for this long aborts the reply; 0: never
        QNetworkRequest::RedirectPolicy redirects = QNetworkRequest::ManualRedirectPolicy;
    };

    // Starts op (GET or POST; any other ends as ProtocolUnknownError) for request at once;
    // outgoing: the POST body, read from its current position.
    CurlReply(std::shared_ptr<CurlMulti> multi, QNetworkAccessManager::Operation op,
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

    // CurlMulti's calls, never from inside curl: the transfer ended with result (curl has
    // dropped it); emit what the callbacks gathered.
    void transferDone(CURLcode result);
    void deliver();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    static size_t onHeader(char *line, size_t, size_t size, void *self);
    static size_t onWrite(char *data, size_t, size_t size, void *self);
    static size_t onRead(char *buffer, size_t, size_t size, void *self);
    static int onProgress(void *self, curl_off_t, curl_off_t, curl_off_t sendTotal,
                          curl_off_t sent);
    bool takeHeaderLine(const char *line, size_t size);
    bool takeHead();
    size_t takeBody(const char *data, size_t size);

    // Starts the transfer of url(); a refused one ends the reply.
    void startTransfer();
    CURL *makeEasy();
    void stopTransfer();
    void followRedirect();
    void resume();
    // The reply's end once its transfer is over; deliver() reports it.
    void conclude(NetworkError error, const QString &message);
    void finish();
    qint64 unread() const { return unread_; }
    qint64 bufferLimit() const;

    std::shared_ptr<CurlMulti> multi_;
    const Policy policy_;
    QNetworkAccessManager::Operation op_;
    QNetworkRequest hop_; // the request of the transfer running: the original, redirected
    QIODevice *outgoing_; // the POST body; not owned
    CURL *easy_ = nullptr;
    curl_slist *headers_ = nullptr;
    char curlError_[CURL_ERROR_SIZE] = {};
    QTimer idle_;

    // gathered by the callbacks of the running transfer
    HttpFraming::Head head_;
    HttpFraming::ChunkDecoder chunks_;
    NetworkError refusal_ = NoError; // why a callback ended the transfer
    QString refusalText_;
    QUrl redirectTarget_; // a redirect to follow once the transfer has ended
    // Body bytes unread, in pieces of reserved room each filled before the next; the first is
    // read from frontRead_. Read pieces are kept for reuse (spare_): no heap churn per read.
    std::deque<QByteArray> pieces_;
    std::vector<QByteArray> spare_;
    qsizetype frontRead_ = 0;
    qint64 unread_ = 0;
    qint64 received_ = 0;
    qint64 announced_ = -1;
    qint64 sent_ = 0;
    qint64 sendTotal_ = 0;
    bool paused_ = false;

    // to emit
    bool progressed_ = false;
    bool metaDataPending_ = false;
    bool redirectedPending_ = false;
    bool uploadPending_ = false;
    bool bytesPending_ = false;
    bool ended_ = false; // the transfer is over: finish() when delivered
    NetworkError end_ = NoError;
    QString endText_;
    bool resumeQueued_ = false;
};
