#include "formplaybackdata.h"

#include "appglobals.h"
#include "formchartview.h"
#include "formdialog.h"
#include "ridelog.h"
#include "rideunits.h"
#include "skin.h"
#include "ui_formplaybackdata.h"

#include <QJsonArray>

#include <algorithm>

using namespace RideUnits;

namespace {

const QString buttonSheet = QStringLiteral(
    "QPushButton {qproperty-icon: url( );border-image: url(%1);width:%3px;height:%4px;}"
    "QPushButton:pressed {border-image: url(%2);width:%3px;height:%4px;}");
const QString squareSheet =
    QStringLiteral("QLabel{ qproperty-pixmap: url(%1);border:none;qproperty-minimumSize: %2px %2px;"
                   "qproperty-maximumSize: %2px %2px;qproperty-scaledContents: true;}");
const QString horizontalLineSheet =
    QStringLiteral("QLabel{ qproperty-pixmap: url(%1);border:none; qproperty-minimumSize: %2px 1px;"
                   "qproperty-maximumSize: %2px 1px;qproperty-scaledContents: true;}");
const QString verticalLineSheet = QStringLiteral(
    "QLabel{ qproperty-pixmap: url(%1);border:none; qproperty-minimumSize: 1px %2px;"
    "qproperty-maximumSize: 1px %2px;qproperty-scaledContents: true;margin-top: 10px;}");
const QString sideLabelSheet = QStringLiteral(
    "QLabel{ qproperty-pixmap: url(%1);border:none; qproperty-minimumSize: %2px %3px;"
    "qproperty-maximumSize: %2px %3px;qproperty-scaledContents: true;}");
const QString chartTitleSheet =
    QStringLiteral("QLabel{ border-image:url(%1);padding-left:5px;padding-right:5px; }");
const QString unitSheet = QStringLiteral("color:white;margin-top:%1px;");

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QLabel *makeValueLabel(int pixelSize, bool bold, const QString &text, const QString &sheet)
{
    auto *label = new QLabel;
    QFont font(QStringLiteral("arial"));
    font.setItalic(bold);
    font.setWeight(bold ? 75 : 50);
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setText(text);
    label->setStyleSheet(sheet);
    return label;
}

void setPointSize(QLabel *label, double size)
{
    QFont font = label->font();
    font.setPointSize(qMax(1, static_cast<int>(size)));
    label->setFont(font);
}

void setPixelSize(QLabel *label, double size)
{
    QFont font = label->font();
    font.setPixelSize(qMax(1, static_cast<int>(size)));
    label->setFont(font);
}

// The label's font at size pixels, or smaller, down to a still readable size, until sample is at
// most width pixels wide.
void setPixelSizeWithin(QLabel *label, int size, const QString &sample, int width)
{
    constexpr int smallestPixels = 8;
    QFont font = label->font();
    font.setPixelSize(size);
    while (font.pixelSize() > smallestPixels &&
           QFontMetrics(font).horizontalAdvance(sample) > width)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
}

// The least width of layout with the sizes its widgets have now (the nested layouts' cached
// sizes dropped first).
int leastWidth(QLayout *layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        if (QLayout *child = layout->itemAt(i)->layout())
            leastWidth(child);
    }
    layout->invalidate();
    return layout->minimumSize().width();
}

} // namespace

FormPlaybackData::FormPlaybackData(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormPlaybackData>())
{
    ui->setupUi(this);
    initValueWidgets();
    connect(ui->bodyDataBtn, &QPushButton::clicked, this, &FormPlaybackData::showBodyDataDialog);
}

FormPlaybackData::~FormPlaybackData() = default;

