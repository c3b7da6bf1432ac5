#include "curlworker.h"

#include "curlhop.h"
#include "transferstate.h"

#include <system_error>

#include <pthread.h>

namespace {

// The longest wait for a socket: commands come with curl_multi_wakeup(), which ends the wait (and
// is kept for the next one when it comes before), and curl's own timeouts shorten it.
constexpr int pollMs = 60000;

} // namespace

std::shared_ptr<CurlWorker> CurlWorker::shared()
{
    static std::mutex mutex;
    static std::weak_ptr<CurlWorker> current;
    const std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<CurlWorker> worker = current.lock();
    if (!worker) {
        static std::once_flag initialized;
        std::call_once(initialized, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
        worker.reset(new CurlWorker);
        current = worker;
    }
    return worker;
}

CurlWorker::CurlWorker() : multi_(curl_multi_init()) {}

CurlWorker::~CurlWorker()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    if (thread_.joinable()) {
        curl_multi_wakeup(multi_);
        thread_.join();
    }
    starting_.clear();
    curl_multi_cleanup(multi_);
}

void CurlWorker::start(std::unique_ptr<CurlHop> hop)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread(&CurlWorker::run, this);
            } catch (const std::system_error &) {
                hop->refuse(QStringLiteral("Cannot start the transfer: no thread to run it on"));
                return;
            }
        }
        starting_.push_back(std::move(hop));
    }
    curl_multi_wakeup(multi_);
}

void CurlWorker::poke(std::shared_ptr<TransferState> state)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        poked_.push_back(std::move(state));
    }
    curl_multi_wakeup(multi_);
}

void CurlWorker::run()
{
    pthread_setname_np(pthread_self(), "curl");
    while (takeCommands()) {
        int running = 0;
        curl_multi_perform(multi_, &running);
        endFinished();
        for (const auto &entry : running_)
            entry.second->state()->publish();
        curl_multi_poll(multi_, nullptr, 0, pollMs, nullptr);
    }
    running_.clear(); // takes every handle out
}

bool CurlWorker::takeCommands()
{
    std::vector<std::unique_ptr<CurlHop>> starting;
    std::vector<std::shared_ptr<TransferState>> poked;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (quit_)
            return false;
        starting.swap(starting_);
        poked.swap(poked_);
    }
    for (std::unique_ptr<CurlHop> &hop : starting) {
        if (hop->start(multi_))
            running_.emplace(hop->state(), std::move(hop));
    }
    for (const std::shared_ptr<TransferState> &state : poked) {
        const auto found = running_.find(state.get());
        if (found != running_.end() && !found->second->obey())
            running_.erase(found);
    }
    return true;
}

void CurlWorker::endFinished()
{
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CurlHop *hop = CurlHop::of(message->easy_handle);
        const CURLcode result = message->data.result;
        hop->finish(result);
        running_.erase(hop->state());
    }
}
