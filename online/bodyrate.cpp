#include "bodyrate.h"

BodyRate::BodyRate(qint64 minBytes, qint64 windowMs) : minBytes_(minBytes), windowMs_(windowMs) {}

void BodyRate::start(qint64 nowMs, qint64 total)
{
    startMs_ = nowMs;
    startTotal_ = total;
    total_ = total;
    arrivals_.clear();
}

void BodyRate::arrived(qint64 nowMs, qint64 total)
{
    if (total <= total_)
        return;
    total_ = total;
    arrivals_.emplace_back(nowMs, total);
    // an arrival whose bytes all lie before the last minBytes no longer counts
    while (arrivals_.front().second <= total_ - minBytes_)
        arrivals_.pop_front();
}

qint64 BodyRate::deadlineMs() const
{
    if (total_ - startTotal_ < minBytes_)
        return startMs_ + windowMs_;
    // the span ends once the oldest of the last minBytes bytes has been in it for windowMs
    return arrivals_.front().first + windowMs_;
}
