#include "formspeedstyle.h"

#include "speedstyle.h"

namespace {
// The gauge uses the default brand's skin whatever the style.
const QString gaugeFolder = QStringLiteral(":/image/TALVEXStyle/");
constexpr int initialSide = 112;
} // namespace

FormSpeedStyle::FormSpeedStyle(QWidget *parent) : QWidget(parent)
{
    for (SpeedStyle *&layer : layers_) {
        layer = new SpeedStyle(this);
        layer->setMinimumSize(initialSide, initialSide);
        layer->setMaximumSize(initialSide, initialSide);
    }
    for (int i = 0; i < GaugeAnimation::layerCount; ++i)
        layers_[i]->setAngle(0);
    initLayers();
}

void FormSpeedStyle::initLayers()
{
    for (int i = 0; i < GaugeAnimation::layerCount; ++i)
        layers_[i]->setImagePath(gaugeFolder + QStringLiteral("info_speed_02"));
    layers_[4]->setImagePath(gaugeFolder + QStringLiteral("info_speed_01"));
}

void FormSpeedStyle::applyStyleImages()
{
    initLayers();
    for (SpeedStyle *layer : layers_)
        layer->update();
}

void FormSpeedStyle::setGaugeSize(int width, int height)
{
    const QSize size(width, height);
    for (SpeedStyle *layer : layers_) {
        layer->setMinimumSize(size);
        layer->setMaximumSize(size);
        layer->setImageSize(size);
        layer->resize(size);
    }
}

void FormSpeedStyle::showSpeedData(int data)
{
    animation_.setTarget(data);
}

void FormSpeedStyle::showSpeed()
{
    GaugeAnimation::Layers placed;
    if (!animation_.tick(&placed))
        return;
    for (int i = 0; i < GaugeAnimation::layerCount; ++i) {
        // a parked layer is touched only when it has to go back to 0
        if (!placed.parked[i] || layers_[i]->angle() != 0)
            layers_[i]->setAngle(float(placed.angle[i]));
    }
}
