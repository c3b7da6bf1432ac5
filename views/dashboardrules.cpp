#include "dashboardrules.h"

#include "overlaygeometry.h"

#include <cmath>

namespace DashboardRules {

QVector<VideoInfo_t> expandFrames(const QVector<VideoInfo_t> &samples)
{
    constexpr int rate = OverlayGeometry::framesPerSecond;
    QVector<VideoInfo_t> frames;
    frames.reserve(OverlayGeometry::frameCount(samples.size()));
    for (int i = 0; i + 1 < samples.size(); ++i) {
        const VideoInfo_t &a = samples.at(i);
        const VideoInfo_t &b = samples.at(i + 1);
        for (int k = 0; k < rate; ++k) {
            const double t = double(k) / rate;
            VideoInfo_t frame = a;
            frame.gX = float(a.gX + t * (b.gX - a.gX));
            frame.gY = float(a.gY + t * (b.gY - a.gY));
            frame.gZ = float(a.gZ + t * (b.gZ - a.gZ));
            frame.speedKmh = a.speedKmh + t * (b.speedKmh - a.speedKmh);
            frame.speedMph = a.speedMph + t * (b.speedMph - a.speedMph);
            frames.append(frame);
        }
    }
    return frames;
}

SpeedSummary speedSummary(const QVector<VideoInfo_t> &frames, int unit)
{
    SpeedSummary summary;
    if (frames.isEmpty())
        return summary;
    double sum = 0.0;
    for (const VideoInfo_t &frame : frames) {
        const double speed = unit != SpeedMph ? frame.speedKmh : frame.speedMph;
        sum += speed;
        summary.maximum = std::max(summary.maximum, float(speed));
    }
    summary.average = float(sum / frames.size());
    return summary;
}

int barValue(double g, double minimum, double maximum)
{
    return int(100.0 / (maximum - minimum) * (g - minimum));
}

bool isBarValue(int value)
{
    return value >= 0 && value <= 100;
}

QString timeText(const QString &clockText, int dateFormat)
{
    const QString pattern = QStringLiteral("%1  %2/%3/%4");
    const QString time = clockText.mid(0, 8);
    const QString day = clockText.mid(10, 2);
    const QString month = clockText.mid(13, 2);
    const QString year = clockText.mid(16, 4);
    if (dateFormat == 1)
        return pattern.arg(time, month, day, year);
    if (dateFormat == 2)
        return pattern.arg(time, year, month, day);
    return clockText;
}

QString speedText(double speed)
{
    return QString::number(qint64(std::floor(speed + 0.5)));
}

int arcDegrees(double speedKmh)
{
    return int(std::lround(speedKmh * 1.3));
}

QString speedValueText(float value, int unit)
{
    return QString::number(double(value), 'f', 1) +
           (unit == SpeedMph ? QStringLiteral(" mph") : QStringLiteral(" kmh"));
}

QString compassValue(const QString &compass, const QString &heading)
{
    return compass.isEmpty() ? heading : compass + QStringLiteral("    ") + heading;
}

FontSizes fontSizes(int height)
{
    FontSizes sizes;
    if (height < 120)
        return sizes;
    sizes.text = int((height - 120) * 0.05 + 4.0);
    sizes.marks = int((height - 120) * 0.04 + 4.0);
    return sizes;
}

int barHeight(int height)
{
    constexpr double c = 4.0 / 9.0;
    return int(height / 5.5 * c);
}

QRect gaugeArcRect(int width)
{
    const double f = width / 175.0;
    const int xy = int((17 * f + 0.5) * 0.5);
    const int side = int(158 * f + 0.5);
    return QRect(xy, xy, side, side);
}

QSize dashboardSize(int viewWidth)
{
    constexpr double c = 120.0 / 790.0;
    return QSize(viewWidth, int(viewWidth * c));
}

} // namespace DashboardRules

namespace DashboardRules {
GaugeFonts gaugeFonts(int width)
{
    return GaugeFonts{width / 6, width / 20};
}
} // namespace DashboardRules
