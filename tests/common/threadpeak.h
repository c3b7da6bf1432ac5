// The process's threads as /proc tells them: now, and the highest count seen while a ThreadPeak
// lives (sampled every 2 ms on a thread of its own, counted in).
#pragma once

#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

inline int threadCount()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    }
    return 0;
}

class ThreadPeak
{
public:
    ThreadPeak()
        : sampler_([this] {
              while (!stop_) {
                  peak_ = std::max(peak_.load(), threadCount());
                  std::this_thread::sleep_for(std::chrono::milliseconds(2));
              }
          })
    {
    }
    ~ThreadPeak()
    {
        stop_ = true;
        sampler_.join();
    }
    int peak() const { return peak_; }

private:
    std::atomic_bool stop_{false};
    std::atomic_int peak_{0};
    std::thread sampler_;
};
