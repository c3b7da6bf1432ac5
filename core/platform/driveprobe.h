// Questions to removable drives and folders that never hold the asker up: each drive or folder is
// asked on a thread of the questions' pool (WorkerPool::questions), and one that has not answered
// within a bound (a card whose reader hangs, a stick or a share that stopped answering), or for
// which no thread could be had, counts as absent.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class DriveProbe : public QObject
{
    Q_OBJECT
public:
    // A question to one drive root. It runs on a pool thread and may outlive its asker, so it
    // owns whatever it uses.
    using Question = std::function<bool(const QString &root)>;
    // A read of one folder, run as a Question is.
    using Read = std::function<QVariant(const QString &folder)>;

    // How long a drive may take to answer.
    static constexpr int answerBoundMs = 3000;

    explicit DriveProbe(QObject *parent = nullptr);
    // Answers still on their way are dropped; nothing waits for them.
    ~DriveProbe() override;

    // Asks question of each of roots off the calling thread; answered() follows once each root
    // has answered or passed boundMs. The probe's thread only.
    void ask(const QStringList &roots, const Question &question, int boundMs = answerBoundMs);
    // An ask() has not been answered yet.
    bool isAsking() const { return asking_ > 0; }
    // The asks made so far are never answered; later ones are.
    void dropAnswers();

    // Reads folder off the calling thread: folderRead() follows whenever the read ends, also past
    // boundMs; folderNotInTime() follows when it has not ended within boundMs of its start, or
    // when no thread could be had for it (then nothing else follows). place: what the read
    // reaches, the folder itself when empty. While an earlier question to the same place outlives
    // its bound, the read waits for it: folderNotInTime() follows at once, and folderRead() once
    // that question has ended and this read has run. The probe's thread only.
    void read(const QString &folder, const Read &read, int boundMs = answerBoundMs,
              const QString &place = QString());
    // A read() has neither ended nor passed its bound yet.
    bool isReading() const { return reading_ > 0; }

    // The roots among roots whose answer to question is yes within boundMs of its start, in roots
    // order; blocks the calling thread until each root has answered or passed that bound, twice
    // boundMs at most. A root whose earlier question outlived its bound and still runs is not
    // asked again and counts absent at once, so that the threads held by one drive stay few. Any
    // thread but the questions' pool's.
    static QStringList answering(const QStringList &roots, const Question &question,
                                 int boundMs = answerBoundMs);

    // The plainest question: root is a folder whose listing opens and can be read, empty or not.
    // Reading it reaches the drive itself, where a look at the folder's attributes may be
    // answered from the system's cache.
    static bool isFolder(const QString &root);

signals:
    // The answer to one ask(): the roots asked, and those that answered yes within the bound, in
    // the order asked. Queued to the probe's thread.
    void answered(const QStringList &asked, const QStringList &yes);
    // The value of one read() of folder. Queued to the probe's thread.
    void folderRead(const QString &folder, const QVariant &value);
    // One read() of folder did not end within its bound. Queued to the probe's thread.
    void folderNotInTime(const QString &folder);

private:
    struct Delivery;
    // Runs report on the probe's thread with the probe, unless the probe is gone or dropped the
    // answers of delivery first; reports that come together run in one turn of its event loop.
    // Any thread.
    static void deliver(const std::shared_ptr<Delivery> &delivery,
                        const std::function<void(DriveProbe *)> &report);
    // The probe of delivery is there and takes its answers. Any thread.
    static bool isHeard(const std::shared_ptr<Delivery> &delivery);

    std::shared_ptr<Delivery> delivery_;
    int asking_ = 0;
    int reading_ = 0;
};
