#include "chartview.h"

#include "chartdelegate.h"
#include "chartgeometry.h"
#include "chartmodel.h"

ChartView::ChartView(QWidget *parent)
    : QListView(parent), model_(new ChartModel(this)), delegate_(new ChartDelegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    model_->addItem(new ChartItem());
    connect(model_, &ChartModel::clickEvent, this, &ChartView::clickeEvent);
}

ChartView::~ChartView() = default;

ChartItem *ChartView::getItem() const
{
    return model_->getItem(0);
}

template <typename Change> void ChartView::changeItem(Change change)
{
    ChartItem *item = getItem();
    if (!item)
        return;
    setUpdatesEnabled(false);
    change(*item);
    setUpdatesEnabled(true);
    viewport()->update();
}

void ChartView::setItemSize(int width, int height)
{
    changeItem([&](ChartItem &item) { item.size = QSize(width, height); });
    reset(); // the new size hint applies from the next layout
}

void ChartView::setMargins(int left, int right)
{
    changeItem([&](ChartItem &item) {
        item.leftMargin = left;
        item.rightMargin = right;
    });
}

void ChartView::setFontSizes(int axisPixelSize, int averagePixelSize)
{
    changeItem([&](ChartItem &item) {
        item.axisFontSize = axisPixelSize;
        item.averageFontSize = averagePixelSize;
    });
}

void ChartView::setAverageVisible(bool visible)
{
    changeItem([&](ChartItem &item) { item.averageVisible = visible; });
}

void ChartView::setPeriodType(int periodType)
{
    changeItem([&](ChartItem &item) { item.periodType = periodType; });
}

void ChartView::setBottomMargin(int pixels)
{
    changeItem([&](ChartItem &item) { item.bottomMargin = pixels; });
}

void ChartView::setChartType(int chartType)
{
    changeItem([&](ChartItem &item) { item.chartType = chartType; });
}

void ChartView::setDate(const QString &firstDay)
{
    changeItem([&](ChartItem &item) { item.date = firstDay; });
}

void ChartView::setData(const QJsonArray &values)
{
    changeItem([&](ChartItem &item) {
        if (!values.isEmpty() || item.chartType == ChartType::bar)
            item.values = values;
        item.lineVisible = !values.isEmpty();
    });
}

void ChartView::setRange(float max, float min, float average)
{
    changeItem([&](ChartItem &item) { ChartGeometry::applyRange(item, max, min, average); });
}

void ChartView::setDataProcessing(float processing)
{
    if (!(processing >= 0.0f && processing <= 100.0f))
        return; // also rejects NaN
    changeItem([&](ChartItem &item) { item.position = processing; });
}
