#include "formchartdataview.h"

#include "appfont.h"
#include "chartitem.h"
#include "formchartview.h"
#include "formplaybackdata.h"
#include "rideunits.h"
#include "skin.h"
#include "ui_formchartdataview.h"

#include <QDate>
#include <QJsonArray>
#include <QPixmap>

#include <cmath>
#include <utility>

using namespace RideUnits;

namespace {

constexpr int chartLeftMargin = 25;

const QString metricButtonSheet =
    QStringLiteral("QPushButton {color:#323232; border-image:url(%1);padding-left:10px;"
                   "padding-right:10px; }QPushButton:pressed {border-image: url(%2);width:10px;"
                   "height:10px;}");
const QString periodButtonSheet =
    QStringLiteral("QPushButton {color:#ffffff;border-image: url(%1);width:25px;height:25px;}"
                   "QPushButton:pressed {border-image: url(%2);width:25px;height:25px;}");
const QString summarySheet =
    QStringLiteral("QLabel{color:#323232; border-image:url(%1);padding-left:5px;"
                   "padding-right:5px;margin-bottom:20px; }");

// v scaled into k, M, m or u with its prefix text.
std::pair<double, QString> withPrefix(double v)
{
    if ((v >= 1000 && v < 1e6) || (v > -1e6 && v <= -1000))
        return {v / 1000, QStringLiteral("k")};
    if ((v >= 1e6 && v < 1e9) || (v > -1e9 && v <= -1e6))
        return {v / 1e6, QStringLiteral("M")};
    if ((v >= 0.0001 && v < 0.1) || (v > -0.1 && v <= -0.0001))
        return {v * 1000, QStringLiteral("m")};
    if ((v >= 1e-7 && v < 0.0001) || (v > -0.0001 && v <= -1e-7))
        return {v * 1e6, QStringLiteral("u")};
    return {v, QString()};
}

QString summaryText(double v)
{
    const auto [scaled, prefix] = withPrefix(v);
    return QString::number(scaled, 'f', 1) + prefix;
}

// A distance in metres as km or m (metric) or mile or ft (imperial).
std::pair<double, QString> distanceIn(double metres, bool metric)
{
    if (metric)
        return metres * kmPerMetre >= 0.1
                   ? std::make_pair(metres * kmPerMetre, QStringLiteral("km"))
                   : std::make_pair(metres, QStringLiteral("m"));
    return metres * milesPerMetre >= 0.1
               ? std::make_pair(metres * milesPerMetre, QStringLiteral("mile"))
               : std::make_pair(metres * feetPerMetre, QStringLiteral("ft"));
}

QFont summaryFont(int weight, double pixelSize)
{
    QFont font = getAppFont(true);
    font.setItalic(true);
    font.setWeight(weight);
    font.setPixelSize(qMax(1, static_cast<int>(pixelSize)));
    return font;
}

} // namespace

FormChartDataView::FormChartDataView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormChartDataView>())
{
    ui->setupUi(this);
    initStyle();
    chart_ = new FormChartView;
    ui->gridLayout_4->addWidget(chart_, 0, 0, Qt::AlignLeft);
    chart_->setChartType(ChartType::bar);
    chart_->setPeriodType(ChartPeriod::twentyEightBars);
    chart_->setAverageVisible(true);
    chart_->setStyleSheet(QStringLiteral("QWidget{margin-left:25px;}"));
    connect(chart_, &FormChartView::chartClickTriggered, this,
            &FormChartDataView::dateSelectedHighlightTriggered);
    connect(ui->sevenDaysBtn, &QPushButton::clicked, this,
            &FormChartDataView::changeBarChartSevenDays);
    connect(ui->fourWeeksBtn, &QPushButton::clicked, this,
            &FormChartDataView::changeBarChartFourWeeks);
    connect(ui->distanceBtn, &QPushButton::clicked, this, &FormChartDataView::displayDistanceData);
    connect(ui->speedBtn, &QPushButton::clicked, this, &FormChartDataView::displaySpeedData);
    connect(ui->altitudeBtn, &QPushButton::clicked, this, &FormChartDataView::displayAltitudeData);
}

FormChartDataView::~FormChartDataView() = default;

