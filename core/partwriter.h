// Writes one part file (PartFile) beside its target on a thread of its own, so that a drive that
// stops answering holds up that thread only: the part is created, written in order and closed
// there, and when abandoned removed there as soon as the drive answers again. The owner's thread
// never touches the drive; a step that takes longer than the stall bound fails the writer.
#pragma once

#include "partfile.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

// Deletes a part on WorkerPool::drives(): removing one that was not committed reaches its
// drive, which may not answer.
struct DeleteOffThread
{
    void operator()(PartFile *part) const;
};
// A closed part, handed over whole; dropped uncommitted, it is removed off the dropping thread.
using ReadyPart = std::unique_ptr<PartFile, DeleteOffThread>;

class PartWriter : public QObject
{
    Q_OBJECT
public:
    // The unwritten bytes from which on isFull() holds.
    static constexpr qint64 writeAheadBytes = 1024 * 1024;

    // targetPath: the file the part becomes. stallBoundMs: how long one step on the drive
    // (creating, a write, the close, the removal) may take before the writer fails; 0: no bound.
    PartWriter(const QString &targetPath, int stallBoundMs, QObject *parent = nullptr);
    // Abandons the part as abandon() does, reporting nothing; nothing waits for the thread.
    ~PartWriter() override;

    // Starts the writer's thread, which removes the parts left in the folder by runs of the
    // program that ended (PartFile::removeLeftovers) and creates the part; created() or failed()
    // follows, failed() also when no thread could be started.
    void create();
    // Appends bytes once those given before are written.
    void write(const QByteArray &bytes);
    // writeAheadBytes or more are not written yet: the caller holds further bytes back until
    // drained().
    bool isFull() const;
    // Closes the part once every byte is written; closed() or failed() follows.
    void close();
    // Drops the part: nothing more is written, and the thread removes it as soon as its drive
    // answers; removed() follows, or failed() past the stall bound. Reports nothing else after.
    void abandon();
    // failed() was emitted.
    bool hasFailed() const { return failed_; }
    // The part once closed(), for the caller to commit; null before or once taken.
    ReadyPart takePart();

signals:
    void created();
    // A step ended with fewer than writeAheadBytes unwritten.
    void drained();
    void closed();
    void removed();
    // The folder refused the part, or a write or the close failed (the part is removed already),
    // or a step took longer than the stall bound (the part goes once the drive answers). Nothing
    // is reported after it.
    void failed();

private:
    struct Shared;
    // The thread's news: a step ended.
    void onReport();
    // Runs the stall clock while the thread has work, from the last step it ended.
    void watch(bool stepEnded);
    void onStalled();
    // Under the lock: nothing more is written; the thread removes the part when it can.
    void dropWork();

    std::shared_ptr<Shared> shared_;
    const int stallBoundMs_;
    QTimer stall_;
    bool abandoned_ = false;
    bool failed_ = false;
    int stage_ = 0; // the last stage reported, as Shared::Stage
};