void FormPlaybackData::initValueWidgets()
{
    durationValue = makeValueLabel(12, true, QStringLiteral("00:00:00"),
                                   QStringLiteral("color:white;margin-top:5px;"));
    ui->durationGridLayout->addWidget(durationValue, 0, 0, Qt::AlignCenter);
    distanceValue = makeValueLabel(22, true, QStringLiteral("0"),
                                   QStringLiteral("color:white;margin-top:5px;"));
    calorieValue = makeValueLabel(20, true, QStringLiteral("0"),
                                  QStringLiteral("color:white;margin-top:8px;"));
    distanceUnit = makeValueLabel(10, false, QStringLiteral("ft"), QString());
    calorieUnit = makeValueLabel(10, false, QStringLiteral("cal"), QString());

    // each value sits over its unit in one cell, centred on the tile's square
    distanceStack = new QGridLayout;
    distanceStack->addWidget(distanceValue, 0, 0, Qt::AlignCenter);
    distanceStack->addWidget(distanceUnit, 0, 0, Qt::AlignBottom | Qt::AlignHCenter);
    ui->distanceGridLayout_2->addLayout(distanceStack, 0, 0, Qt::AlignCenter);
    calorieStack = new QGridLayout;
    calorieStack->addWidget(calorieValue, 0, 0, Qt::AlignCenter);
    calorieStack->addWidget(calorieUnit, 0, 0, Qt::AlignBottom | Qt::AlignHCenter);
    ui->calorieGridLayout->addLayout(calorieStack, 0, 0, Qt::AlignCenter);

    distanceChart_ = new FormChartView;
    speedChart_ = new FormChartView;
    altitudeChart_ = new FormChartView;
    ui->distanceGridLayout->addWidget(distanceChart_);
    ui->speedGridLayout->addWidget(speedChart_);
    ui->altitudeGridLayout->addWidget(altitudeChart_);
    distanceChart_->setAverageVisible(false);
    for (FormChartView *chart : {distanceChart_, speedChart_, altitudeChart_})
        connect(chart, &FormChartView::chartClickTriggered, this,
                &FormPlaybackData::setSliderValueTriggered);
}

void FormPlaybackData::setData(const QVector<PlaybackInfo_t> &ridePoints,
                               const PlaybackInfo_t &rideSummary)
{
    points = ridePoints;
    summary = rideSummary;
}

void FormPlaybackData::updateData(const PlaybackInfo_t &rideSummary)
{
    rideShown = true;
    showData(unitSystem);
    durationValue->setText(rideSummary.duration);
    rideAverageSpeed = rideSummary.speedAvg;
    rideMinutes = rideSummary.totalSeconds / 60;
    showCalorie();
}

