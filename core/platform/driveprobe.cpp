#include "driveprobe.h"

#include <QFile>
#include <QHash>
#include <QThreadPool>
#include <QVector>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include <cerrno>
#include <dirent.h>

namespace {

constexpr int workThreads = 8; // room for copies beside those stuck on cards that stopped answering

enum class Answer
{
    Waiting,
    No,
    Yes,
    Abandoned // its asker stopped waiting; the question still runs
};

// One answering() call: its answers, filled by the question threads.
struct Asking
{
    explicit Asking(int count) : answers(count, Answer::No) {}
    QVector<Answer> answers;
    int waiting = 0;
    std::condition_variable changed;
};

// Process-wide, and never destroyed: a question stuck on a drive may end while the program ends.
struct Registry
{
    std::mutex mutex;
    QHash<QString, int> stuck; // root -> its questions that outlived their bound and still run
};

Registry &registry()
{
    static Registry *const shared = new Registry;
    return *shared;
}

// Runs on a detached thread of its own.
void answerOne(const std::shared_ptr<Asking> &asking, int index, const QString &root,
               const DriveProbe::Question &question)
{
    const bool yes = question(root);
    Registry &shared = registry();
    const std::lock_guard<std::mutex> lock(shared.mutex);
    Answer &answer = asking->answers[index];
    if (answer == Answer::Abandoned) {
        if (--shared.stuck[root] <= 0)
            shared.stuck.remove(root);
        return;
    }
    answer = yes ? Answer::Yes : Answer::No;
    --asking->waiting;
    asking->changed.notify_all();
}

} // namespace

// The probe as its answers' threads reach it: null once the probe is gone.
struct DriveProbe::Delivery
{
    std::mutex mutex;
    DriveProbe *probe = nullptr;
};

DriveProbe::DriveProbe(QObject *parent) : QObject(parent), delivery_(std::make_shared<Delivery>())
{
    delivery_->probe = this;
}

DriveProbe::~DriveProbe()
{
    // answers queued before this are removed with the probe's posted events
    const std::lock_guard<std::mutex> lock(delivery_->mutex);
    delivery_->probe = nullptr;
}

void DriveProbe::dropAnswers()
{
    {
        const std::lock_guard<std::mutex> lock(delivery_->mutex);
        delivery_->probe = nullptr;
    }
    delivery_ = std::make_shared<Delivery>();
    delivery_->probe = this;
    asking_ = 0;
    reading_ = 0;
}

void DriveProbe::deliver(const std::shared_ptr<Delivery> &delivery,
                         const std::function<void(DriveProbe *)> &report)
{
    const std::lock_guard<std::mutex> lock(delivery->mutex);
    DriveProbe *probe = delivery->probe;
    if (!probe)
        return;
    QMetaObject::invokeMethod(
        probe,
        [delivery, probe, report] {
            // written on this thread only, so read here without the lock
            if (delivery->probe) // else dropped after it was queued
                report(probe);
        },
        Qt::QueuedConnection);
}

void DriveProbe::ask(const QStringList &roots, const Question &question, int boundMs)
{
    ++asking_;
    std::thread([delivery = delivery_, roots, question, boundMs] {
        const QStringList yes = answering(roots, question, boundMs);
        deliver(delivery, [roots, yes](DriveProbe *probe) {
            --probe->asking_;
            emit probe->answered(roots, yes);
        });
    }).detach();
}

void DriveProbe::read(const QString &folder, const Read &read, int boundMs)
{
    ++reading_;
    // the read's first report ends its wait; touched on the probe's thread only
    auto waiting = std::make_shared<bool>(true);
    const auto endWait = [waiting](DriveProbe *probe) {
        if (std::exchange(*waiting, false))
            --probe->reading_;
    };
    std::thread([delivery = delivery_, folder, read, boundMs, endWait] {
        // the value is delivered by the question itself, so that it comes however late
        const Question question = [delivery, read, endWait](const QString &asked) {
            const QVariant value = read(asked);
            deliver(delivery, [asked, value, endWait](DriveProbe *probe) {
                endWait(probe);
                emit probe->folderRead(asked, value);
            });
            return true;
        };
        if (answering({folder}, question, boundMs).isEmpty())
            deliver(delivery, [folder, endWait](DriveProbe *probe) {
                endWait(probe);
                emit probe->folderNotInTime(folder);
            });
    }).detach();
}

QStringList DriveProbe::answering(const QStringList &roots, const Question &question, int boundMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    auto asking = std::make_shared<Asking>(roots.size());
    Registry &shared = registry();
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (int i = 0; i < roots.size(); ++i) {
        if (shared.stuck.value(roots.at(i)) > 0)
            continue; // absent: the drive has not answered an earlier question yet
        asking->answers[i] = Answer::Waiting;
        ++asking->waiting;
        std::thread(answerOne, asking, i, roots.at(i), question).detach();
    }
    asking->changed.wait_until(lock, deadline, [&asking] { return asking->waiting == 0; });
    QStringList yes;
    for (int i = 0; i < roots.size(); ++i) {
        Answer &answer = asking->answers[i];
        if (answer == Answer::Waiting) {
            answer = Answer::Abandoned;
            ++shared.stuck[roots.at(i)];
        } else if (answer == Answer::Yes) {
            yes << roots.at(i);
        }
    }
    return yes;
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

QThreadPool *DriveProbe::workPool()
{
    // a pool's destructor waits for its work, and work on a hung card may never end
    static QThreadPool *const pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(workThreads);
        return created;
    }();
    return pool;
}
