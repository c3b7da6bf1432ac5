// The map panel on its real page in a real window: track, markers, arrow, styling, ride track.
#include "formmap.h"
#include "mappagestate.h"
#include "testsupport.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QSignalSpy>
#include <QWebEngineView>

#include <memory>

namespace {
constexpr int trackSeconds = 60;
constexpr double defaultLat = 34.146343;
constexpr double defaultLng = -118.145064;

QString decimal(double deg)
{
    return QString::number(deg, 'f', 6);
}

// A minute north-east of Taipei; seconds 25 and 26 have no sample.
QVector<VideoInfo_t> minuteTrack()
{
    QVector<VideoInfo_t> samples(trackSeconds);
    for (int i = 0; i < trackSeconds; ++i) {
        if (i == 25 || i == 26)
            continue;
        VideoInfo_t &s = samples[i];
        s.recordTime = QStringLiteral("2024050607%1").arg(i, 4, 10, QLatin1Char('0'));
        s.lat = 25.033 + i * 0.0001;
        s.lon = 121.5645 + i * 0.00005;
        s.latDecimalText = decimal(s.lat);
        s.lonDecimalText = decimal(s.lon);
        s.headingText = QStringLiteral("27");
    }
    return samples;
}

bool near(const QJsonObject &point, double lat, double lng)
{
    return qAbs(point.value("lat").toDouble() - lat) < 1e-6 &&
           qAbs(point.value("lng").toDouble() - lng) < 1e-6;
}

// The panel as the main window holds it: inside a layout of a shown window.
struct MapWindow
{
    QWidget host;
    FormMap *map = new FormMap;

    explicit MapWindow(QSize size = QSize(400, 400))
    {
        auto *layout = new QHBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(map);
        map->setFixedSize(size);
        host.show();
    }
    QWebEnginePage *page() const { return map->webView()->page(); }
    QJsonObject state() const { return MapPageTest::state(page()); }
};
} // namespace

class TstFormMap : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<MapPageTest::RequestRecorder> requests_;

    static bool waitForLoad(MapWindow &w)
    {
        if (w.map->isPageLoaded())
            return true;
        QSignalSpy loaded(w.map->webView(), &QWebEngineView::loadFinished);
        return loaded.wait(30000) && loaded.first().first().toBool();
    }

private slots:
    void initTestCase() { requests_ = std::make_unique<MapPageTest::RequestRecorder>(); }
    void cleanupTestCase() { requests_.reset(); }
    void cleanup()
    {
        QVERIFY2(requests_->foreignRequests().isEmpty(),
                 qPrintable(requests_->foreignRequests().join(' ')));
    }

    void pageStartsOnTheDefaultPositionInPanelShape();
    void trackMarkersAndArrowFollowPlayback();
    void restyleKeepsTrackMarkersAndArrow();
    void clearMapAllLeavesTheArrowOnTheDefaultPosition();
    void rideTrackGivenBeforeTheLoadIsDrawn();
    void scriptsGivenBeforeTheLoadRunInOrderAfterIt();
    void followButtonTurnsAutoFollowOffAndOn();
    void userZoomStopsTheAnimationAndIsKept();
    void secondMapSourceKeepsThePage();
};

void TstFormMap::pageStartsOnTheDefaultPositionInPanelShape()
{
    FormMap bare;
    QCOMPARE(bare.objectName(), QStringLiteral("FormMap"));
    QCOMPARE(bare.windowTitle(), QStringLiteral("Form"));
    QCOMPARE(bare.minimumWidth(), 250);
    QCOMPARE(bare.maximumWidth(), 250);
    QCOMPARE(bare.getMapType(), MapWebPage);
    QVERIFY(bare.windowFlags() & Qt::FramelessWindowHint);

    MapWindow w;
    QVERIFY(waitForLoad(w));
    const QJsonObject s = w.state();
    QVERIFY(s.value("built").toBool());
    QVERIFY(!s.value("dark").toBool());
    QCOMPARE(s.value("zoom").toInt(), 18);
    QVERIFY(near(s.value("center").toObject(), defaultLat, defaultLng));
    QCOMPARE(s.value("followTitle").toString(), QStringLiteral("Automatic"));
    // the first load clears: no track, the arrow on the default position
    QVERIFY(s.value("track").isNull());
    QVERIFY(near(s.value("arrow").toObject(), defaultLat, defaultLng));
    // tiles are asked for (and blocked here): the recorder sees the page's requests
    QTRY_VERIFY_WITH_TIMEOUT(requests_->tileRequests() > 0, 5000);
}

