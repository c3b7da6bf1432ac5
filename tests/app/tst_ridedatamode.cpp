// Calendar mode end to end in the real main window: a playing clip is paused, the ride-data page
// takes the map, a ride from a fake camera card plays on it, body data is typed into the shared
// dialog, and Tools > Player brings back the paused clip with its own track.
#include "appfont.h"
#include "appglobals.h"
#include "chartgeometry.h"
#include "chartview.h"
#include "dashcam.h"
#include "exporttestfiles.h"
#include "filedialog.h"
#include "formchartdataview.h"
#include "formchartview.h"
#include "formdialog.h"
#include "formmap.h"
#include "formplaybackdata.h"
#include "formplaybak.h"
#include "heldride.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "mappagestate.h"
#include "removabledrives.h"
#include "ridepagetest.h"
#include "testsupport.h"
#include "workerpool.h"

#include <QAction>
#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace RidePageTest;
using namespace std::chrono_literals;

namespace {

using MainWindowTest::action;
// Long enough to be still playing when Tools > Calendar is reached on a busy machine.
constexpr int clipSeconds = 120;
// The rides of the large card: some hundreds are copied before the held one.
constexpr int largeCardRides = 4000;
constexpr int largeCardDays = 28;

// The share of pixels of colour in rect of image (within a small tolerance).
double colourShare(const QImage &image, const QRect &rect, const QColor &colour)
{
    int hits = 0;
    int total = 0;
    for (int y = rect.top(); y <= rect.bottom(); y += 2) {
        for (int x = rect.left(); x <= rect.right(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            ++total;
            if (TestSupport::isNear(c, colour, 11))
                ++hits;
        }
    }
    return total ? double(hits) / total : 0.0;
}

// Day d of the shown month carries the calendar's ride mark.
bool isMarked(FormPlaybak *page, int d)
{
    CalendarView *view = page->calendar()->calendarView();
    const CalendarRules::Cell cell = CalendarRules::dayCell(
        d, CalendarRules::monthStart(view->shownYear(), view->shownMonth()).firstColumn);
    const int bits =
        view->calendarModel()->index(cell.row + 1).data(CalendarRole::dataDayBits).toInt();
    return bits & (1 << cell.column);
}

QJsonObject mapState(FormMap *map)
{
    return MapPageTest::state(map->webView()->page());
}

int trackSize(FormMap *map)
{
    return mapState(map).value("track").toArray().size();
}

bool waitForMapPage(FormMap *map)
{
    if (map->isPageLoaded())
        return true;
    QSignalSpy loaded(map->webView(), &QWebEngineView::loadFinished);
    return loaded.wait(30000);
}
} // namespace

class TstRideDataMode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void calendarModePlaysARideAndGivesTheClipBack();
    void rideDataPagesOfTheSharedDialog();
    void settingsReachThePage();
    void onlyRideFilesAreCopiedListedAndRead();
    void fileMenuLeavesTheLentMapAlone();
    void pageShowsNoRideWithoutOne();
    void pageIsBuiltWhenTheCalendarFirstOpens();
    void rideReadEndingLateIsNotShown_data();
    void rideReadEndingLateIsNotShown();
    void chartClicksSelectTheDaysOfTheirBars_data();
    void chartClicksSelectTheDaysOfTheirBars();
    // the card copy in the background: a delete, a second copy and quitting meet it running
    void deleteRideDataDuringTheCardCopySticks();
    void copyAskedForDuringTheCardCopyRunsAfterIt();
    void quittingStopsTheCopyAfterItsCurrentFile();

private:
    void screenshot(MainWindow &w, const QString &name, QWidget *area, const QColor &mustShow);
    // The names in the ride-data folder, by name; withParts: hidden part files too.
    QStringList rideFolderEntries(bool withParts = true) const;
    // Only the large card is searched and the ride-data folder is empty.
    void useLargeCard();
    // The main card again and no ride copied.
    void restoreCard();

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    QStringList roots_;
    const QString day_ = dayOfThisMonth(2);
    QString largeCard_;
    QStringList largeCardNames_; // by name: the order of the copy
    // between rides 00:00:00 and 00:10:00 of day 3: several hundred are copied before it
    const QString heldName_ = dayOfThisMonth(3) + QStringLiteral("000500.TXT");
};

