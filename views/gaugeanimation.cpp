#include "gaugeanimation.h"

#include <cmath>

void GaugeAnimation::setTarget(int degrees)
{
    target_ = degrees;
    running_ = true;
    stepReady_ = false;
}

GaugeAnimation::Layers GaugeAnimation::layersFor(double c)
{
    // each layer covers about a quarter of the ring; a full layer rests at its last angle
    static constexpr double full[layerCount] = {89, 176, 263, 272};
    Layers layers;
    int turning = 0;
    while (turning < layerCount - 1 && c > full[turning])
        ++turning;
    for (int i = 0; i < layerCount; ++i) {
        if (i < turning)
            layers.angle[i] = full[i];
        else if (i == turning)
            layers.angle[i] = c;
        layers.parked[i] = i > turning;
    }
    return layers;
}

bool GaugeAnimation::tick(Layers *layers)
{
    if (target_ > fullSweep)
        target_ = fullSweep;
    if (target_ < 0)
        target_ = 0;
    if (!running_)
        return false;
    if (!stepReady_) {
        step_ = target_ < 6.75 ? 1.35 : std::fabs(current_ - target_) / 27;
        stepReady_ = true;
    }
    const double c = current_;
    *layers = layersFor(c);
    if (c - 1 < target_ && target_ < c + 1) {
        running_ = false;
        stepReady_ = false;
        return true;
    }
    direction_ = target_ > c ? 0 : 1;
    if (direction_ == 0)
        current_ = target_ - c < step_ ? target_ : c + step_;
    else
        current_ = c - target_ < step_ ? target_ : c - step_;
    return true;
}