void FormPlaybackData::showData(int units)
{
    const bool metric = units == UnitSystem::metric;
    showChartUnits(metric);

    const double speedFactor = metric ? kmhPerMph : 1.0;
    const double heightFactor = metric ? 1.0 : feetPerMetre;
    const QString speedUnitText = metric ? QStringLiteral(" kmh") : QStringLiteral(" mph");
    const QString heightUnitText = metric ? QStringLiteral(" m") : QStringLiteral(" ft");
    const bool noFigures = summary.altitudeMax == 0.0 && summary.altitudeMin == 0.0 &&
                           summary.altitudeRising == 0.0 && summary.altitudeDecrease == 0.0 &&
                           summary.speedAvg == 0.0 && summary.speedMax == 0.0;
    if (noFigures) {
        const QString speed = QStringLiteral("-") + speedUnitText;
        const QString height = QStringLiteral("-") + heightUnitText;
        ui->speedAvgValue->setText(speed);
        ui->speedMaxValue->setText(speed);
        for (QLabel *label : {ui->altitudeMaxValue, ui->altitudeMinValue, ui->altitudeRisingValue,
                              ui->altitudeDecreaseValue})
            label->setText(height);
    } else {
        ui->speedAvgValue->setText(fixed(summary.speedAvg * speedFactor, 0) + speedUnitText);
        ui->speedMaxValue->setText(fixed(summary.speedMax * speedFactor, 0) + speedUnitText);
        ui->altitudeMaxValue->setText(fixed(summary.altitudeMax * heightFactor, 2) +
                                      heightUnitText);
        ui->altitudeMinValue->setText(fixed(summary.altitudeMinNonZero * heightFactor, 2) +
                                      heightUnitText);
        ui->altitudeRisingValue->setText(fixed(summary.altitudeRising * heightFactor, 2) +
                                         heightUnitText);
        ui->altitudeDecreaseValue->setText(fixed(summary.altitudeDecrease * heightFactor, 2) +
                                           heightUnitText);
    }

    // distance tile, and the distance chart's header
    const double metres = summary.distance;
    if (metric) {
        const double km = metres * kmPerMetre;
        distanceValue->setText(km < 0.1 ? fixed(metres, 0) : fixed(km, 0));
        distanceUnit->setText(km < 0.1 ? QStringLiteral("m") : QStringLiteral("km"));
        if (km < 0.0001)
            ui->distanceTotalValue->setText(fixed(metres * 1000.0, 1) + QStringLiteral(" u"));
        else if (km < 0.1)
            ui->distanceTotalValue->setText(fixed(metres, 1) + QStringLiteral(" m"));
        else
            ui->distanceTotalValue->setText(fixed(km, 1));
    } else {
        const double miles = metres * milesPerMetre;
        const bool short_ = miles < 0.1;
        distanceValue->setText(short_ ? fixed(metres * feetPerMetre, 0) : fixed(miles, 0));
        distanceUnit->setText(short_ ? QStringLiteral("ft") : QStringLiteral("mile"));
        // short rides in feet, as on the tile
        ui->distanceTotalValue->setText(
            short_ ? fixed(metres * feetPerMetre, 1) + QStringLiteral(" ft") : fixed(miles, 1));
    }
    ui->speedAvgValue_2->setText(fixed(summary.speedAvg * speedFactor, 0));
    ui->speedMaxValue_2->setText(fixed(summary.speedMax * speedFactor, 0));
    ui->altitudeAvgValue->setText(fixed(summary.altitudeReference * heightFactor, 0));
    ui->altitudeTotalValue->setText(
        fixed((summary.altitudeRising + summary.altitudeDecrease) * heightFactor, 2));

    setChartPosition(0.0f);

    const double distanceFactor = metric ? kmPerMetre : milesPerMetre;
    QJsonArray distances;
    QJsonArray speeds;
    QJsonArray altitudes;
    for (const PlaybackInfo_t &point : qAsConst(points)) {
        distances.append(point.distance * distanceFactor);
        speeds.append(point.speedMph * speedFactor);
        altitudes.append(point.altitude * heightFactor);
    }
    // the whole distance, also when the ride's last points have no altitude
    const double distanceTop = std::max(summary.distanceMax, summary.distance);
    distanceChart_->setAverageVisible(false);
    distanceChart_->setRange(static_cast<float>(distanceTop * distanceFactor),
                             static_cast<float>(summary.distanceMin * distanceFactor), 0.0f);
    distanceChart_->setData(distances);
    speedChart_->setAverageVisible(true);
    // an average summed in single precision may land a hair outside its ride's range
    const auto inRange = [](double average, double min, double max) {
        return static_cast<float>(std::clamp(average, std::min(min, max), max));
    };
    speedChart_->setRange(static_cast<float>(summary.speedMax * speedFactor),
                          static_cast<float>(summary.speedMin * speedFactor),
                          inRange(summary.speedAvg * speedFactor, summary.speedMin * speedFactor,
                                  summary.speedMax * speedFactor));
    speedChart_->setData(speeds);
    altitudeChart_->setAverageVisible(true);
    altitudeChart_->setRange(static_cast<float>(summary.altitudeMax * heightFactor),
                             static_cast<float>(summary.altitudeMin * heightFactor),
                             inRange(summary.altitudeReference * heightFactor,
                                     summary.altitudeMin * heightFactor,
                                     summary.altitudeMax * heightFactor));
    altitudeChart_->setData(altitudes);

    unitSystem = units;
}

void FormPlaybackData::setUnitSystem(int units)
{
    units = units == UnitSystem::metric ? UnitSystem::metric : UnitSystem::imperial;
    if (rideShown) {
        showData(units);
        return;
    }
    unitSystem = units;
    showChartUnits(units == UnitSystem::metric);
    clearData(); // the placeholders in the new units
}

void FormPlaybackData::showChartUnits(bool metric)
{
    ui->distaceUnitChart->setText(metric ? QStringLiteral("unit : km")
                                         : QStringLiteral("unit : mile"));
    ui->speedUnitChart->setText(metric ? QStringLiteral("unit : kmh")
                                       : QStringLiteral("unit : mph"));
    ui->altitudeUnitChart->setText(metric ? QStringLiteral("unit : m")
                                          : QStringLiteral("unit : ft"));
}

void FormPlaybackData::clearData()
{
    rideShown = false;
    // the placeholders carry the units of the chart captions, as a ride without figures does
    const bool metric = unitSystem == UnitSystem::metric;
    for (QLabel *label : {ui->altitudeMaxValue, ui->altitudeMinValue, ui->altitudeRisingValue,
                          ui->altitudeDecreaseValue})
        label->setText(metric ? QStringLiteral("- m") : QStringLiteral("- ft"));
    ui->speedAvgValue->setText(metric ? QStringLiteral("- kmh") : QStringLiteral("- mph"));
    ui->speedMaxValue->setText(metric ? QStringLiteral("- kmh") : QStringLiteral("- mph"));
    durationValue->setText(QStringLiteral("00:00:00"));
    distanceValue->setText(QStringLiteral("0"));
    distanceUnit->setText(metric ? QStringLiteral("m") : QStringLiteral("ft"));
    calorieValue->setText(QStringLiteral("0"));
    for (QLabel *label : {ui->distanceTotalValue, ui->speedAvgValue_2, ui->speedMaxValue_2,
                          ui->altitudeAvgValue, ui->altitudeTotalValue})
        label->setText(QStringLiteral("-"));
    // no ride: the charts are empty too
    points.clear();
    summary = PlaybackInfo_t();
    for (FormChartView *chart : {distanceChart_, speedChart_, altitudeChart_}) {
        chart->setData(QJsonArray());
        chart->setAverageVisible(false);
        chart->setDataProcessing(0.0f);
    }
}