void TstRideDataMode::initTestCase()
{
    QVERIFY(dir_.isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
    QVERIFY(ExportTestFiles::makeSourceWithTrailer(clip_, clipSeconds,
                                                   ExportTestFiles::makeSamples(clipSeconds)));
    const QString card = dir_.filePath(QStringLiteral("media/CARD"));
    writeRide(card + QStringLiteral("/Metadata"), day_ + QStringLiteral("070000.TXT"),
              steadyRide(720)); // one hour at 20 km/h
    writeRide(card + QStringLiteral("/Metadata"), dayOfThisMonth(4) + QStringLiteral("180000.TXT"),
              steadyRide(360));
    roots_ = QStringList{card + QLatin1Char('/')};
    RemovableDrives::setRootsProvider([this] { return roots_; });

    // a card of 4,000 short rides, one every 10 minutes from the 1st of the month on
    largeCard_ = dir_.filePath(QStringLiteral("media/LARGE"));
    const QByteArray ride = steadyRide(2);
    for (int i = 0; i < largeCardRides; ++i) {
        const int perDay = largeCardRides / largeCardDays + 1;
        const QString name =
            dayOfThisMonth(1 + i / perDay) +
            QTime(0, 0).addSecs(i % perDay * 600).toString(QStringLiteral("hhmmss")) +
            QStringLiteral(".TXT");
        writeRide(largeCard_ + QStringLiteral("/Metadata"), name, ride);
        largeCardNames_ << name;
    }
}

void TstRideDataMode::cleanupTestCase()
{
    RemovableDrives::setRootsProvider({});
    QDir::setCurrent(oldCwd_);
}

void TstRideDataMode::screenshot(MainWindow &w, const QString &name, QWidget *area,
                                 const QColor &mustShow)
{
    // the period charts fill when their window has been read
    const QRect rect(area->mapTo(&w, QPoint(0, 0)), area->size());
    QTRY_VERIFY2(colourShare(w.grab().toImage(), rect, mustShow) > 0.001, qPrintable(name));
    TestSupport::saveScreenshot(&w, name);
}

void TstRideDataMode::calendarModePlaysARideAndGivesTheClipBack()
{
    MainWindow w;
    w.resize(1600, 900);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FormPlaybak *page = w.ridePage();
    FormMap *map = w.formMap();
    if (!map->isPageLoaded()) {
        QSignalSpy loaded(map->webView(), &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(30000));
    }

    // a clip plays
    w.mainDashcam()->setMedia({QUrl::fromLocalFile(clip_)});
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
    w.mainDashcam()->play();
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->positionMs() > 300, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(
        MapPageTest::state(map->webView()->page()).value("track").toArray().size() > 0, 10000);

    // Tools > Calendar
    QCOMPARE(w.mainDashcam()->playStatus(), PlayingState);
    action(w, "actionCalendar")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(w.mainDashcam()->playStatus(), PausedState, 5000);
    const QString clipPath = w.mainDashcam()->getMediaPath();
    QVERIFY(page->isVisible());
    QVERIFY(map->isVisible());
    QVERIFY(page->isAncestorOf(map));
    QVERIFY(QWidget::keyboardGrabber() != &w);
    QCOMPARE(gMode, 1);
    waitIdle(page);
    QVERIFY(QFile::exists(
        dir_.filePath(QStringLiteral("Metadata/") + day_ + QStringLiteral("070000.TXT"))));
    QTRY_VERIFY(page->calendar()->width() > 400); // laid out for the page area

    // a ride plays on the map
    pressDay(page->calendar(), 2);
    openRide(page, day_ + QStringLiteral("070000"));
    QTRY_COMPARE(MapPageTest::state(map->webView()->page()).value("track").toArray().size(), 720);
    QTest::mousePress(page->findChild<QPushButton *>(QStringLiteral("playBtn")), Qt::LeftButton);
    QSignalSpy tick(page->playbackTimer(), &QTimer::timeout);
    QVERIFY(tick.wait(3000));
    QVERIFY(tick.wait(3000));
    const QJsonObject arrow = MapPageTest::state(map->webView()->page()).value("arrow").toObject();
    QVERIFY(qAbs(arrow.value("lat").toDouble() - 47.30025) < 1e-4);

    // body data typed through real key events into the body-data page
    QTest::mouseClick(page->rideData()->findChild<QPushButton *>(QStringLiteral("bodyDataBtn")),
                      Qt::LeftButton);
    FormDialog *dialog = page->rideData()->lastBodyDataDialog();
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const std::pair<const char *, const char *> fields[] = {{"ageTextEdit", "30"},
                                                            {"heightftTextEdit", "5"},
                                                            {"heightinTextEdit", "10"},
                                                            {"weightTextEdit", "170"}};
    for (const auto &[name, value] : fields) {
        auto *edit = dialog->findChild<QPlainTextEdit *>(QLatin1String(name));
        edit->setFocus();
        QTest::keyClicks(edit, QLatin1String(value));
        QCOMPARE(edit->toPlainText(), QLatin1String(value));
    }
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("bodydata_maleBtn")),
                      Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("bodydata_okBtn")),
                      Qt::LeftButton);
    QCOMPARE(page->rideData()->calorieValueLabel()->text(), QStringLiteral("600"));
    QVERIFY(QWidget::keyboardGrabber() != &w); // the dialog's close gives no grab in this mode

    // pictures in both styles: map and ride panel during playback, 7-day and 4-week charts
    for (int style : {0, 1}) {
        w.setStyle(style);
        const QString suffix = style == 0 ? QStringLiteral("white") : QStringLiteral("black");
        screenshot(w, QStringLiteral("ridedata-playback-") + suffix,
                   page->rideData()->distanceChart(), QColor(0xff, 0x96, 0x00)); // its line
        QTest::mousePress(page->findChild<QPushButton *>(QStringLiteral("chartBtn")),
                          Qt::LeftButton);
        screenshot(w, QStringLiteral("ridedata-7days-") + suffix, page->chartPanel()->chart(),
                   QColor(0xff, 0x96, 0x00)); // the bar of day 4
        QTest::mouseClick(
            page->chartPanel()->findChild<QPushButton *>(QStringLiteral("fourWeeksBtn")),
            Qt::LeftButton);
        screenshot(w, QStringLiteral("ridedata-4weeks-") + suffix, page->chartPanel()->chart(),
                   QColor(0xff, 0x96, 0x00));
        QTest::mousePress(page->findChild<QPushButton *>(QStringLiteral("mapBtn")), Qt::LeftButton);
    }

    // Tools > Player: the paused clip with its own track; the ride stops
    action(w, "actionPlayer")->trigger();
    QCOMPARE(gMode, 0);
    QVERIFY(!page->isVisible());
    QVERIFY(!page->playbackTimer()->isActive());
    QVERIFY(!page->isAncestorOf(map));
    QVERIFY(map->isVisible());
    QCOMPARE(w.mainDashcam()->getMediaPath(), clipPath);
    QCOMPARE(w.mainDashcam()->playStatus(), PausedState);
    QCOMPARE(MapPageTest::state(map->webView()->page()).value("track").toArray().size(),
             clipSeconds);
    QVERIFY(!QWidget::keyboardGrabber());
    QVERIFY(!page->rideData()->bodyData().isSet()); // body data lives only in the mode
}

