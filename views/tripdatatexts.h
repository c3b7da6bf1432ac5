// Texts and numbers of the trip-data panel: time in the date format, validity of a sample,
// average and maximum speed, needle target and the panel's layout sizes. Plain functions.
#pragma once

#include "sharedtypes.h"

#include <QSize>
#include <QString>
#include <QVector>

#include <optional>

namespace TripData {

// "hh:mm:ss  dd/MM/yyyy" in date format 0 (unchanged), 1 (month/day/year) or 2 (year/month/day);
// "-" for any other format; a text not 20 characters long is returned unchanged.
QString formatDateTime(const QString &text, int dateFormat);

// A sample shows as valid with a clock time, isValid set and a position (SamplePosition).
bool isShownValid(const VideoInfo_t &vi, bool isValid);

struct SpeedSummary
{
    float average = 0.0f;
    float maximum = 0.0f;
};
// Average and maximum of speedKmh (unit 1) or speedMph (unit 0) over every sample, summed in
// float; another unit counts the samples but adds nothing. Nothing for an empty set.
std::optional<SpeedSummary> computeSpeedAvgMax(const QVector<VideoInfo_t> &samples, int unit);

// "kmh" for a non-zero unit, "mph" for 0.
QString unitText(int unit);
// An average or maximum with one decimal and the unit: "10.0 kmh".
QString summaryText(float value, int unit);
// The current speed as a whole number.
QString currentSpeedText(double speed);
// "NE    45" or the heading alone without a compass text.
QString compassValue(const QString &compassText, const QString &headingText);

// Needle target in degrees: round(km/h) x 1.35 truncated, 200 km/h fill 270 degrees; a
// negative speed gives 0.
int needleTarget(double speedKmh);

// Sizes of setLayoutSize for a window and a panel; every result truncated.
struct LayoutSizes
{
    QSize informationPicture;
    int gauge = 0; // side of the gauge, its area and the current speed label
    int unitTopMargin = 0;
    int icon = 0;
    int spacerWidth = 0; // spacer after the gauge area (20 high)
    int dividerHeight = 0;
    int captionPx = 0;
    int valuePx = 0;
    int speedPx = 0;
    int unitPx = 0;
    QSize backPicture;
    QSize readout; // arguments of the G-sensor readout's setFontSize
};
LayoutSizes layoutSizes(int windowWidth, int windowHeight, int panelWidth, int panelHeight);

// How the main window sizes the band under the video in an area areaWidth wide.
struct BandSizes
{
    int areaHeight = 0;   // the band's area in the main window
    QSize panel;          // setPanelSize: the frame, 5 pixels below the area's top
    int layoutHeight = 0; // panel height given to setLayoutSize: the gauge fits the frame
    QSize chart;          // setSliderStyle's plot: the readout's width, below its title row
};
BandSizes bandSizes(int windowHeight, int areaWidth);

} // namespace TripData
