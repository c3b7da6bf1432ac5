#include "tripdatatexts.h"

#include "gsensorchartmath.h"
#include "sampleposition.h"

#include <QtMath>

#include <algorithm>

namespace TripData {

QString formatDateTime(const QString &text, int dateFormat)
{
    if (text.size() != 20)
        return text;
    const QString time = text.left(8);
    const QString day = text.mid(10, 2);
    const QString month = text.mid(13, 2);
    const QString year = text.mid(16, 4);
    switch (dateFormat) {
    case 0:
        return text;
    case 1:
        return QStringLiteral("%1  %2/%3/%4").arg(time, month, day, year);
    case 2:
        return QStringLiteral("%1  %2/%3/%4").arg(time, year, month, day);
    default:
        return QStringLiteral("-");
    }
}

bool isShownValid(const VideoInfo_t &vi, bool isValid)
{
    return !vi.clockTime.isEmpty() && isValid && SamplePosition::hasPosition(vi);
}

std::optional<SpeedSummary> computeSpeedAvgMax(const QVector<VideoInfo_t> &samples, int unit)
{
    if (samples.isEmpty())
        return std::nullopt;
    SpeedSummary summary;
    for (const VideoInfo_t &s : samples) {
        double value;
        if (unit == SpeedKmh)
            value = s.speedKmh;
        else if (unit == SpeedMph)
            value = s.speedMph;
        else
            continue;
        if (value > summary.maximum)
            summary.maximum = float(value);
        summary.average = float(summary.average + value);
    }
    summary.average /= samples.size();
    return summary;
}

QString unitText(int unit)
{
    return unit != 0 ? QStringLiteral("kmh") : QStringLiteral("mph");
}

QString summaryText(float value, int unit)
{
    return QString::number(value, 'f', 1) + QLatin1Char(' ') + unitText(unit);
}

QString currentSpeedText(double speed)
{
    return QString::asprintf("%.0f", speed);
}

QString compassValue(const QString &compassText, const QString &headingText)
{
    return compassText.isEmpty() ? headingText : compassText + QStringLiteral("    ") + headingText;
}

int needleTarget(double speedKmh)
{
    return std::max(0, int(qRound(speedKmh) * 1.35));
}

LayoutSizes layoutSizes(int windowWidth, int windowHeight, int panelWidth, int panelHeight)
{
    const double W = windowWidth;
    const double H = windowHeight;
    const double s = H / 100;
    LayoutSizes l;
    l.informationPicture = QSize(int((H - 675) * 0.0182 + 9), int((H - 675) * 0.182 + 89));
    l.gauge = int((panelHeight - 112) * 0.092593 + (panelHeight + 8));
    l.unitTopMargin = int(s * 0.3);
    l.icon = int(s * 5.9696);
    l.spacerWidth = int(W / 100);
    l.dividerHeight = int(s * 13.037);
    l.captionPx = int(s * 1.75);
    l.valuePx = int(s * 1.5);
    l.speedPx = int(s * 5.5);
    l.unitPx = int(s * 2);
    l.backPicture = QSize(int(W * 10 / 100 - (W / 100 - 12)), int(H * 14.81 / 100));
    l.readout = QSize(panelWidth, std::max(panelHeight, 110));
    return l;
}

BandSizes bandSizes(int windowHeight, int areaWidth)
{
    constexpr int frameTop = 5;
    constexpr int gaugeAllowance = 20; // the gauge is about 8 + 9 % larger than its panel height
    constexpr int readoutTitleRow = 60;
    // below this the G-sensor plot, which keeps a readable height, would reach past the band
    constexpr int minAreaHeight = 110;
    BandSizes b;
    b.areaHeight = std::max(int(windowHeight * 0.16), minAreaHeight);
    b.panel = QSize(areaWidth, b.areaHeight - frameTop);
    b.layoutHeight = b.panel.height() - gaugeAllowance;
    const int readoutWidth = GSensorChart::readoutSizes(areaWidth, b.layoutHeight).grid.width();
    b.chart = QSize(readoutWidth - 10, b.panel.height() - readoutTitleRow);
    // Qt Charts shows "..." for the three axis values of a lower plot
    constexpr int minPlotHeight = 66;
    while (
        GSensorChart::sliderGeometry(b.chart.width(), b.chart.height(), windowHeight).viewHeight <
        minPlotHeight)
        b.chart.rheight() += 1;
    return b;
}

} // namespace TripData