void TstRideDataMode::rideDataPagesOfTheSharedDialog()
{
    MainWindow w;
    w.resize(1600, 900);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FormPlaybak *page = w.ridePage();
    FormDialog *dialog = w.formDialog();
    const auto click = clickButton;
    action(w, "actionCalendar")->trigger();

    // the folder button with one card: the download question (page 8), twice
    const QString card = roots_.first();
    const QString later = dayOfThisMonth(6) + QStringLiteral("070000.TXT");
    writeRide(card + QStringLiteral("Metadata"), later, steadyRide(12));
    for (int i = 0; i < 2; ++i) {
        click(page->calendar(), "selectedFolderBtn");
        click(dialog, "downloadMetadata_btn_ok");
        QVERIFY(!dialog->isVisible());
    }
    waitIdle(page);
    QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("Metadata/") + later)));

    // a card file that cannot be read is named in a message, and no part of it is left
    const QString unreadable = dayOfThisMonth(7) + QStringLiteral("070000.TXT");
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"),
                        card + QStringLiteral("Metadata/") + unreadable));
    click(page->calendar(), "selectedFolderBtn");
    click(dialog, "downloadMetadata_btn_ok");
    waitIdle(page);
    auto *message = w.findChild<QMessageBox *>();
    QVERIFY(message && message->isVisible());
    QVERIFY(message->text().contains(unreadable));
    QVERIFY(message->text().contains(QStringLiteral("could not be read")));
    TestSupport::saveScreenshot(message, QStringLiteral("ridedata-copy-failed"));
    message->close();
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("Metadata/") + unreadable)));
    QFile::remove(card + QStringLiteral("Metadata/") + unreadable);

    // a full ride-data folder is named as a full disk (a real file system of 64 KiB, as root)
    {
        const ExportTestFiles::TmpfsMount full(dir_.filePath(QStringLiteral("Metadata")),
                                               QStringLiteral("size=64k"));
        if (!full.isMounted()) {
            qInfo("full disk not tried: %s", qPrintable(full.problem()));
        } else {
            QVERIFY(ExportTestFiles::fillLeaving(dir_.filePath(QStringLiteral("Metadata")), 0));
            const QString noRoom = dayOfThisMonth(8) + QStringLiteral("070000.TXT");
            writeRide(card + QStringLiteral("Metadata"), noRoom, steadyRide(12));
            click(page->calendar(), "selectedFolderBtn");
            click(dialog, "downloadMetadata_btn_ok");
            waitIdle(page);
            auto *fullMessage = w.findChild<QMessageBox *>();
            QVERIFY(fullMessage && fullMessage->isVisible());
            QVERIFY2(fullMessage->text().contains(QStringLiteral("The disk is full")),
                     qPrintable(fullMessage->text()));
            fullMessage->close();
            QFile::remove(card + QStringLiteral("Metadata/") + noRoom);
        }
    }

    // without a card: the select-folder question (page 9); one chooser however often it is asked
    roots_.clear();
    for (int i = 0; i < 2; ++i) {
        click(page->calendar(), "selectedFolderBtn");
        click(dialog, "selectedMetadataFolder_btn_ok");
    }
    int choosers = 0;
    for (QWidget *top : QApplication::topLevelWidgets())
        choosers += qobject_cast<FileDialog_C *>(top) && top->isVisible() ? 1 : 0;
    QCOMPARE(choosers, 2); // one per confirmation, not two per confirmation
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (qobject_cast<FileDialog_C *>(top))
            top->close();
    }
    roots_ = QStringList{card};

    // Tools > Delete Ride Data (page 10): the files go, the list and the calendar are emptied
    pressDay(page->calendar(), 2);
    QVERIFY(!fileRows(page->fileList()).isEmpty());
    action(w, "actionDelete_Ride_Data")->trigger();
    click(dialog, "deleteMetadataFile_btn_ok");
    QVERIFY(QDir(dir_.filePath(QStringLiteral("Metadata"))).entryList(QDir::Files).isEmpty());
    QVERIFY(fileRows(page->fileList()).isEmpty());
    action(w, "actionPlayer")->trigger();
    w.releaseKeyboard();
}