void FormChartDataView::initStyle()
{
    const QPixmap blueLine(skinImage(QStringLiteral("playback_chart_line_blue")));
    if (!blueLine.isNull()) {
        const QPixmap scaled =
            blueLine.scaled(1, 27, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (QLabel *line : {ui->separationLine_2, ui->separationLine_3, ui->separationLine_4})
            line->setPixmap(scaled);
    }
    const QPixmap line(skinImage(QStringLiteral("playback_chart_line")));
    if (!line.isNull())
        ui->separationLine->setPixmap(
            line.scaled(1, 1038, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    showMetric(ChartMetric::distance);
    ui->summary_tv->setStyleSheet(
        summarySheet.arg(skinImage(QStringLiteral("playback_chart_square_blue"))));
    ui->altitudeBtn->hide();
}

void FormChartDataView::setChartData(QVector<PlaybackInfo2_t> newInfo, int type)
{
    info = std::move(newInfo);
    period = type;
    updateChart();
}

void FormChartDataView::setBodydataParameter(int age, int heightFt, int heightIn, int weight,
                                             int gender)
{
    body = BodyData{age, heightFt, heightIn, weight, gender};
    updateSummary();
}

double FormChartDataView::getCalorie(float speed, int minute)
{
    return ::getCalorie(body, speed, minute);
}

double FormChartDataView::barValue(const PlaybackInfo2_t &element) const
{
    const bool metric = unitSystem == UnitSystem::metric;
    double value = 0.0;
    switch (metric_) {
    case ChartMetric::distance:
        value = element.distance * (metric ? kmPerMetre : milesPerMetre);
        break;
    case ChartMetric::speed:
        value = element.speedAvg * (metric ? kmhPerMph : 1.0);
        break;
    default:
        value = element.altitude * (metric ? 1.0 : feetPerMetre);
        break;
    }
    return std::fabs(value);
}

void FormChartDataView::updateChart()
{
    const int n = period == 1 ? 7 : period == 2 ? 28 : 0;
    QJsonArray values;
    double max = 0.0;
    double min = 0.0;
    double sum = 0.0;
    for (int d = 0; d < n; ++d) {
        const PlaybackInfo2_t *found = nullptr;
        for (const PlaybackInfo2_t &element : qAsConst(info)) {
            if (element.dayIndex == d) {
                found = &element;
                break;
            }
        }
        if (!found) {
            values.append(0);
            continue;
        }
        const double value = barValue(*found);
        values.append(value);
        max = qMax(max, value);
        min = qMin(min, value);
        sum += value;
    }
    const double average = n > 0 ? sum / n : 0.0;
    chart_->setRange(static_cast<float>(max), static_cast<float>(min), static_cast<float>(average));
    chart_->setData(values);
    updateSummary();
}

void FormChartDataView::updateSummary()
{
    total = 0.0;
    dailyAverage = 0.0;
    maxSpeed = 0.0;
    totalCalorie = 0.0;
    for (int i = 0; i < info.size(); ++i) {
        // a day's later files are already folded into its first element
        if (i > 0 && info[i].date == info[i - 1].date)
            continue;
        const PlaybackInfo2_t &day = info[i];
        if (metric_ == ChartMetric::distance) {
            total += day.distance;
        } else if (metric_ == ChartMetric::speed) {
            total += day.speedAvg;
            maxSpeed = qMax(maxSpeed, day.speedMax); // the window's top speed
        } else {
            total += day.altitude;
        }
        const int minutes = static_cast<int>(static_cast<float>(day.totalSeconds) / 60.0f);
        totalCalorie += getCalorie(static_cast<float>(day.speedAvg / mphPerKmh), minutes);
    }
    if (period == 1)
        dailyAverage = total / 7;
    else if (period == 2)
        dailyAverage = total / 28;

    const bool metric = unitSystem == UnitSystem::metric;
    double first = dailyAverage;
    double second = metric_ == ChartMetric::speed ? maxSpeed : total;
    QString firstUnit;
    QString secondUnit;
    if (metric_ == ChartMetric::distance) {
        std::tie(first, firstUnit) = distanceIn(dailyAverage, metric);
        std::tie(second, secondUnit) = distanceIn(total, metric);
    } else if (metric_ == ChartMetric::speed) {
        const double factor = metric ? kmhPerMph : 1.0;
        first *= factor;
        second *= factor;
        firstUnit = secondUnit = metric ? QStringLiteral("kmh") : QStringLiteral("mph");
    } else {
        const double factor = metric ? 1.0 : feetPerMetre;
        first *= factor;
        second *= factor;
        firstUnit = secondUnit = metric ? QStringLiteral("m") : QStringLiteral("ft");
    }
    ui->data1->setText(summaryText(first));
    ui->data2->setText(summaryText(second));
    ui->data3->setText(QString::number(totalCalorie, 'f', 0));
    ui->label_data1unit->setText(firstUnit);
    ui->label_data2unit->setText(secondUnit);
}

void FormChartDataView::showMetric(int metric)
{
    metric_ = metric;
    const QString blue = skinImage(QStringLiteral("playback_chart_square_blue"));
    const QString gray = skinImage(QStringLiteral("playback_chart_square_gray"));
    const std::pair<QPushButton *, int> buttons[] = {{ui->distanceBtn, ChartMetric::distance},
                                                     {ui->speedBtn, ChartMetric::speed},
                                                     {ui->altitudeBtn, ChartMetric::altitude}};
    for (const auto &[button, which] : buttons)
        button->setStyleSheet(which == metric ? metricButtonSheet.arg(blue, gray)
                                              : metricButtonSheet.arg(gray, blue));
    const bool metricUnits = unitSystem == UnitSystem::metric;
    static const char *const units[3][2] = {
        {"unit : mile", "unit : km"}, {"unit : mph", "unit : kmh"}, {"unit : ft", "unit : m"}};
    ui->unitTv->setText(QLatin1String(units[metric][metricUnits ? 1 : 0]));
    static const char *const captions[3] = {"Total\nDistance", "Max\nSpeed", "Total\nAltitude"};
    ui->data2_LeftTv->setText(QLatin1String(captions[metric]));
}

void FormChartDataView::displayDistanceData()
{
    showMetric(ChartMetric::distance);
    updateChart();
}

void FormChartDataView::displaySpeedData()
{
    showMetric(ChartMetric::speed);
    updateChart();
}

void FormChartDataView::displayAltitudeData()
{
    showMetric(ChartMetric::altitude);
    updateChart();
}

void FormChartDataView::setUnitSystem(int units)
{
    unitSystem = units == UnitSystem::metric ? UnitSystem::metric : UnitSystem::imperial;
    showMetric(metric_);
    updateChart();
}

void FormChartDataView::stylePeriodButtons(bool sevenDays)
{
    const QString plain = skinImage(QStringLiteral("playback_chart_7days_4weeks"));
    const QString selected = skinImage(QStringLiteral("playback_chart_7days_4weeks_selected"));
    ui->sevenDaysBtn->setStyleSheet(sevenDays ? periodButtonSheet.arg(selected, selected)
                                              : periodButtonSheet.arg(plain, selected));
    ui->fourWeeksBtn->setStyleSheet(sevenDays ? periodButtonSheet.arg(plain, selected)
                                              : periodButtonSheet.arg(selected, selected));
}

void FormChartDataView::changeBarChartSevenDays()
{
    chart_->setPeriodType(ChartPeriod::sevenBars);
    updateChart();
    stylePeriodButtons(true);
    emit chartSevenDaysTypeTriggered();
}

void FormChartDataView::changeBarChartFourWeeks()
{
    chart_->setPeriodType(ChartPeriod::twentyEightBars);
    updateChart();
    stylePeriodButtons(false);
    emit chartFourWeeksTypeTriggered();
}

void FormChartDataView::setDateTitle(const QString &startDate, int periodType, int dateFormat)
{
    const QDate start = QDate::fromString(startDate, QStringLiteral("yyyyMMdd"));
    const QDate end = periodType == 1   ? start.addDays(6)
                      : periodType == 2 ? start.addDays(27)
                                        : start;
    // a full date, so that the bars of a window over the end of February know the year
    chart_->setDate(start.toString(QStringLiteral("yyyy/MM/dd")));
    static const char *const formats[3] = {"dd / MM / yyyy", "MM / dd / yyyy", "yyyy / MM / dd"};
    if (dateFormat < 0 || dateFormat > 2)
        return;
    const QString format = QLatin1String(formats[dateFormat]);
    const QString from = start.toString(format);
    const QString to = end.toString(format);
    if (from.isEmpty() || to.isEmpty()) {
        ui->titleTv->setText(dateFormat == 2
                                 ? QStringLiteral("- - - - / - - / - -  -  - - - - / - - / - -")
                                 : QStringLiteral("- - / - - / - - - -  -  - - / - - / - - - -"));
        return;
    }
    ui->titleTv->setText(from + QStringLiteral("  -  ") + to);
}

void FormChartDataView::setSelectedPosition(float position)
{
    chart_->setDataProcessing(position);
}

void FormChartDataView::resetSelectedPosition()
{
    chart_->setDataProcessing(1.0f);
}

void FormChartDataView::setPanelSize(int w, int h)
{
    const double dw = w - 701;
    const double dh = h - 368;
    const double dw2 = w - 720;
    const double dw3 = w - 710;
    const auto px = [](double v) { return static_cast<int>(v); };
    ui->gridWidget->setFixedSize(w, h);
    chart_->setChartAreaSize(w, h);
    const QSize item(px(450 + 0.65 * dw), px(140 + 0.75 * dh));
    chart_->setItemSize(item.width(), item.height());
    // the chart's form places its area by geometry: the layout needs the row's size, and the
    // style sheet's left margin
    chart_->setMinimumSize(item.width() + chartLeftMargin, item.height());
    chart_->setFontSizes(px(9 + 0.022 * dh), px(8 + 0.022 * dh));
    chart_->setMargins(px(24 + 0.08 * dh), px(25 + 0.08 * dh));
    chart_->setBottomMargin(px(30 + 0.0439 * dh));

    ui->titleTv->setFixedSize(px(500 + 0.5012 * dw3), px(32 + 0.0834 * dh));
    ui->titleTv->setFont(summaryFont(75, 19 + 0.025 * dw2));
    for (QWidget *w2 : std::initializer_list<QWidget *>{ui->distanceBtn, ui->speedBtn,
                                                        ui->altitudeBtn, ui->summary_tv})
        w2->setFont(summaryFont(75, 19 + 0.016 * dw2));
    ui->horizontalLayout_btn->setSpacing(px(38 + 0.1367 * dw2));
    ui->unitTv->setFont(summaryFont(50, 12 + 0.015 * dw2));
    for (QLabel *label : {ui->data1_LeftTv, ui->data2_LeftTv, ui->data3_LeftTv})
        label->setFont(summaryFont(75, 16 + 0.015 * dw2));
    const QString valueSheet = QStringLiteral("QLabel{color:#ffffff;padding-bottom:%1px;}")
                                   .arg(QString::number(0.0439 * dh, 'g', 6));
    for (QLabel *label : {ui->data1, ui->data2, ui->data3}) {
        label->setFont(summaryFont(50, 28 + 0.06 * dw2));
        label->setStyleSheet(valueSheet);
    }
    for (QLabel *label : {ui->label_data1unit, ui->label_data2unit, ui->label_data3unit})
        label->setFont(summaryFont(50, 12 + 0.01 * dw2));
    for (QPushButton *button : {ui->sevenDaysBtn, ui->fourWeeksBtn}) {
        button->setFont(summaryFont(75, 18 + 0.025 * dw2));
        button->setFixedSize(px(180 + 0.2392 * dw), px(28 + 0.1009 * dh));
    }
    const QPixmap blueLine(skinImage(QStringLiteral("playback_chart_line_blue")));
    if (!blueLine.isNull()) {
        const QPixmap scaled = blueLine.scaled(1, px(27 + 0.079 * dh), Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation);
        for (QLabel *line : {ui->separationLine_2, ui->separationLine_3, ui->separationLine_4})
            line->setPixmap(scaled);
    }
    const int leftMargin = px(10 + 0.10965 * dh);
    for (QLayout *layout : std::initializer_list<QLayout *>{
             ui->gridLayout_data1Left, ui->gridLayout_data2Left, ui->gridLayout_data3Left,
             ui->horizontalLayout_sumaryLeft})
        layout->setContentsMargins(leftMargin, 0, 0, 0);
    ui->horizontalSpacer_data1->changeSize(qMax(0, px(70 - 0.10965 * dh)), 1, QSizePolicy::Fixed,
                                           QSizePolicy::Minimum);
    ui->data1_LeftTv->setFixedWidth(px(65 + 0.335 * dw));
}
