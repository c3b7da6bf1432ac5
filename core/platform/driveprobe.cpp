#include "driveprobe.h"

#include "workerpool.h"

#include <QFile>
#include <QVector>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include <cerrno>
#include <dirent.h>

namespace {

// The answers to one question asked of several roots, filled in by the pool as they come. Every
// root is settled once: by its answer, or as absent when it is late or its asker stopped waiting.
struct Asking
{
    enum Answer
    {
        Waiting,
        No,
        Yes
    };
    using Done = std::function<void(const QStringList &yes)>;

    Asking(const QStringList &asked, Done whenDone)
        : roots(asked), answers(asked.size(), Waiting), open(asked.size()),
          done(std::move(whenDone))
    {
    }

    void settle(int index, Answer answer)
    {
        Done finish;
        QStringList yes;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (answers[index] != Waiting)
                return;
            answers[index] = answer;
            if (--open > 0)
                return;
            yes = yesLocked();
            finish = std::move(done);
            done = nullptr;
        }
        changed.notify_all();
        if (finish)
            finish(yes);
    }

    // Asks question of every root on the questions' pool.
    void start(const std::shared_ptr<Asking> &self, const DriveProbe::Question &question,
               int boundMs)
    {
        for (int i = 0; i < roots.size(); ++i) {
            WorkerPool::Task task;
            task.place = roots.at(i);
            task.boundMs = boundMs;
            task.run = [self, i, question] {
                if (self->isWaiting(i)) // else its asker no longer waits
                    self->settle(i, question(self->roots.at(i)) ? Yes : No);
            };
            task.late = [self, i] { self->settle(i, No); };
            WorkerPool::questions().submit(std::move(task));
        }
    }

    bool isWaiting(int index)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return answers[index] == Waiting;
    }

    QStringList yesLocked() const
    {
        QStringList yes;
        for (int i = 0; i < roots.size(); ++i) {
            if (answers[i] == Yes)
                yes << roots.at(i);
        }
        return yes;
    }

    const QStringList roots;
    std::mutex mutex;
    std::condition_variable changed;
    QVector<Answer> answers;
    int open;
    Done done;
};

} // namespace

// The probe as its answers' threads reach it, with the reports not yet run: null once the probe
// is gone.
struct DriveProbe::Delivery
{
    std::mutex mutex;
    DriveProbe *probe = nullptr;
    std::vector<std::function<void(DriveProbe *)>> reports;
};

DriveProbe::DriveProbe(QObject *parent) : QObject(parent), delivery_(std::make_shared<Delivery>())
{
    delivery_->probe = this;
}

DriveProbe::~DriveProbe()
{
    // a turn of reports queued before this is removed with the probe's posted events
    const std::lock_guard<std::mutex> lock(delivery_->mutex);
    delivery_->probe = nullptr;
    delivery_->reports.clear();
}

void DriveProbe::dropAnswers()
{
    {
        const std::lock_guard<std::mutex> lock(delivery_->mutex);
        delivery_->probe = nullptr;
        delivery_->reports.clear();
    }
    delivery_ = std::make_shared<Delivery>();
    delivery_->probe = this;
    asking_ = 0;
    reading_ = 0;
}

bool DriveProbe::isHeard(const std::shared_ptr<Delivery> &delivery)
{
    const std::lock_guard<std::mutex> lock(delivery->mutex);
    return delivery->probe != nullptr;
}

void DriveProbe::deliver(const std::shared_ptr<Delivery> &delivery,
                         const std::function<void(DriveProbe *)> &report)
{
    const std::lock_guard<std::mutex> lock(delivery->mutex);
    DriveProbe *probe = delivery->probe;
    if (!probe)
        return;
    delivery->reports.push_back(report);
    if (delivery->reports.size() > 1)
        return; // a turn is queued already and takes this one too
    QMetaObject::invokeMethod(
        probe,
        [delivery, probe] {
            std::vector<std::function<void(DriveProbe *)>> reports;
            {
                const std::lock_guard<std::mutex> taking(delivery->mutex);
                reports.swap(delivery->reports);
            }
            for (const auto &run : reports) {
                // written on this thread only, so read here without the lock
                if (!delivery->probe) // dropped, or the probe went, meanwhile
                    return;
                run(probe);
            }
        },
        Qt::QueuedConnection);
}

void DriveProbe::ask(const QStringList &roots, const Question &question, int boundMs)
{
    ++asking_;
    const auto report = [delivery = delivery_, roots](const QStringList &yes) {
        deliver(delivery, [roots, yes](DriveProbe *probe) {
            --probe->asking_;
            emit probe->answered(roots, yes);
        });
    };
    if (roots.isEmpty()) {
        report({});
        return;
    }
    auto asking = std::make_shared<Asking>(roots, report);
    asking->start(asking, question, boundMs);
}

void DriveProbe::read(const QString &folder, const Read &read, int boundMs, const QString &place)
{
    ++reading_;
    // the read's first report ends its wait; touched on the probe's thread only
    auto waiting = std::make_shared<bool>(true);
    const auto endWait = [waiting](DriveProbe *probe) {
        if (std::exchange(*waiting, false))
            --probe->reading_;
    };
    WorkerPool::Task task;
    task.place = place.isEmpty() ? folder : place;
    task.boundMs = boundMs;
    task.runWhenFree = true;
    task.run = [delivery = delivery_, folder, read, endWait] {
        if (!isHeard(delivery))
            return; // a read that waited for its place, asked by a probe gone meanwhile
        const QVariant value = read(folder);
        deliver(delivery, [folder, value, endWait](DriveProbe *probe) {
            endWait(probe);
            emit probe->folderRead(folder, value);
        });
    };
    task.late = [delivery = delivery_, folder, endWait] {
        deliver(delivery, [folder, endWait](DriveProbe *probe) {
            endWait(probe);
            emit probe->folderNotInTime(folder);
        });
    };
    WorkerPool::questions().submit(std::move(task));
}

QStringList DriveProbe::answering(const QStringList &roots, const Question &question, int boundMs)
{
    // the pool's bound runs from each question's start: a question still queued when its pool
    // is busy gets a second bound's time to start
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2 * boundMs);
    auto asking = std::make_shared<Asking>(roots, nullptr);
    asking->start(asking, question, boundMs);
    std::unique_lock<std::mutex> lock(asking->mutex);
    asking->changed.wait_until(lock, deadline, [&asking] { return asking->open == 0; });
    // those still waiting count absent, and their answers are dropped when they come
    for (Asking::Answer &answer : asking->answers) {
        if (answer == Asking::Waiting)
            answer = Asking::No;
    }
    asking->open = 0;
    return asking->yesLocked();
}

bool DriveProbe::isFolder(const QString &root)
{
    DIR *const listing = ::opendir(QFile::encodeName(root).constData());
    if (!listing)
        return false;
    // an empty folder may list nothing at all, not even "."; the end of the listing is an answer
    errno = 0;
    const bool read = ::readdir(listing) || errno == 0;
    ::closedir(listing);
    return read;
}
