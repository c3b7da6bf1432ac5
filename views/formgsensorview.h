// G-sensor block of the trip panel: title and the current X, Y, Z values, with a grid below
// that receives the G-sensor chart.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FormGSensorView;
}

class FormGSensorView : public QWidget
{
    Q_OBJECT
public:
    explicit FormGSensorView(QWidget *parent = nullptr);
    ~FormGSensorView() override;

    // The three values, or "-" each when invalid.
    void setValue(float x, float y, float z, bool invalid);
    // Second title line from the "Show data" list.
    void setTitle();
    // Colours of titles, letters, values and separators; the style is not used.
    void setStyle(int style);
    // Readout sizes and fonts for a panel of width x height.
    void setFontSize(int width, int height);
    // Puts the chart into the grid below the values.
    void addChart(QWidget *chart);
    // Clears the series of the chart in the grid.
    void clearChart();

    QString valueText(int axis) const; // 0 X, 1 Y, 2 Z
    QWidget *chartWidget() const;

private:
    std::unique_ptr<Ui::FormGSensorView> ui;
};
