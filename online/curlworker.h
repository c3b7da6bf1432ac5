// The one thread of the process on which libcurl carries every transfer: a multi handle driven by
// curl_multi_poll, woken by curl_multi_wakeup when a reply starts a transfer or has a command for
// it. No Qt object lives there; the replies hear from it through their TransferState.
#pragma once

#include <curl/curl.h>

#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CurlHop;
class TransferState;

class CurlWorker
{
public:
    // The process's worker, made on first use; held by the managers and replies. The thread
    // starts with the first transfer and is joined when the last holder lets go.
    static std::shared_ptr<CurlWorker> shared();
    ~CurlWorker();
    CurlWorker(const CurlWorker &) = delete;
    CurlWorker &operator=(const CurlWorker &) = delete;

    // Hands hop over to the worker, which starts it; a worker whose thread cannot start ends the
    // hop's transfer as one that could not start.
    void start(std::unique_ptr<CurlHop> hop);
    // The reply of state has a command (TransferState::takeCommands) for its transfer.
    void poke(std::shared_ptr<TransferState> state);

private:
    CurlWorker();
    void run();
    // worker thread: starts the handed-over hops, carries out the commands; false: quit
    bool takeCommands();
    void endFinished();

    CURLM *multi_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<CurlHop>> starting_;
    std::vector<std::shared_ptr<TransferState>> poked_;
    bool quit_ = false;
    std::thread thread_;
    std::map<const TransferState *, std::unique_ptr<CurlHop>> running_; // worker thread only
};
