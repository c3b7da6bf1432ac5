#include "formshowdata.h"

#include "appfont.h"
#include "appglobals.h"
#include "formchart.h"
#include "formgsensorview.h"
#include "formspeedstyle.h"
#include "tripdatatexts.h"
#include "ui_formshowdata.h"

#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int needleTickMs = 5;
// The panel's images come from the default brand's skin whatever the style.
const QString panelFolder = QStringLiteral(":/image/TALVEXStyle/");
const QString dividerColor = QStringLiteral("#898989");
const QSize formMaximum(825, 500); // the form's own maximum, raised to hold a larger frame
constexpr int frameTop = 5;
} // namespace

FormShowData::FormShowData(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormShowData>())
{
    ui->setupUi(this);
    gauge_ = new FormSpeedStyle(ui->speedstyleWidget);
    ui->speedWidget->addWidget(gauge_, 0, 0);
    gsensorView_ = new FormGSensorView;

    needleTimer_ = new QTimer(this);
    needleTimer_->setInterval(needleTickMs);
    connect(this, &FormShowData::updateSpeed, gauge_, &FormSpeedStyle::showSpeedData);
    connect(needleTimer_, &QTimer::timeout, gauge_, &FormSpeedStyle::showSpeed);
    needleTimer_->start();
}

FormShowData::~FormShowData()
{
    // the readout is parentless until installChart places it
    if (!gsensorView_->parent())
        delete gsensorView_;
}

void FormShowData::setData(QVector<VideoInfo_t> &samples)
{
    samples_ = samples;
    // a new file's average and maximum never carry over from the previous one
    averageDirty_ = true;
}

void FormShowData::setInfoData(VideoInfo_t vi, SpeedUnit speedType, bool isValid)
{
    if (TripData::isShownValid(vi, isValid)) {
        ui->label_time_data->setText(formatDateTime(vi.clockTime));
        ui->label_latitude_data->setText(vi.latText);
        ui->label_longitude_data->setText(vi.lonText);
        computeSpeedAvgMax(speedType);
        ui->label_speed_avg_data->setText(TripData::summaryText(averageSpeed_, speedType));
        ui->label_speed_max_data->setText(TripData::summaryText(maximumSpeed_, speedType));
        const double speed = speedType != SpeedMph ? vi.speedKmh : vi.speedMph;
        if (currentSpeedLabel_) {
            currentSpeedLabel_->setText(TripData::currentSpeedText(speed));
            unitLabel_->setText(TripData::unitText(speedType));
        }
        emit updateSpeed(TripData::needleTarget(vi.speedKmh));
        gsensorView_->setValue(vi.gX, vi.gY, vi.gZ, false);
        ui->label_compass_data->setText(TripData::compassValue(vi.compassText, vi.headingText));
        return;
    }
    const QString dash = QStringLiteral("-");
    ui->label_time_data->setText(formatDateTime(vi.clockTime));
    for (QLabel *label : {ui->label_latitude_data, ui->label_longitude_data, ui->label_compass_data,
                          ui->label_speed_avg_data, ui->label_speed_max_data, currentSpeedLabel_}) {
        if (label)
            label->setText(dash);
    }
    gsensorView_->setValue(vi.gX, vi.gY, vi.gZ, vi.recordTime.isEmpty());
    averageDirty_ = true;
    emit updateSpeed(0);
}

void FormShowData::setSpeedAvg_Max(SpeedUnit speedType)
{
    if (unitLabel_)
        unitLabel_->setText(TripData::unitText(speedType));
    averageDirty_ = true;
    computeSpeedAvgMax(speedType);
}

void FormShowData::distanceChanged(double distance)
{
    distance_ = distance;
}

void FormShowData::initSpeedLabels(SpeedUnit unit)
{
    speedLayout_ = new QVBoxLayout;
    speedLayout_->setContentsMargins(0, 0, 0, 0);
    speedLayout_->setSpacing(0);
    currentSpeedLabel_ = new QLabel(QStringLiteral("-"));
    currentSpeedLabel_->setAlignment(Qt::AlignCenter);
    currentSpeedLabel_->setStyleSheet(QStringLiteral("color:#ffffff"));
    unitLabel_ = new QLabel(TripData::unitText(unit));
    unitLabel_->setAlignment(Qt::AlignCenter);
    unitLabel_->setStyleSheet(QStringLiteral("color:#ffffff"));
    speedLayout_->addWidget(currentSpeedLabel_, 0);
    speedLayout_->addWidget(unitLabel_, 1);
    // the same cell as the gauge, so that the labels lie over it
    ui->gridLayout_speed_pic->addLayout(speedLayout_, 0, 0);
    computeSpeedAvgMax(unit);
}

