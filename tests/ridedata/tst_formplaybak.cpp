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
#include "testsupport.h"

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
    void pageSizes();
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
    page_->setMetadataDefault(); // a second entry copies nothing more
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
    QCOMPARE(page_->onCheckMetadata(), 2);
    QCOMPARE(page_->sourceFolder(), card2_ + QStringLiteral("/Metadata"));
    page_->setMetadataDefault();
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
    QCOMPARE(download.count(), 1);
    roots_.clear();
    QTest::mouseClick(
        page_->calendar()->findChild<QPushButton *>(QStringLiteral("selectedFolderBtn")),
        Qt::LeftButton);
    QCOMPARE(select.count(), 1);
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
    doubleClickFile(page_->fileList(), name);
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
    doubleClickFile(page_->fileList(), shortName(day5_, "120000"));
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
    QCOMPARE(window.count(), 1);
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
}

void TstFormPlaybak::fourWeekWindowAndSummary()
{
    QSignalSpy window(page_, &FormPlaybak::continuousMetadataTriggered);
    page_->setUnitSystem(UnitSystem::metric);
    QTest::mouseClick(page_->chartPanel()->findChild<QPushButton *>(QStringLiteral("fourWeeksBtn")),
                      Qt::LeftButton);
    QCOMPARE(window.count(), 1);
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
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toStringList(), QStringList{name});
    const QStringList left =
        QDir(work_.filePath(QStringLiteral("Metadata"))).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(!left.contains(name));
    QVERIFY(!left.contains(QStringLiteral(".") + name + QStringLiteral(".part")));
}

TALVEX_TEST_MAIN(TstFormPlaybak)
#include "tst_formplaybak.moc"
