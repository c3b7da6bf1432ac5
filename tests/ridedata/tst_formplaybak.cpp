// The ride-data page in a real window with the real map, in a temporary working folder whose
// fake removable root holds the camera's "Metadata" folder: card copy, calendar, day list,
// ride playback on the map, chart window and page sizes.
#include "chartgeometry.h"
#include "chartview.h"
#include "formchartdataview.h"
#include "formchartview.h"
#include "formmap.h"
#include "formplaybackdata.h"
#include "formplaybak.h"
#include "mappagestate.h"
#include "removabledrives.h"
#include "ridepagetest.h"
#include "rideseries.h"
#include "ridesummarycache.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <memory>

using namespace RidePageTest;

namespace {
QString shortName(const QString &day, const char *time)
{
    return day + QLatin1String(time);
}
} // namespace

class TstFormPlaybak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void enteringCopiesTheCardOnceAndMarksTheCalendar();
    void twoCardsCopyNothing();
    void folderButtonAsksForTheRightDialog();
    void dayClickListsItsRides();
    void doubleClickDrawsTheTrackAndShowsTheFirstPoint();
    void threePointRideTicksAndRewinds();
    void stepsSliderAndChartSeek();
    void stopClearsEverything();
    void fileWithoutARecordShowsTheFailureState();
    void unitsAndCalorieOfALoadedRide();
    void sevenDayWindowMergesDays();
    void barClicksSelectDaysOfTheWindow();
    void fourWeekWindowAndSummary();
    void windowsDecodeEachFileOnce_data();
    void windowsDecodeEachFileOnce();
    void pageSizes();
    void everyRideReplacesTheEarlierTrack_data();
    void everyRideReplacesTheEarlierTrack();
    void longRideIsDrawnThinned();
    void leavingTheModeStopsPlayback();
    void deletedFilesEmptyTheList();
    void cardFileThatCannotBeReadIsReported();

private:
    QString text(const char *name) const
    {
        return page_->findChild<QLabel *>(QLatin1String(name))->text();
    }
    QPushButton *button(const char *name) const
    {
        return page_->findChild<QPushButton *>(QLatin1String(name));
    }
    QSlider *slider() const { return page_->findChild<QSlider *>(QStringLiteral("playSlider")); }
    QJsonObject mapState() const { return MapPageTest::state(map_->webView()->page()); }
    bool arrowAt(const char *lat, const char *lng) const
    {
        const QJsonObject arrow = mapState().value("arrow").toObject();
        return qAbs(arrow.value("lat").toDouble() - QByteArray(lat).toDouble()) < 1e-6 &&
               qAbs(arrow.value("lng").toDouble() - QByteArray(lng).toDouble()) < 1e-6;
    }
    void waitTick()
    {
        QSignalSpy tick(page_->playbackTimer(), &QTimer::timeout);
        QVERIFY(tick.wait(3000));
    }
    void loadRide(const QString &name);

    QTemporaryDir work_;
    QString startFolder_;
    QString card_;
    QString card2_;
    QStringList roots_;
    QWidget window_;
    FormPlaybak *page_ = nullptr;
    FormMap *map_ = nullptr;
    const QString day1_ = dayOfThisMonth(1);
    const QString day3_ = dayOfThisMonth(3);
    const QString day5_ = dayOfThisMonth(5);
};

