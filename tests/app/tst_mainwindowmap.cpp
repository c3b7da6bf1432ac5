// End to end: the map in the real main window. A clip with a GPS trailer is added through the
// play list and played; the map shows its track and the arrow follows playback.
#include "appsettings.h"
#include "dashcam.h"
#include "formlist.h"
#include "formmap.h"
#include "mainwindow.h"
#include "mainwindowtest.h"
#include "mappagestate.h"
#include "settingkeys.h"
#include "testsupport.h"

#include <QAction>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <memory>

namespace {

using namespace MainWindowTest;
constexpr int clipSeconds = 8;

double latitudeAt(int second)
{
    return 25.0330 + second * 0.0002;
}

double longitudeAt(int second)
{
    return 121.5645 + second * 0.0001;
}

constexpr int secondWithoutFix = 1; // its record holds 0, 0

// A GPS trailer as exports append it: marker, one 121-byte record per second, cut signature.
QByteArray trailer(int seconds)
{
    return gpsTrailer(seconds, [](int i) {
        const bool fix = i != secondWithoutFix;
        return std::make_pair('N' + QByteArray::number(fix ? latitudeAt(i) : 0.0, 'f', 6),
                              'E' + QByteArray::number(fix ? longitudeAt(i) : 0.0, 'f', 6));
    });
}

bool near(const QJsonObject &point, double lat, double lng, double tolerance = 1e-6)
{
    return qAbs(point.value("lat").toDouble() - lat) < tolerance &&
           qAbs(point.value("lng").toDouble() - lng) < tolerance;
}

QWebEnginePage *mapPage(MainWindow &w)
{
    return w.formMap()->webView()->page();
}

QJsonObject mapState(MainWindow &w)
{
    return MapPageTest::state(mapPage(w));
}

bool waitForMap(MainWindow &w)
{
    if (w.formMap()->isPageLoaded())
        return true;
    QSignalSpy loaded(w.formMap()->webView(), &QWebEngineView::loadFinished);
    return loaded.wait(30000) && w.formMap()->isPageLoaded();
}

// Records the script errors the web pages report to the program's log while it lives.
struct ScriptErrorLog
{
    static inline QStringList errors;
    static inline QtMessageHandler previous = nullptr;
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (text.contains(QLatin1String("Uncaught")) || text.contains(QLatin1String("Error:")))
            errors << text;
        previous(type, context, text);
    }
    ScriptErrorLog()
    {
        errors.clear();
        previous = qInstallMessageHandler(&record);
    }
    ~ScriptErrorLog() { qInstallMessageHandler(previous); }
};

// The window at the screenshot size with the keyboard free for the test.
// A grab pixel of the window at a point of the map panel.
QColor mapPixel(MainWindow &w, const QImage &grab, QPoint inMap)
{
    const QPoint at = w.formMap()->mapTo(&w, inMap);
    return grab.pixelColor(at * grab.devicePixelRatio());
}

} // namespace

class TstMainWindowMap : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QString clip_;
    std::unique_ptr<MapPageTest::RequestRecorder> requests_;

    // The arrow symbol once its move has ended.
    QJsonObject restingArrow(MainWindow &w)
    {
        QJsonObject s;
        for (int i = 0; i < 100; ++i) {
            s = mapState(w);
            if (!s.value("animating").toBool() && !s.value("symbol").isNull())
                break;
            QTest::qWait(50);
        }
        return s.value("symbol").toObject();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(dir_.path()); // the settings file stays in the test folder
        clip_ = dir_.filePath(QStringLiteral("20261207101500_F.mp4"));
        QVERIFY(makeClipWithTrailer(clip_, clipSeconds, trailer(clipSeconds)));
        requests_ = std::make_unique<MapPageTest::RequestRecorder>();
    }

    void cleanupTestCase()
    {
        requests_.reset();
        QDir::setCurrent(oldCwd_);
    }

    void init() { QFile::remove(AppSettings::infoFilePath()); }

    void cleanup()
    {
        QVERIFY2(requests_->foreignRequests().isEmpty(),
                 qPrintable(requests_->foreignRequests().join(QLatin1Char(' '))));
    }

    void playedClipShowsItsTrackAndTheArrowFollows();
    void storedSettingsReachTheMapWhenItsPageHasLoaded();
    void startUpRaisesNoScriptError();
    void playerModeDrawsTheClipTrackAgain();
};

