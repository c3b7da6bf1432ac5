#include "curlmulti.h"

#include "curlreply.h"

#include <QSocketNotifier>

#include <mutex>
#include <vector>

std::shared_ptr<CurlMulti> CurlMulti::forThisThread()
{
    static std::once_flag initialized;
    std::call_once(initialized, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    thread_local std::weak_ptr<CurlMulti> current;
    std::shared_ptr<CurlMulti> multi = current.lock();
    if (!multi) {
        multi.reset(new CurlMulti);
        current = multi;
    }
    return multi;
}

CurlMulti::CurlMulti() : multi_(curl_multi_init())
{
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlMulti::onSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlMulti::onTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { drive(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMulti::~CurlMulti()
{
    // the replies hold this object: none is left
    curl_multi_cleanup(multi_);
}

bool CurlMulti::add(CurlReply *reply, CURL *easy)
{
    replies_[easy] = reply;
    if (curl_multi_add_handle(multi_, easy) == CURLM_OK)
        return true;
    replies_.erase(easy);
    return false;
}

void CurlMulti::remove(CURL *easy)
{
    replies_.erase(easy);
    curl_multi_remove_handle(multi_, easy);
}

int CurlMulti::onSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<CurlMulti *>(self)->watch(socket, what);
    return 0;
}

int CurlMulti::onTimer(CURLM *, long timeoutMs, void *self)
{
    QTimer &timer = static_cast<CurlMulti *>(self)->timer_;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(int(qMin<long>(timeoutMs, 24L * 3600 * 1000)));
    return 0;
}

void CurlMulti::watch(curl_socket_t socket, int what)
{
    auto found = watches_.find(socket);
    if (what == CURL_POLL_REMOVE) {
        if (found == watches_.end())
            return;
        // curl may say so while a notifier of this socket is delivering its signal
        for (auto *notifier : {found->second.read.release(), found->second.write.release()}) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
        watches_.erase(found);
        return;
    }
    if (found == watches_.end()) {
        Watch watch;
        watch.read = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        watch.write = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        connect(watch.read.get(), &QSocketNotifier::activated, this,
                [this, socket] { drive(socket, CURL_CSELECT_IN); });
        connect(watch.write.get(), &QSocketNotifier::activated, this,
                [this, socket] { drive(socket, CURL_CSELECT_OUT); });
        found = watches_.emplace(socket, std::move(watch)).first;
    }
    found->second.read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    found->second.write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void CurlMulti::drive(curl_socket_t socket, int events)
{
    // a slot below may delete the last reply and manager that hold this object
    const std::shared_ptr<CurlMulti> keep = shared_from_this();
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);
    std::vector<std::pair<CURL *, CURLcode>> done;
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(multi_, &left)) {
        if (message->msg == CURLMSG_DONE)
            done.emplace_back(message->easy_handle, message->data.result);
    }
    std::vector<QPointer<CurlReply>> replies;
    for (const auto &entry : replies_)
        replies.push_back(entry.second);
    for (const auto &[easy, result] : done) {
        auto found = replies_.find(easy);
        if (found == replies_.end())
            continue;
        const QPointer<CurlReply> reply = found->second;
        remove(easy);
        if (reply)
            reply->transferDone(result);
    }
    // signals go out now, curl has returned: a slot may abort or delete any reply
    for (const QPointer<CurlReply> &reply : replies) {
        if (reply)
            reply->deliver();
    }
}
