#include "freezewatch.h"

FreezeWatch::FreezeWatch(std::function<void()> onFreeze, std::chrono::seconds stall)
{
    QObject::connect(&heartbeat_, &QTimer::timeout, [this] { ++beats_; });
    heartbeat_.start(50);
    watcher_ = std::thread([this, onFreeze = std::move(onFreeze), stall] {
        using Clock = std::chrono::steady_clock;
        qint64 seen = beats_;
        Clock::time_point lastBeat = Clock::now();
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (beats_ != seen) {
                seen = beats_;
                lastBeat = Clock::now();
            } else if (!froze_ && Clock::now() - lastBeat > stall) {
                froze_ = true;
                onFreeze();
            }
        }
    });
}

FreezeWatch::~FreezeWatch()
{
    stop_ = true;
    watcher_.join();
}