QString FormShowData::formatDateTime(const QString &text) const
{
    return TripData::formatDateTime(text, gDateFormat);
}

void FormShowData::computeSpeedAvgMax(SpeedUnit unit)
{
    if (!averageDirty_)
        return;
    averageSpeed_ = 0.0f;
    maximumSpeed_ = 0.0f;
    const std::optional<TripData::SpeedSummary> summary =
        TripData::computeSpeedAvgMax(samples_, unit);
    if (!summary)
        return;
    averageSpeed_ = summary->average;
    maximumSpeed_ = summary->maximum;
    averageDirty_ = false;
}

void FormShowData::applyLanguageTexts()
{
    QFont captionFont = ui->label_time_tv->font();
    captionFont.setFamily(getAppFontFamily());
    captionFont.setWeight(75);
    captionFont.setStyle(QFont::StyleNormal);
    const std::pair<QLabel *, int> captions[] = {
        {ui->label_time_tv, 4},    {ui->label_latitude_tv, 5},  {ui->label_longitude_tv, 6},
        {ui->label_compass_tv, 8}, {ui->label_speed_avg_tv, 9}, {ui->label_speed_max_tv, 10}};
    for (const auto &[label, index] : captions) {
        label->setFont(captionFont);
        QString text = gLangShowData.value(index);
        if (index == 10)
            text.remove(QLatin1Char('"'));
        label->setText(text);
    }
    gsensorView_->setTitle();
}

void FormShowData::applyStyle(int style)
{
    const std::pair<QLabel *, const char *> icons[] = {
        {ui->label_compass_icon, "info_compass"},     {ui->label_time_icon, "info_time"},
        {ui->label_latitude_icon, "info_latitude"},   {ui->label_longitude_icon, "info_longtitude"},
        {ui->label_speed_avg_icon, "info_avg_speed"}, {ui->label_speed_max_icon, "info_max_speed"},
        {ui->label_information, "info_information"}};
    for (const auto &[label, name] : icons)
        label->setPixmap(QPixmap(panelFolder + QLatin1String(name)));
    ui->label_dividing_line->setStyleSheet(
        QStringLiteral("border-left: 1px solid %1;").arg(dividerColor));
    gauge_->applyStyleImages();
    if (currentSpeedLabel_) {
        currentSpeedLabel_->setStyleSheet(QStringLiteral("QLabel {color:#ffffff}"));
        unitLabel_->setStyleSheet(QStringLiteral("QLabel {color:#898989}"));
    }
    for (QLabel *label : {ui->label_time_tv, ui->label_latitude_tv, ui->label_longitude_tv,
                          ui->label_compass_tv, ui->label_speed_avg_tv, ui->label_speed_max_tv})
        label->setStyleSheet(QStringLiteral("QLabel {color:#ffffff}"));
    for (QLabel *label :
         {ui->label_time_data, ui->label_latitude_data, ui->label_longitude_data,
          ui->label_compass_data, ui->label_speed_avg_data, ui->label_speed_max_data})
        label->setStyleSheet(QStringLiteral("QLabel {color:#353DF4}"));
    gsensorView_->setStyle(style);
}

