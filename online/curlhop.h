// The worker's side of one transfer (one hop of a CurlReply): its libcurl easy handle and the
// callbacks that check the answer's framing (HttpFraming) and hand head, body and upload through
// the TransferState it shares with the reply. Made on the reply's thread, then the worker
// thread's only.
#pragma once

#include "httpframing.h"

#include <QByteArray>
#include <QList>

#include <curl/curl.h>

#include <memory>

class TransferState;

class CurlHop
{
public:
    struct Request
    {
        QByteArray url;
        QList<QByteArray> headers; // "Name: value"
        QByteArray extraCas;       // PEM certificates trusted beyond the system's store
        bool post = false;
        qint64 postSize = 0;          // -1: unknown, sent chunked
        bool followRedirects = false; // a redirect answer ends the hop with its Location
    };

    CurlHop(const Request &request, std::shared_ptr<TransferState> state);
    ~CurlHop(); // takes the handle out of its multi handle
    CurlHop(const CurlHop &) = delete;
    CurlHop &operator=(const CurlHop &) = delete;

    // Adds the transfer to multi; false when it cannot start (the state has ended then).
    bool start(CURLM *multi);
    // Ends the state of a transfer that never started, as an UnknownNetworkError saying why.
    void refuse(const QString &why);
    // Carries out the reply's commands; false when the reply asked to stop.
    bool obey();
    // curl has ended the transfer with result: the state learns how it ended. A success answer
    // (below 300) to a POST of a known size whose body did not go out whole ends it as
    // ProtocolFailure.
    void finish(CURLcode result);
    TransferState *state() const { return state_.get(); }
    static CurlHop *of(CURL *easy);

private:
    static size_t onHeader(char *line, size_t, size_t size, void *self);
    static size_t onWrite(char *data, size_t, size_t size, void *self);
    static size_t onRead(char *buffer, size_t, size_t size, void *self);
    static int onProgress(void *self, curl_off_t, curl_off_t, curl_off_t sendTotal,
                          curl_off_t sent);
    bool takeHeaderLine(const char *line, size_t size);
    size_t takeBody(const char *data, size_t size);
    void setUp();
    // The request body's bytes sent so far.
    qint64 bodySent() const;

    const Request request_;
    const std::shared_ptr<TransferState> state_;
    CURLM *multi_ = nullptr;
    CURL *easy_ = nullptr;
    curl_slist *headers_ = nullptr;
    char curlError_[CURL_ERROR_SIZE] = {};
    int paused_ = CURLPAUSE_CONT; // what curl holds paused: CURLPAUSE_RECV, CURLPAUSE_SEND
    HttpFraming::Head head_;
    HttpFraming::ChunkDecoder chunks_;
    QString refusal_;     // a framing error that ended the transfer
    QByteArray redirect_; // a redirect answer's Location that ended the transfer
};
