// One libcurl multi handle per thread, driven by that thread's event loop: a socket notifier for
// each socket curl watches and one single-shot timer for curl's timeouts. Replies add their easy
// handles here; once curl has returned, each reply delivers what its callbacks gathered.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <curl/curl.h>

#include <map>
#include <memory>

class CurlReply;
class QSocketNotifier;

class CurlMulti : public QObject, public std::enable_shared_from_this<CurlMulti>
{
    Q_OBJECT
public:
    // The calling thread's multi handle, made on first use; held by the managers and replies of
    // that thread.
    static std::shared_ptr<CurlMulti> forThisThread();
    ~CurlMulti() override;

    // Starts easy for reply; reply->transferDone() follows when curl ends it.
    bool add(CurlReply *reply, CURL *easy);
    // Stops easy; no transferDone() follows. Never from inside a curl callback.
    void remove(CURL *easy);

private:
    struct Watch
    {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    CurlMulti();
    static int onSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int onTimer(CURLM *multi, long timeoutMs, void *self);
    void watch(curl_socket_t socket, int what);
    // Lets curl act on socket (CURL_SOCKET_TIMEOUT: on what is due), then ends the finished
    // transfers and has every reply deliver.
    void drive(curl_socket_t socket, int events);

    CURLM *multi_;
    QTimer timer_;
    std::map<curl_socket_t, Watch> watches_;
    std::map<CURL *, QPointer<CurlReply>> replies_;
};
