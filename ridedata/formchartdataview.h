// Period charts panel: one bar per day of a 7- or 28-day window for distance, speed or altitude,
// with a SUMMARY of daily average, total (or top speed) and calorie estimate.
#pragma once

#include "bodydata.h"
#include "sharedtypes.h"

#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class FormChartDataView;
}
class FormChartView;
class QPushButton;

namespace ChartMetric {
constexpr int distance = 0;
constexpr int speed = 1;
constexpr int altitude = 2;
} // namespace ChartMetric

class FormChartDataView : public QWidget
{
    Q_OBJECT

public:
    explicit FormChartDataView(QWidget *parent = nullptr);
    ~FormChartDataView() override;

    // Title "start  -  end" in dateFormat (0 dd/MM/yyyy, 1 MM/dd/yyyy, 2 yyyy/MM/dd) and the
    // chart's first day.
    void setDateTitle(const QString &startDate, int periodType, int dateFormat);
    // 1-based bar to mark.
    void setSelectedPosition(float position);
    void resetSelectedPosition();
    void setPanelSize(int width, int height);
    // UnitSystem::metric or ::imperial; the bars and SUMMARY follow at once.
    void setUnitSystem(int unitSystem);
    int getUnitSystem() const { return unitSystem; }

    FormChartView *chart() const { return chart_; }
    int metric() const { return metric_; }
    double summaryTotal() const { return total; }
    double summaryDailyAverage() const { return dailyAverage; }
    double summaryMaxSpeed() const { return maxSpeed; }
    double summaryCalorie() const { return totalCalorie; }

public slots:
    void setChartData(QVector<PlaybackInfo2_t> info, int type);
    void setBodydataParameter(int age, int heightFt, int heightIn, int weight, int gender);
    double getCalorie(float speed, int minute);
    void changeBarChartSevenDays();
    void changeBarChartFourWeeks();
    void displayDistanceData();
    void displaySpeedData();
    void displayAltitudeData();

signals:
    void chartSevenDaysTypeTriggered();
    void chartFourWeeksTypeTriggered();
    void dateSelectedHighlightTriggered(float position);

private:
    void initStyle();
    void updateChart();
    void updateSummary();
    void showMetric(int metric);
    void stylePeriodButtons(bool sevenDays);
    double barValue(const PlaybackInfo2_t &element) const;

    std::unique_ptr<Ui::FormChartDataView> ui;
    FormChartView *chart_ = nullptr; // owned by the chart area's layout
    int metric_ = ChartMetric::distance;
    QVector<PlaybackInfo2_t> info;
    int period = 0;
    double total = 0.0;
    double dailyAverage = 0.0;
    double maxSpeed = 0.0;
    double totalCalorie = 0.0;
    BodyData body;
    int unitSystem = 0; // UnitSystem::imperial until the setting arrives
};
