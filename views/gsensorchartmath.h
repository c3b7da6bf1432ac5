// Arithmetic of the G-sensor chart and its readout: axis ranges, slider units and geometry,
// value texts and readout sizes. Plain functions, no widgets.
#pragma once

#include "sharedtypes.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

namespace GSensorChart {

// Whole-number range of the Y axis.
struct AxisRange
{
    int min = 0;
    int max = 0;
};

// floor(smallest) .. ceil(largest) of every gX, gY, gZ, both starting at 0; an empty 0..0
// range (no sensor, or no samples) becomes -1..1 so that the axis still shows.
AxisRange yRange(const QVector<VideoInfo_t> &samples);

// X axis maximum: the duration in whole seconds; 0 when it is below one second (axis unchanged).
int xMaximum(qint64 durationMs);

// The time slider counts hundredths of a second; positions arrive in milliseconds.
int sliderMaximum(qint64 durationMs);
int sliderValue(qint64 posMs);

// Geometry and style of the slider laid over the plot; every number truncated.
struct SliderGeometry
{
    int top = 0;
    int groove = 0;     // slider groove height = height of the plot
    int viewHeight = 0; // chart view height
    int left = 0;       // left end of the slider (skips the Y axis labels)
    QRect slider;
    QRect chartView;
    QString styleSheet;
};
SliderGeometry sliderGeometry(int chartWidth, int chartHeight, int windowHeight);

// A value of the readout: 6 significant digits, "+" in front of values of 0 or more.
QString valueText(float value);

// Sizes of the G-sensor readout for a panel of width x height.
struct ReadoutSizes
{
    QSize grid;       // fixed size of the readout's grid (title row and chart)
    int letterPx = 0; // "G" and the X, Y, Z letters
    int valuePx = 0;  // "sensor" and the three values
};
ReadoutSizes readoutSizes(int width, int height);

} // namespace GSensorChart
