// The speed gauge's needle animation: one step per tick towards the last target angle, and the
// angles of the four sweep layers that make up the coloured arc. Plain class, no widgets.
#pragma once

#include <array>

class GaugeAnimation
{
public:
    static constexpr int layerCount = 4;
    static constexpr double fullSweep = 270.0; // degrees of the dial

    // Angle of each sweep layer; parked[i] marks a layer the table puts back at 0.
    struct Layers
    {
        std::array<double, layerCount> angle{};
        std::array<bool, layerCount> parked{};
    };

    // New target in degrees; the next tick computes a new step from the angle then shown.
    void setTarget(int degrees);
    // One tick. False while idle: nothing to place. Otherwise layers holds the placement for
    // the angle shown before this tick's move.
    bool tick(Layers *layers);

    // The four sweep layers for a shown angle in degrees.
    static Layers layersFor(double angle);

    bool isRunning() const { return running_; }
    double current() const { return current_; }
    double target() const { return target_; }
    double step() const { return step_; }

private:
    double target_ = 0.0;
    bool running_ = false;
    bool stepReady_ = false;
    double step_ = 0.0;
    double current_ = 0.0;
    int direction_ = 0; // 0 rising, 1 falling
};