void TstFormMap::trackMarkersAndArrowFollowPlayback()
{
    MapWindow w;
    QVERIFY(waitForLoad(w));
    QSignalSpy distance(w.map, &FormMap::distanceTotalLengthTrigger);
    QVector<VideoInfo_t> samples = minuteTrack();
    w.map->setData(samples);
    QCOMPARE(distance.count(), 1);
    QVERIFY(distance.first().first().toDouble() > 0.0);
    QCOMPARE(samples.at(25).latDecimalText, samples.at(24).latDecimalText); // filled in place
    for (int second : {0, 5, 10, 15})
        w.map->infoChanged(samples.at(second), true);

    QJsonObject s;
    QTRY_VERIFY_WITH_TIMEOUT(
        (s = w.state(),
         !s.value("animating").toBool() && !s.value("symbol").isNull() &&
             near(s.value("symbol").toObject(), samples.at(15).lat, samples.at(15).lon)),
        5000);
    const QJsonArray track = s.value("track").toArray();
    QCOMPARE(track.size(), trackSeconds);
    QCOMPARE(track.at(59).toArray().at(0).toDouble(), samples.at(59).lat);
    QCOMPARE(track.at(26).toArray().at(1).toDouble(), samples.at(24).lon);
    QCOMPARE(s.value("symbol").toObject().value("offset").toInt(), 100);
    QVERIFY(s.value("arrow").isNull()); // one arrow: the symbol on the track
    QVERIFY(near(s.value("start").toObject(), samples.at(0).lat, samples.at(0).lon));
    QVERIFY(near(s.value("end").toObject(), samples.at(59).lat, samples.at(59).lon));
    QCOMPARE(s.value("start").toObject().value("icon").toString(),
             QStringLiteral("qrc:/image/TALVEXStyle/map_start.svg"));
    QCOMPARE(s.value("end").toObject().value("icon").toString(),
             QStringLiteral("qrc:/image/TALVEXStyle/map_final.svg"));
    QVERIFY(s.value("start").toObject().value("bouncing").toBool());
    // auto-follow keeps the arrow in view at the track's zoom
    QCOMPARE(s.value("zoom").toInt(), 18);
    const QJsonObject centre = s.value("center").toObject();
    QVERIFY(qAbs(centre.value("lat").toDouble() - samples.at(15).lat) < 0.0005);
    // the markers stop bouncing after a while and stay where they are
    QTRY_VERIFY_WITH_TIMEOUT((s = w.state(), !s.value("end").toObject().value("bouncing").toBool()),
                             10000);
    QVERIFY(near(s.value("end").toObject(), samples.at(59).lat, samples.at(59).lon));
}

void TstFormMap::restyleKeepsTrackMarkersAndArrow()
{
    MapWindow w;
    QVERIFY(waitForLoad(w));
    QVector<VideoInfo_t> samples = minuteTrack();
    w.map->setData(samples);
    w.map->infoChanged(samples.at(40), true);
    w.map->setDarkMode(1);
    QJsonObject s;
    QTRY_VERIFY_WITH_TIMEOUT((s = w.state(), !s.value("animating").toBool()), 5000);
    QVERIFY(s.value("dark").toBool());
    QCOMPARE(s.value("track").toArray().size(), trackSeconds);
    QVERIFY(!s.value("start").isNull());
    QVERIFY(near(s.value("symbol").toObject(), samples.at(40).lat, samples.at(40).lon));
    w.map->setDarkMode(0);
    s = w.state();
    QVERIFY(!s.value("dark").toBool());
    QCOMPARE(s.value("track").toArray().size(), trackSeconds);
}

void TstFormMap::clearMapAllLeavesTheArrowOnTheDefaultPosition()
{
    MapWindow w;
    QVERIFY(waitForLoad(w));
    QVector<VideoInfo_t> samples = minuteTrack();
    w.map->setData(samples);
    w.map->infoChanged(samples.at(3), true);
    w.map->clearMapAll();
    QJsonObject s = w.state();
    QVERIFY(s.value("track").isNull());
    QVERIFY(s.value("symbol").isNull());
    QVERIFY(s.value("start").isNull());
    QVERIFY(s.value("end").isNull());
    QVERIFY(near(s.value("arrow").toObject(), defaultLat, defaultLng));
    QCOMPARE(s.value("arrow").toObject().value("rotation").toInt(), 0);
    // playback going on after a clear moves nothing until a new track comes
    w.map->infoChanged(samples.at(8), true);
    s = w.state();
    QVERIFY(s.value("track").isNull());
    QVERIFY(near(s.value("arrow").toObject(), defaultLat, defaultLng));
}

void TstFormMap::scriptsGivenBeforeTheLoadRunInOrderAfterIt()
{
    MapWindow w;
    QVERIFY(!w.map->isPageLoaded());
    // the page's functions do not exist yet; the last style asked for is the one shown
    w.map->setDarkMode(0);
    w.map->setDarkMode(1);
    QVERIFY(waitForLoad(w));
    QVERIFY(w.state().value("dark").toBool());
}