void TstRideDataMode::settingsReachThePage()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FormPlaybak *page = w.ridePage();
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    pressDay(page->calendar(), 2);
    openRide(page, day_ + QStringLiteral("070000"));
    const auto text = [page](const char *name) {
        return page->rideData()->findChild<QLabel *>(QLatin1String(name))->text();
    };
    w.triggerMenu(action(w, "actionSpeed_kmh"));
    QCOMPARE(text("speedAvgValue"), QStringLiteral("20 kmh"));
    QCOMPARE(page->chartPanel()->getUnitSystem(), int(UnitSystem::metric));
    w.triggerMenu(action(w, "actionSpeed_mph"));
    QCOMPARE(text("speedAvgValue"), QStringLiteral("12 mph"));
    w.triggerMenu(action(w, "actionDate_YMD"));
    QCOMPARE(page->dateLabel()->text(),
             day_.left(4) + QLatin1Char('/') + day_.mid(4, 2) + QStringLiteral("/02"));
    w.triggerMenu(action(w, "actionDate_DMY"));
    QCOMPARE(page->dateLabel()->text(),
             QStringLiteral("02/") + day_.mid(4, 2) + QLatin1Char('/') + day_.left(4));
    w.setLanguage(LangChinese); // the charts' fonts follow the application font
    QCOMPARE(page->chartPanel()->findChild<QLabel *>(QStringLiteral("titleTv"))->font().family(),
             getAppFontFamily());
    QCOMPARE(page->dateLabel()->font().family(), getAppFontFamily());
    QCOMPARE(page->dateLabel()->font().weight(), 75);
    w.triggerMenu(action(w, "actionFactory_Settings"));
    QCOMPARE(page->rideData()->getUnitSystem(), currentSpeedUnit());
    action(w, "actionPlayer")->trigger();
    w.releaseKeyboard();
}

