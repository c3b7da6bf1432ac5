#include "processwait.h"

#include "skinicon.h"

#include <QPainter>

namespace {

constexpr int side = 50;
constexpr int stepMs = 40;
constexpr int stepDegrees = 12; // one turn in 1.2 s
constexpr int fullTurn = 360;

} // namespace

ProcessWait::ProcessWait(QWidget *parent) : QWidget(parent)
{
    setFixedSize(side, side);
    setAttribute(Qt::WA_TranslucentBackground);
    timer_.setInterval(stepMs);
    connect(&timer_, &QTimer::timeout, this, &ProcessWait::step);
    updateStyle();
}

void ProcessWait::setRunning(bool running)
{
    if (running)
        timer_.start();
    else
        timer_.stop();
}

void ProcessWait::updateStyle()
{
    const qreal ratio = devicePixelRatioF();
    image_ = skinPixmap(QStringLiteral("pw_loading"), QSize(side, side) * ratio);
    image_.setDevicePixelRatio(ratio);
    update();
}

void ProcessWait::step()
{
    angle_ = (angle_ + stepDegrees) % fullTurn;
    update();
}

void ProcessWait::paintEvent(QPaintEvent *)
{
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(angle_);
    const QSizeF size = QSizeF(image_.size()) / image_.devicePixelRatioF();
    painter.drawPixmap(QPointF(-size.width() / 2, -size.height() / 2), image_);
}
