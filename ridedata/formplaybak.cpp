// Construction, layout, map and chart switch, day clicks and the chart window of the page.
#include "formplaybak.h"

#include "appfont.h"
#include "driveprobe.h"
#include "formcalendarview.h"
#include "formchartdataview.h"
#include "formfiledatelistview.h"
#include "formmap.h"
#include "formplaybackdata.h"
#include "playbackdataparser.h"
#include "ridedatafolder.h"
#include "ridedaywindow.h"
#include "ridepagelayout.h"
#include "ridesummarycache.h"
#include "skin.h"
#include "ui_formplaybak.h"
#include "workerpool.h"

#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

namespace {
const QString buttonPair =
    QStringLiteral("QPushButton {border-image: url(%1);width:%3px;height:%3px;}"
                   "QPushButton:pressed {border-image: url(%2);width:%3px;height:%3px;}");

QString pairSheet(const char *normal, const char *pressed, int side)
{
    return buttonPair.arg(skinImage(QLatin1String(normal)), skinImage(QLatin1String(pressed)))
        .arg(side);
}
} // namespace

FormPlaybak::FormPlaybak(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::FormPlaybak>())
{
    ui->setupUi(this);
    chartView = new FormChartDataView;
    curDateLabel = new QLabel;
    for (QPushButton *button : {ui->playBtn, ui->stopBtn, ui->stepBtn_p, ui->stepBtn_n})
        button->setFixedSize(18, 18);
    entryCardCheck = new DriveProbe(this);
    buttonCardCheck = new DriveProbe(this);
    initStyle();
    connectSignals();
    reader = std::make_shared<PlaybackDataParser>(QString());
    summaryCache_ = std::make_shared<RideSummaryCache>();
    timer = new QTimer(this);
}

FormPlaybak::~FormPlaybak()
{
    // a running copy stops after its current file; quitting does not wait for it
    copyStop->afterCurrentFile();
    // a map still lent goes with the page, like the other children of its map area
    if (!chartView->parent())
        delete chartView;
    if (!curDateLabel->parent())
        delete curDateLabel;
}

FormCalendarView *FormPlaybak::calendar() const
{
    return ui->formCalendarView_2;
}

FormFileDateListView *FormPlaybak::fileList() const
{
    return ui->fileDateListGridWidget;
}

FormPlaybackData *FormPlaybak::rideData() const
{
    return ui->displayDataGridWidget;
}

void FormPlaybak::connectSignals()
{
    // calendar and day list -> page
    connect(calendar(), &FormCalendarView::openfile_trigger, this, &FormPlaybak::onUpdateMetadata);
    connect(calendar(), &FormCalendarView::clickEvent_trigger, this, &FormPlaybak::onScheduleClick);
    connect(fileList(), &FormFileDateListView::selectedFile_trigger, this,
            &FormPlaybak::onSelectedFile);
    // playback bar -> page; the list forgets its loaded row before the page stops
    connect(ui->stopBtn, &QPushButton::pressed, fileList(), &FormFileDateListView::stopTrigger);
    connect(ui->playBtn, &QPushButton::pressed, this, &FormPlaybak::onPlay);
    connect(ui->stopBtn, &QPushButton::pressed, this, &FormPlaybak::onStop);
    connect(ui->stepBtn_n, &QPushButton::pressed, this, &FormPlaybak::onStep_n);
    connect(ui->stepBtn_p, &QPushButton::pressed, this, &FormPlaybak::onStep_p);
    connect(ui->playSlider, &QSlider::valueChanged, this, &FormPlaybak::setPosition);
    connect(ui->playSlider, &QSlider::actionTriggered, this, &FormPlaybak::sliderActionTriggered);
    connect(ui->playSlider, &QSlider::sliderReleased, this, &FormPlaybak::sliderReleased);
    connect(rideData(), &FormPlaybackData::setSliderValueTriggered, this,
            &FormPlaybak::setSliderValue);
    connect(ui->chartBtn, &QPushButton::pressed, this, &FormPlaybak::changeChartMode);
    connect(ui->mapBtn, &QPushButton::pressed, this, &FormPlaybak::changeMapMode);
    // page and ride panel -> period charts
    connect(this, &FormPlaybak::continuousMetadataTriggered, chartView,
            &FormChartDataView::setChartData);
    connect(rideData(), &FormPlaybackData::bodydataParameterTriggered, chartView,
            &FormChartDataView::setBodydataParameter);
    // work off the GUI thread -> page (each copy's watcher is connected when it starts)
    connect(entryCardCheck, &DriveProbe::answered, this, &FormPlaybak::onEntryCardCheckAnswered);
    connect(buttonCardCheck, &DriveProbe::answered, this, &FormPlaybak::onButtonCardCheckAnswered);
    connect(&rideWatcher, &QFutureWatcherBase::finished, this, &FormPlaybak::onRideRead);
    connect(&windowWatcher, &QFutureWatcherBase::finished, this, &FormPlaybak::onWindowBuilt);
}