void TstRideDataMode::onlyRideFilesAreCopiedListedAndRead()
{
    const QString card = roots_.first() + QStringLiteral("Metadata/");
    const QString rides = dir_.filePath(QStringLiteral("Metadata/"));
    // dated videos beside the rides, on the card and in the ride-data folder
    writeRide(card, dayOfThisMonth(8) + QStringLiteral("101500_F.mp4"), steadyRide(100));
    writeRide(rides, dayOfThisMonth(10) + QStringLiteral("070000.TXT"), steadyRide(12));
    writeRide(rides, dayOfThisMonth(10) + QStringLiteral("101600_F.mp4"), steadyRide(100));
    writeRide(rides, dayOfThisMonth(12) + QStringLiteral("101700_F.mp4"), steadyRide(100));
    // a file one byte larger than the reader's 16 MiB
    const QString huge = dayOfThisMonth(9) + QStringLiteral("070000.TXT");
    writeRide(rides, huge, QByteArray(16 * 1024 * 1024 + 1, 'Q'));
    // files the page does not read as rides on the card: a ride's backup, an empty ride file and
    // one of 20 MiB, each on a day of its own and beside a real ride
    const QByteArray backup = steadyRide(12);
    const QByteArray empty;
    const QByteArray tooLarge(20 * 1024 * 1024, 'Q');
    const QVector<std::pair<QString, const QByteArray *>> noRides{
        {dayOfThisMonth(14) + QStringLiteral("120000.TXT.bak"), &backup},
        {dayOfThisMonth(15) + QStringLiteral("070000.TXT"), &empty},
        {dayOfThisMonth(16) + QStringLiteral("070000.TXT"), &tooLarge},
        {dayOfThisMonth(10) + QStringLiteral("080000.TXT.bak"), &backup},
        {dayOfThisMonth(10) + QStringLiteral("090000.TXT"), &empty},
        {dayOfThisMonth(10) + QStringLiteral("100000.TXT"), &tooLarge}};
    for (const auto &[name, content] : noRides)
        writeRide(card, name, *content);

    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    QVERIFY(waitForMapPage(w.formMap()));
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    QVERIFY(QFileInfo::exists(rides + day_ + QStringLiteral("070000.TXT"))); // the card's ride
    QVERIFY(!QFileInfo::exists(rides + dayOfThisMonth(8) + QStringLiteral("101500_F.mp4")));
    // neither the backups nor the empty and the 20 MiB files are copied
    for (const auto &noRide : noRides)
        QVERIFY2(!QFileInfo::exists(rides + noRide.first), qPrintable(noRide.first));
    QVERIFY(isMarked(page, 2));
    QVERIFY(isMarked(page, 10));
    QVERIFY(!isMarked(page, 8));
    QVERIFY(!isMarked(page, 12)); // a day with a video only
    for (int d : {9, 14, 15, 16})
        QVERIFY2(!isMarked(page, d), qPrintable(QString::number(d)));

    pressDay(page->calendar(), 10);
    QCOMPARE(fileRows(page->fileList()),
             QStringList{dayOfThisMonth(10) + QStringLiteral("070000")});
    openRide(page, dayOfThisMonth(10) + QStringLiteral("070000"));
    QTRY_COMPARE(trackSize(w.formMap()), 12);
    QFile::remove(card + dayOfThisMonth(8) + QStringLiteral("101500_F.mp4"));
    for (const auto &noRide : noRides) {
        QFile::remove(card + noRide.first);
        QFile::remove(rides + noRide.first);
    }
    for (const QString &name : {dayOfThisMonth(10) + QStringLiteral("070000.TXT"),
                                dayOfThisMonth(10) + QStringLiteral("101600_F.mp4"),
                                dayOfThisMonth(12) + QStringLiteral("101700_F.mp4"), huge})
        QFile::remove(rides + name);
    action(w, "actionPlayer")->trigger();
}

void TstRideDataMode::fileMenuLeavesTheLentMapAlone()
{
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    QVERIFY(waitForMapPage(w.formMap()));
    const char *const fileEntries[] = {"actionAdd_Video", "actionClear_File_List",
                                       "actionSnapshot"};
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    pressDay(page->calendar(), 2);
    openRide(page, day_ + QStringLiteral("070000"));
    QTRY_COMPARE(trackSize(w.formMap()), 720);
    for (const char *name : fileEntries)
        QVERIFY2(!action(w, name)->isEnabled(), name);
    QVERIFY(action(w, "actionExit")->isEnabled());
    action(w, "actionClear_File_List")->trigger();
    QCOMPARE(trackSize(w.formMap()), 720); // the ride stays on the map
    QCOMPARE(page->currentFile(),
             dir_.filePath(QStringLiteral("Metadata/") + day_ + QStringLiteral("070000.TXT")));
    action(w, "actionPlayer")->trigger();
    for (const char *name : fileEntries)
        QVERIFY2(action(w, name)->isEnabled(), name);
}

