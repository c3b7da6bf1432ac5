#include "formspeedstyle.h"

#include <QPainter>

namespace {
// The gauge uses the default brand's skin whatever the style.
const QString gaugeFolder = QStringLiteral(":/image/TALVEXStyle/");
} // namespace

FormSpeedStyle::FormSpeedStyle(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ground_ = palette().color(QPalette::Window);
    initLayers();
}

void FormSpeedStyle::initLayers()
{
    for (int i = 0; i < GaugeAnimation::layerCount; ++i)
        layers_[i].setImagePath(gaugeFolder + QStringLiteral("info_speed_02"));
    layers_[4].setImagePath(gaugeFolder + QStringLiteral("info_speed_01"));
}

void FormSpeedStyle::applyStyleImages()
{
    initLayers();
    update();
}

void FormSpeedStyle::setGroundColor(const QColor &color)
{
    ground_ = color;
    update();
}

void FormSpeedStyle::setGaugeSize(int width, int height)
{
    const QSize size(width, height);
    for (SpeedStyle &layer : layers_)
        layer.setImageSize(size);
    // unsized, the gauge paints nothing and lets its ground show
    setAttribute(Qt::WA_OpaquePaintEvent, !size.isEmpty());
    update();
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
    bool moved = false;
    for (int i = 0; i < GaugeAnimation::layerCount; ++i) {
        SpeedStyle &layer = layers_[i];
        // a parked layer is touched only when it has to go back to 0
        if (placed.parked[i] && layer.angle() == 0)
            continue;
        const float before = layer.angle();
        layer.setAngle(float(placed.angle[i]));
        moved = moved || layer.angle() != before;
    }
    if (moved)
        update();
}

void FormSpeedStyle::paintEvent(QPaintEvent *)
{
    if (layers_[0].imageSize().isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), ground_);
    for (SpeedStyle &layer : layers_)
        layer.paint(painter);
}
