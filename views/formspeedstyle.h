// The trip panel's speed gauge: four sweep layers under the dial face, moved one step per tick
// of the panel's timer towards the last target angle. One opaque widget paints every layer on its
// ground colour, so that a needle step repaints the gauge alone.
#pragma once

#include "gaugeanimation.h"
#include "speedstyle.h"

#include <QColor>
#include <QWidget>

#include <array>

class FormSpeedStyle : public QWidget
{
    Q_OBJECT
public:
    explicit FormSpeedStyle(QWidget *parent = nullptr);

    // Every layer gets this minimum, maximum and image size.
    void setGaugeSize(int width, int height);
    // Sets the five image paths again, as at construction.
    void applyStyleImages();
    // The colour under the gauge: the ground of the panel that holds it.
    void setGroundColor(const QColor &color);

    const GaugeAnimation &animation() const { return animation_; }
    // Layers 1 to 4 are the sweep, layer 5 the dial face; index 0..4.
    const SpeedStyle *layer(int index) const { return &layers_[index]; }

public slots:
    // Target angle in degrees.
    void showSpeedData(int data);
    // One animation tick; GUI thread, driven by the panel's 5 ms timer.
    void showSpeed();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void initLayers();

    std::array<SpeedStyle, 5> layers_; // painted in order: layer 5 lies on top
    GaugeAnimation animation_;
    QColor ground_;
};
