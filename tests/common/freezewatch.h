// Watches the test's GUI thread: when its event loop stops turning for stallMs (the window froze,
// as on a card that stopped answering), onFreeze runs once on the watch's own thread, where it can
// resume the card so that the test goes on and fails instead of hanging, and froze() tells.
#pragma once

#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class FreezeWatch
{
public:
    // Starts watching; construct it on the GUI thread.
    explicit FreezeWatch(std::function<void()> onFreeze,
                         std::chrono::milliseconds stall = std::chrono::seconds(20));
    ~FreezeWatch();
    FreezeWatch(const FreezeWatch &) = delete;
    FreezeWatch &operator=(const FreezeWatch &) = delete;

    bool froze() const { return froze_; }

private:
    using Clock = std::chrono::steady_clock;
    void watch();

    std::function<void()> onFreeze_;
    const std::chrono::milliseconds stall_;
    QTimer heartbeat_; // on the GUI thread: each timeout is a turn of its event loop
    std::atomic<Clock::rep> lastBeat_;
    std::atomic_bool froze_{false};
    std::mutex mutex_;
    std::condition_variable stopping_;
    bool stop_ = false;
    std::thread watcher_;
};