void TstRideDataMode::pageShowsNoRideWithoutOne()
{
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    FormMap *map = w.formMap();
    QVERIFY(waitForMapPage(map));
    w.mainDashcam()->setMedia({QUrl::fromLocalFile(clip_)});
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->durationMs() > 0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(trackSize(map), clipSeconds, 10000);

    // calendar mode without a ride: not the clip's track
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    QTRY_COMPARE(trackSize(map), 0);
    QVERIFY(page->dateLabel()->text().isEmpty());

    // a ride, then Tools > Delete Ride Data: no charts, no date, no track
    pressDay(page->calendar(), 2);
    openRide(page, day_ + QStringLiteral("070000"));
    QTRY_COMPARE(trackSize(map), 720);
    QVERIFY(!page->dateLabel()->text().isEmpty());
    FormPlaybackData *panel = page->rideData();
    const QVector<FormChartView *> charts{panel->distanceChart(), panel->speedChart(),
                                          panel->altitudeChart()};
    for (FormChartView *chart : charts)
        QVERIFY(chart->chartView()->getItem()->lineVisible);
    action(w, "actionDelete_Ride_Data")->trigger();
    clickButton(w.formDialog(), "deleteMetadataFile_btn_ok");
    for (FormChartView *chart : charts) {
        QVERIFY(!chart->chartView()->getItem()->lineVisible);
        QVERIFY(!chart->chartView()->getItem()->averageVisible);
    }
    QVERIFY(page->dateLabel()->text().isEmpty());
    QTRY_COMPARE(trackSize(map), 0);
    TestSupport::saveScreenshot(&w, QStringLiteral("ridedata-no-ride"));

    // Settings > Factory Settings with a day chosen and no ride: still no date
    action(w, "actionPlayer")->trigger();
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    pressDay(page->calendar(), 2);
    QVERIFY(!fileRows(page->fileList()).isEmpty());
    w.triggerMenu(action(w, "actionFactory_Settings"));
    QVERIFY(page->dateLabel()->text().isEmpty());

    // back in player mode the paused clip's track returns
    action(w, "actionPlayer")->trigger();
    QTRY_COMPARE(trackSize(map), clipSeconds);
}

// The window starts without the ride-data page; Tools > Calendar builds it with the settings
// chosen before.
void TstRideDataMode::pageIsBuiltWhenTheCalendarFirstOpens()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!w.findChild<FormPlaybak *>());
    w.triggerMenu(action(w, "actionSpeed_mph"));
    action(w, "actionCalendar")->trigger();
    auto *page = w.findChild<FormPlaybak *>();
    QVERIFY(page);
    QTRY_VERIFY(page->isVisible());
    QCOMPARE(page->chartPanel()->getUnitSystem(), int(UnitSystem::imperial));
    w.triggerMenu(action(w, "actionSpeed_kmh"));
    action(w, "actionPlayer")->trigger();
    w.releaseKeyboard();
}

QStringList TstRideDataMode::rideFolderEntries(bool withParts) const
{
    return QDir(dir_.filePath(QStringLiteral("Metadata")))
        .entryList(withParts ? QDir::Files | QDir::Hidden : QDir::Files, QDir::Name);
}

void TstRideDataMode::useLargeCard()
{
    QVERIFY(QDir(dir_.filePath(QStringLiteral("Metadata"))).removeRecursively());
    roots_ = QStringList{largeCard_ + QLatin1Char('/')};
}

void TstRideDataMode::restoreCard()
{
    QVERIFY(QDir(dir_.filePath(QStringLiteral("Metadata"))).removeRecursively());
    roots_ = QStringList{dir_.filePath(QStringLiteral("media/CARD/"))};
}

