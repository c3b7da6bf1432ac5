#include "rideplayback.h"

void RidePlayback::load(int pointCount, int totalSeconds)
{
    rideLoaded_ = true;
    hasFile_ = true;
    pointCount_ = pointCount;
    totalSeconds_ = totalSeconds;
    state_ = Paused;
    position_ = 0;
}

void RidePlayback::unload()
{
    rideLoaded_ = false;
    hasFile_ = false;
    pointCount_ = 0;
    totalSeconds_ = 0;
    position_ = 0;
    state_ = Paused;
    armed_ = false;
}

RidePlayback::Tick RidePlayback::tick()
{
    Tick t;
    if (!hasPoints()) {
        t.timer = Timer::Stop;
        return t;
    }
    t.hasPoint = true;
    if (position_ >= 0 && position_ < pointCount_ * secondsPerPoint) {
        // the map gets the point before the advance, labels the position after it
        t.point = position_ / secondsPerPoint;
        if (state_ == Playing)
            position_ += secondsPerPoint;
    } else {
        position_ = 0;
        state_ = Paused;
        t.point = 0;
    }
    t.position = position_;
    t.percent = totalSeconds_ > 0 ? static_cast<float>(position_) * 100.0f / totalSeconds_ : 0.0f;
    if (state_ != Playing) {
        armed_ = false;
        return t;
    }
    armed_ = true;
    t.timer = Timer::Restart1000;
    return t;
}

RidePlayback::PlayAction RidePlayback::play()
{
    if (!hasFile_)
        return PlayAction::Ignored;
    if (state_ == Playing) {
        state_ = Paused; // the timer keeps running; its next tick disarms it
        return PlayAction::Paused;
    }
    if (armed_)
        return PlayAction::Ignored;
    state_ = Playing;
    armed_ = true;
    return PlayAction::Started;
}

bool RidePlayback::stepForward()
{
    if (!hasFile_)
        return false;
    state_ = SteppedForward;
    position_ += secondsPerPoint;
    return true;
}

bool RidePlayback::stepBack()
{
    if (!hasFile_)
        return false;
    state_ = SteppedBack;
    if (position_ > 0)
        position_ -= secondsPerPoint;
    return true;
}

void RidePlayback::setSliderValue(int value)
{
    const int rest = value % secondsPerPoint;
    position_ = rest == 0 ? value : value + secondsPerPoint - rest;
}

RidePlayback::Timer RidePlayback::sliderMoved()
{
    state_ = Paused;
    return Timer::Restart50;
}

int RidePlayback::sliderValueForPercent(float percent) const
{
    return static_cast<int>(static_cast<float>(totalSeconds_) * percent / 100.0f);
}

bool RidePlayback::stop()
{
    if (!hasFile_)
        return false;
    position_ = 0;
    state_ = Cleared;
    hasFile_ = false;
    return true;
}