void FormPlaybackData::setDefaultBodyData()
{
    body = BodyData();
    rideAverageSpeed = 0.0;
    rideMinutes = 0;
    emit bodydataParameterTriggered(body.age, body.heightFt, body.heightIn, body.weight,
                                    body.gender);
}

void FormPlaybackData::setChartPosition(float percent)
{
    distanceChart_->setDataProcessing(percent);
    speedChart_->setDataProcessing(percent);
    altitudeChart_->setDataProcessing(percent);
}

double FormPlaybackData::getCalorie(double speed, int minute) const
{
    const double kcal = ::getCalorie(body, speed, minute);
    qCDebug(lcRideData) << "bmr " << basalMetabolicRate(body) << " Mets " << cyclingMets(speed)
                        << " hour " << minute / 60.0 << " speed " << speed;
    return kcal;
}

void FormPlaybackData::showCalorie()
{
    // one rounding (to nearest) after loading and after saving body data
    if (body.measuresSet() && rideMinutes > 0)
        calorieValue->setText(fixed(getCalorie(rideAverageSpeed / mphPerKmh, rideMinutes), 0));
    else
        calorieValue->setText(QStringLiteral("0"));
}

void FormPlaybackData::showBodyDataDialog()
{
    auto *dialog = new FormDialog;
    dialog->applyLanguage();
    dialog->showBodyData(body.age, body.heightFt, body.heightIn, body.weight, body.gender);
    connect(dialog, &FormDialog::saveBodyDataTriggered, this,
            &FormPlaybackData::setBodydataParameter);
    dialog->applyStyle(gStyle);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    bodyDialog = dialog;
}

void FormPlaybackData::setBodydataParameter(int age, int heightFt, int heightIn, int weight,
                                            int gender)
{
    body = BodyData{age, heightFt, heightIn, weight, gender};
    emit bodydataParameterTriggered(age, heightFt, heightIn, weight, gender);
    showCalorie();
}

void FormPlaybackData::setPageSize(int width, int height, float scaleX, float scaleY)
{
    ui->dataGridWidget->setFixedSize(width, height);
    applySkin(width, height, scaleX, scaleY);
}

