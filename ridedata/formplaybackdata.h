// Ride information panel: duration, distance and calorie tiles, speed and altitude figures and
// three line charts of the loaded ride, in metric or imperial units.
#pragma once

#include "bodydata.h"
#include "formdialog.h"
#include "sharedtypes.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class FormPlaybackData;
}
class FormChartView;
class QGridLayout;
class QLabel;

namespace UnitSystem {
constexpr int imperial = 0; // mile, mph, ft
constexpr int metric = 1;   // km, km/h, m
} // namespace UnitSystem

class FormPlaybackData : public QWidget
{
    Q_OBJECT

public:
    explicit FormPlaybackData(QWidget *parent = nullptr);
    ~FormPlaybackData() override;

    // Keeps the ride's points and summary; updateData then shows them.
    void setData(const QVector<PlaybackInfo_t> &points, const PlaybackInfo_t &summary);
    void updateData(const PlaybackInfo_t &summary);
    // Fills every label and chart from the kept ride in unitSystem (UnitSystem::...).
    void showData(int unitSystem);
    // The speed-unit setting changed: a shown ride is shown again in the new units.
    void setUnitSystem(int unitSystem);
    int getUnitSystem() const { return unitSystem; }
    // Placeholders in the labels, empty charts; the kept ride is dropped.
    void clearData();
    // Body data unset and the ride figures 0; tells the period charts.
    void setDefaultBodyData();
    // Played share of the ride in percent on the three charts.
    void setChartPosition(float percent);
    void setPageSize(int width, int height, float scaleX, float scaleY);
    double getCalorie(double speed, int minute) const;

    const BodyData &bodyData() const { return body; }
    FormChartView *distanceChart() const { return distanceChart_; }
    FormChartView *speedChart() const { return speedChart_; }
    FormChartView *altitudeChart() const { return altitudeChart_; }
    QLabel *durationValueLabel() const { return durationValue; }
    QLabel *distanceValueLabel() const { return distanceValue; }
    QLabel *distanceUnitLabel() const { return distanceUnit; }
    QLabel *calorieValueLabel() const { return calorieValue; }
    FormDialog *lastBodyDataDialog() const { return bodyDialog; }

public slots:
    void showBodyDataDialog();
    void setBodydataParameter(int age, int heightFt, int heightIn, int weight, int gender);

signals:
    void setSliderValueTriggered(float prcessing);
    void bodydataParameterTriggered(int age, int heightFt, int heightIn, int weight, int gender);

private:
    void initValueWidgets();
    void showCalorie();
    // The "unit : …" captions above the three charts.
    void showChartUnits(bool metric);
    void applySkin(int width, int height, float scaleX, float scaleY);

    std::unique_ptr<Ui::FormPlaybackData> ui;
    QPointer<FormDialog> bodyDialog; // deletes itself on close
    QLabel *durationValue = nullptr;
    QLabel *distanceValue = nullptr;
    QLabel *calorieValue = nullptr;
    QLabel *distanceUnit = nullptr;
    QLabel *calorieUnit = nullptr;
    QGridLayout *distanceStack = nullptr;
    QGridLayout *calorieStack = nullptr;
    FormChartView *distanceChart_ = nullptr; // owned by the chart layouts
    FormChartView *speedChart_ = nullptr;
    FormChartView *altitudeChart_ = nullptr;
    BodyData body;
    double rideAverageSpeed = 0.0; // mph
    int rideMinutes = 0;
    int unitSystem = UnitSystem::imperial;
    bool rideShown = false; // updateData showed the kept ride and clearData has not hidden it
    PlaybackInfo_t summary;
    QVector<PlaybackInfo_t> points;
};
