// A ride file of a card that holds a copy at it: the card's entry is a link to a named pipe, so the
// first copy that opens it waits there, in its current file, until the ride is released.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

class HeldRide
{
public:
    using Clock = std::chrono::steady_clock;

    // Puts the link name into folder (its pipe in folder's parent) and starts the writer.
    HeldRide(const QString &folder, const QString &name, const QByteArray &content)
        : link_(QDir(folder).filePath(name)),
          pipe_(QDir(folder).filePath(QStringLiteral("../.") + name + QStringLiteral(".pipe"))),
          content_(content)
    {
        ok_ =
            ::mkfifo(QFile::encodeName(pipe_).constData(), 0600) == 0 && QFile::link(pipe_, link_);
        if (ok_)
            writer_ = std::thread([this] { write(); });
    }
    ~HeldRide()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (writer_.joinable())
            writer_.join();
        QFile::remove(link_);
        QFile::remove(pipe_);
    }
    HeldRide(const HeldRide &) = delete;
    HeldRide &operator=(const HeldRide &) = delete;

    bool isValid() const { return ok_; }
    // A copy has opened the ride.
    bool isOpened()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return opened_;
    }
    // Waits until a copy has opened the ride: it is that copy's current file.
    bool waitUntilOpened(std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return opened_; });
    }
    // The copy reads the ride and its end once delay has passed, from the writer's thread, so a
    // GUI thread that waits for the copy meanwhile still sees it end.
    void release(std::chrono::milliseconds delay = std::chrono::milliseconds(0))
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            const Clock::time_point at = Clock::now() + delay;
            if (!releaseAt_ || at < *releaseAt_)
                releaseAt_ = at;
        }
        changed_.notify_all();
    }
    // The ride was written and its pipe closed.
    bool isReleased() const { return released_; }
    // The bytes the copies took from the pipe (its buffer included), all told.
    qint64 written() const { return written_; }

private:
    // Serves every copy that opens the ride: the first once released, later ones at once.
    void write()
    {
        // a copy that went away makes the write fail rather than end the test with SIGPIPE
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        for (;;) {
            const int fd = openWhenRead();
            if (fd < 0)
                return;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                opened_ = true;
                changed_.notify_all();
                while (!stop_ && !(releaseAt_ && Clock::now() >= *releaseAt_)) {
                    if (releaseAt_)
                        changed_.wait_until(lock, *releaseAt_);
                    else
                        changed_.wait(lock);
                }
            }
            for (qint64 done = 0; done < content_.size();) {
                const ssize_t n =
                    ::write(fd, content_.constData() + done, size_t(content_.size() - done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += n;
                written_ += n;
            }
            ::close(fd);
            released_ = true;
        }
    }

    // The pipe opened for writing once a reader has it open (a non-blocking open succeeds only
    // then); -1 when stopped without a reader.
    int openWhenRead()
    {
        for (;;) {
            const int fd =
                ::open(QFile::encodeName(pipe_).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                return fd;
            }
            std::unique_lock<std::mutex> lock(mutex_);
            if (changed_.wait_for(lock, std::chrono::milliseconds(5), [this] { return stop_; }))
                return -1;
        }
    }

    QString link_;
    QString pipe_;
    QByteArray content_;
    bool ok_ = false;
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool opened_ = false;
    bool stop_ = false;
    std::optional<Clock::time_point> releaseAt_;
    std::atomic_bool released_{false};
    std::atomic<qint64> written_{0};
};
