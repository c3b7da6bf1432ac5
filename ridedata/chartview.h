// One-row list view that shows a ChartItem through ChartDelegate; owns its model and delegate.
#pragma once

#include "chartitem.h"

#include <QJsonArray>
#include <QListView>

class ChartDelegate;
class ChartModel;

class ChartView : public QListView
{
    Q_OBJECT

public:
    explicit ChartView(QWidget *parent = nullptr);
    ~ChartView() override;

    ChartModel *chartModel() const { return model_; }
    // The row item, or nullptr while the model has no row.
    ChartItem *getItem() const;

    void setItemSize(int width, int height);
    void setMargins(int left, int right);
    void setFontSizes(int axisPixelSize, int averagePixelSize);
    void setAverageVisible(bool visible);
    void setPeriodType(int periodType);
    void setBottomMargin(int pixels);
    void setChartType(int chartType);
    // firstDay "MM/dd" (this year) or "yyyy/MM/dd".
    void setDate(const QString &firstDay);
    // A non-empty array replaces the series and shows the line. An empty one hides the line and
    // keeps the old series in line mode; in bar mode it clears the bars.
    void setData(const QJsonArray &values);
    // Ignored for non-finite values or an average outside min..max; an empty range is widened.
    void setRange(float max, float min, float average);

signals:
    void clickeEvent(float position);

public slots:
    // Line mode: played share in percent; bar mode: 1-based selected bar. Ignored outside 0..100.
    void setDataProcessing(float processing);

private:
    // Applies change to the row item with updates off, then repaints once.
    template <typename Change> void changeItem(Change change);

    ChartModel *model_;       // owned
    ChartDelegate *delegate_; // owned
};
