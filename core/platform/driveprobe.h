// Questions to removable drives that never hold the asker up: each drive is asked on a thread of
// its own, and a drive that has not answered within a bound (a card whose reader hangs, a stick
// that stopped answering) counts as absent.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QThreadPool;

class DriveProbe : public QObject
{
    Q_OBJECT
public:
    // A question to one drive root. It runs on a thread of its own and may outlive its asker, so
    // it owns whatever it uses.
    using Question = std::function<bool(const QString &root)>;

    // How long a drive may take to answer.
    static constexpr int answerBoundMs = 3000;

    explicit DriveProbe(QObject *parent = nullptr);
    // Answers still on their way are dropped; nothing waits for them.
    ~DriveProbe() override;

    // Asks question of each of roots off the calling thread; answered() follows within boundMs.
    // The probe's thread only.
    void ask(const QStringList &roots, const Question &question, int boundMs = answerBoundMs);
    // An ask() has not been answered yet.
    bool isAsking() const { return asking_ > 0; }
    // The asks made so far are never answered; later ones are.
    void dropAnswers();

    // The roots among roots whose answer to question is yes within boundMs, in roots order;
    // blocks the calling thread for boundMs at most. A root whose earlier question outlived its
    // bound and still runs is not asked again and counts absent at once, so that the threads
    // held by one drive stay few. Any thread.
    static QStringList answering(const QStringList &roots, const Question &question,
                                 int boundMs = answerBoundMs);

    // The plainest question: root is a folder whose listing opens. Opening it reaches the drive
    // itself, where a look at the folder's attributes may be answered from the system's cache.
    static bool isFolder(const QString &root);

    // The pool for longer work on removable drives (a card copy): not the global pool, on which
    // the player reads its samples, and never waited for when the program ends. Never deleted.
    static QThreadPool *workPool();

signals:
    // The answer to one ask(): the roots asked, and those that answered yes within the bound, in
    // the order asked. Queued to the probe's thread.
    void answered(const QStringList &asked, const QStringList &yes);

private:
    struct Delivery;
    std::shared_ptr<Delivery> delivery_;
    int asking_ = 0;
};