void FormPlaybak::initStyle()
{
    const QString line = skinImage(QStringLiteral("playback_info_line"));
    const QString lineSheet = QStringLiteral(
        "QLabel{ qproperty-pixmap: url(%1);border:none;qproperty-minimumSize: 1px %2px;"
        "qproperty-maximumSize: 1px %2px;qproperty-scaledContents: true;}");
    ui->label_3->setStyleSheet(lineSheet.arg(line).arg(22));
    ui->label_4->setStyleSheet(lineSheet.arg(line).arg(22));
    setModeButtons(chartMode_ == 1);
    setPlayButton(ride.state() == RidePlayback::Playing);
    ui->stopBtn->setStyleSheet(pairSheet("playbar_stop", "playbar_stop_selected", 18));
    ui->stepBtn_n->setStyleSheet(
        pairSheet("playbar_next_frame", "playbar_next_frame_selected", 18));
    ui->stepBtn_p->setStyleSheet(
        pairSheet("playbar_last_frame", "playbar_last_frame_selected", 18));
    // the groove keeps the form's two colours: played blue, the rest grey
    ui->playSlider->setStyleSheet(
        QStringLiteral(
            "QSlider { margin-top:6px; margin-bottom:6px; margin-left:5px; "
            "margin-right:5px; }QSlider::groove:horizontal { border:none; height: 6px }") +
        QStringLiteral("QSlider::sub-page { background: %1; margin-left: 8px;}")
            .arg(QStringLiteral("rgb(46, 167, 224)")) +
        QStringLiteral("QSlider::add-page { background: %1; margin-right: 8px;}")
            .arg(QStringLiteral("rgb(201, 202, 202)")) +
        QStringLiteral("QSlider::handle:horizontal { height: 25px; width: 25px; image: url(%1);"
                       "margin-top: -9px; margin-bottom: -9px;margin-left: -2px;}")
            .arg(skinImage(QStringLiteral("playbar_ball"))));
}

void FormPlaybak::applyStyle()
{
    initStyle();
}

void FormPlaybak::setModeButtons(bool chartSelected)
{
    if (chartSelected) {
        ui->mapBtn->setStyleSheet(pairSheet("playback_map_icon", "playback_map_icon_selected", 25));
        ui->chartBtn->setStyleSheet(
            pairSheet("playback_chart_icon_selected", "playback_chart_icon_selected", 25));
    } else {
        ui->mapBtn->setStyleSheet(
            pairSheet("playback_map_icon_selected", "playback_map_icon_selected", 25));
        ui->chartBtn->setStyleSheet(
            pairSheet("playback_chart_icon", "playback_chart_icon_selected", 25));
    }
}