void TstMainWindowMap::playedClipShowsItsTrackAndTheArrowFollows()
{
    MainWindow w;
    QVERIFY(showWindow(w, QSize(1600, 900)));
    QVERIFY(waitForMap(w));
    // the map sits above the list, in the rounded shape of its area
    QVERIFY(w.formMap()->isVisible());
    QVERIFY(w.formMap()->mapTo(&w, QPoint()).y() < w.formList()->mapTo(&w, QPoint()).y());
    QVERIFY(!w.formMap()->mask().contains(QPoint(0, 0)));
    QVERIFY(w.formMap()->mask().contains(w.formMap()->rect().center()));

    QSignalSpy distance(w.formMap(), &FormMap::distanceTotalLengthTrigger);
    // a receiver after the map gets the samples with the missing position filled in
    QString filledLatitude;
    connect(w.mainDashcam(), &Dashcam::MediaChanged, this, [&](QVector<VideoInfo_t> &samples) {
        filledLatitude = samples.value(secondWithoutFix).latDecimalText;
    });
    addThroughChooser(w, clip_);
    QTRY_COMPARE_WITH_TIMEOUT(distance.count(), 1, 10000);
    QCOMPARE(filledLatitude, QString::number(latitudeAt(secondWithoutFix - 1), 'f', 6));
    QJsonObject s = mapState(w);
    const QJsonArray track = s.value("track").toArray();
    QCOMPARE(track.size(), clipSeconds);
    QCOMPARE(track.at(secondWithoutFix).toArray().at(0).toDouble(),
             track.at(secondWithoutFix - 1).toArray().at(0).toDouble());
    QVERIFY(qAbs(track.at(7).toArray().at(0).toDouble() - latitudeAt(7)) < 1e-6);
    QVERIFY(near(s.value("start").toObject(), latitudeAt(0), longitudeAt(0)));
    QVERIFY(near(s.value("end").toObject(), latitudeAt(7), longitudeAt(7)));

    // the arrow moves on with playback, from the clip's start (the add played it for a while)
    if (w.mainDashcam()->playStatus() == PlayingState)
        w.onPlayPause();
    w.mainDashcam()->setPositionMs(0);
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->positionMs() < 1000, 5000);
    w.onPlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->positionMs() >= 2500, 10000);
    const double earlier = mapState(w).value("symbol").toObject().value("lat").toDouble();
    QVERIFY(earlier > latitudeAt(0));
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->positionMs() >= 4500, 10000);
    w.onPlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(w.mainDashcam()->playStatus() == PausedState, 5000);
    const int second = int(w.mainDashcam()->positionMs() / 1000);
    QJsonObject arrow = restingArrow(w);
    QVERIFY(arrow.value("lat").toDouble() > earlier);
    QVERIFY(near(arrow, latitudeAt(second), longitudeAt(second)));

    // the markers have stopped bouncing by now or soon
    QTRY_VERIFY_WITH_TIMEOUT(!mapState(w).value("end").toObject().value("bouncing").toBool(),
                             10000);
    // the arrow in its colour where the page puts it, on a light map
    const QPoint corner(w.formMap()->width() - 30, 30);
    const auto showsArrow = [&](const QImage &grab) {
        return mapPixel(w, grab, MapPageTest::insideArrow(arrow)).name() ==
               QLatin1String("#00afcc");
    };
    const QImage white = MapPageTest::grabShowing(&w, showsArrow);
    QVERIFY(showsArrow(white));
    QVERIFY(mapPixel(w, white, corner).lightness() > 200);
    TestSupport::saveScreenshot(&w, QStringLiteral("mainwindow_map_white"));

    // a style change restyles the map and keeps the track, markers and arrow
    w.triggerMenu(action(w, "actionStyle_Black"));
    s = mapState(w);
    QVERIFY(s.value("dark").toBool());
    QCOMPARE(s.value("track").toArray().size(), clipSeconds);
    QVERIFY(!s.value("end").isNull());
    QVERIFY(near(s.value("symbol").toObject(), latitudeAt(second), longitudeAt(second)));
    const auto showsDarkMap = [&](const QImage &grab) {
        return showsArrow(grab) && mapPixel(w, grab, corner).lightness() < 100;
    };
    QVERIFY(showsDarkMap(MapPageTest::grabShowing(&w, showsDarkMap)));
    TestSupport::saveScreenshot(&w, QStringLiteral("mainwindow_map_black"));
}

void TstMainWindowMap::storedSettingsReachTheMapWhenItsPageHasLoaded()
{
    QVERIFY(AppSettings::set(SettingKeys::style, 1));
    QVERIFY(AppSettings::set(SettingKeys::maps, MapSecondSource));
    MainWindow w;
    QVERIFY(showWindow(w, QSize(1600, 900)));
    QVERIFY(waitForMap(w));
    QCOMPARE(w.formMap()->getMapType(), MapSecondSource);
    QVERIFY(mapState(w).value("dark").toBool());
    QVERIFY(w.formMap()->webView()->isVisible()); // the second source shows the same page

    w.triggerMenu(action(w, "actionMap_Web"));
    QCOMPARE(w.formMap()->getMapType(), MapWebPage);
    QCOMPARE(parameterValue(SettingKeys::maps), int(MapWebPage));
    w.triggerMenu(action(w, "actionStyle_White"));
    QVERIFY(!mapState(w).value("dark").toBool());
}

void TstMainWindowMap::startUpRaisesNoScriptError()
{
    ScriptErrorLog log;
    MainWindow w;
    QVERIFY(showWindow(w));
    QVERIFY(waitForMap(w));
    // what the window asked for at start has run once the page answers
    QTRY_VERIFY(!mapState(w).isEmpty());
    QVERIFY2(log.errors.isEmpty(), qPrintable(log.errors.join(QLatin1Char('\n'))));
}

void TstMainWindowMap::playerModeDrawsTheClipTrackAgain()
{
    MainWindow w;
    QVERIFY(showWindow(w, QSize(1600, 900)));
    QVERIFY(waitForMap(w));
    addThroughChooser(w, clip_);
    QTRY_COMPARE_WITH_TIMEOUT(mapState(w).value("track").toArray().size(), clipSeconds, 10000);

    // into the calendar and back: player mode clears the map, then the paused clip's own track
    // is drawn again
    w.triggerMenu(action(w, "actionCalendar"));
    w.triggerMenu(action(w, "actionPlayer"));
    QVERIFY(w.formMap()->isVisible());
    const QJsonObject s = mapState(w);
    QCOMPARE(s.value("track").toArray().size(), clipSeconds);
    TestSupport::saveScreenshot(&w, QStringLiteral("mainwindow_map_cleared"));
}

TALVEX_TEST_MAIN(TstMainWindowMap)
#include "tst_mainwindowmap.moc"
