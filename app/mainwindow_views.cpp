// The trip-data band under the video: the trip panel with its speed gauge and the G-sensor chart,
// fed by the main camera's player.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formchart.h"
#include "formmap.h"
#include "formshowdata.h"
#include "formspeedstyle.h"
#include "resizewatcher.h"
#include "tripdatatexts.h"
#include "ui_mainwindow.h"

VideoInfo_t MainWindow::getInitVideoInfo()
{
    return VideoInfo_t();
}

void MainWindow::wireTripBand()
{
    showData_ = new FormShowData;
    chart_ = new FormChart;
    showData_->initSpeedLabels(SpeedUnit(currentSpeedUnit()));
    showData_->installChart(chart_);
    ui->widgetShowDataArea->layout()->addWidget(showData_);
    // the panel's texts and gauge are drawn for a dark ground in both styles
    const QColor ground(0x1f, 0x20, 0x24);
    ui->widgetShowDataArea->setStyleSheet(
        QStringLiteral("QWidget#widgetShowDataArea { background: %1; border-radius: 8px; }")
            .arg(ground.name()));
    showData_->gauge()->setGroundColor(ground);
    // sized again once the area has its final width (the window's layout settles after
    // refreshWidgetSize has run)
    new ResizeWatcher(ui->widgetShowDataArea, [this] { refreshTripBandSize(width(), height()); });

    Dashcam *main = mainDashcam();
    // player -> panel and chart (after the map's own MediaChanged receiver)
    connect(main, &Dashcam::MediaChanged, showData_, &FormShowData::setData);
    connect(main, &Dashcam::MediaChanged, chart_, &FormChart::setData);
    connect(main, &Dashcam::infoChanged, this, &MainWindow::onInfoChanged);
    connect(main, &Dashcam::durationChanged, chart_, &FormChart::durationChanged);
    connect(main, &Dashcam::positionChanged, this,
            [this](qint64 ms) { onPositionChanged(QTime(0, 0).addMSecs(int(ms)), ms); });
    connect(main, &Dashcam::playStatusChanged, this, &MainWindow::onTripBandPlayStatus);
    connect(this, &MainWindow::onPlayerStopChanged, this, &MainWindow::onInfoChanged);
    // chart -> player
    connect(chart_, &FormChart::sliderMoved, main, &Dashcam::setPosition);
    // map -> panel
    connect(map_, &FormMap::distanceTotalLengthTrigger, showData_, &FormShowData::distanceChanged);
    // language and skin -> panel
    connect(this, &MainWindow::languageApplied, showData_, [this] {
        showData_->applyLanguageTexts();
        refreshTripBandSize(width(), height());
    });
    connect(this, &MainWindow::styleApplied, showData_, [this](int style) {
        showData_->applyStyle(style);
        chart_->setAxisLabelColor(style);
    });
    showData_->applyLanguageTexts();
    showData_->applyStyle(gStyle);
    chart_->setAxisLabelColor(gStyle);
}

void MainWindow::onInfoChanged(VideoInfo_t vi, bool isValid)
{
    lastInfo_ = vi;
    lastInfoValid_ = isValid;
    showData_->setInfoData(vi, SpeedUnit(currentSpeedUnit()), isValid);
}

void MainWindow::onPositionChanged(QTime time, qint64 pos)
{
    chart_->positionChanged(time, pos);
}

void MainWindow::onTripBandPlayStatus(MediaPlayerStatus state)
{
    if (state != StoppedState)
        return;
    emit onPlayerStopChanged(getInitVideoInfo(), false);
    // the plot stays while its file is open, so that playing again shows it
    if (mainDashcam()->getMediaPath().isEmpty())
        showData_->clearChart();
}

void MainWindow::applyTripBandSettings()
{
    if (!showData_)
        return; // the settings are applied once before the band exists
    const SpeedUnit unit = SpeedUnit(currentSpeedUnit());
    showData_->setSpeedAvg_Max(unit);
    showData_->setInfoData(lastInfo_, unit, lastInfoValid_);
}

void MainWindow::refreshTripBandSize(int w, int h)
{
    if (!showData_)
        return;
    const int areaWidth = qMax(ui->widgetShowDataArea->width(), showData_->minimumWidth());
    const TripData::BandSizes band = TripData::bandSizes(h, areaWidth);
    ui->widgetShowDataArea->setFixedHeight(band.areaHeight);
    showData_->setPanelSize(band.panel.width(), band.panel.height());
    showData_->setLayoutSize(w, h, band.panel.width(), band.layoutHeight);
    chart_->setSliderStyle(band.chart.width(), band.chart.height(), h);
}
