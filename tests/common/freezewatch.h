// Watches the test's GUI thread: when its event loop stops turning for a stall (the window froze,
// as on a card that stopped answering), onFreeze runs once on the watch's own thread, where it can
// resume the card so that the test goes on and fails instead of hanging, and froze() tells.
#pragma once

#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class FreezeWatch
{
public:
    // Construct it on the GUI thread.
    explicit FreezeWatch(std::function<void()> onFreeze,
                         std::chrono::seconds stall = std::chrono::seconds(60));
    ~FreezeWatch();

    bool froze() const { return froze_; }

private:
    QTimer heartbeat_; // each timeout is a turn of the GUI thread's event loop
    std::atomic<qint64> beats_{0};
    std::atomic_bool froze_{false};
    std::atomic_bool stop_{false};
    std::thread watcher_;
};