void FormPlaybackData::applySkin(int W, int H, float scaleX, float scaleY)
{
    const double f = H / 100.0;
    // the derived sizes are whole numbers before they enter the font formulas
    const int a = static_cast<int>(f * 3.432);
    const int b = static_cast<int>(f * 8.824);
    const int c = static_cast<int>(f * 6.863);
    const int d = static_cast<int>(f * 3.922);
    const int e = static_cast<int>(f * 2.942);
    const int g = static_cast<int>(f * 11.703);
    const auto image = [](const char *name) { return skinImage(QLatin1String(name)); };

    const QSize icon = ui->bodyDataBtn->iconSize();
    ui->bodyDataBtn->setStyleSheet(
        buttonSheet.arg(image("playback_info_body_data"), image("playback_info_body_data_selected"))
            .arg(static_cast<int>(icon.width() * scaleX))
            .arg(static_cast<int>(icon.height() * scaleY)));
    ui->bodyDataBtn->setFixedSize(static_cast<int>(43 * scaleX), static_cast<int>(58 * scaleY));

    const int tileSide = static_cast<int>(H / 3.629); // duration and distance
    const std::pair<QLabel *, int> squares[] = {{ui->durationBack, tileSide},
                                                {ui->distanceBack, tileSide},
                                                {ui->calorieBack, static_cast<int>(H / 4.0968)},
                                                {ui->speedAvgLabel, g},
                                                {ui->speedMaxLabel, g},
                                                {ui->altitudeMaxLabel, g},
                                                {ui->altitudeMinLabel, g},
                                                {ui->altitudeRisingLabel, g},
                                                {ui->altitudeDecreaseLabel, g}};
    const char *const squareImages[] = {
        "playback_info_duration_square", "playback_info_distance_square",
        "playback_info_calorie_square",  "playback_info_avg_speed",
        "playback_info_max_speed",       "playback_info_altitudeMax",
        "playback_info_altitudeMin",     "playback_info_altitudeRising",
        "playback_info_altitudeDecrease"};
    for (int i = 0; i < 9; ++i)
        squares[i].first->setStyleSheet(
            squareSheet.arg(image(squareImages[i])).arg(squares[i].second));

    distanceUnit->setStyleSheet(unitSheet.arg(QString::number((H - 204) * 0.0424 + 30, 'g', 6)));
    calorieUnit->setStyleSheet(unitSheet.arg(35));
    ui->separationLine->setStyleSheet(
        horizontalLineSheet.arg(image("playback_info_information_line"))
            .arg(static_cast<int>((W - 70) - (W - 720) * 0.06)));
    ui->separationLine2->setStyleSheet(verticalLineSheet.arg(image("playback_info_line02"))
                                           .arg(static_cast<int>((H - 204) * 0.3 + 58)));
    for (QLabel *title : {ui->distanceTitleChart, ui->speedTitleChart, ui->altitudeTitleChart})
        title->setStyleSheet(chartTitleSheet.arg(image("playback_info_square_Blue")));
    ui->informationLabel->setStyleSheet(sideLabelSheet.arg(image("playback_info_information"))
                                            .arg(18)
                                            .arg(static_cast<int>(H * 0.8)));

    QLabel *const figureTitles[] = {ui->speedAvgTitle,       ui->speedMaxTitle,
                                    ui->altitudeMaxTitle,    ui->altitudeMinTitle,
                                    ui->altitudeRisingTitle, ui->altitudeDecreaseTitle};
    QLabel *const figureValues[] = {ui->speedAvgValue,       ui->speedMaxValue,
                                    ui->altitudeMaxValue,    ui->altitudeMinValue,
                                    ui->altitudeRisingValue, ui->altitudeDecreaseValue};
    const auto setFigureSize = [&](int size) {
        for (QLabel *label : figureTitles)
            setPointSize(label, size);
        for (QLabel *label : figureValues)
            setPointSize(label, size - (size - 7) * 0.34);
    };
    setFigureSize(a);
    for (QLabel *label : {ui->distanceTitleChart, ui->speedTitleChart, ui->altitudeTitleChart})
        setPointSize(label, a);
    // the duration inside the ring of its square
    setPixelSizeWithin(durationValue, 12, QStringLiteral("00:00:00"), tileSide * 7 / 10);
    setPixelSize(distanceValue, b - (b - 18) * 0.33);
    setPixelSize(calorieValue, c - (c - 14) * 0.2);
    setPixelSize(distanceUnit, d - (d - 8) * 0.33);
    setPixelSize(calorieUnit, d - (d - 8) * 0.33);
    for (QLabel *label : {ui->durationTitle, ui->distanceTitle, ui->calorieTitle})
        setPointSize(label, e + (e - 6) * 0.5);
    for (QLabel *label :
         {ui->distaceUnitChart, ui->speedUnitChart, ui->altitudeUnitChart, ui->distanceTotalValue,
          ui->speedAvgValue_2, ui->speedMaxValue_2, ui->altitudeAvgValue, ui->altitudeTotalValue})
        setPointSize(label, a - (a - 7) * 0.66);
    for (QLabel *label : {ui->distanceTotalTv, ui->speedAvgTv, ui->speedMaxTv, ui->altitudeAvgTv,
                          ui->altitudeTotalTv})
        setPointSize(label, e - (e - 6) * 0.5);

    const int dw = W - 720;
    for (FormChartView *chart : {distanceChart_, speedChart_, altitudeChart_}) {
        chart->setItemSize(static_cast<int>(dw * 0.319 + 185),
                           static_cast<int>((H - 204) * 0.466 + 62));
        chart->setMargins(static_cast<int>(dw * 0.0297 + 22), static_cast<int>(dw * 0.0114 + 23));
        chart->setFontSizes(static_cast<int>(dw * 0.00684 + 8), static_cast<int>(dw * 0.00456 + 7));
    }
    // a panel high for its width: the figures smaller, down to a still readable size, until the
    // panel's content fits its width
    QLayout *content = ui->dataGridWidget->layout();
    for (int size = a - 1; size >= 6 && leastWidth(content) > W; --size)
        setFigureSize(size);
}
