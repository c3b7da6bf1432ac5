// Calendar mode end to end in the real main window: a playing clip is paused, the ride-data page
// takes the map, a ride from a fake camera card plays on it, body data is typed into the shared
// dialog, and Tools > Player brings back the paused clip with its own track.
#include "appfont.h"
#include "appglobals.h"
#include "dashcam.h"
#include "exporttestfiles.h"
#include "filedialog.h"
#include "formchartdataview.h"
#include "formchartview.h"
#include "formdialog.h"
#include "formmap.h"
#include "formplaybackdata.h"
#include "formplaybak.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "mappagestate.h"
#include "removabledrives.h"
#include "ridepagetest.h"
#include "testsupport.h"

#include <QAction>
#include <QJsonArray>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

using namespace RidePageTest;

namespace {

using MainWindowTest::action;
// Long enough to be still playing when Tools > Calendar is reached on a busy machine.
constexpr int clipSeconds = 120;

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

private:
    void screenshot(MainWindow &w, const QString &name, QWidget *area, const QColor &mustShow);

    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    QStringList roots_;
    const QString day_ = dayOfThisMonth(2);
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
}

void TstRideDataMode::cleanupTestCase()
{
    RemovableDrives::setRootsProvider({});
    QDir::setCurrent(oldCwd_);
}

void TstRideDataMode::screenshot(MainWindow &w, const QString &name, QWidget *area,
                                 const QColor &mustShow)
{
    QApplication::processEvents();
    const QImage shot = w.grab().toImage();
    const QRect rect(area->mapTo(&w, QPoint(0, 0)), area->size());
    QVERIFY2(colourShare(shot, rect, mustShow) > 0.001, qPrintable(name));
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
    QVERIFY(QFile::exists(
        dir_.filePath(QStringLiteral("Metadata/") + day_ + QStringLiteral("070000.TXT"))));
    QTRY_VERIFY(page->calendar()->width() > 400); // laid out for the page area

    // a ride plays on the map
    pressDay(page->calendar(), 2);
    doubleClickFile(page->fileList(), day_ + QStringLiteral("070000"));
    QCOMPARE(MapPageTest::state(map->webView()->page()).value("track").toArray().size(), 720);
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
    QCOMPARE(QWidget::keyboardGrabber(), &w);
    QVERIFY(!page->rideData()->bodyData().isSet()); // body data lives only in the mode
    w.releaseKeyboard();
}

void TstRideDataMode::rideDataPagesOfTheSharedDialog()
{
    MainWindow w;
    w.resize(1600, 900);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FormPlaybak *page = w.ridePage();
    FormDialog *dialog = w.formDialog();
    const auto click = [](QWidget *parent, const char *name) {
        auto *button = parent->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button && button->isVisible(), name);
        QTest::mouseClick(button, Qt::LeftButton);
    };
    action(w, "actionCalendar")->trigger();

    // the folder button with one card: the download question (page 8), twice
    const QString card = roots_.first();
    const QString later = dayOfThisMonth(6) + QStringLiteral("070000.TXT");
    writeRide(card + QStringLiteral("Metadata"), later, steadyRide(12));
    for (int i = 0; i < 2; ++i) {
        click(page->calendar(), "selectedFolderBtn");
        QVERIFY(dialog->isVisible());
        click(dialog, "downloadMetadata_btn_ok");
        QVERIFY(!dialog->isVisible());
    }
    QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("Metadata/") + later)));

    // a card file that cannot be read is named in a message, and no part of it is left
    const QString unreadable = dayOfThisMonth(7) + QStringLiteral("070000.TXT");
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"),
                        card + QStringLiteral("Metadata/") + unreadable));
    click(page->calendar(), "selectedFolderBtn");
    click(dialog, "downloadMetadata_btn_ok");
    auto *message = w.findChild<QMessageBox *>();
    QVERIFY(message && message->isVisible());
    QVERIFY(message->text().contains(unreadable));
    message->close();
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("Metadata/") + unreadable)));
    QFile::remove(card + QStringLiteral("Metadata/") + unreadable);

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
    pressDay(page->calendar(), 2);
    doubleClickFile(page->fileList(), day_ + QStringLiteral("070000"));
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

TALVEX_TEST_MAIN(TstRideDataMode)
#include "tst_ridedatamode.moc"
