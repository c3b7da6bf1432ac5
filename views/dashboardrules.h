// Texts, values and sizes of the dashboard overlay, apart from its widgets.
#pragma once

#include "sharedtypes.h"

#include <QRect>
#include <QString>
#include <QVector>

namespace DashboardRules {

// One record per overlay frame: G values and both speeds interpolated, the rest of s(i).
QVector<VideoInfo_t> expandFrames(const QVector<VideoInfo_t> &samples);

// Average and maximum of the unit's speed (1 km/h, else mph) over all frames.
struct SpeedSummary
{
    float average = 0.0f;
    float maximum = 0.0f;
};
SpeedSummary speedSummary(const QVector<VideoInfo_t> &frames, int unit);

// trunc(100 / (max - min) x (g - min)); callers keep the bar when it falls outside 0..100.
int barValue(double g, double minimum = -1.0, double maximum = 1.0);
bool isBarValue(int value);

// The clock text "hh:mm:ss  dd/MM/yyyy" in the date format (1 month first, 2 year first).
QString timeText(const QString &clockText, int dateFormat);
// The speed rounded to the nearest integer, halves up.
QString speedText(double speed);
// Arc span in degrees for the km/h speed: 1.3 degrees per km/h, rounded.
int arcDegrees(double speedKmh);
// " kmh" for unit 1, else " mph", after the value with one decimal.
QString speedValueText(float value, int unit);
QString compassValue(const QString &compass, const QString &heading);

// Point sizes of the strip's texts at height h: a for texts and values, b for the scale marks.
struct FontSizes
{
    int text = 4;
    int marks = 4;
};
FontSizes fontSizes(int height);
// Fixed height of the G bars at strip height h.
int barHeight(int height);
// Arc rectangle of a gauge of the given width (real division: the arc shows at any size).
QRect gaugeArcRect(int width);
// Dashboard size on a view of width w: w by trunc(w x 120 / 790).
QSize dashboardSize(int viewWidth);

} // namespace DashboardRules

namespace DashboardRules {
// Point sizes of the gauge's value text (width / 6) and unit text (width / 20).
struct GaugeFonts
{
    int value = 0;
    int unit = 0;
};
GaugeFonts gaugeFonts(int width);
} // namespace DashboardRules
