// The one row of the chart widget's model: everything the delegate draws.
#pragma once

#include <QJsonArray>
#include <QSize>
#include <QString>
#include <Qt>

namespace ChartType {
constexpr int line = 0;
constexpr int bar = 1;
} // namespace ChartType

namespace ChartPeriod {
constexpr int sevenBars = 0;
constexpr int twentyEightBars = 1;
} // namespace ChartPeriod

// Model roles of the row's fields; Qt::SizeHintRole also answers the size.
namespace ChartRole {
constexpr int chartType = Qt::UserRole + 1;
constexpr int periodType = Qt::UserRole + 2;
constexpr int min = Qt::UserRole + 3;
constexpr int max = Qt::UserRole + 4;
constexpr int average = Qt::UserRole + 5;
constexpr int values = Qt::UserRole + 6;
constexpr int size = Qt::UserRole + 7;
constexpr int position = Qt::UserRole + 8;
constexpr int averageVisible = Qt::UserRole + 9;
constexpr int lineVisible = Qt::UserRole + 10;
constexpr int leftMargin = Qt::UserRole + 11;
constexpr int rightMargin = Qt::UserRole + 12;
constexpr int axisFontSize = Qt::UserRole + 13;
constexpr int averageFontSize = Qt::UserRole + 14;
constexpr int date = Qt::UserRole + 15;
constexpr int bottomMargin = Qt::UserRole + 16;
constexpr int click = Qt::UserRole + 17; // setData only: reports a click value
} // namespace ChartRole

struct ChartItem
{
    QString date = QStringLiteral("01/01"); // bar mode: first day, "MM/dd" or "yyyy/MM/dd"
    int chartType = ChartType::line;
    int periodType = ChartPeriod::sevenBars;
    float min = -1.0f; // value at the bottom of the plot
    float max = 1.0f;  // value at the top of the plot
    float average = 0.0f;
    float position = 0.0f; // line: played share 0..100; bar: 1-based selected bar, 0 none
    bool averageVisible = true;
    bool lineVisible = false;
    QJsonArray values;
    int leftMargin = 22;  // pixels left of the plot (axis labels)
    int rightMargin = 23; // pixels right of the plot ("Avg." label)
    int axisFontSize = 8; // pixel sizes
    int averageFontSize = 11;
    int bottomMargin = 0; // bar mode: pixels under the baseline for day dots and dates
    QSize size = QSize(185, 62);
};
