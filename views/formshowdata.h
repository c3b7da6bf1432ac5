// Trip-data panel: time, position, compass, current speed on the needle gauge, the file's
// average and maximum speed, and the G-sensor readout that holds the G-sensor chart.
#pragma once

#include "sharedtypes.h"

#include <QVector>
#include <QWidget>

#include <memory>

class QLabel;
class QTimer;
class QVBoxLayout;
class FormGSensorView;
class FormSpeedStyle;

namespace Ui {
class FormShowData;
}

class FormShowData : public QWidget
{
    Q_OBJECT
public:
    explicit FormShowData(QWidget *parent = nullptr);
    ~FormShowData() override;

    // Builds the current speed and unit labels over the gauge, then the average and maximum;
    // the labels show nothing before this call.
    void initSpeedLabels(SpeedUnit unit);
    // The time text in the process-wide date format.
    QString formatDateTime(const QString &text) const;
    // Recomputes the average and maximum while they are stale.
    void computeSpeedAvgMax(SpeedUnit unit);
    // Captions from the "Show data" list.
    void applyLanguageTexts();
    // Images and colours; the style is passed on to the G-sensor readout only.
    void applyStyle(int style);
    void setLayoutSize(int windowWidth, int windowHeight, int panelWidth, int panelHeight);
    // The outer frame becomes width x height at (0, 5); the panel grows to hold it.
    void setPanelSize(int width, int height);
    // Puts the G-sensor chart under the readout and the readout into the G-sensor area.
    void installChart(QWidget *chart);
    void clearChart();

    FormSpeedStyle *gauge() const { return gauge_; }
    FormGSensorView *gsensorView() const { return gsensorView_; }
    QTimer *needleTimer() const { return needleTimer_; }
    QLabel *currentSpeedLabel() const { return currentSpeedLabel_; }
    QLabel *unitLabel() const { return unitLabel_; }
    float averageSpeed() const { return averageSpeed_; }
    float maximumSpeed() const { return maximumSpeed_; }
    double distance() const { return distance_; }
    // Value texts, for tests and the main window's checks.
    QString timeText() const;
    QString latitudeText() const;
    QString longitudeText() const;
    QString compassText() const;
    QString averageText() const;
    QString maximumText() const;

public slots:
    void setData(QVector<VideoInfo_t> &samples);
    void setInfoData(VideoInfo_t vi, SpeedUnit speedType, bool isValid);
    void setSpeedAvg_Max(SpeedUnit speedType);
    // Track length in metres; kept, not shown.
    void distanceChanged(double distance);

signals:
    // Needle target in degrees.
    void updateSpeed(int data);

private:
    std::unique_ptr<Ui::FormShowData> ui;
    QVBoxLayout *speedLayout_ = nullptr;
    QLabel *currentSpeedLabel_ = nullptr;
    QLabel *unitLabel_ = nullptr;
    FormSpeedStyle *gauge_ = nullptr; // child of the gauge area
    QTimer *needleTimer_ = nullptr;   // child; runs from construction to destruction
    QVector<VideoInfo_t> samples_;
    float averageSpeed_ = 0.0f;
    float maximumSpeed_ = 0.0f;
    bool averageDirty_ = true;
    double distance_ = 0.0;
    FormGSensorView *gsensorView_ = nullptr; // no parent until installChart places it
};
