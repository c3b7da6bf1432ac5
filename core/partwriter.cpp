#include "partwriter.h"

#include "detachedthread.h"
#include "workerpool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

void DeleteOffThread::operator()(PartFile *part) const
{
    WorkerPool::Task removal;
    removal.run = [part] { delete part; };
    removal.late = [part] {
        // no thread to remove it on, and this thread must not wait for its drive: it stays, locked,
        // until the program ends; the next download into its folder after that removes it
        static std::mutex mutex;
        static auto *kept = new std::vector<PartFile *>;
        const std::lock_guard<std::mutex> lock(mutex);
        kept->push_back(part);
    };
    WorkerPool::drives().submit(std::move(removal));
}

// What the owner asked for and how far the thread has come, shared by both so that either may go
// first. Guarded by mutex.
struct PartWriter::Shared
{
    enum Stage
    {
        Creating,
        Open,
        Closed, // from here on the thread has ended
        Removed,
        Failed
    };
    enum class Task
    {
        Write,
        Close,
        Remove
    };

    explicit Shared(const QString &targetPath) : target(targetPath) {}

    // The writer's thread: every step on the drive, in the order asked.
    static void run(const std::shared_ptr<Shared> &shared);
    // Waits for the thread's next task; a write's bytes are moved into bytes.
    Task next(QByteArray &bytes);
    // The thread ended a step at stage reached, having written written bytes; the owner hears.
    void endStep(Stage reached, qint64 written, ReadyPart part = ReadyPart());
    bool busy() const { return stage < Closed && pendingSteps > 0; }

    const QString target;
    std::mutex mutex;
    std::condition_variable wake;
    // asked by the owner
    std::deque<QByteArray> queue;
    bool closeAsked = false;
    bool abandoned = false;
    qint64 unwritten = 0; // queued, and in the write running
    int pendingSteps = 0; // asked for and not ended
    // done by the thread
    Stage stage = Creating;
    ReadyPart ready;
    // the owner, null once it is gone or stopped listening
    PartWriter *owner = nullptr;
    bool reportQueued = false;
};

void PartWriter::Shared::run(const std::shared_ptr<Shared> &shared)
{
    auto part = std::make_unique<PartFile>(shared->target);
    // those of a run of the program that ended while its drive hung, now that it answers
    part->removeLeftoversBeside();
    if (!part->create()) {
        shared->endStep(Failed, 0);
        return;
    }
    shared->endStep(Open, 0);
    for (;;) {
        QByteArray bytes;
        switch (shared->next(bytes)) {
        case Task::Write:
            if (part->file().write(bytes) != bytes.size()) {
                part.reset(); // removes it
                shared->endStep(Failed, bytes.size());
                return;
            }
            shared->endStep(Open, bytes.size());
            break;
        case Task::Close:
            part->file().close();
            if (part->file().error() != QFileDevice::NoError) {
                part.reset();
                shared->endStep(Failed, 0);
            } else {
                shared->endStep(Closed, 0, ReadyPart(part.release()));
            }
            return;
        case Task::Remove:
            part.reset();
            shared->endStep(Removed, 0);
            return;
        }
    }
}

PartWriter::Shared::Task PartWriter::Shared::next(QByteArray &bytes)
{
    std::unique_lock<std::mutex> lock(mutex);
    wake.wait(lock, [this] { return abandoned || closeAsked || !queue.empty(); });
    if (abandoned)
        return Task::Remove;
    if (queue.empty())
        return Task::Close;
    bytes = std::move(queue.front());
    queue.pop_front();
    return Task::Write;
}

void PartWriter::Shared::endStep(Stage reached, qint64 written, ReadyPart part)
{
    const std::lock_guard<std::mutex> lock(mutex);
    stage = reached;
    unwritten -= written;
    --pendingSteps;
    if (part)
        ready = std::move(part);
    if (owner && !reportQueued) {
        reportQueued = true;
        PartWriter *to = owner; // posted under the lock: the owner cannot go meanwhile
        QMetaObject::invokeMethod(
            to, [to] { to->onReport(); }, Qt::QueuedConnection);
    }
}

PartWriter::PartWriter(const QString &targetPath, int stallBoundMs, QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>(targetPath)), stallBoundMs_(stallBoundMs)
{
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, &PartWriter::onStalled);
}

PartWriter::~PartWriter()
{
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->owner = nullptr;
    dropWork();
}

void PartWriter::create()
{
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->owner = this;
        ++shared_->pendingSteps;
    }
    if (!startDetachedThread([shared = shared_] { Shared::run(shared); })) {
        shared_->endStep(Shared::Failed, 0); // no thread to write on
        return;
    }
    watch(false);
}

void PartWriter::write(const QByteArray &bytes)
{
    if (abandoned_ || failed_ || bytes.isEmpty())
        return;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->queue.push_back(bytes);
        shared_->unwritten += bytes.size();
        ++shared_->pendingSteps;
    }
    shared_->wake.notify_one();
    watch(false);
}

bool PartWriter::isFull() const
{
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->unwritten >= writeAheadBytes;
}

void PartWriter::close()
{
    if (abandoned_ || failed_)
        return;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->closeAsked = true;
        ++shared_->pendingSteps;
    }
    shared_->wake.notify_one();
    watch(false);
}

void PartWriter::abandon()
{
    if (abandoned_ || failed_)
        return;
    abandoned_ = true;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        dropWork();
    }
    watch(false);
}

void PartWriter::dropWork()
{
    Shared &shared = *shared_;
    shared.ready.reset();
    if (shared.abandoned)
        return;
    for (const QByteArray &bytes : shared.queue)
        shared.unwritten -= bytes.size();
    shared.pendingSteps -= int(shared.queue.size());
    shared.queue.clear();
    shared.abandoned = true;
    if (shared.stage < Shared::Closed)
        ++shared.pendingSteps; // the removal
    shared.wake.notify_one();
}

ReadyPart PartWriter::takePart()
{
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    return std::move(shared_->ready);
}

void PartWriter::watch(bool stepEnded)
{
    if (stallBoundMs_ <= 0 || failed_)
        return;
    bool busy = false;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        busy = shared_->busy();
    }
    if (!busy)
        stall_.stop();
    else if (stepEnded || !stall_.isActive())
        stall_.start(stallBoundMs_);
}

void PartWriter::onReport()
{
    int stage = Shared::Creating;
    bool room = false;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->reportQueued = false;
        stage = shared_->stage;
        room = shared_->unwritten < writeAheadBytes;
    }
    if (failed_)
        return;
    watch(true);
    // one signal at most, and last: its receiver may end this writer's owner
    if (stage == stage_) {
        if (room && !abandoned_)
            emit drained();
        return;
    }
    stage_ = stage;
    switch (stage) {
    case Shared::Open:
        if (!abandoned_)
            emit created();
        break;
    case Shared::Closed:
        emit closed();
        break;
    case Shared::Removed:
        emit removed();
        break;
    case Shared::Failed:
        failed_ = true;
        stall_.stop();
        emit failed();
        break;
    default:
        break;
    }
}

void PartWriter::onStalled()
{
    failed_ = true;
    {
        const std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->owner = nullptr;
        dropWork();
    }
    emit failed();
}
