#include "gsensorchartmath.h"

#include <QtMath>

#include <algorithm>

namespace GSensorChart {

AxisRange yRange(const QVector<VideoInfo_t> &samples)
{
    float smallest = 0.0f;
    float largest = 0.0f;
    for (const VideoInfo_t &s : samples) {
        for (float g : {s.gX, s.gY, s.gZ}) {
            smallest = std::min(smallest, g);
            largest = std::max(largest, g);
        }
    }
    AxisRange range{int(qFloor(smallest)), int(qCeil(largest))};
    if (range.min == range.max)
        range = {-1, 1};
    return range;
}

int xMaximum(qint64 durationMs)
{
    const qint64 seconds = durationMs / 1000;
    return seconds >= 1 ? int(seconds) : 0;
}

int sliderMaximum(qint64 durationMs)
{
    return durationMs > 0 ? int(durationMs / 10) : 0;
}

int sliderValue(qint64 posMs)
{
    return int(posMs / 10);
}

SliderGeometry sliderGeometry(int chartWidth, int chartHeight, int windowHeight)
{
    const double w = chartWidth;
    const double h = chartHeight;
    const double H = windowHeight;
    SliderGeometry g;
    g.top = 0;
    g.groove = int((H / 100 * 2 - 15.36) + h / 100 * 85);
    g.viewHeight = int(g.groove * 1.12);
    g.left = int(w / 100 * 20 - (H / 100 * 4.1 - 27.675));
    g.styleSheet = QStringLiteral("QSlider { background-color: transparent; } "
                                  "QSlider::groove:horizontal { border:none; height: %1px; } "
                                  "QSlider::sub-page { background: rgba(201,202,202,80); "
                                  "margin-left: %2px;} "
                                  "QSlider::add-page { background: transparent; } "
                                  "QSlider::handle:horizontal {  margin-top: -%3px; "
                                  "margin-bottom: %4px; }")
                       .arg(g.groove)
                       .arg(1)
                       .arg(8)
                       .arg(g.groove - 8);
    g.slider = QRect(g.left - 1, int((H - 675) * 0.0152 + (g.top - 8)), (chartWidth - g.left) + 2,
                     g.groove + 16);
    g.chartView = QRect(5, g.top, chartWidth, g.viewHeight);
    return g;
}

QString valueText(float value)
{
    if (value == 0.0f)
        return QStringLiteral("+0"); // also -0, which a sensor may report
    const QString text = QString::number(value, 'g', 6);
    return value > 0 ? QLatin1Char('+') + text : text;
}

ReadoutSizes readoutSizes(int width, int height)
{
    const double d = (height - 112) * 0.03704;
    ReadoutSizes r;
    r.grid = QSize(int((width - 712) * 0.24 + 153), (height - 90) * 5);
    r.letterPx = int(d + 20);
    r.valuePx = int(d + 10);
    return r;
}

} // namespace GSensorChart