// Tools > Delete Ride Data while the card copy runs: the window does not wait for the copy, whose
// current file is not kept, and no copy brings rides back until the mode is entered again.
void TstRideDataMode::deleteRideDataDuringTheCardCopySticks()
{
    useLargeCard();
    auto held = std::make_unique<HeldRide>(largeCard_ + QStringLiteral("/Metadata"), heldName_,
                                           steadyRide(2));
    QVERIFY(held->isValid());
    // a ride further on, which a copy that went on after its current file would reach
    auto later = std::make_unique<HeldRide>(largeCard_ + QStringLiteral("/Metadata"),
                                            dayOfThisMonth(20) + QStringLiteral("000500.TXT"),
                                            steadyRide(2));
    later->release(20s); // a window waiting for such a copy would not wait for ever
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    action(w, "actionCalendar")->trigger();
    QTRY_VERIFY(page->isCopying()); // once the card has answered
    QVERIFY(held->waitUntilOpened(30s));
    // the folder button asks for the card copy once more: it is to follow the running one
    clickButton(page->calendar(), "selectedFolderBtn");
    clickButton(w.formDialog(), "downloadMetadata_btn_ok");

    action(w, "actionDelete_Ride_Data")->trigger();
    held->release(30s); // so that a window waiting for the copy would not wait for ever
    clickButton(w.formDialog(), "deleteMetadataFile_btn_ok");
    QVERIFY(!held->isReleased()); // the window did not wait for the copy's current file
    held->release();              // which ends after the delete and is not kept
    waitIdle(page);
    QVERIFY(WorkerPool::drives().waitForDone(60000)); // every copy has ended
    QApplication::processEvents();
    QVERIFY2(rideFolderEntries().isEmpty(),
             qPrintable(QString::number(rideFolderEntries().size()) + " files back"));
    for (int d = 1; d <= largeCardDays; ++d)
        QVERIFY2(!isMarked(page, d), qPrintable(QString::number(d)));
    pressDay(page->calendar(), 1);
    QVERIFY(fileRows(page->fileList()).isEmpty());
    QVERIFY(!later->isOpened()); // the copy stopped after its current file

    // entering the mode again copies the card again
    held.reset();
    later.reset();
    action(w, "actionPlayer")->trigger();
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    QCOMPARE(rideFolderEntries(), largeCardNames_);
    QVERIFY(isMarked(page, 1));
    QVERIFY(isMarked(page, largeCardDays));
    action(w, "actionPlayer")->trigger();
    w.releaseKeyboard();
    restoreCard();
}