void TstFormPlaybak::initTestCase()
{
    QVERIFY(work_.isValid());
    startFolder_ = QDir::currentPath();
    QDir::setCurrent(work_.path());
    card_ = work_.filePath(QStringLiteral("media/CARD"));
    card2_ = work_.filePath(QStringLiteral("media/CARD2"));
    const QString cardRides = card_ + QStringLiteral("/Metadata");
    writeRide(cardRides, day1_ + QStringLiteral("070000.TXT"), threePointRide());
    writeRide(cardRides, day1_ + QStringLiteral("183000.TXT"), steadyRide(12));
    writeRide(cardRides, day3_ + QStringLiteral("080000.TXT"), steadyRide(120));
    writeRide(cardRides, day5_ + QStringLiteral("090000.TXT"), steadyRide(720));
    writeRide(cardRides, day5_ + QStringLiteral("120000.TXT"), QByteArray(28, 'Q'));
    writeRide(cardRides + QStringLiteral("/sub"), day3_ + QStringLiteral("110000.TXT"),
              steadyRide(3));
    // a ride already in the ride-data folder, with other contents than the card's
    writeRide(work_.filePath(QStringLiteral("Metadata")), day3_ + QStringLiteral("080000.TXT"),
              steadyRide(120));
    writeRide(card2_ + QStringLiteral("/Metadata"), day3_ + QStringLiteral("200000.TXT"),
              steadyRide(4));
    roots_ = QStringList{card_ + QLatin1Char('/')};
    RemovableDrives::setRootsProvider([this] { return roots_; });

    page_ = new FormPlaybak;
    map_ = new FormMap;
    auto *layout = new QVBoxLayout(&window_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    page_->setDateFormat(2);
    page_->setMapWidget(map_);
    page_->setPageSize(1200, 650);
    window_.show();
    QTest::qWait(50);
    if (!map_->isPageLoaded()) {
        QSignalSpy loaded(map_->webView(), &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(30000));
    }
}

void TstFormPlaybak::cleanupTestCase()
{
    delete page_; // with the map it holds
    RemovableDrives::setRootsProvider({});
    QDir::setCurrent(startFolder_);
}

void TstFormPlaybak::enteringCopiesTheCardOnceAndMarksTheCalendar()
{
    const QString kept =
        work_.filePath(QStringLiteral("Metadata/") + day3_ + QStringLiteral("080000.TXT"));
    QFile card(card_ + QStringLiteral("/Metadata/") + day3_ + QStringLiteral("080000.TXT"));
    QVERIFY(card.open(QIODevice::Append));
    card.write(RideFileWriter::encodePoint(1, 1, 1, 1)); // the card's copy differs
    card.close();
    const QByteArray before = QFile(kept).exists() ? [&] {
        QFile f(kept);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }()
                                                   : QByteArray();

    page_->setMetadataDefault();
    QVERIFY(page_->isCheckingCards()); // in the background: the page stays usable meanwhile
    page_->setMetadataDefault();       // a second entry copies nothing more
    waitIdle(page_);
    const QStringList copied = QDir(work_.filePath(QStringLiteral("Metadata")))
                                   .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QCOMPARE(copied, (QStringList{
                         day1_ + QStringLiteral("070000.TXT"), day1_ + QStringLiteral("183000.TXT"),
                         day3_ + QStringLiteral("080000.TXT"), day5_ + QStringLiteral("090000.TXT"),
                         day5_ + QStringLiteral("120000.TXT")}));
    QFile after(kept);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
    QCOMPARE(page_->sourceFolder(), card_ + QStringLiteral("/Metadata"));

    // the calendar marks days 1, 3 and 5
    CalendarView *view = page_->calendar()->calendarView();
    int marked = 0;
    for (int row = 1; row <= CalendarRules::weekRows; ++row)
        marked += qPopulationCount(
            quint32(view->calendarModel()->index(row).data(CalendarRole::dataDayBits).toInt()));
    QCOMPARE(marked, 3);
}

void TstFormPlaybak::twoCardsCopyNothing()
{
    roots_ = QStringList{card_ + QLatin1Char('/'), card2_ + QLatin1Char('/')};
    page_->setMetadataDefault();
    waitIdle(page_);
    QCOMPARE(page_->sourceFolder(), card2_ + QStringLiteral("/Metadata"));
    QVERIFY(!QFile::exists(
        work_.filePath(QStringLiteral("Metadata/") + day3_ + QStringLiteral("200000.TXT"))));
    roots_ = QStringList{card_ + QLatin1Char('/')};
}

void TstFormPlaybak::folderButtonAsksForTheRightDialog()
{
    QSignalSpy download(page_, &FormPlaybak::downloadDialogTirggerd);
    QSignalSpy select(page_, &FormPlaybak::selectedSourceFolderDialogTirggerd);
    QTest::mouseClick(
        page_->calendar()->findChild<QPushButton *>(QStringLiteral("selectedFolderBtn")),
        Qt::LeftButton);
    QTRY_COMPARE(download.count(), 1); // once the card has answered
    roots_.clear();
    QTest::mouseClick(
        page_->calendar()->findChild<QPushButton *>(QStringLiteral("selectedFolderBtn")),
        Qt::LeftButton);
    QTRY_COMPARE(select.count(), 1);
    roots_ = QStringList{card_ + QLatin1Char('/')};
}

void TstFormPlaybak::dayClickListsItsRides()
{
    pressDay(page_->calendar(), 1);
    QCOMPARE(page_->selectedDay(), day1_);
    QCOMPARE(fileRows(page_->fileList()),
             (QStringList{shortName(day1_, "070000"), shortName(day1_, "183000")}));
}

void TstFormPlaybak::loadRide(const QString &name)
{
    openRide(page_, name);
    QCOMPARE(page_->currentFile(),
             work_.filePath(QStringLiteral("Metadata/") + name + QStringLiteral(".TXT")));
}

void TstFormPlaybak::doubleClickDrawsTheTrackAndShowsTheFirstPoint()
{
    loadRide(shortName(day1_, "070000"));
    const QJsonObject state = mapState();
    QCOMPARE(state.value("track").toArray().size(), 3);
    QVERIFY(arrowAt("47.3981000", "8.543200"));
    QCOMPARE(text("endTime"), QStringLiteral("00:00:15"));
    QCOMPARE(text("startTime"), QStringLiteral("00:00:00"));
    QCOMPARE(slider()->maximum(), 15);
    QCOMPARE(slider()->value(), 0);
    QCOMPARE(page_->dateLabel()->text(),
             day1_.left(4) + QLatin1Char('/') + day1_.mid(4, 2) + QStringLiteral("/01"));
    QVERIFY(!page_->playbackTimer()->isActive()); // playback does not start by itself
}

void TstFormPlaybak::threePointRideTicksAndRewinds()
{
    QTest::mousePress(button("playBtn"), Qt::LeftButton);
    QTest::mouseRelease(button("playBtn"), Qt::LeftButton);
    QCOMPARE(page_->playbackTimer()->interval(), 1000);
    const char *const lats[] = {"47.3981", "47.3990", "47.4002"};
    const char *const lngs[] = {"8.5432", "8.5440", "8.5455"};
    const char *const labels[] = {"00:00:05", "00:00:10", "00:00:15"};
    for (int i = 0; i < 3; ++i) {
        waitTick();
        // the page first: the map's answer lets later ticks run, its script order keeps this one
        QCOMPARE(text("startTime"), QLatin1String(labels[i]));
        QCOMPARE(slider()->value(), (i + 1) * 5);
        QVERIFY2(arrowAt(lats[i], lngs[i]), labels[i]);
    }
    waitTick(); // past the end: back to point 0, paused
    QCOMPARE(text("startTime"), QStringLiteral("00:00:00"));
    QCOMPARE(page_->playback().state(), int(RidePlayback::Paused));
    QVERIFY(arrowAt("47.3981", "8.5432"));
}

void TstFormPlaybak::stepsSliderAndChartSeek()
{
    QTest::mousePress(button("stepBtn_n"), Qt::LeftButton);
    QCOMPARE(page_->playback().position(), 5);
    QVERIFY(arrowAt("47.3990", "8.5440"));
    QTest::mousePress(button("stepBtn_p"), Qt::LeftButton);
    QTest::mousePress(button("stepBtn_p"), Qt::LeftButton); // at 0: stays at 0
    QCOMPARE(page_->playback().position(), 0);
    QVERIFY(arrowAt("47.3981", "8.5432"));

    // slider by keyboard: moves to 7 (one page) -> position 10, the timer follows quickly
    slider()->setPageStep(7);
    slider()->setFocus();
    QTest::keyClick(slider(), Qt::Key_PageUp);
    QCOMPARE(slider()->value(), 7);
    QCOMPARE(page_->playback().position(), 10);
    QCOMPARE(page_->playbackTimer()->interval(), 50);
    waitTick();
    QVERIFY(arrowAt("47.4002", "8.5455"));

    // a chart click at half of a paused 600 s ride
    pressDay(page_->calendar(), 3);
    loadRide(shortName(day3_, "080000"));
    FormChartView *chart = page_->rideData()->speedChart();
    const ChartItem *item = chart->chartView()->getItem();
    const int x = item->leftMargin + ChartGeometry::plotWidth(*item) * 60 / 120;
    QTest::mousePress(chart->chartView()->viewport(), Qt::LeftButton, {}, QPoint(x, 10));
    QCOMPARE(slider()->value(), 300);
    QCOMPARE(page_->playback().position(), 300);
    QCOMPARE(text("startTime"), QStringLiteral("00:05:00"));
}

void TstFormPlaybak::stopClearsEverything()
{
    page_->rideData()->setBodydataParameter(30, 5, 10, 170, 1);
    QTest::mousePress(button("playBtn"), Qt::LeftButton);
    QVERIFY(button("playBtn")->styleSheet().contains(QLatin1String("playbar_pause")));
    waitTick();
    QTest::mousePress(button("playBtn"), Qt::LeftButton); // pause
    QCOMPARE(page_->playback().state(), int(RidePlayback::Paused));
    QVERIFY(button("playBtn")->styleSheet().contains(QLatin1String("playbar_play")));
    const int paused = page_->playback().position();
    waitTick();
    QCOMPARE(page_->playback().position(), paused);
    QTest::mousePress(button("playBtn"), Qt::LeftButton);
    QTest::mousePress(button("stopBtn"), Qt::LeftButton);
    QCOMPARE(text("startTime"), QStringLiteral("00:00:00"));
    QCOMPARE(text("endTime"), QStringLiteral("00:00:00"));
    QCOMPARE(slider()->maximum(), 100);
    QVERIFY(page_->currentFile().isEmpty());
    QVERIFY(!page_->rideData()->bodyData().isSet());
    QVERIFY(mapState().value("track").toArray().isEmpty());
    QCOMPARE(fileRow(page_->fileList(), shortName(day3_, "080000")) >= 0, true);
    const QModelIndex row = page_->fileList()->listView()->listModel()->index(
        fileRow(page_->fileList(), shortName(day3_, "080000")));
    QVERIFY(!row.data(FileDateListRole::isLoaded).toBool());
    if (page_->playbackTimer()->isActive())
        waitTick();
    QVERIFY(!page_->playbackTimer()->isActive());
}

void TstFormPlaybak::fileWithoutARecordShowsTheFailureState()
{
    pressDay(page_->calendar(), 5);
    loadRide(shortName(day5_, "090000"));
    QCOMPARE(text("endTime"), QStringLiteral("01:00:00"));
    openRide(page_, shortName(day5_, "120000"));
    QCOMPARE(text("endTime"), QStringLiteral("00:00:00"));
    QCOMPARE(page_->rideData()->durationValueLabel()->text(), QStringLiteral("00:00:00"));
    QVERIFY(!page_->playback().rideLoaded());
}

void TstFormPlaybak::unitsAndCalorieOfALoadedRide()
{
    loadRide(shortName(day5_, "090000")); // one hour at 20 km/h
    page_->setUnitSystem(UnitSystem::metric);
    QCOMPARE(text("speedAvgValue"), QStringLiteral("20 kmh"));
    QCOMPARE(text("distaceUnitChart"), QStringLiteral("unit : km"));
    page_->setUnitSystem(UnitSystem::imperial);
    QCOMPARE(text("speedAvgValue"), QStringLiteral("12 mph"));
    page_->rideData()->setBodydataParameter(30, 5, 10, 170, 1);
    QCOMPARE(page_->rideData()->calorieValueLabel()->text(), QStringLiteral("600"));
}

void TstFormPlaybak::sevenDayWindowMergesDays()
{
    pressDay(page_->calendar(), 1);
    QSignalSpy window(page_, &FormPlaybak::continuousMetadataTriggered);
    QTest::mousePress(button("chartBtn"), Qt::LeftButton);
    QCOMPARE(page_->chartMode(), 1);
    QVERIFY(page_->chartPanel()->isVisible());
    QVERIFY(!map_->isVisible());
    QTRY_COMPARE(window.count(), 1);
    const auto info = window.at(0).at(0).value<QVector<PlaybackInfo2_t>>();
    QCOMPARE(window.at(0).at(1).toInt(), 1);
    QCOMPARE(info.size(), 4); // two files of day 1, one of day 3, one of day 5
    QCOMPARE(info[0].dayIndex, 0);
    QCOMPARE(info[1].dayIndex, 0);
    QCOMPARE(info[2].dayIndex, 2);
    QCOMPARE(info[3].dayIndex, 4);
    QCOMPARE(info[0].totalSeconds, 15 + 60);
    QCOMPARE(info[0].duration, QStringLiteral("00:01:00"));
    QCOMPARE(page_->chartPanel()->chart()->chartView()->getItem()->values.size(), 7);
}

void TstFormPlaybak::barClicksSelectDaysOfTheWindow()
{
    // a ride on the day after the window, the day a position beyond its last bar would reach
    const QString next = dayOfThisMonth(8) + QStringLiteral("070000.TXT");
    writeRide(work_.filePath(QStringLiteral("Metadata")), next, steadyRide(3));
    QSignalSpy highlight(page_, &FormPlaybak::setCalendarHighlightDayTriggered);
    page_->setClickDate(8.0f); // beyond a seven-day window
    page_->setClickDate(0.5f); // left of the first bar
    page_->setClickDate(2.0f); // a day without rides
    QCOMPARE(highlight.count(), 0);
    page_->chartPanel()->setPanelSize(701, 353);
    const ChartItem *item = page_->chartPanel()->chart()->chartView()->getItem();
    QTest::mousePress(page_->chartPanel()->chart()->chartView()->viewport(), Qt::LeftButton, {},
                      QPoint(ChartGeometry::barCentreX(*item, 7, 2), 40));
    QCOMPARE(highlight.count(), 1); // one connection although the format was set before
    QCOMPARE(highlight.at(0).at(0).toInt(), 3);
    QCOMPARE(fileRows(page_->fileList()), QStringList{shortName(day3_, "080000")});
    QCOMPARE(item->position, 3.0f);
    QVERIFY(QFile::remove(work_.filePath(QStringLiteral("Metadata/") + next)));
}

void TstFormPlaybak::fourWeekWindowAndSummary()
{
    QSignalSpy window(page_, &FormPlaybak::continuousMetadataTriggered);
    page_->setUnitSystem(UnitSystem::metric);
    QTest::mouseClick(page_->chartPanel()->findChild<QPushButton *>(QStringLiteral("fourWeeksBtn")),
                      Qt::LeftButton);
    QTRY_COMPARE(window.count(), 1);
    QCOMPARE(window.at(0).at(1).toInt(), 2);
    QCOMPARE(page_->calendar()->getChartPeriod(), 2);
    QCOMPARE(page_->chartPanel()->chart()->chartView()->getItem()->values.size(), 28);
    const QString total = page_->chartPanel()->findChild<QLabel *>(QStringLiteral("data2"))->text();
    QCOMPARE(total, QString::number(page_->chartPanel()->summaryTotal() / 1000, 'f', 1));
    QCOMPARE(page_->chartPanel()->findChild<QLabel *>(QStringLiteral("label_data2unit"))->text(),
             QStringLiteral("km"));
    QTest::mousePress(button("mapBtn"), Qt::LeftButton);
    QCOMPARE(page_->calendar()->getChartPeriod(), 0);
    QVERIFY(map_->isVisible());
}

void TstFormPlaybak::windowsDecodeEachFileOnce_data()
{
    QTest::addColumn<QByteArray>("changed"); // the day-20 ride's new contents
    QTest::addColumn<int>("totalSeconds");
    QTest::addColumn<double>("speedKmh"); // of its last record
    QTest::newRow("grown by a record")
        << steadyRide(24) + RideFileWriter::encodePoint(47.5, 8.5, 400.0, 20) << 25 * 5 << 20.0;
    QByteArray faster;
    for (int i = 0; i < 24; ++i)
        faster += RideFileWriter::encodePoint(47.3 + i * 0.00025, 8.5, 400.0, 30);
    QTest::newRow("rewritten at the same size") << faster << 24 * 5 << 30.0;
}

void TstFormPlaybak::windowsDecodeEachFileOnce()
{
    QFETCH(QByteArray, changed);
    QFETCH(int, totalSeconds);
    QFETCH(double, speedKmh);
    const QString later = dayOfThisMonth(20) + QStringLiteral("070000.TXT");
    const QString path = work_.filePath(QStringLiteral("Metadata/") + later);
    writeRide(work_.filePath(QStringLiteral("Metadata")), later, steadyRide(24));
    page_->setMetadataDefault();
    waitIdle(page_);
    QTest::mousePress(button("chartBtn"), Qt::LeftButton);
    QTest::mouseClick(page_->chartPanel()->findChild<QPushButton *>(QStringLiteral("fourWeeksBtn")),
                      Qt::LeftButton);
    waitIdle(page_);
    const int before = page_->summaryCache().decodedFiles();

    // each day click builds its window once; only a new or changed file is decoded again
    QSignalSpy window(page_, &FormPlaybak::continuousMetadataTriggered);
    pressDay(page_->calendar(), 1);
    waitIdle(page_);
    QCOMPARE(window.count(), 1);
    QCOMPARE(page_->summaryCache().decodedFiles(), before);
    const QDateTime written = QFileInfo(path).lastModified();
    QVERIFY(RideFileWriter::writeFile(path, changed));
    // a later write's time, also where the file system keeps coarse times
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(written.addSecs(2), QFileDevice::FileModificationTime));
    file.close();
    pressDay(page_->calendar(), 1);
    waitIdle(page_);
    QCOMPARE(window.count(), 2);
    QCOMPARE(page_->summaryCache().decodedFiles(), before + 1);
    const auto info = window.at(1).at(0).value<QVector<PlaybackInfo2_t>>();
    QCOMPARE(info.last().totalSeconds, totalSeconds);
    QCOMPARE(info.last().speedKmh, speedKmh);
    QTest::mousePress(button("mapBtn"), Qt::LeftButton);
}

