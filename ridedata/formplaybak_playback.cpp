// Ride playback of the page: reading the chosen ride, the 1-second tick, the playback bar and
// the seek from the ride charts.
#include "formplaybak.h"

#include "formfiledatelistview.h"
#include "formmap.h"
#include "formplaybackdata.h"
#include "playbackdataparser.h"
#include "ridedatafolder.h"
#include "ridedaywindow.h"
#include "ridegeometry.h"
#include "rideload.h"
#include "skin.h"
#include "ui_formplaybak.h"
#include "workerpool.h"

#include <QLabel>
#include <QTimer>

namespace {
const QString zeroTime = QStringLiteral("00:00:00");
constexpr int extensionLength = 4; // ".TXT"
} // namespace

void FormPlaybak::onSelectedFile(QString curSelected)
{
    QString name;
    for (const QString &file : rideListing()) {
        if (file.left(file.size() - extensionLength) == curSelected) {
            name = file;
            break;
        }
    }
    const QString path =
        name.isEmpty() ? QString() : RideDataFolder::folderPath() + QLatin1Char('/') + name;
    // read off the GUI thread; a later choice replaces this one
    readingName = name;
    readingRide_ = true;
    rideWatcher.setFuture(WorkerPool::drives().run([path] { return loadRide(path); }));
}

void FormPlaybak::onRideRead()
{
    if (!readingRide_)
        return; // the mode was left or the rides deleted meanwhile
    readingRide_ = false;
    // no thread to read it on: no ride to show
    const RideLoad load = WorkerPool::resultOr(rideWatcher.future(), RideLoad());
    reader = load.reader;
    ridePoints = load.points;
    // a file without one whole record is no ride: the page shows no ride
    if (!load.ok()) {
        showNoRide();
        ride.unload();
        return;
    }
    curFile = load.path;
    setCurDate(readingName);
    ui->endTime->setText(load.summary.duration);
    if (map) {
        // also a one-point ride replaces the earlier ride's track and markers
        map->clearMapAll();
        QVector<PlaybackInfo_t> track = load.track;
        map->setPlaybackData(track);
    }
    ui->playSlider->setRange(0, load.summary.totalSeconds);
    rideData()->setData(load.chartPoints, load.summary);
    rideData()->updateData(load.summary);
    ride.load(ridePoints.size(), load.summary.totalSeconds);
    onMapUpdateData();
}

void FormPlaybak::restartTimer(int intervalMs)
{
    if (timer->isActive())
        timer->stop();
    disconnect(timer, &QTimer::timeout, this, &FormPlaybak::onMapUpdateData);
    connect(timer, &QTimer::timeout, this, &FormPlaybak::onMapUpdateData);
    timer->start(intervalMs);
}

void FormPlaybak::onMapUpdateData()
{
    const RidePlayback::Tick tick = ride.tick();
    if (!tick.hasPoint || tick.point >= ridePoints.size()) {
        if (timer->isActive()) {
            timer->stop();
            disconnect(timer, &QTimer::timeout, this, &FormPlaybak::onMapUpdateData);
        }
        return;
    }
    if (map)
        map->infoPlaybackChanged(ridePoints.at(tick.point));
    ui->startTime->setText(durationText(tick.position));
    rideData()->setChartPosition(tick.percent);
    ui->playSlider->setValue(tick.position);
    if (tick.timer == RidePlayback::Timer::Restart1000)
        restartTimer(RidePlayback::playIntervalMs);
}

void FormPlaybak::onPlay()
{
    switch (ride.play()) {
    case RidePlayback::PlayAction::Paused:
        setPlayButton(false);
        break;
    case RidePlayback::PlayAction::Started:
        setPlayButton(true);
        restartTimer(RidePlayback::playIntervalMs);
        break;
    case RidePlayback::PlayAction::Ignored:
        break;
    }
}

void FormPlaybak::onStep_n()
{
    if (!ride.stepForward())
        return;
    onMapUpdateData();
    setPlayButton(false);
}

void FormPlaybak::onStep_p()
{
    if (!ride.stepBack())
        return;
    onMapUpdateData();
    setPlayButton(false);
}

void FormPlaybak::setPosition(int position)
{
    ride.setSliderValue(position);
}

void FormPlaybak::sliderActionTriggered(int)
{
    ride.sliderMoved();
    setPlayButton(false);
    restartTimer(RidePlayback::sliderIntervalMs);
}

void FormPlaybak::sliderReleased()
{
    sliderActionTriggered(ui->playSlider->value());
}

void FormPlaybak::setSliderValue(float processing)
{
    if (!ride.hasPoints())
        return;
    ui->playSlider->setValue(ride.sliderValueForPercent(processing));
    onMapUpdateData();
}

void FormPlaybak::onStop()
{
    if (!ride.stop())
        return;
    showNoRide();
    onClearPlaybackDataAll();
    ride.clearPoints();
}

void FormPlaybak::showNoRide()
{
    ui->playSlider->setValue(0);
    ui->playSlider->setRange(0, 100);
    ui->startTime->setText(zeroTime);
    ui->endTime->setText(zeroTime);
    curFile.clear();
    setPlayButton(false);
    rideData()->clearData();
    reader->clearPoints();
    ridePoints.clear();
    clearDateLabel();
    if (map)
        map->clearMapAll();
}

void FormPlaybak::onClearPlaybackDataAll()
{
    rideData()->clearData();
    rideData()->setDefaultBodyData();
    setPlayButton(false);
    ride.pause();
}

void FormPlaybak::stopRidePlayback()
{
    readingRide_ = false; // a ride still being read is not shown
    if (ride.hasFile())
        emit fileList()->stopTrigger();
    onStop();
    timer->stop();
    disconnect(timer, &QTimer::timeout, this, &FormPlaybak::onMapUpdateData);
    ride.unload();
    ridePoints.clear();
}

void FormPlaybak::clearDateLabel()
{
    setCurDate(QString());
    curDateLabel->clear();
}

void FormPlaybak::setCurDate(QString text)
{
    if (text.isEmpty()) {
        curDateLabel->setStyleSheet(
            QStringLiteral("QLabel{color:#ffffff;background-color:#00ffffff;border:none;}"));
        return;
    }
    curDateLabel->setStyleSheet(
        QStringLiteral("QLabel{color:#ffffff;border-image: url(%1);")
            .arg(skinImage(QStringLiteral("playback_map_date_bg"))) +
        QStringLiteral("margin-top:20px;padding-top:3px;padding-bottom:3px;padding-left:10px;"
                       "padding-right:5px;}"));
    curDateLabel->setText(RideDayWindow::dateLabelText(text, dateFormat));
    curDateLabel->raise();
}
