#include "transferstate.h"

#include "networklimits.h"

#include <cstring>

using Lock = std::lock_guard<std::mutex>;

TransferState::TransferState(qint64 readLimit) : readLimit_(readLimit) {}

void TransferState::setWake(std::function<void()> wake)
{
    const Lock lock(mutex_);
    wake_ = std::move(wake);
}

void TransferState::publish()
{
    const Lock lock(mutex_);
    if (changed_)
        wakeLocked();
}

void TransferState::wakeLocked()
{
    changed_ = false;
    if (wakePending_ || !wake_)
        return;
    wakePending_ = true;
    wake_();
}

TransferState::Update TransferState::take()
{
    const Lock lock(mutex_);
    wakePending_ = false;
    // the reader sees the bytes that came before this look, as readyRead() tells them: a reader
    // that reads until nothing is left ends even while the worker goes on receiving
    readable_ = unread_;
    Update update = std::move(update_);
    update_ = Update();
    // counters stay current in every update
    update_.received = update.received;
    update_.sent = update.sent;
    update_.sendTotal = update.sendTotal;
    return update;
}

qint64 TransferState::unread() const
{
    const Lock lock(mutex_);
    return readable_;
}

qint64 TransferState::read(qint64 max, const std::function<void()> &resume,
                           const std::function<void(const char *, qint64)> &use)
{
    // The bytes are found under the mutex and used without it: the worker only writes past
    // them, and only this side drops pieces.
    qint64 count = 0;
    bool resuming = false;
    spans_.clear();
    {
        const Lock lock(mutex_);
        count = qMin(max, readable_);
        qint64 offset = frontRead_;
        for (std::size_t index = 0, found = 0; found < std::size_t(count); ++index, offset = 0) {
            const Piece &piece = pieces_[index];
            const qint64 take = qMin(count - qint64(found), piece.used - offset);
            spans_.push_back({piece.bytes.get() + offset, take});
            found += std::size_t(take);
        }
        readable_ -= count;
        unread_ -= count;
        resuming = receivingPaused_ && !resumeReceiving_ && unread_ < readLimit_;
        resumeReceiving_ = resumeReceiving_ || resuming;
    }
    if (resuming)
        resume(); // the worker goes on receiving while the bytes are copied
    for (const auto &[bytes, size] : spans_)
        use(bytes, size);
    const Lock lock(mutex_);
    for (qint64 left = count; left > 0;) {
        Piece &front = pieces_.front();
        if (frontRead_ == front.used) {
            // read through, and not the piece the worker writes to: the bytes left follow it
            if (qint64(spare_.size()) * NetworkLimits::curlBufferBytes <= readLimit_)
                spare_.push_back(std::move(front));
            pieces_.pop_front();
            frontRead_ = 0;
            continue;
        }
        const qint64 take = qMin(left, front.used - frontRead_);
        frontRead_ += take;
        left -= take;
    }
    return count;
}

bool TransferState::setReadLimit(qint64 readLimit)
{
    const Lock lock(mutex_);
    readLimit_ = readLimit;
    const bool resume = receivingPaused_ && !resumeReceiving_ && unread_ < readLimit_;
    resumeReceiving_ = resumeReceiving_ || resume;
    return resume;
}

qint64 TransferState::uploadRoom() const
{
    const Lock lock(mutex_);
    return NetworkLimits::uploadBufferBytes - (upload_.size() - uploadAt_);
}

bool TransferState::putUpload(const char *bytes, qint64 size, bool end, bool failed)
{
    const Lock lock(mutex_);
    upload_.remove(0, int(uploadAt_));
    uploadAt_ = 0;
    upload_.append(bytes, int(size));
    uploadEnd_ = end;
    uploadFailed_ = failed;
    const bool resume = sendingPaused_ && !resumeSending_;
    resumeSending_ = resumeSending_ || resume;
    return resume;
}

