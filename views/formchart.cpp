#include "formchart.h"

#include "gsensorchartmath.h"

#include <QGraphicsLayout>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

using namespace QtCharts;

namespace {
QLineSeries *makeSeries(QRgb color, QObject *parent)
{
    auto *series = new QLineSeries(parent);
    series->setColor(QColor(color));
    series->setUseOpenGL(false);
    return series;
}

int msecs(const QTime &time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() : 0;
}

// The slider's handle has no width of its own: a press anywhere over the plot takes the cursor
// there and holds it, so that pressing and dragging both report sliderMoved.
class ChartSlider : public QSlider
{
public:
    using QSlider::QSlider;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton || maximum() == minimum()) {
            QSlider::mousePressEvent(event);
            return;
        }
        setSliderDown(true);
        moveTo(event->pos().x());
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!isSliderDown()) {
            QSlider::mouseMoveEvent(event);
            return;
        }
        moveTo(event->pos().x());
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (!isSliderDown() || event->button() != Qt::LeftButton) {
            QSlider::mouseReleaseEvent(event);
            return;
        }
        moveTo(event->pos().x());
        setSliderDown(false);
        event->accept();
    }

private:
    void moveTo(int x)
    {
        setSliderPosition(
            QStyle::sliderValueFromPosition(minimum(), maximum(), qBound(0, x, width()), width()));
    }
};
} // namespace

FormChart::FormChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormChart"));
    setWindowTitle(QStringLiteral("Form"));
    resize(100, 30);
    QFont formFont = font();
    formFont.setFamily(QStringLiteral("Arial"));
    setFont(formFont);

    seriesX_ = makeSeries(0xFF0000, this);
    seriesY_ = makeSeries(0x00AFCC, this);
    seriesZ_ = makeSeries(0xE5A857, this);

    axisX_ = new QValueAxis(this);
    axisX_->setVisible(false);
    axisY_ = new QValueAxis(this);
    QPen axisPen(QColor(86, 86, 86, 0));
    axisPen.setWidthF(2.0);
    axisY_->setLinePen(axisPen);
    axisY_->setLabelsColor(QColor(113, 112, 113));
    QFont labelFont(QStringLiteral("arial"));
    labelFont.setPixelSize(9);
    axisY_->setLabelsFont(labelFont);
    axisY_->setTickCount(3);
    axisY_->setLabelFormat(QStringLiteral("%+.1f"));
    axisY_->setGridLineVisible(false);

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setMargins(QMargins(0, 0, 0, 0));
    chart_->setBackgroundRoundness(0);
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->setBackgroundVisible(false);
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    for (QLineSeries *series : {seriesX_, seriesY_, seriesZ_}) {
        chart_->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }

    chartView_ = new QChartView(chart_, this);
    chartView_->setStyleSheet(QStringLiteral("background-color: transparent;"));
    chartView_->setRenderHint(QPainter::Antialiasing);

    // the slider lies over the plot
    slider_ = new ChartSlider(Qt::Horizontal, this);
    slider_->raise();

    connect(slider_, &QSlider::sliderMoved, this, &FormChart::sliderMoved);
    connect(slider_, &QSlider::sliderPressed, this, &FormChart::sliderPressed);
    connect(slider_, &QSlider::sliderReleased, this, &FormChart::sliderReleased);
    connect(this, &FormChart::updateChart, this, &FormChart::onUpdateChart, Qt::QueuedConnection);
}

FormChart::~FormChart() = default;

QLineSeries *FormChart::series(int axis) const
{
    return axis == 0 ? seriesX_ : axis == 1 ? seriesY_ : seriesZ_;
}

void FormChart::setData(QVector<VideoInfo_t> &samples)
{
    samples_ = samples;
    clearSeries();
}

void FormChart::clearSeries()
{
    seriesX_->clear();
    seriesY_->clear();
    seriesZ_->clear();
}

void FormChart::durationChanged(QTime time)
{
    const int ms = msecs(time);
    if (ms != 0)
        slider_->setRange(0, GSensorChart::sliderMaximum(ms));
    emit updateChart(time);
}

void FormChart::positionChanged(QTime, qlonglong pos)
{
    if (!sliderPressed_)
        slider_->setValue(GSensorChart::sliderValue(pos));
}

void FormChart::sliderPressed()
{
    sliderPressed_ = true;
}

void FormChart::sliderReleased()
{
    sliderPressed_ = false;
}

void FormChart::onUpdateChart(QTime duration)
{
    clearSeries();
    const int ms = msecs(duration);
    if (samples_.isEmpty() || ms < 1)
        return;
    QVector<QPointF> x, y, z;
    x.reserve(samples_.size());
    y.reserve(samples_.size());
    z.reserve(samples_.size());
    for (int i = 0; i < samples_.size(); ++i) {
        x.append(QPointF(i, samples_[i].gX));
        y.append(QPointF(i, samples_[i].gY));
        z.append(QPointF(i, samples_[i].gZ));
    }
    // one replace per series instead of a repaint per point
    seriesX_->replace(x);
    seriesY_->replace(y);
    seriesZ_->replace(z);
    const GSensorChart::AxisRange range = GSensorChart::yRange(samples_);
    axisY_->setRange(range.min, range.max);
    const int seconds = GSensorChart::xMaximum(ms);
    if (seconds < 1)
        return;
    axisX_->setMax(seconds);
    chartView_->repaint();
}

void FormChart::setSliderStyle(int chartWidth, int chartHeight, int windowHeight)
{
    const GSensorChart::SliderGeometry g =
        GSensorChart::sliderGeometry(chartWidth, chartHeight, windowHeight);
    slider_->setStyleSheet(g.styleSheet);
    slider_->setGeometry(g.slider);
    // the form holds the view; the slider may reach past its edges
    setMinimumSize(g.chartView.right() + 1, g.viewHeight);
    setMaximumHeight(g.viewHeight);
    chartView_->setGeometry(g.chartView);
}

void FormChart::setAxisLabelColor(int)
{
    axisY_->setLabelsColor(QColor(255, 255, 255));
}