void TstFormPlaybak::everyRideReplacesTheEarlierTrack_data()
{
    QTest::addColumn<QByteArray>("ride");
    QTest::addColumn<bool>("startMarker");
    QTest::newRow("one record") << RideFileWriter::encodePoint(47.5, 8.6, 400.0, 20) << true;
    QTest::newRow("no whole record") << QByteArray(28, 'Q') << false;
}

void TstFormPlaybak::everyRideReplacesTheEarlierTrack()
{
    QFETCH(QByteArray, ride);
    QFETCH(bool, startMarker);
    const QString day = dayOfThisMonth(11);
    writeRide(work_.filePath(QStringLiteral("Metadata")), day + QStringLiteral("070000.TXT"), ride);
    page_->setMetadataDefault();
    waitIdle(page_);
    pressDay(page_->calendar(), 1);
    loadRide(shortName(day1_, "070000"));
    QTRY_COMPARE(mapState().value("track").toArray().size(), 3);
    pressDay(page_->calendar(), 11);
    openRide(page_, shortName(day, "070000"));
    QTRY_VERIFY(mapState().value("track").toArray().isEmpty());
    const QJsonObject start = mapState().value("start").toObject();
    QCOMPARE(!start.isEmpty(), startMarker);
    if (startMarker)
        QVERIFY(qAbs(start.value("lat").toDouble() - 47.5) < 1e-6);
    QFile::remove(work_.filePath(QStringLiteral("Metadata/") + day + QStringLiteral("070000.TXT")));
}

