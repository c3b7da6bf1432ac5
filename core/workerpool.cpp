#include "workerpool.h"

#include "detachedthread.h"

#include <QHash>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int questionThreads = 4;
constexpr int questionThreadsPerPlace = 2;
constexpr int driveWorkThreads = 8; // room for copies beside those stuck on cards

} // namespace

// Everything the pool's threads share. Guarded by mutex.
struct WorkerPool::State
{
    struct Queued
    {
        quint64 id;
        Task task;
    };
    struct Place
    {
        std::deque<Queued> queued;
        int running = 0;
        int stuck = 0;            // its tasks past their bound that still run
        std::vector<Task> parked; // refused while stuck, to run once it answers
        bool isEmpty() const
        {
            return queued.empty() && running == 0 && stuck == 0 && parked.empty();
        }
    };
    struct Running
    {
        QString place;
        Clock::time_point deadline;
        bool bounded = false;
        bool overdue = false;
        std::function<void()> late;
    };
    // What is done once the lock is let go: the late calls, and the tasks dropped (whatever they
    // hold may submit in turn as it goes).
    struct Lates
    {
        std::vector<std::function<void()>> calls;
        std::vector<Task> dropped;
        void run()
        {
            for (const auto &call : calls)
                call();
            calls.clear();
            dropped.clear();
        }
    };

    State(int threadCount, int perPlace) : threads(threadCount), placeThreads(perPlace) {}

    static void work(const std::shared_ptr<State> &state);
    static void watch(const std::shared_ptr<State> &state);

    // The next queued task that its place lets run, oldest first; false when there is none.
    bool takeNext(QString &place, Queued &taken);
    void enqueue(const QString &place, Task task);
    // A place became stuck: its queued tasks are refused, and parked where they ask for it.
    void refuseQueued(Place &place, Lates &lates);
    // A place answers again: its parked tasks queue up.
    void requeueParked(const QString &key);
    // Starts threads for the queued tasks, as many as the pool may have; when not even one
    // thread runs, every queued task is refused.
    void startThreads(const std::shared_ptr<State> &self, Lates &lates);
    bool startWatch(const std::shared_ptr<State> &self);
    void dropIfEmpty(const QString &key);
    static void callLate(Task &task, Lates &lates);

    const int threads;
    const int placeThreads;
    std::mutex mutex;
    std::condition_variable workWake;
    std::condition_variable watchWake;
    std::condition_variable doneWake; // no task queued or running any more
    QHash<QString, Place> places;
    std::map<quint64, Running> running;
    quint64 nextId = 0;
    int queued = 0;
    int live = 0; // threads not held by an overdue task
    int idle = 0;
    bool watching = false;
};

void WorkerPool::State::callLate(Task &task, Lates &lates)
{
    if (task.late)
        lates.calls.push_back(std::move(task.late));
    task.late = nullptr;
}

bool WorkerPool::State::takeNext(QString &place, Queued &taken)
{
    auto best = places.end();
    for (auto it = places.begin(); it != places.end(); ++it) {
        if (it->queued.empty() || (!it.key().isEmpty() && it->running >= placeThreads))
            continue;
        if (best == places.end() || it->queued.front().id < best->queued.front().id)
            best = it;
    }
    if (best == places.end())
        return false;
    place = best.key();
    Place &from = *best;
    taken = std::move(from.queued.front());
    from.queued.pop_front();
    --queued;
    ++from.running;
    return true;
}

void WorkerPool::State::enqueue(const QString &place, Task task)
{
    places[place].queued.push_back({nextId++, std::move(task)});
    ++queued;
}

void WorkerPool::State::refuseQueued(Place &place, Lates &lates)
{
    for (Queued &waiting : place.queued) {
        callLate(waiting.task, lates);
        if (waiting.task.runWhenFree)
            place.parked.push_back(std::move(waiting.task));
        else
            lates.dropped.push_back(std::move(waiting.task));
    }
    queued -= int(place.queued.size());
    place.queued.clear();
}

void WorkerPool::State::requeueParked(const QString &key)
{
    std::vector<Task> parked;
    parked.swap(places[key].parked);
    for (Task &task : parked)
        enqueue(key, std::move(task));
}

void WorkerPool::State::startThreads(const std::shared_ptr<State> &self, Lates &lates)
{
    while (live < threads && queued > idle) {
        if (!startDetachedThread([self] { work(self); }))
            break;
        ++live;
        ++idle; // until it takes a task
    }
    if (live > 0)
        return;
    for (auto it = places.begin(); it != places.end(); ++it) {
        for (Queued &waiting : it->queued) {
            callLate(waiting.task, lates);
            lates.dropped.push_back(std::move(waiting.task));
        }
        queued -= int(it->queued.size());
        it->queued.clear();
    }
    if (running.empty())
        doneWake.notify_all();
}

