#include "formmeterobject.h"

#include "appglobals.h"
#include "dashboardrules.h"
#include "formspeedstyle2.h"
#include "sampleposition.h"
#include "ui_formmeterobject.h"
#include "viewslog.h"

#include <QLayout>

namespace {

const QString missing = QStringLiteral("-");

} // namespace

FormMeterObject::FormMeterObject(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormMeterObject>())
{
    ui->setupUi(this);
    resetBars();
    gauge_ = new FormSpeedStyle2();
    gauge_->setUnit(unit_);
    ui->gridLayout_main->addWidget(gauge_, 0, 0);
    ui->meterGridWidget_click->raise();
}

FormMeterObject::~FormMeterObject() = default;

void FormMeterObject::setMeterData(QVector<VideoInfo_t> &vi)
{
    if (vi.isEmpty())
        return;
    samples_ = vi;
    viContinuous = DashboardRules::expandFrames(samples_);
}

void FormMeterObject::resetBars()
{
    for (QProgressBar *bar : {ui->progressBar_X, ui->progressBar_Y, ui->progressBar_Z}) {
        bar->setRange(0, 100);
        bar->setValue(50);
    }
    ui->maxValueGSensor->setText(QStringLiteral("+1"));
    ui->centerValueGSensor->setText(QStringLiteral("0"));
    ui->minValueGSensor->setText(QStringLiteral("-1"));
}

QVector<QLabel *> FormMeterObject::valueLabels() const
{
    return {ui->label_timeValue,    ui->label_latitudeValue,  ui->label_avgSpeedValue,
            ui->label_compassValue, ui->label_longitudeValue, ui->label_maxSpeedValue};
}

void FormMeterObject::showMissingData()
{
    for (QLabel *value : valueLabels())
        value->setText(missing);
    gauge_->setSpeed(missing, 0);
    resetBars();
}

void FormMeterObject::setBar(QProgressBar *bar, double g)
{
    const int value = DashboardRules::barValue(g, gMinimum_, gMaximum_);
    if (DashboardRules::isBarValue(value))
        bar->setValue(value);
}

void FormMeterObject::setIndex(int index)
{
    if (viContinuous.isEmpty()) {
        resetBars();
        return;
    }
    qCDebug(lcViews) << "viContinuous.length() -> " << viContinuous.size() << " index " << index;
    if (index < 0 || index >= viContinuous.size() || viContinuous.at(index).clockTime.isEmpty()) {
        showMissingData();
        return;
    }
    const VideoInfo_t &frame = viContinuous.at(index);
    const QString time = DashboardRules::timeText(frame.clockTime, gDateFormat);
    if (!SamplePosition::hasPosition(frame)) {
        showMissingData();
        ui->label_timeValue->setText(time);
        return;
    }
    ui->label_timeValue->setText(time);
    ui->label_latitudeValue->setText(frame.latText);
    ui->label_longitudeValue->setText(frame.lonText);

    const DashboardRules::SpeedSummary summary = DashboardRules::speedSummary(viContinuous, unit_);
    averageSpeed_ = summary.average;
    maximumSpeed_ = summary.maximum;
    gauge_->setUnit(unit_);
    ui->label_avgSpeedValue->setText(DashboardRules::speedValueText(averageSpeed_, unit_));
    ui->label_maxSpeedValue->setText(DashboardRules::speedValueText(maximumSpeed_, unit_));
    const double speed = unit_ != SpeedMph ? frame.speedKmh : frame.speedMph;
    gauge_->setSpeed(DashboardRules::speedText(speed), DashboardRules::arcDegrees(frame.speedKmh));

    setBar(ui->progressBar_X, frame.gX);
    setBar(ui->progressBar_Y, frame.gY);
    setBar(ui->progressBar_Z, frame.gZ);
    ui->label_compassValue->setText(
        DashboardRules::compassValue(frame.compassText, frame.headingText));
}

void FormMeterObject::setObjectSize(const QSize &size)
{
    objectSize_ = size;
    setFixedSize(size);
    ui->gridWidget_back->setFixedSize(size);
    ui->gridWidget_back->setStyleSheet(QStringLiteral(
        "QWidget#gridWidget_back{border-image:url(:/image/blackStyle/video_info_BG.svg);"
        "background:#00000000}"));
    ui->meterGridWidget_click->setFixedSize(size);

    const int barHeight = DashboardRules::barHeight(size.height());
    for (QProgressBar *bar : {ui->progressBar_X, ui->progressBar_Y, ui->progressBar_Z})
        bar->setFixedHeight(barHeight);

    // The gauge area's height follows the strip's layout; the gauge's own earlier size must not
    // hold it. Nested layouts of a hidden strip are settled here, outermost first.
    gauge_->setMinimumSize(0, 0);
    gauge_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    for (QWidget *area : {ui->gridWidget_back, ui->gridWidget, ui->gridWidget_speed})
        area->layout()->activate();
    const int side = ui->gridWidget_speed->height();
    gauge_->setObjectSize(QSize(side, side), scaled_);

    const DashboardRules::FontSizes sizes = DashboardRules::fontSizes(size.height());
    QFont font = ui->gSensorText->font();
    font.setPointSize(sizes.text);
    for (QLabel *label : {ui->gSensorText, ui->xText, ui->yText, ui->zText})
        label->setFont(font);
    font.setPointSize(sizes.marks);
    for (QLabel *label : {ui->minValueGSensor, ui->centerValueGSensor, ui->maxValueGSensor})
        label->setFont(font);
    QFont caption = ui->label_time->font();
    caption.setWeight(75);
    caption.setPointSize(sizes.text);
    for (QLabel *label : {ui->label_time, ui->label_latitude, ui->label_avgSpeed, ui->label_compass,
                          ui->label_longitude, ui->label_maxSpeed})
        label->setFont(caption);
    QFont value = ui->label_timeValue->font();
    value.setWeight(75);
    value.setPointSize(sizes.text);
    for (QLabel *label : valueLabels())
        label->setFont(value);
}

void FormMeterObject::saveObjectSize()
{
    savedSpeedSize_ = ui->gridWidget_speed->size();
    // A size fixed by an earlier restore must not hold the gauge area at the scaled size.
    ui->gridWidget_speed->setMinimumSize(0, 0);
    ui->gridWidget_speed->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    scaled_ = true;
}

void FormMeterObject::restoreObjectSize()
{
    ui->gridWidget_speed->setFixedSize(savedSpeedSize_);
    scaled_ = false;
}
