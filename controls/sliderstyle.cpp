#include "sliderstyle.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double handleRadius = 6.5;
constexpr double grooveHeight = 4.0;
constexpr int preferredWidth = 200;
constexpr int preferredHeight = 20;

} // namespace

SliderStyle::SliderStyle(QWidget *parent)
    : QWidget(parent), grooveColor_(0x3a, 0x3d, 0x45), spanColor_(0xf3, 0x98, 0x00),
      handleColor_(Qt::white)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void SliderStyle::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    setSpan(lower_, upper_);
    update();
}

void SliderStyle::setColors(const QColor &groove, const QColor &span, const QColor &handle)
{
    grooveColor_ = groove;
    spanColor_ = span;
    handleColor_ = handle;
    update();
}

QSize SliderStyle::sizeHint() const
{
    return {preferredWidth, preferredHeight};
}

QSize SliderStyle::minimumSizeHint() const
{
    return {int(4 * handleRadius), int(2 * handleRadius + 2)};
}

void SliderStyle::setSpan(int lower, int upper)
{
    if (lower > upper)
        std::swap(lower, upper);
    lower = std::clamp(lower, minimum_, maximum_);
    upper = std::clamp(upper, minimum_, maximum_);
    if (lower == lower_ && upper == upper_)
        return;
    lower_ = lower;
    upper_ = upper;
    update();
    emit spanChanged(lower_, upper_);
}

double SliderStyle::xOf(int value) const
{
    const double track = width() - 2 * handleRadius;
    if (maximum_ == minimum_)
        return handleRadius;
    return handleRadius + track * double(value - minimum_) / double(maximum_ - minimum_);
}

int SliderStyle::valueAt(double x) const
{
    const double track = std::max(width() - 2 * handleRadius, 1.0);
    const double ratio = std::clamp((x - handleRadius) / track, 0.0, 1.0);
    return minimum_ + int(std::lround(ratio * double(maximum_ - minimum_)));
}

SliderStyle::Handle SliderStyle::handleNearest(double x) const
{
    const double toLower = std::abs(x - xOf(lower_));
    const double toUpper = std::abs(x - xOf(upper_));
    if (toLower < toUpper)
        return Handle::Lower;
    if (toUpper < toLower)
        return Handle::Upper;
    // Both handles on one spot: the side of the click decides which one leaves it.
    return x < xOf(lower_) ? Handle::Lower : Handle::Upper;
}

void SliderStyle::moveHandle(Handle handle, int value)
{
    if (handle == Handle::Lower)
        setSpan(std::min(value, upper_), upper_);
    else if (handle == Handle::Upper)
        setSpan(lower_, std::max(value, lower_));
}

void SliderStyle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double centreY = height() / 2.0;
    const QRectF groove(handleRadius, centreY - grooveHeight / 2, width() - 2 * handleRadius,
                        grooveHeight);
    painter.setBrush(isEnabled() ? grooveColor_ : grooveColor_.darker(130));
    painter.drawRoundedRect(groove, grooveHeight / 2, grooveHeight / 2);

    const double lowerX = xOf(lower_);
    const double upperX = xOf(upper_);
    painter.setBrush(spanColor_);
    painter.drawRect(QRectF(lowerX, groove.top(), upperX - lowerX, grooveHeight));

    for (const double x : {lowerX, upperX}) {
        painter.setBrush(QColor(0, 0, 0, 90));
        painter.drawEllipse(QPointF(x, centreY + 1), handleRadius, handleRadius);
        painter.setBrush(handleColor_);
        painter.drawEllipse(QPointF(x, centreY), handleRadius - 0.5, handleRadius - 0.5);
        painter.setBrush(spanColor_);
        painter.drawEllipse(QPointF(x, centreY), 2.0, 2.0);
    }
}

void SliderStyle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || maximum_ == minimum_) {
        event->ignore();
        return;
    }
    dragged_ = handleNearest(event->localPos().x());
    moveHandle(dragged_, valueAt(event->localPos().x()));
}

void SliderStyle::mouseMoveEvent(QMouseEvent *event)
{
    if (dragged_ == Handle::None) {
        event->ignore();
        return;
    }
    moveHandle(dragged_, valueAt(event->localPos().x()));
}

void SliderStyle::mouseReleaseEvent(QMouseEvent *event)
{
    if (dragged_ == Handle::None) {
        event->ignore();
        return;
    }
    moveHandle(dragged_, valueAt(event->localPos().x()));
    dragged_ = Handle::None;
}