void TransferState::detach()
{
    const Lock lock(mutex_);
    wake_ = nullptr;
    detached_ = true;
    // the last piece may be the worker's to write to until it has seen the stop
    while (pieces_.size() > 1)
        pieces_.pop_front();
    spare_.clear();
    frontRead_ = pieces_.empty() ? 0 : pieces_.front().used;
    unread_ = 0;
    readable_ = 0;
    upload_.clear();
    uploadAt_ = 0;
}

TransferState::Commands TransferState::takeCommands()
{
    const Lock lock(mutex_);
    Commands commands;
    commands.stop = detached_;
    if (resumeReceiving_) {
        resumeReceiving_ = false;
        commands.resumeReceiving = receivingPaused_ && unread_ < readLimit_;
        receivingPaused_ = receivingPaused_ && !commands.resumeReceiving;
    }
    if (resumeSending_) {
        resumeSending_ = false;
        commands.resumeSending = sendingPaused_;
        sendingPaused_ = false;
    }
    return commands;
}

void TransferState::headArrived(const HttpFraming::Head &head)
{
    const Lock lock(mutex_);
    update_.headArrived = true;
    update_.head = head;
    update_.progressed = true;
    changed_ = true;
}

void TransferState::progressed()
{
    const Lock lock(mutex_);
    update_.progressed = true;
    changed_ = true;
}

char *TransferState::bodyRoom(qint64 size)
{
    const Lock lock(mutex_);
    receivingPaused_ = unread_ >= readLimit_;
    if (receivingPaused_)
        return nullptr;
    if (pieces_.empty() || pieces_.back().capacity - pieces_.back().used < size) {
        Piece piece;
        if (!spare_.empty() && spare_.back().capacity >= size) {
            piece = std::move(spare_.back());
            spare_.pop_back();
            piece.used = 0;
        } else {
            piece.capacity = qMax<qint64>(NetworkLimits::curlBufferBytes, size);
            piece.bytes.reset(new char[size_t(piece.capacity)]);
        }
        pieces_.push_back(std::move(piece));
    }
    Piece &back = pieces_.back();
    return back.bytes.get() + back.used;
}

void TransferState::bodyAdded(qint64 size)
{
    const Lock lock(mutex_);
    if (detached_)
        return;
    pieces_.back().used += size;
    unread_ += size;
    update_.received += size;
    update_.progressed = true;
    update_.bytesArrived = update_.bytesArrived || size > 0;
    changed_ = true;
}

qint64 TransferState::takeUpload(char *to, qint64 max)
{
    const Lock lock(mutex_);
    if (uploadFailed_)
        return uploadFailed;
    const qint64 buffered = upload_.size() - uploadAt_;
    if (buffered == 0 && uploadEnd_) {
        update_.requestSent = true; // a body of unknown size ends here
        changed_ = true;
        return 0;
    }
    if (buffered == 0)
        sendingPaused_ = true;
    const qint64 count = qMin(max, buffered);
    memcpy(to, upload_.constData() + uploadAt_, size_t(count));
    uploadAt_ += count;
    if (!uploadEnd_ && buffered - count < NetworkLimits::uploadBufferBytes / 2 &&
        !update_.uploadWanted) {
        update_.uploadWanted = true;
        changed_ = true;
    }
    return count > 0 ? count : uploadNotReady;
}

void TransferState::setSent(qint64 sent, qint64 total)
{
    const Lock lock(mutex_);
    if (sent == update_.sent && total == update_.sendTotal)
        return;
    update_.progressed = update_.progressed || sent != update_.sent;
    update_.uploadMoved = true;
    update_.requestSent = update_.requestSent || (total > 0 && sent >= total);
    update_.sent = sent;
    update_.sendTotal = total;
    changed_ = true;
}

void TransferState::end(const End &end)
{
    const Lock lock(mutex_);
    update_.ended = true;
    update_.end = end;
    wakeLocked();
}