void TstFormPlaybak::longRideIsDrawnThinned()
{
    // 17 hours at one record per 5 s
    const QString day = dayOfThisMonth(13);
    const int records = 12240;
    writeRide(work_.filePath(QStringLiteral("Metadata")), day + QStringLiteral("060000.TXT"),
              steadyRide(records));
    page_->setMetadataDefault();
    waitIdle(page_);
    pressDay(page_->calendar(), 13);
    loadRide(shortName(day, "060000"));
    QCOMPARE(slider()->maximum(), records * 5);
    // every other point on the map, from the first to the last
    QTRY_COMPARE(mapState().value("track").toArray().size(), records / 2 + 1);
    for (FormChartView *chart :
         {page_->rideData()->distanceChart(), page_->rideData()->speedChart(),
          page_->rideData()->altitudeChart()})
        QCOMPARE(chart->chartView()->getItem()->values.size(), RideSeries::maxChartValues);
    QFile::remove(work_.filePath(QStringLiteral("Metadata/") + day + QStringLiteral("060000.TXT")));
}

void TstFormPlaybak::pageSizes()
{
    page_->setPageSize(1200, 650);
    QCOMPARE(page_->calendar()->size(), QSize(456, 406));
    QCOMPARE(page_->findChild<QWidget *>(QStringLiteral("mapGridWidget"))->size(), QSize(720, 406));
    QCOMPARE(page_->rideData()->size(), QSize(720, 195));
    QCOMPARE(page_->fileList()->size(), QSize(456, 195));
    QCOMPARE(page_->chartPanel()->size(), QSize(701, 353));
    QCOMPARE(button("playBtn")->size(), QSize(18, 18));
    QCOMPARE(button("chartBtn")->size(), QSize(22, 22));
}