void TstFormMap::rideTrackGivenBeforeTheLoadIsDrawn()
{
    MapWindow w(QSize(720, 406)); // the ride-data page's map area
    QVector<PlaybackInfo_t> ride(4);
    const char *const lats[] = {"0", "47.3981", "47.3990", "47.4002"};
    const char *const lngs[] = {"0", "8.5432", "8.5440", "8.5455"};
    for (int i = 0; i < 4; ++i) {
        ride[i].latitude = QString::fromLatin1(lats[i]);
        ride[i].longitude = QString::fromLatin1(lngs[i]);
        ride[i].heading = QString::fromUtf8("45°");
    }
    w.map->setPlaybackData(ride);
    QVERIFY(!w.map->isPageLoaded());
    QVERIFY(waitForLoad(w));
    QJsonObject s = w.state();
    const QJsonArray track = s.value("track").toArray();
    QCOMPARE(track.size(), 4);
    QCOMPARE(track.at(0).toArray().at(0).toDouble(), 47.3981);
    QVERIFY(near(s.value("end").toObject(), 47.4002, 8.5455));

    w.map->infoPlaybackChanged(ride.at(2));
    s = w.state();
    QVERIFY(near(s.value("arrow").toObject(), 47.3990, 8.5440));
    QCOMPARE(s.value("arrow").toObject().value("rotation").toInt(), 45);
    QVERIFY(s.value("symbol").isNull()); // one arrow
    QCOMPARE(s.value("track").toArray().size(), 4);
    const QPoint arrow =
        w.map->mapTo(&w.host, MapPageTest::insideArrow(s.value("arrow").toObject()));
    const auto showsArrow = [arrow](const QImage &grab) {
        return grab.pixelColor(arrow).name() == QLatin1String("#00afcc");
    };
    QVERIFY(showsArrow(MapPageTest::grabShowing(&w.host, showsArrow)));
    TestSupport::saveScreenshot(&w.host, QStringLiteral("map_ride_track"));
}

void TstFormMap::followButtonTurnsAutoFollowOffAndOn()
{
    MapWindow w;
    QVERIFY(waitForLoad(w));
    const QString click = QStringLiteral("document.querySelector('.follow-button').click()");
    MapPageTest::run(w.page(), click);
    QJsonObject s = w.state();
    QVERIFY(!s.value("autoFollow").toBool());
    QCOMPARE(s.value("followTitle").toString(), QStringLiteral("No automatic"));
    // without auto-follow an arrow move leaves the view where it is
    QVector<VideoInfo_t> samples = minuteTrack();
    w.map->setData(samples);
    w.map->infoChanged(samples.at(50), true);
    QTRY_VERIFY_WITH_TIMEOUT((s = w.state(), !s.value("animating").toBool()), 5000);
    QVERIFY(near(s.value("center").toObject(), samples.at(0).lat, samples.at(0).lon));
    MapPageTest::run(w.page(), click);
    s = w.state();
    QVERIFY(s.value("autoFollow").toBool());
    QCOMPARE(s.value("followTitle").toString(), QStringLiteral("Automatic"));
    // back on the last move: the second half of the way from the first point to second 50
    const double lat = 0.25 * samples.at(0).lat + 0.75 * samples.at(50).lat;
    const double lng = 0.25 * samples.at(0).lon + 0.75 * samples.at(50).lon;
    QVERIFY(near(s.value("center").toObject(), lat, lng));
}

void TstFormMap::userZoomStopsTheAnimationAndIsKept()
{
    MapWindow w;
    QVERIFY(waitForLoad(w));
    QVector<VideoInfo_t> samples = minuteTrack();
    w.map->setData(samples);
    w.map->infoChanged(samples.at(30), true);
    MapPageTest::run(w.page(), QStringLiteral("map.setZoom(15, {animate: false})"));
    QJsonObject s;
    w.map->infoChanged(samples.at(40), true);
    QTRY_VERIFY_WITH_TIMEOUT((s = w.state(), !s.value("animating").toBool()), 5000);
    QCOMPARE(s.value("zoom").toInt(), 15);
}

void TstFormMap::secondMapSourceKeepsThePage()
{
    MapWindow w;
    QVERIFY(waitForLoad(w));
    w.map->changeMap(MapSecondSource);
    QCOMPARE(w.map->getMapType(), MapSecondSource);
    QVERIFY(w.map->webView()->isVisible());
    w.map->changeMap(MapWebPage);
    QCOMPARE(w.map->getMapType(), MapWebPage);
    QVERIFY(w.map->webView()->isVisible());
}

TALVEX_TEST_MAIN(TstFormMap)
#include "tst_formmap.moc"
