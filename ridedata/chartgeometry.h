// Value rules of the chart widget: ranges, axis texts, bar layout and click mapping.
#pragma once

#include "chartitem.h"

#include <QDate>
#include <QString>

#include <optional>

namespace ChartGeometry {

// Plot width: the row width less both margins.
int plotWidth(const ChartItem &item);
// Plot height: row height less 2, and less the bottom margin in bar mode.
int plotHeight(const ChartItem &item);
// Baseline y: the last row line in line mode, above the bottom margin in bar mode.
int baselineY(const ChartItem &item);
// Height of a value in the plot (the top 4 pixels are kept free).
int valueY(const ChartItem &item, double value);
// Height of the average line.
int averageY(const ChartItem &item);

// Axis label of value: scaled with a k/M/m/u suffix, one decimal inside (-10, 10), otherwise
// rounded half up; "+" in front of positive values.
QString axisLabelText(float value);

// Stores max, min and average unless they are not finite or average lies outside min..max; an
// empty range is widened first (line: min-1..min+1, bar: min..min+2 with the average at min+1).
bool applyRange(ChartItem &item, float max, float min, float average);

// Number of bars and their pen width for a period type; 0 bars for an unknown type.
int barCount(int periodType);
int barWidth(int periodType);
// Centre x of bar index of bars bars spread evenly over the plot.
int barCentreX(const ChartItem &item, int bars, int index);
// Left edge of the date label of bar index.
int barLabelLeft(const ChartItem &item, int bars, int index);
// Whether bar index carries its date; selected is the 0-based selected bar or -1.
bool barDateVisible(int bars, int index, int selected);
// The window's first day from "yyyy/MM/dd", or from "MM/dd" in fallbackYear; invalid otherwise.
QDate firstBarDate(const QString &date, int fallbackYear);

// Value reported for a press at x in the row: bar mode the 1-based bar, line mode the share in
// percent. Nothing for a line chart without values or a press beside the bars.
std::optional<float> clickValue(const ChartItem &item, int x);

} // namespace ChartGeometry
