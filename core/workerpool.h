// A few threads for work on drives and folders, whatever that work waits for: what finds no free
// thread waits in a queue. Each task names the place it reaches (a drive, a mount, a folder); a
// place takes placeThreads of the pool at most, and a task that outlives its bound there is left
// to its thread, which the pool no longer counts, while the place counts as stuck: its other
// tasks are refused until it answers again. So a place that stopped answering holds a thread or
// two, never the pool. A thread the system refuses is an answer too: the task is refused.
#pragma once

#include <QFuture>
#include <QFutureInterface>
#include <QString>

#include <functional>
#include <memory>

class WorkerPool
{
public:
    struct Task
    {
        QString place;             // empty: a place of its own, shared with no task, never stuck
        int boundMs = 0;           // how long run may take from its start; 0: no bound
        std::function<void()> run; // on a thread of the pool
        // Called once at most, on any thread: run has not ended within boundMs, or the place was
        // stuck when the task came, or no thread could be had for it (run never runs then).
        std::function<void()> late;
        // Refused because its place was stuck: run once the place has answered, however late.
        bool runWhenFree = false;
    };

    // DriveProbe's questions: short looks at drives and folders, each bounded.
    static WorkerPool &questions();
    // Longer work on drives (copies, saves, removals of part files), unbounded in time.
    static WorkerPool &drives();

    // Any thread.
    void submit(Task task);

    // work() on a thread of the pool; the future is cancelled, without a result, when no thread
    // could be had for it.
    template <typename Work> auto run(Work work) -> QFuture<decltype(work())>;
    // The result of a finished future of run(), or fallback for one refused.
    template <typename Result>
    static Result resultOr(const QFuture<Result> &future, const Result &fallback)
    {
        return future.isCanceled() ? fallback : future.result();
    }

    // Waits until no task is queued or running, timeoutMs at most; true when none is.
    bool waitForDone(int timeoutMs);

private:
    WorkerPool(int threads, int placeThreads);
    struct State;
    std::shared_ptr<State> state_; // shared with the threads, which may outlive the program's end
};

template <typename Work> auto WorkerPool::run(Work work) -> QFuture<decltype(work())>
{
    using Result = decltype(work());
    auto promise = std::make_shared<QFutureInterface<Result>>();
    promise->reportStarted();
    Task task;
    task.run = [promise, work] {
        promise->reportResult(work());
        promise->reportFinished();
    };
    task.late = [promise] {
        promise->reportCanceled();
        promise->reportFinished();
    };
    submit(std::move(task));
    return promise->future();
}
