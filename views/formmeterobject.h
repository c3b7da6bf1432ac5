// Dashboard overlay: arc speed gauge, G-sensor bars and six trip-data tiles, one overlay frame at
// a time. GUI thread only; changes only when its owner sets data, unit, size or frame.
#pragma once

#include "sharedtypes.h"

#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class FormMeterObject;
}
class FormSpeedStyle2;
class QLabel;
class QProgressBar;

class FormMeterObject : public QWidget
{
    Q_OBJECT
public:
    explicit FormMeterObject(QWidget *parent = nullptr);
    ~FormMeterObject() override;

    // Rebuilds the frames from vi; an empty vi changes nothing.
    void setMeterData(QVector<VideoInfo_t> &vi);
    // SpeedUnit for the next setIndex.
    void setUnit(int unit) { unit_ = unit; }
    void setIndex(int index);
    void setObjectSize(const QSize &size);
    // Keeps the gauge area's size while the owner scales the strip for rendering.
    void saveObjectSize();
    void restoreObjectSize();

    int frameCount() const { return viContinuous.size(); }
    bool isScaled() const { return scaled_; }
    FormSpeedStyle2 *gauge() const { return gauge_; }

private:
    // The six trip-data tiles' value labels.
    QVector<QLabel *> valueLabels() const;
    void showMissingData();
    void resetBars();
    void setBar(QProgressBar *bar, double g);

    std::unique_ptr<Ui::FormMeterObject> ui;
    FormSpeedStyle2 *gauge_ = nullptr; // owned by gridLayout_main's widget
    QVector<VideoInfo_t> samples_;
    QVector<VideoInfo_t> viContinuous; // one record per overlay frame
    QSize objectSize_{790, 120};
    QSize savedSpeedSize_;
    float averageSpeed_ = 0.0f;
    float maximumSpeed_ = 0.0f;
    double gMaximum_ = 1.0;
    double gMinimum_ = -1.0;
    int unit_ = SpeedKmh;
    bool scaled_ = false;
};
