// An upload service on raw sockets for upload tests: it reads a request's head and the first
// bytes of its body, then reads nothing until the test lets it go (so the test can change the
// file while the client is in the middle of it), then reads on slowly. It counts every body
// byte that arrives, past the announced length too, and answers 200 once the announced body is
// in, or with an answer of the test's at the request's head. Serves on threads of its own; never
// outlives the test.
#pragma once

#include "loopbacklistener.h"

#include <QByteArray>
#include <QString>

#include <atomic>

class SlowUploadServer
{
public:
    // holdAfterBytes: the body bytes read before the server holds.
    explicit SlowUploadServer(qint64 holdAfterBytes = 256 * 1024);
    SlowUploadServer(const SlowUploadServer &) = delete;
    SlowUploadServer &operator=(const SlowUploadServer &) = delete;

    // Before start(): each request is answered with answer as soon as its head is in, before any
    // of its body is read, and not again; then the connection closes when thenClose.
    void answerAtHead(const QByteArray &answer, bool thenClose)
    {
        earlyAnswer_ = answer;
        closeAfterAnswer_ = thenClose;
    }
    // Listens on a free port of 127.0.0.1; true once it does.
    bool start();
    // "http://127.0.0.1:<port><path>"
    QString url(const QString &path) const;

    // Forgets the requests so far; the next one holds again until release().
    void reset();
    // The request has sent holdAfterBytes of its body (or all of a shorter one) and was held,
    // none of its bytes read meanwhile (a client that goes away ends it); it stays so after
    // release(), until reset().
    bool holding() const { return holding_; }
    // Lets the held request go on.
    void release() { released_ = true; }

    // Of the last request: the connection is closed, its Content-Length, the body bytes that
    // came (those past Content-Length included) and whether the body was whole and answered.
    bool done() const { return done_; }
    qint64 announced() const { return announced_; }
    qint64 received() const { return received_; }
    bool answered() const { return answered_; }

private:
    void serve(int socket);

    const qint64 holdAfterBytes_;
    QByteArray earlyAnswer_;
    bool closeAfterAnswer_ = false;
    std::atomic<int> generation_{0}; // reset() moves it on
    std::atomic<bool> holding_{false};
    std::atomic<bool> released_{false};
    std::atomic<bool> done_{false};
    std::atomic<qint64> announced_{-1};
    std::atomic<qint64> received_{0};
    std::atomic<bool> answered_{false};
    LoopbackListener listener_; // last: it stops the workers before the state they use goes
};
