// The body-rate rule of an answer as plain arithmetic over arrival times: from its start on, the
// body must bring at least minBytes in every span of windowMs.
#pragma once

#include <QtGlobal>

#include <deque>
#include <utility>

class BodyRate
{
public:
    BodyRate(qint64 minBytes, qint64 windowMs);

    // The rule counts from nowMs, when total body bytes have come (the head's arrival, say).
    void start(qint64 nowMs, qint64 total);
    // The body has brought total bytes by nowMs; a total that did not grow changes nothing.
    void arrived(qint64 nowMs, qint64 total);
    // The time at which, without another byte, the last windowMs hold fewer than minBytes.
    qint64 deadlineMs() const;

private:
    const qint64 minBytes_;
    const qint64 windowMs_;
    qint64 startMs_ = 0;
    qint64 startTotal_ = 0;
    qint64 total_ = 0;
    // (time, total after it) of the arrivals that hold the last minBytes bytes, oldest first: at
    // most minBytes of them, each brought a byte at least
    std::deque<std::pair<qint64, qint64>> arrivals_;
};
