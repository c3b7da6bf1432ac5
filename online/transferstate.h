// What one transfer (one hop of a CurlReply) shares between the reply on its own thread and the
// curl side on the worker thread (CurlHop): the answer's head, the body bytes not yet read, the
// upload bytes not yet sent, the counters, the end, and the reply's commands. One mutex guards
// every member but the reader's own: read() hands over body bytes outside it, which the worker
// no longer writes. A wake-up of the reply only tells it to look; it takes the news under the
// mutex.
#pragma once

#include "httpframing.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TransferState
{
public:
    // How the transfer ended, as the worker saw it.
    struct End
    {
        QNetworkReply::NetworkError error = QNetworkReply::NoError; // the connection's or framing's
        QString text;
        QByteArray redirect; // Location of a redirect answer that ended the transfer at its head
        int redirectStatus = 0;
    };
    // What changed since the reply last looked.
    struct Update
    {
        bool progressed = false; // a head line, body bytes or upload bytes moved
        bool headArrived = false;
        HttpFraming::Head head; // when headArrived
        bool bytesArrived = false;
        qint64 received = 0;
        bool uploadMoved = false;
        qint64 sent = 0;
        qint64 sendTotal = 0;
        bool uploadWanted = false; // the upload buffer runs low: refill it
        bool requestSent = false;  // the request body has gone out whole
        bool ended = false;
        End end; // when ended
    };
    // What the reply asks of the worker.
    struct Commands
    {
        bool stop = false;
        bool resumeReceiving = false;
        bool resumeSending = false;
    };
    // Results of takeUpload() besides a count of bytes.
    static constexpr qint64 uploadNotReady = -1; // nothing buffered yet: sending pauses
    static constexpr qint64 uploadFailed = -2;   // the body could not be read

    // readLimit: the unread body bytes at which receiving pauses.
    explicit TransferState(qint64 readLimit);

    // --- the reply's side
    // Called (under the mutex, from the worker) when something changed and no call is pending;
    // it must only queue the reply's look at take().
    void setWake(std::function<void()> wake);
    Update take();
    // The body bytes the reader may take: those that came before its last take().
    qint64 unread() const;
    // Hands up to max unread body bytes to use, span by span, where the worker put them (the
    // reader copies them once, into its buffer or its file); calls resume (before use) when
    // receiving is to be resumed: it pokes the worker.
    qint64 read(qint64 max, const std::function<void()> &resume,
                const std::function<void(const char *, qint64)> &use);
    // Returns true when receiving must be resumed.
    bool setReadLimit(qint64 readLimit);
    // Room left in the upload buffer.
    qint64 uploadRoom() const;
    // Adds upload bytes; end: the body is complete; failed: it could not be read. Returns true
    // when sending must be resumed.
    bool putUpload(const char *bytes, qint64 size, bool end, bool failed);
    // The reply lets go: no more wake-ups, the body is dropped and the worker is to stop.
    void detach();

    // --- the worker's side: the callbacks gather, publish() wakes the reply once for all of it
    Commands takeCommands();
    void publish();
    void headArrived(const HttpFraming::Head &head);
    void progressed();
    // Room for size more body bytes; bodyAdded() then publishes what was written there. Only
    // the worker writes past the published bytes; the reader never drops the piece it writes to.
    // Null when the unread bytes have reached the read limit: receiving counts as paused until
    // the reader has taken bytes. Asked before curl's bytes are taken, so that curl keeps the
    // rest of what it read (a pause after taking them would have it read once more and keep it).
    char *bodyRoom(qint64 size);
    void bodyAdded(qint64 size);
    // Bytes for curl's upload, or 0 at the body's end, uploadNotReady or uploadFailed.
    qint64 takeUpload(char *to, qint64 max);
    // Upload progress; a known total sent, like the end of a body of unknown size, tells the
    // reply that the request is out.
    void setSent(qint64 sent, qint64 total);
    // Wakes the reply at once.
    void end(const End &end);

private:
    struct Piece
    {
        std::unique_ptr<char[]> bytes;
        qint64 capacity = 0;
        qint64 used = 0;
    };
    void wakeLocked();

    mutable std::mutex mutex_;
    std::function<void()> wake_;
    bool wakePending_ = false;
    bool changed_ = false; // since the last wake-up
    bool detached_ = false;
    Update update_;
    qint64 readLimit_;

    // body bytes unread, in pieces each filled before the next; the first is read from frontRead_
    std::deque<Piece> pieces_;
    std::vector<Piece> spare_; // read pieces kept for reuse: no heap churn per read
    qint64 frontRead_ = 0;
    qint64 unread_ = 0;
    qint64 readable_ = 0;                                // of unread_
    std::vector<std::pair<const char *, qint64>> spans_; // of one read(), the reader's only
    bool receivingPaused_ = false;
    bool resumeReceiving_ = false;

    // upload bytes the reply has read from its device and curl has not taken, from uploadAt_
    QByteArray upload_;
    qint64 uploadAt_ = 0;
    bool uploadEnd_ = false;
    bool uploadFailed_ = false;
    bool sendingPaused_ = false;
    bool resumeSending_ = false;
};
