#include "progressbar_c.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

ProgressBar_c::ProgressBar_c(QWidget *parent) : QProgressBar(parent) {}

void ProgressBar_c::setBorderColor(const QColor &color)
{
    borderColor_ = color;
    update();
}

void ProgressBar_c::setFillColor(const QColor &color)
{
    fillColor_ = color;
    update();
}

void ProgressBar_c::setBorderWidth(int width)
{
    borderWidth_ = std::max(width, 0);
    update();
}

void ProgressBar_c::setBorderInset(int inset)
{
    borderInset_ = std::max(inset, 0);
    update();
}

double ProgressBar_c::filledFraction(int value, int minimum, int maximum)
{
    if (maximum <= minimum)
        return 0.0;
    const double fraction = double(qint64(value) - minimum) / double(qint64(maximum) - minimum);
    return std::clamp(fraction, 0.0, 1.0);
}

void ProgressBar_c::setValue(int value)
{
    QProgressBar::setValue(std::clamp(value, minimum(), std::max(minimum(), maximum())));
}

void ProgressBar_c::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double half = borderWidth_ / 2.0;
    const QRectF border =
        QRectF(rect()).adjusted(borderInset_ + half, half, -(borderInset_ + half), -half);
    if (border.width() <= 0 || border.height() <= 0)
        return;
    if (borderWidth_ > 0) {
        painter.setPen(QPen(borderColor_, borderWidth_));
        painter.setBrush(Qt::NoBrush);
        const double radius = border.height() / 2;
        painter.drawRoundedRect(border, radius, radius);
    }

    // The bar sits inside the border with a gap of one pen width.
    const double gap = half + borderWidth_;
    const QRectF inner = border.adjusted(gap, gap, -gap, -gap);
    const double fraction = filledFraction(value(), minimum(), maximum());
    if (inner.width() <= 0 || inner.height() <= 0 || fraction <= 0.0)
        return;
    QPainterPath clip;
    clip.addRoundedRect(inner, inner.height() / 2, inner.height() / 2);
    painter.setClipPath(clip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fillColor_);
    painter.drawRect(QRectF(inner.left(), inner.top(), inner.width() * fraction, inner.height()));
}