void FormShowData::setLayoutSize(int windowWidth, int windowHeight, int panelWidth, int panelHeight)
{
    const TripData::LayoutSizes sizes =
        TripData::layoutSizes(windowWidth, windowHeight, panelWidth, panelHeight);
    ui->label_information->setFixedSize(sizes.informationPicture);
    const QSize gaugeSize(sizes.gauge, sizes.gauge);
    gauge_->setGaugeSize(sizes.gauge, sizes.gauge);
    ui->widget->setFixedSize(gaugeSize);
    ui->speedstyleWidget->setFixedSize(gaugeSize);
    if (currentSpeedLabel_) {
        currentSpeedLabel_->setFixedSize(gaugeSize);
        unitLabel_->setFixedSize(sizes.gauge, 50);
        unitLabel_->setContentsMargins(0, sizes.unitTopMargin, 0, 0);
    }
    for (QLabel *icon :
         {ui->label_time_icon, ui->label_latitude_icon, ui->label_longitude_icon,
          ui->label_compass_icon, ui->label_speed_avg_icon, ui->label_speed_max_icon})
        icon->setFixedSize(sizes.icon, sizes.icon);
    ui->horizontalSpacer_gauge->changeSize(sizes.spacerWidth, 20, QSizePolicy::Fixed);
    ui->label_dividing_line->setFixedHeight(sizes.dividerHeight);

    QFont caption = applyAppFont(ui->label_time_tv->font(), 0, false);
    caption.setPixelSize(sizes.captionPx);
    caption.setWeight(75);
    QFont value = applyAppFont(ui->label_time_data->font(), 0, false);
    value.setPixelSize(sizes.valuePx);
    for (QLabel *label : {ui->label_time_tv, ui->label_latitude_tv, ui->label_longitude_tv,
                          ui->label_compass_tv, ui->label_speed_avg_tv, ui->label_speed_max_tv})
        label->setFont(caption);
    for (QLabel *label :
         {ui->label_time_data, ui->label_latitude_data, ui->label_longitude_data,
          ui->label_compass_data, ui->label_speed_avg_data, ui->label_speed_max_data})
        label->setFont(value);
    if (currentSpeedLabel_) {
        QFont speed(QStringLiteral("Arial"));
        speed.setWeight(75);
        speed.setLetterSpacing(QFont::PercentageSpacing, 90);
        speed.setPixelSize(sizes.speedPx);
        currentSpeedLabel_->setFont(speed);
        QFont unit = applyAppFont(unitLabel_->font(), 1, true);
        unit.setLetterSpacing(QFont::PercentageSpacing, 0);
        unit.setPixelSize(sizes.unitPx);
        unitLabel_->setFont(unit);
    }

    const QPixmap back(QStringLiteral(":/image/quarrantStyle/info_altitude_back"));
    if (!back.isNull())
        ui->altitudeBack_label->setPixmap(
            back.scaled(sizes.backPicture, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    ui->altitudeBack_label->setStyleSheet(QStringLiteral("margin-left:30px;margin-bottom:4px"));
    gsensorView_->setFontSize(sizes.readout.width(), sizes.readout.height());

    // the field columns are laid out alike in every language
    for (QSpacerItem *spacer :
         {ui->horizontalSpacer_1, ui->horizontalSpacer_2, ui->horizontalSpacer_3})
        spacer->changeSize(120, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    ui->horizontalSpacer_4->changeSize(15, 20, QSizePolicy::Fixed, QSizePolicy::Minimum);
    for (QSpacerItem *spacer : {ui->verticalSpacer_1, ui->verticalSpacer_2, ui->verticalSpacer_3})
        spacer->changeSize(20, 20, QSizePolicy::Minimum, QSizePolicy::Fixed);
    ui->maingridFrame->layout()->invalidate();
}

void FormShowData::setPanelSize(int width, int height)
{
    ui->maingridFrame->setMinimumSize(width, height);
    ui->maingridFrame->setMaximumSize(width, height);
    ui->maingridFrame->setGeometry(0, frameTop, width, height);
    setMaximumSize(qMax(width, formMaximum.width()), qMax(height + frameTop, formMaximum.height()));
}

void FormShowData::installChart(QWidget *chart)
{
    ui->altitudeBack_label->hide();
    gsensorView_->addChart(chart);
    ui->gridLayout_gsensor_chart->addWidget(gsensorView_, 0, 0);
}

void FormShowData::clearChart()
{
    gsensorView_->clearChart();
}

QString FormShowData::timeText() const
{
    return ui->label_time_data->text();
}
QString FormShowData::latitudeText() const
{
    return ui->label_latitude_data->text();
}
QString FormShowData::longitudeText() const
{
    return ui->label_longitude_data->text();
}
QString FormShowData::compassText() const
{
    return ui->label_compass_data->text();
}
QString FormShowData::averageText() const
{
    return ui->label_speed_avg_data->text();
}
QString FormShowData::maximumText() const
{
    return ui->label_speed_max_data->text();
}
