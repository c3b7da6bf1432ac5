#include "formchartview.h"

#include "chartmodel.h"
#include "chartview.h"
#include "ui_formchartview.h"

FormChartView::FormChartView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormChartView>()), view_(new ChartView)
{
    ui->setupUi(this);
    ui->chartGridLayout->addWidget(view_);
    view_->setStyleSheet(QStringLiteral("background-color:#323232;border:none;"));
    connect(view_->chartModel(), &ChartModel::clickEvent, this,
            &FormChartView::chartClickTriggered);
}

FormChartView::~FormChartView() = default;

void FormChartView::setItemSize(int width, int height)
{
    view_->setItemSize(width, height);
}

void FormChartView::setMargins(int left, int right)
{
    view_->setMargins(left, right);
}

void FormChartView::setFontSizes(int axisPixelSize, int averagePixelSize)
{
    view_->setFontSizes(axisPixelSize, averagePixelSize);
}

void FormChartView::setAverageVisible(bool visible)
{
    view_->setAverageVisible(visible);
}

void FormChartView::setPeriodType(int periodType)
{
    view_->setPeriodType(periodType);
}

void FormChartView::setBottomMargin(int pixels)
{
    view_->setBottomMargin(pixels);
}

void FormChartView::setChartType(int chartType)
{
    view_->setChartType(chartType);
}

void FormChartView::setData(const QJsonArray &values)
{
    view_->setData(values);
}

void FormChartView::setRange(float max, float min, float average)
{
    view_->setRange(max, min, average);
}

void FormChartView::setDataProcessing(float processing)
{
    view_->setDataProcessing(processing);
}

void FormChartView::setDate(const QString &firstDay)
{
    view_->setDate(firstDay);
}

void FormChartView::setChartAreaSize(int width, int height)
{
    ui->chartGridWidget->setFixedSize(width, height);
}
