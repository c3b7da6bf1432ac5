#include "chartgeometry.h"

#include <QStringList>

#include <cmath>

namespace ChartGeometry {

namespace {
constexpr int sevenBarWidth = 18;
constexpr int twentyEightBarWidth = 6;
constexpr double pixelLimit = 1.0e6; // keeps degenerate ranges inside int

// Truncation toward zero, bounded so that a tiny range cannot overflow an int.
int truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(qBound(-pixelLimit, value, pixelLimit));
}

double range(const ChartItem &item)
{
    return static_cast<double>(item.max) - static_cast<double>(item.min);
}

struct Scale
{
    float factor;
    const char *suffix;
};

Scale scaleOf(float v)
{
    if (v >= 1000.0f && v < 1.0e6f)
        return {0.001f, "k"};
    if (v >= 1.0e6f && v < 1.0e9f)
        return {1.0e-6f, "M"};
    if (v > -1.0e6f && v <= -1000.0f)
        return {0.001f, "k"};
    if (v > -1.0e9f && v <= -1.0e6f)
        return {1.0e-6f, "M"};
    if ((v >= 0.0001f && v < 0.1f) || (v > -0.1f && v <= -0.0001f))
        return {1000.0f, "m"};
    if ((v >= 1.0e-7f && v < 0.0001f) || (v > -0.0001f && v <= -1.0e-7f))
        return {1.0e6f, "u"};
    return {1.0f, ""};
}
} // namespace

int plotWidth(const ChartItem &item)
{
    return item.size.width() - item.leftMargin - item.rightMargin;
}

int plotHeight(const ChartItem &item)
{
    const int h = item.size.height() - 2;
    return item.chartType == ChartType::bar ? h - item.bottomMargin : h;
}

int baselineY(const ChartItem &item)
{
    const int y = item.size.height() - 1;
    return item.chartType == ChartType::bar ? y - item.bottomMargin : y;
}

int valueY(const ChartItem &item, double value)
{
    const int h = plotHeight(item);
    return truncated((h - 1) - (value - item.min) * (h - 5) / range(item));
}

int averageY(const ChartItem &item)
{
    const int h = plotHeight(item);
    const double above = static_cast<double>(item.average) - item.min;
    if (item.chartType != ChartType::bar)
        return truncated(h - above * h / range(item));
    const int y = truncated(h - above * (h - 5) / range(item));
    return y < 0 ? h : y;
}

QString axisLabelText(float value)
{
    const Scale scale = scaleOf(value);
    const float scaled = value * scale.factor;
    QString text = scaled > -10.0f && scaled < 10.0f
                       ? QString::number(scaled, 'f', 1)
                       : QString::number(std::floor(scaled + 0.5f), 'f', 0);
    if (value > 0.0f)
        text.prepend(QLatin1Char('+'));
    return text + QLatin1String(scale.suffix);
}

bool applyRange(ChartItem &item, float max, float min, float average)
{
    if (!std::isfinite(max) || !std::isfinite(min) || !std::isfinite(average))
        return false;
    if (!(min <= average && average <= max))
        return false;
    if (max == min) {
        if (item.chartType == ChartType::bar) {
            max = min + 2.0f;
            average = min + 1.0f;
        } else {
            max = min + 1.0f;
            min = min - 1.0f;
        }
    }
    item.max = max;
    item.min = min;
    item.average = average;
    return true;
}

int barCount(int periodType)
{
    if (periodType == ChartPeriod::sevenBars)
        return 7;
    if (periodType == ChartPeriod::twentyEightBars)
        return 28;
    return 0;
}

int barWidth(int periodType)
{
    return periodType == ChartPeriod::twentyEightBars ? twentyEightBarWidth : sevenBarWidth;
}

int barCentreX(const ChartItem &item, int bars, int index)
{
    return truncated(static_cast<double>(plotWidth(item)) / (2 * bars) * (2 * index + 1) +
                     item.leftMargin);
}

int barLabelLeft(const ChartItem &item, int bars, int index)
{
    return truncated(static_cast<double>(plotWidth(item)) / (2 * bars) * (2 * index + 1) +
                     item.leftMargin / 2);
}

bool barDateVisible(int bars, int index, int selected)
{
    if (bars <= 0 || index < 0 || index >= bars)
        return false;
    if (bars <= 7 || index == selected)
        return true;
    if (index == 0)
        return selected != 1;
    if (index == bars - 1)
        return selected != bars - 2;
    return false;
}

QDate firstBarDate(const QString &date, int fallbackYear)
{
    const QDate full = QDate::fromString(date, QStringLiteral("yyyy/MM/dd"));
    if (full.isValid())
        return full;
    const QStringList parts = date.split(QLatin1Char('/'));
    if (parts.size() != 2)
        return QDate();
    bool monthOk = false;
    bool dayOk = false;
    const int month = parts[0].toInt(&monthOk);
    const int day = parts[1].toInt(&dayOk);
    return monthOk && dayOk ? QDate(fallbackYear, month, day) : QDate();
}

std::optional<float> clickValue(const ChartItem &item, int x)
{
    const bool bar = item.chartType == ChartType::bar;
    const int n = bar ? barCount(item.periodType) : item.values.size();
    if (n == 0)
        return std::nullopt;
    const double step =
        n > 1 ? static_cast<double>(plotWidth(item)) / n : static_cast<double>(item.size.width());
    const double offset = x - item.leftMargin;
    const int k = truncated(offset / step) + 1;
    if (bar) {
        if (offset < 0.0 || k < 1 || k > n)
            return std::nullopt;
        return static_cast<float>(k);
    }
    if (k < 0)
        return 0.0f;
    if (k > n)
        return 100.0f;
    return static_cast<float>(static_cast<double>(k) / n * 100.0);
}

} // namespace ChartGeometry
