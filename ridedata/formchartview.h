// The ride-data mode's chart widget: a line chart with a played share or a bar chart of days.
#pragma once

#include <QJsonArray>
#include <QWidget>

#include <memory>

namespace Ui {
class FormChartView;
}
class ChartView;

class FormChartView : public QWidget
{
    Q_OBJECT

public:
    explicit FormChartView(QWidget *parent = nullptr);
    ~FormChartView() override;

    ChartView *chartView() const { return view_; }

    void setItemSize(int width, int height);
    void setMargins(int left, int right);
    void setFontSizes(int axisPixelSize, int averagePixelSize);
    void setAverageVisible(bool visible);
    void setPeriodType(int periodType);
    void setBottomMargin(int pixels);
    void setChartType(int chartType);
    void setData(const QJsonArray &values);
    void setRange(float max, float min, float average);
    void setDataProcessing(float processing);
    void setDate(const QString &firstDay);
    // Fixed size of the area that holds the chart.
    void setChartAreaSize(int width, int height);

signals:
    // Line mode: the clicked share in percent; bar mode: the clicked 1-based bar.
    void chartClickTriggered(float processing);

private:
    std::unique_ptr<Ui::FormChartView> ui;
    ChartView *view_; // owned by the form's grid layout
};