void TstFormPlaybak::leavingTheModeStopsPlayback()
{
    pressDay(page_->calendar(), 1);
    loadRide(shortName(day1_, "070000"));
    QTest::mousePress(button("playBtn"), Qt::LeftButton);
    QVERIFY(page_->playbackTimer()->isActive());
    page_->stopRidePlayback();
    QVERIFY(!page_->playbackTimer()->isActive());
    QVERIFY(!page_->playback().rideLoaded());
    QVERIFY(page_->currentFile().isEmpty());
}

void TstFormPlaybak::deletedFilesEmptyTheList()
{
    loadRide(shortName(day1_, "070000"));
    QTest::mousePress(button("playBtn"), Qt::LeftButton);
    page_->initCalendarParameter();
    QVERIFY(fileRows(page_->fileList()).isEmpty());
    QVERIFY(!page_->playbackTimer()->isActive());
    QVERIFY(page_->currentFile().isEmpty());
}

void TstFormPlaybak::cardFileThatCannotBeReadIsReported()
{
    // a file whose reading fails, as when the card is pulled during the copy
    const QString name = dayOfThisMonth(9) + QStringLiteral("070000.TXT");
    QVERIFY(
        QFile::link(QStringLiteral("/proc/self/mem"), card_ + QStringLiteral("/Metadata/") + name));
    QSignalSpy failed(page_, &FormPlaybak::metadataCopyFailed);
    page_->setMetadataDefault();
    QTRY_COMPARE(failed.count(), 1);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY2(message.startsWith(QStringLiteral("1 file could not be copied")), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("could not be read")));
    QVERIFY(message.contains(name));
    const QStringList left =
        QDir(work_.filePath(QStringLiteral("Metadata"))).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(!left.contains(name));
    for (const QString &file : left)
        QVERIFY2(!file.startsWith(QLatin1Char('.')), qPrintable(file)); // no part file
}

TALVEX_TEST_MAIN(TstFormPlaybak)
#include "tst_formplaybak.moc"