void FormPlaybak::setPlayButton(bool pauseImage)
{
    ui->playBtn->setStyleSheet(pauseImage ? pairSheet("playbar_pause", "playbar_pause_selected", 18)
                                          : pairSheet("playbar_play", "playbar_play_selected", 18));
}

void FormPlaybak::setUnitSystem(int unitSystem)
{
    rideData()->setUnitSystem(unitSystem);
    chartView->setUnitSystem(unitSystem);
}

void FormPlaybak::setDateFormat(int format)
{
    dateFormat = format;
    // the label shows the loaded ride's day, and nothing without a ride
    if (!curFile.isEmpty())
        setCurDate(QFileInfo(curFile).fileName());
    chartView->setDateTitle(curSelectedDay, calendar()->getChartPeriod(), dateFormat);
    // the main window calls this more than once: one connection each
    connect(this, &FormPlaybak::setCalendarHighlightDayTriggered, calendar(),
            &FormCalendarView::drawSelectedHighlightCircle, Qt::UniqueConnection);
    connect(chartView, &FormChartDataView::dateSelectedHighlightTriggered, this,
            &FormPlaybak::setClickDate, Qt::UniqueConnection);
}

void FormPlaybak::applyLanguage()
{
    applyDateLabelFont();
    if (pageSize.isValid())
        setPageSize(pageSize.width(), pageSize.height());
}

void FormPlaybak::applyDateLabelFont()
{
    QFont font = applyAppFont(curDateLabel->font(), 0, true);
    font.setItalic(true);
    font.setPixelSize(18);
    curDateLabel->setFont(font);
}

void FormPlaybak::setPageSize(int width, int height)
{
    pageSize = QSize(width, height);
    const RidePageLayout l = RidePageLayout::compute(width, height);
    ui->mainGridWidget->setFixedSize(width, l.mainHeight);
    calendar()->setFixedSize(l.calendarWidth, l.topHeight);
    calendar()->setSize(l.calendarWidth, l.topHeight);
    ui->mapGridWidget->setFixedSize(l.mapWidth, l.topHeight);
    chartView->setFixedSize(l.chartWidth, l.chartHeight);
    chartView->setPanelSize(l.chartWidth, l.chartHeight);
    rideData()->setFixedSize(l.mapWidth, l.bottomHeight);
    rideData()->setPageSize(l.mapWidth, l.bottomHeight, 1.0f, 1.0f);
    fileList()->setFixedSize(l.calendarWidth, l.bottomHeight);
    fileList()->setListSize(l.calendarWidth, l.bottomHeight);
    ui->horizontalLayout_4->setContentsMargins(l.barLeftMargin, 0, 6, 0);
    ui->controlhorizontalLayout->setSpacing(l.barSpacing);
    for (QPushButton *button : {ui->stopBtn, ui->stepBtn_p, ui->playBtn, ui->stepBtn_n})
        button->setFixedSize(l.playButtonSide, l.playButtonSide);
    for (QPushButton *button : {ui->mapBtn, ui->chartBtn})
        button->setFixedSize(l.modeButtonSide, l.modeButtonSide);
}

void FormPlaybak::setMapWidget(FormMap *mapWidget)
{
    map = mapWidget;
    ui->mapGridLayout_2->addWidget(map, 0, 0);
    applyDateLabelFont();
    ui->mapGridLayout_2->addWidget(curDateLabel, 0, 0, Qt::AlignRight | Qt::AlignTop);
    map->show();
    // the map may still show the paused clip's track
    if (curFile.isEmpty())
        map->clearMapAll();
    curDateLabel->show();
    ui->mapGridLayout_2->addWidget(chartView, 0, 0);
    chartView->hide();
    disconnect(chartView, &FormChartDataView::chartSevenDaysTypeTriggered, this,
               &FormPlaybak::setSevenDaysType);
    disconnect(chartView, &FormChartDataView::chartFourWeeksTypeTriggered, this,
               &FormPlaybak::setFourWeeksType);
    connect(chartView, &FormChartDataView::chartSevenDaysTypeTriggered, this,
            &FormPlaybak::setSevenDaysType);
    connect(chartView, &FormChartDataView::chartFourWeeksTypeTriggered, this,
            &FormPlaybak::setFourWeeksType);
}