bool WorkerPool::State::startWatch(const std::shared_ptr<State> &self)
{
    if (!watching)
        watching = startDetachedThread([self] { watch(self); });
    return watching;
}

void WorkerPool::State::dropIfEmpty(const QString &key)
{
    const auto found = places.find(key);
    if (found != places.end() && found->isEmpty())
        places.erase(found);
}

void WorkerPool::State::work(const std::shared_ptr<State> &state)
{
    std::unique_lock<std::mutex> lock(state->mutex);
    --state->idle; // counted idle when started
    for (;;) {
        QString place;
        Queued job;
        if (!state->takeNext(place, job)) {
            ++state->idle;
            state->workWake.wait(lock);
            --state->idle;
            continue;
        }
        Running &now = state->running[job.id];
        now.place = place;
        now.bounded = job.task.boundMs > 0;
        now.deadline = Clock::now() + std::chrono::milliseconds(job.task.boundMs);
        now.late = std::move(job.task.late);
        if (now.bounded)
            state->watchWake.notify_one();
        lock.unlock();
        job.task.run();
        job.task = Task(); // what it holds goes here, off the lock
        lock.lock();

        const auto ended = state->running.find(job.id);
        const bool overdue = ended->second.overdue;
        std::function<void()> late = std::move(ended->second.late);
        state->running.erase(ended);
        Place &at = state->places[place];
        --at.running;
        if (overdue && !place.isEmpty() && --at.stuck == 0)
            state->requeueParked(place);
        state->dropIfEmpty(place);
        if (state->running.empty() && state->queued == 0)
            state->doneWake.notify_all();
        Lates lates;
        if (overdue) {
            // the pool started another thread for this one meanwhile, or may now have it back
            if (state->live >= state->threads) {
                state->startThreads(state, lates);
                state->workWake.notify_all();
                lock.unlock();
                lates.run();
                return;
            }
            ++state->live;
        }
        state->startThreads(state, lates);
        state->workWake.notify_all(); // a place may let another task run now
        lock.unlock();
        late = nullptr; // the answer came: it is not late
        lates.run();
        lock.lock();
    }
}

void WorkerPool::State::watch(const std::shared_ptr<State> &state)
{
    std::unique_lock<std::mutex> lock(state->mutex);
    for (;;) {
        Clock::time_point next = Clock::time_point::max();
        for (const auto &entry : state->running) {
            if (entry.second.bounded && !entry.second.overdue && entry.second.deadline < next)
                next = entry.second.deadline;
        }
        if (next == Clock::time_point::max())
            state->watchWake.wait(lock);
        else
            state->watchWake.wait_until(lock, next);

        const Clock::time_point now = Clock::now();
        Lates lates;
        for (auto &entry : state->running) {
            Running &task = entry.second;
            if (!task.bounded || task.overdue || task.deadline > now)
                continue;
            task.overdue = true;
            --state->live; // its thread is the task's until it ends
            if (task.late)
                lates.calls.push_back(std::move(task.late));
            task.late = nullptr;
            if (task.place.isEmpty())
                continue;
            Place &place = state->places[task.place];
            if (place.stuck++ == 0)
                state->refuseQueued(place, lates);
        }
        state->startThreads(state, lates);
        lock.unlock();
        lates.run();
        lock.lock();
    }
}

WorkerPool::WorkerPool(int threads, int placeThreads)
    : state_(std::make_shared<State>(threads, placeThreads))
{
}

WorkerPool &WorkerPool::questions()
{
    // never destroyed: a thread stuck on a drive may end while the program ends
    static WorkerPool *const pool = new WorkerPool(questionThreads, questionThreadsPerPlace);
    return *pool;
}

WorkerPool &WorkerPool::drives()
{
    static WorkerPool *const pool = new WorkerPool(driveWorkThreads, driveWorkThreads);
    return *pool;
}

void WorkerPool::submit(Task task)
{
    State &state = *state_;
    State::Lates lates;
    {
        const std::lock_guard<std::mutex> lock(state.mutex);
        const QString place = task.place;
        State::Place &at = state.places[place];
        if (!place.isEmpty() && at.stuck > 0) {
            State::callLate(task, lates);
            if (task.runWhenFree)
                at.parked.push_back(std::move(task));
        } else if (task.boundMs > 0 && !state.startWatch(state_)) {
            State::callLate(task, lates); // its bound could not be kept
        } else {
            state.enqueue(place, std::move(task));
            state.startThreads(state_, lates);
            state.workWake.notify_one();
        }
        state.dropIfEmpty(place);
    }
    lates.run();
}

bool WorkerPool::waitForDone(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->doneWake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return state_->running.empty() && state_->queued == 0;
    });
}
