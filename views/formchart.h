// G-sensor chart: the X, Y and Z values of every second of the open file as three lines, under a
// transparent time slider whose filled part marks the elapsed time; dragging it seeks.
#pragma once

#include "sharedtypes.h"

#include <QTime>
#include <QVector>
#include <QWidget>

class QSlider;

namespace QtCharts {
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;
} // namespace QtCharts

class FormChart : public QWidget
{
    Q_OBJECT
public:
    explicit FormChart(QWidget *parent = nullptr);
    ~FormChart() override;

    void clearSeries();
    // Slider over the plot: plot of chartWidth x chartHeight in a window windowHeight high.
    void setSliderStyle(int chartWidth, int chartHeight, int windowHeight);
    // The Y axis labels become white; the style is not used.
    void setAxisLabelColor(int style);

    QSlider *slider() const { return slider_; }
    QtCharts::QChartView *chartView() const { return chartView_; }
    QtCharts::QLineSeries *series(int axis) const; // 0 X, 1 Y, 2 Z
    QtCharts::QValueAxis *axisX() const { return axisX_; }
    QtCharts::QValueAxis *axisY() const { return axisY_; }

public slots:
    // Keeps a copy of the samples and clears the plot until the duration arrives.
    void setData(QVector<VideoInfo_t> &samples);
    void durationChanged(QTime time);
    // pos in milliseconds; ignored while the slider is held.
    void positionChanged(QTime time, qlonglong pos);

signals:
    // The slider was dragged; position in hundredths of a second.
    void sliderMoved(int position);
    // Queued to onUpdateChart: the plot is rebuilt after durationChanged returns.
    void updateChart(QTime duration);

private slots:
    void sliderPressed();
    void sliderReleased();
    void onUpdateChart(QTime duration);

private:
    QVector<VideoInfo_t> samples_;
    QSlider *slider_ = nullptr;
    bool sliderPressed_ = false;
    QtCharts::QLineSeries *seriesX_ = nullptr;
    QtCharts::QLineSeries *seriesY_ = nullptr;
    QtCharts::QLineSeries *seriesZ_ = nullptr;
    QtCharts::QValueAxis *axisX_ = nullptr;
    QtCharts::QValueAxis *axisY_ = nullptr;
    QtCharts::QChart *chart_ = nullptr; // owned by the chart view
    QtCharts::QChartView *chartView_ = nullptr;
};