void FormPlaybak::changeChartMode()
{
    showMode(true);
    chartView->changeBarChartSevenDays();
}

void FormPlaybak::changeMapMode()
{
    showMode(false);
}

void FormPlaybak::showMode(bool chart)
{
    setModeButtons(chart);
    calendar()->setChartPeriod(chart ? ChartPeriodType::sevenDays : ChartPeriodType::none);
    chartMode_ = chart ? 1 : 0;
    if (map)
        map->setVisible(!chart);
    curDateLabel->setVisible(!chart);
    chartView->setVisible(chart);
}

QStringList FormPlaybak::rideListing() const
{
    return RideDataFolder::listRides(RideDataFolder::folderPath());
}

void FormPlaybak::onScheduleClick(QString curSelected)
{
    curSelectedDay = curSelected;
    chartView->setDateTitle(curSelected, calendar()->getChartPeriod(), dateFormat);
    chartView->resetSelectedPosition();
    const QStringList rides = rideListing();
    if (RideDataFolder::hasRideFile(rides))
        fileList()->setFileList(RideDataFolder::namesOfDay(rides, curSelected));
    if (chartMode_ == 1)
        emitContinuousMetadata(rides);
}

void FormPlaybak::emitContinuousMetadata(const QStringList &rides)
{
    const int period = calendar()->getChartPeriod();
    const QStringList days = RideDayWindow::dayNames(curSelectedDay, period);
    const QStringList files = RideDayWindow::windowFiles(RideDataFolder::folderPath(), rides, days);
    windowPeriod = period;
    buildingWindow_ = true;
    // each file is decoded once; later windows take its cached summary
    windowWatcher.setFuture(WorkerPool::drives().run([cache = summaryCache_, files, days] {
        QVector<PlaybackInfo2_t> info = cache->summaries(files);
        RideDayWindow::assignDaysAndMerge(info, days);
        return info;
    }));
}

void FormPlaybak::onWindowBuilt()
{
    buildingWindow_ = false;
    // no thread to build it on: an empty window
    emit continuousMetadataTriggered(
        WorkerPool::resultOr(windowWatcher.future(), QVector<PlaybackInfo2_t>()), windowPeriod);
}

void FormPlaybak::setSevenDaysType()
{
    calendar()->setChartPeriod(ChartPeriodType::sevenDays);
    chartView->setDateTitle(curSelectedDay, calendar()->getChartPeriod(), dateFormat);
    emitContinuousMetadata(rideListing());
}

void FormPlaybak::setFourWeeksType()
{
    calendar()->setChartPeriod(ChartPeriodType::twentyEightDays);
    chartView->setDateTitle(curSelectedDay, calendar()->getChartPeriod(), dateFormat);
    emitContinuousMetadata(rideListing());
}

void FormPlaybak::setClickDate(float position)
{
    const int period = calendar()->getChartPeriod();
    // a click beside the bars (before the first one or after the last) selects nothing
    if (position < 1.0f || position > RideDayWindow::dayCount(period))
        return;
    const QDate first = QDate::fromString(curSelectedDay, QStringLiteral("yyyyMMdd"));
    if (!first.isValid())
        return;
    const QDate day = first.addDays(static_cast<int>(position - 1.0f));
    const QStringList names =
        RideDataFolder::namesOfDay(rideListing(), day.toString(QStringLiteral("yyyyMMdd")));
    if (names.isEmpty())
        return;
    fileList()->setFileList(names);
    chartView->setSelectedPosition(position);
    emit setCalendarHighlightDayTriggered(day.toString(QStringLiteral("dd")).toInt());
}