// A folder chosen with the folder button during the card copy is copied after it, not beside it.
void TstRideDataMode::copyAskedForDuringTheCardCopyRunsAfterIt()
{
    useLargeCard();
    const QString chosen = dir_.filePath(QStringLiteral("chosen"));
    const QStringList chosenNames{dayOfThisMonth(largeCardDays - 1) + QStringLiteral("235959.TXT"),
                                  dayOfThisMonth(largeCardDays) + QStringLiteral("235959.TXT")};
    for (const QString &name : chosenNames)
        writeRide(chosen, name, steadyRide(3));
    HeldRide held(largeCard_ + QStringLiteral("/Metadata"), heldName_, steadyRide(2));
    QVERIFY(held.isValid());
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    action(w, "actionCalendar")->trigger();
    QTRY_VERIFY(page->isCopying()); // once the card has answered
    QVERIFY(held.waitUntilOpened(30s));

    // with a second card in, the folder button asks for a folder
    roots_ << dir_.filePath(QStringLiteral("media/CARD/"));
    clickButton(page->calendar(), "selectedFolderBtn");
    clickButton(w.formDialog(), "selectedMetadataFolder_btn_ok");
    QPointer<FileDialog_C> chooser = page->folderChooser();
    QVERIFY(chooser);
    emit chooser->openFolderName(chosen); // the chooser's own folder choice: tst_filedialog
    chooser->close();
    held.release(1s);

    // the chosen rides arrive, and only once the card's last ride is in
    const QString target = dir_.filePath(QStringLiteral("Metadata/"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(target + chosenNames.first()), 60000);
    QVERIFY(QFileInfo::exists(target + largeCardNames_.last()));
    waitIdle(page);
    QCOMPARE(rideFolderEntries().size(), largeCardRides + 1 + chosenNames.size());
    QVERIFY(QFileInfo::exists(target + chosenNames.last()));
    action(w, "actionPlayer")->trigger();
    w.releaseKeyboard();
    restoreCard();
}

// Quitting during the card copy: the window goes at once, the copy ends with its current file.
void TstRideDataMode::quittingStopsTheCopyAfterItsCurrentFile()
{
    useLargeCard();
    HeldRide held(largeCard_ + QStringLiteral("/Metadata"), heldName_, steadyRide(2));
    QVERIFY(held.isValid());
    const int mode = gMode;
    auto w = std::make_unique<MainWindow>();
    QVERIFY(MainWindowTest::showWindow(*w));
    action(*w, "actionCalendar")->trigger();
    QTRY_VERIFY(w->ridePage()->isCopying()); // once the card has answered
    QVERIFY(held.waitUntilOpened(30s));
    QStringList before = largeCardNames_;
    before.erase(std::upper_bound(before.begin(), before.end(), heldName_), before.end());
    // every ride before the held one, whose part file is being written
    QCOMPARE(rideFolderEntries(false), before);

    held.release(30s); // so that a window waiting for the copy would not wait for ever
    w->close();
    w.reset();
    QVERIFY(!held.isReleased()); // the window did not wait for the copy's current file
    gMode = mode;                // the next window starts in player mode
    held.release();
    QVERIFY(WorkerPool::drives().waitForDone(60000));
    before << heldName_; // its current file completed, nothing after it
    QCOMPARE(rideFolderEntries(), before);
    restoreCard();
}

void TstRideDataMode::rideReadEndingLateIsNotShown_data()
{
    QTest::addColumn<bool>("leaveMode"); // else the rides are deleted
    QTest::newRow("Tools > Player") << true;
    QTest::newRow("Tools > Delete Ride Data") << false;
}

// A ride whose read has ended but whose result has not reached the page yet when the user
// leaves the mode or deletes the rides: the page and the map stay empty.
void TstRideDataMode::rideReadEndingLateIsNotShown()
{
    QFETCH(bool, leaveMode);
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    FormMap *map = w.formMap();
    QVERIFY(waitForMapPage(map));
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    pressDay(page->calendar(), 2);
    doubleClickFile(page->fileList(), day_ + QStringLiteral("070000"));
    // the read runs in the drives' pool; its end reaches the page through the event loop only
    QVERIFY(WorkerPool::drives().waitForDone(30000));
    QVERIFY(page->isReadingRide());
    if (leaveMode) {
        action(w, "actionPlayer")->trigger();
    } else {
        action(w, "actionDelete_Ride_Data")->trigger();
        clickButton(w.formDialog(), "deleteMetadataFile_btn_ok");
    }
    QCoreApplication::sendPostedEvents();
    QVERIFY(!page->isReadingRide());
    QVERIFY(page->currentFile().isEmpty());
    QCOMPARE(page->findChild<QLabel *>(QStringLiteral("endTime"))->text(),
             QStringLiteral("00:00:00"));
    QVERIFY(page->dateLabel()->text().isEmpty());
    QVERIFY(!page->rideData()->speedChart()->chartView()->getItem()->lineVisible);
    QCOMPARE(trackSize(map), 0);
    if (!leaveMode)
        action(w, "actionPlayer")->trigger();
}

void TstRideDataMode::chartClicksSelectTheDaysOfTheirBars_data()
{
    QTest::addColumn<int>("bar");          // 1-based; 8 lies right of the last of 7 bars
    QTest::addColumn<QStringList>("rows"); // of the day list after the click
    QTest::addColumn<int>("highlighted");  // calendar day, 0 for none
    QTest::newRow("bar of day 4") << 3 << QStringList{dayOfThisMonth(4) + QStringLiteral("180000")}
                                  << 4;
    QTest::newRow("right of the last bar")
        << 8 << QStringList{dayOfThisMonth(2) + QStringLiteral("070000")} << 0;
}

void TstRideDataMode::chartClicksSelectTheDaysOfTheirBars()
{
    QFETCH(int, bar);
    QFETCH(QStringList, rows);
    QFETCH(int, highlighted);
    // a ride on the day after the window, the day a click right of its last bar would reach
    const QString next = dayOfThisMonth(9) + QStringLiteral("120000.TXT");
    writeRide(dir_.filePath(QStringLiteral("Metadata")), next, steadyRide(12));
    MainWindow w;
    QVERIFY(MainWindowTest::showWindow(w));
    FormPlaybak *page = w.ridePage();
    action(w, "actionCalendar")->trigger();
    waitIdle(page);
    pressDay(page->calendar(), 2);
    clickButton(page, "chartBtn");
    waitIdle(page);
    QCOMPARE(fileRows(page->fileList()), QStringList{day_ + QStringLiteral("070000")});

    QSignalSpy highlight(page, &FormPlaybak::setCalendarHighlightDayTriggered);
    ChartView *view = page->chartPanel()->chart()->chartView();
    const ChartItem *item = view->getItem();
    const int bars = ChartGeometry::barCount(item->periodType);
    QCOMPARE(bars, 7);
    const int x = bar <= bars ? ChartGeometry::barCentreX(*item, bars, bar - 1)
                              : item->size.width() - item->rightMargin / 2;
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(x, item->size.height() / 2));
    QCOMPARE(fileRows(page->fileList()), rows);
    QCOMPARE(highlight.count(), highlighted ? 1 : 0);
    if (highlighted)
        QCOMPARE(highlight.at(0).at(0).toInt(), highlighted);
    QVERIFY(QFile::remove(dir_.filePath(QStringLiteral("Metadata/") + next)));
    action(w, "actionPlayer")->trigger();
}

TALVEX_TEST_MAIN(TstRideDataMode)
#include "tst_ridedatamode.moc"
