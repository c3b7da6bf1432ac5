#include "freezewatch.h"

namespace {
constexpr int beatMs = 50;
constexpr std::chrono::milliseconds lookEvery(100);
} // namespace

FreezeWatch::FreezeWatch(std::function<void()> onFreeze, std::chrono::milliseconds stall)
    : onFreeze_(std::move(onFreeze)), stall_(stall),
      lastBeat_(Clock::now().time_since_epoch().count())
{
    QObject::connect(&heartbeat_, &QTimer::timeout,
                     [this] { lastBeat_ = Clock::now().time_since_epoch().count(); });
    heartbeat_.start(beatMs);
    watcher_ = std::thread([this] { watch(); });
}

FreezeWatch::~FreezeWatch()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    stopping_.notify_all();
    watcher_.join();
}

void FreezeWatch::watch()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_.wait_for(lock, lookEvery, [this] { return stop_; })) {
        const Clock::time_point last{Clock::duration(lastBeat_.load())};
        if (!froze_ && Clock::now() - last > stall_) {
            froze_ = true;
            onFreeze_();
        }
    }
}
