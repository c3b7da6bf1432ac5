// Script texts the map sends to its page, byte for byte, for every operation and edge case.
#include "mapscriptdriver.h"
#include "mapscripts.h"
#include "testsupport.h"

namespace {
const QString skin = QStringLiteral(":/image/TALVEXStyle/");
const QString startIcon = QStringLiteral("\"qrc:/image/TALVEXStyle/map_start.svg\"");
const QString endIcon = QStringLiteral("\"qrc:/image/TALVEXStyle/map_final.svg\"");
const QString clearMarker = QStringLiteral(" clearMarker(); ");
const QString deletePolyLines = QStringLiteral(" deletePolyLines()");
const QString defaultArrow = QStringLiteral(" setArrow({lat: 34.146343, lng: -118.145064},0); ");

VideoInfo_t sample(const QString &lat, const QString &lon, const QString &heading = QString())
{
    VideoInfo_t s;
    s.recordTime = QStringLiteral("20240506070800");
    s.latDecimalText = lat;
    s.lonDecimalText = lon;
    s.lat = lat.toDouble();
    s.lon = lon.toDouble();
    s.headingText = heading;
    return s;
}

PlaybackInfo_t ridePoint(const QString &lat, const QString &lon, const QString &heading = {})
{
    PlaybackInfo_t p;
    p.latitude = lat;
    p.longitude = lon;
    p.heading = heading;
    return p;
}

QString startMarker(const QString &lat, const QString &lon)
{
    return QStringLiteral(" setStartMarker({lat: %1, lng: %2},%3); ").arg(lat, lon, startIcon);
}

QString endMarker(const QString &lat, const QString &lon)
{
    return QStringLiteral(" setEndMarker({lat: %1, lng: %2},%3); ").arg(lat, lon, endIcon);
}

// A pair list "lat/lon lat/lon ..." as the points script of the page.
QString points(const QString &pairs)
{
    QString script = QStringLiteral("var points = [");
    QStringList items;
    for (const QString &pair : pairs.split(QLatin1Char(' '))) {
        const QStringList ll = pair.split(QLatin1Char('/'));
        items << QStringLiteral("{lat: %1, lng: %2}").arg(ll.at(0), ll.at(1));
    }
    return script + items.join(QLatin1Char(',')) + QStringLiteral("];  setPolyLine(points); ");
}

QVector<VideoInfo_t> track(const QString &pairs)
{
    QVector<VideoInfo_t> samples;
    if (pairs.isEmpty())
        return samples;
    for (const QString &pair : pairs.split(QLatin1Char(' '))) {
        const QStringList ll = pair.split(QLatin1Char('/'));
        samples << sample(ll.at(0) == QLatin1String("-") ? QString() : ll.at(0),
                          ll.at(1) == QLatin1String("-") ? QString() : ll.at(1));
    }
    return samples;
}

struct Recorder
{
    QStringList scripts;
    MapScriptDriver driver{[this](const QString &s) { scripts << s; }, skin};

    Recorder(bool loaded = true)
    {
        if (loaded) {
            driver.onLoadStarted();
            driver.onLoadFinished(true);
            scripts.clear();
        }
    }
};
} // namespace

class TstMapScriptDriver : public QObject
{
    Q_OBJECT
private slots:
    void darkModeInitializes_data();
    void darkModeInitializes();
    void clearMapAllPutsArrowOnDefault();
    void emptyTrackClearsWhetherLoadedOrNot_data();
    void emptyTrackClearsWhetherLoadedOrNot();
    void tracksFillMissingPositions_data();
    void tracksFillMissingPositions();
    void trackLengthOfOneDegreeOnTheEquator();
    void filledPositionsAreWrittenIntoTheCallersSet();
    void trackBeforeLoadIsDrawnWhenLoaded();
    void failedLoadKeepsTheTrackPending();
    void lastTrackGivenBeforeLoadWins_data();
    void lastTrackGivenBeforeLoadWins();
    void arrowMoves_data();
    void arrowMoves();
    void arrowFollowsFromTheTracksFirstPoint();
    void rideArrow_data();
    void rideArrow();
    void rideTrackFillsTextsOnly();
};

void TstMapScriptDriver::darkModeInitializes_data()
{
    QTest::addColumn<int>("dark");
    QTest::addColumn<QString>("script");
    QTest::newRow("white") << 0 << " initialize(0); ";
    QTest::newRow("black") << 1 << " initialize(1); ";
    QTest::newRow("any other value is dark") << 7 << " initialize(1); ";
}

void TstMapScriptDriver::darkModeInitializes()
{
    QFETCH(int, dark);
    QFETCH(QString, script);
    Recorder r;
    r.driver.setDarkMode(dark);
    QCOMPARE(r.scripts, QStringList{script});
    QCOMPARE(r.driver.isDark(), dark != 0);
}

void TstMapScriptDriver::clearMapAllPutsArrowOnDefault()
{
    Recorder r;
    r.driver.clearMapAll();
    QCOMPARE(r.scripts, (QStringList{QStringLiteral(" clearMapAll(); "), defaultArrow}));
}

void TstMapScriptDriver::emptyTrackClearsWhetherLoadedOrNot_data()
{
    QTest::addColumn<bool>("loaded");
    QTest::newRow("loaded") << true;
    QTest::newRow("not loaded") << false;
}

void TstMapScriptDriver::emptyTrackClearsWhetherLoadedOrNot()
{
    QFETCH(bool, loaded);
    Recorder r(loaded);
    QVector<VideoInfo_t> none;
    QCOMPARE(r.driver.drawTrack(none), std::nullopt);
    const QStringList clearing{clearMarker, deletePolyLines, defaultArrow};
    QCOMPARE(r.scripts, clearing);
    r.scripts.clear();
    QVector<PlaybackInfo_t> noRide;
    r.driver.setPlaybackData(noRide);
    QCOMPARE(r.scripts, clearing);
}

void TstMapScriptDriver::tracksFillMissingPositions_data()
{
    // "-" stands for an empty text
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<double>("metres");
    QTest::newRow("one sample") << "25.330000/121.564500"
                                << "25.330000/121.564500" << 0.0;
    QTest::newRow("all zero texts on the default position")
        << "0/0 0/0 0/0"
        << "34.146343/-118.145064 34.146343/-118.145064 34.146343/-118.145064" << 0.0;
    QTest::newRow("first position from the first fix") << "0/0 0/0 1/2 1.5/2"
                                                       << "1/2 1/2 1/2 1.5/2" << 55659.745;
    QTest::newRow("second without a sample takes its predecessor") << "1/2 -/- 1.5/2"
                                                                   << "1/2 1/2 1.5/2" << 55659.745;
    QTest::newRow("zero in decimals reads as zero") << "1/2 0.000000/0.000000 1.5/2"
                                                    << "1/2 1/2 1.5/2" << 55659.745;
    QTest::newRow("script text is no position") << "1/2 1);alert(1/2 1.5/2"
                                                << "1/2 1/2 1.5/2" << 55659.745;
    QTest::newRow("half a position is no position") << "1/2 1.5/- 1.5/2"
                                                    << "1/2 1/2 1.5/2" << 55659.745;
    QTest::newRow("not finite is no position") << "1/2 inf/nan 1.5/2"
                                               << "1/2 1/2 1.5/2" << 55659.745;
    QTest::newRow("equator and meridian are positions") << "0/1 1/0"
                                                        << "0/1 1/0" << 157425.537;
    QTest::newRow("start fill skips a fix on the equator") << "0/0 0/1 1/1"
                                                           << "1/1 0/1 1/1" << 222638.982;
}

void TstMapScriptDriver::tracksFillMissingPositions()
{
    QFETCH(QString, given);
    QFETCH(QString, drawn);
    QFETCH(double, metres);
    Recorder r;
    QVector<VideoInfo_t> samples = track(given);
    const std::optional<double> distance = r.driver.drawTrack(samples);
    QVERIFY(distance.has_value());
    QVERIFY2(qAbs(*distance - metres) < 0.001, qPrintable(QString::number(*distance, 'f', 3)));
    const QStringList ends = drawn.split(QLatin1Char(' '));
    const QStringList first = ends.first().split(QLatin1Char('/'));
    const QStringList last = ends.last().split(QLatin1Char('/'));
    QCOMPARE(r.scripts, (QStringList{points(drawn), clearMarker, startMarker(first[0], first[1]),
                                     endMarker(last[0], last[1])}));
}

void TstMapScriptDriver::trackLengthOfOneDegreeOnTheEquator()
{
    Recorder r;
    QVector<VideoInfo_t> samples = track(QStringLiteral("0/0 0/1"));
    QCOMPARE(QString::number(*r.driver.drawTrack(samples), 'f', 2), QStringLiteral("111319.49"));
    QCOMPARE(QString::number(MapScripts::stepMetres(0, 0, 0, 1), 'f', 2),
             QStringLiteral("111319.49"));
}

void TstMapScriptDriver::filledPositionsAreWrittenIntoTheCallersSet()
{
    Recorder r;
    QVector<VideoInfo_t> samples = track(QStringLiteral("0/0 1/2 -/- 3/4"));
    r.driver.drawTrack(samples);
    QCOMPARE(samples.at(0).latDecimalText, QStringLiteral("1"));
    QCOMPARE(samples.at(0).lat, 1.0);
    QCOMPARE(samples.at(2).lonDecimalText, QStringLiteral("2"));
    QCOMPARE(samples.at(2).lon, 2.0);
    QCOMPARE(samples.at(2).recordTime, QStringLiteral("20240506070800"));
}

void TstMapScriptDriver::trackBeforeLoadIsDrawnWhenLoaded()
{
    Recorder r(false);
    QVector<VideoInfo_t> samples = track(QStringLiteral("0/0 1/2"));
    QCOMPARE(r.driver.drawTrack(samples), std::nullopt);
    QVERIFY(r.scripts.isEmpty());
    QCOMPARE(samples.at(0).latDecimalText, QStringLiteral("0")); // stored as given
    r.driver.onLoadStarted();
    QCOMPARE(r.driver.onLoadFinished(true), std::optional<double>(0.0));
    QCOMPARE(r.scripts, (QStringList{points(QStringLiteral("1/2 1/2")), clearMarker,
                                     startMarker("1", "2"), endMarker("1", "2")}));
}

void TstMapScriptDriver::failedLoadKeepsTheTrackPending()
{
    Recorder r(false);
    QVector<VideoInfo_t> samples = track(QStringLiteral("1/2 3/4"));
    r.driver.drawTrack(samples);
    r.driver.onLoadStarted();
    QCOMPARE(r.driver.onLoadFinished(false), std::nullopt);
    QVERIFY(r.scripts.isEmpty());
    QVERIFY(!r.driver.isPageLoaded());
    r.driver.drawTrack(samples); // a later track waits too
    QVERIFY(r.scripts.isEmpty());
    r.driver.onLoadStarted();
    QVERIFY(r.driver.onLoadFinished(true).has_value());
    QCOMPARE(r.scripts.first(), points(QStringLiteral("1/2 3/4")));
}

void TstMapScriptDriver::lastTrackGivenBeforeLoadWins_data()
{
    QTest::addColumn<bool>("rideLast");
    QTest::newRow("ride after video") << true;
    QTest::newRow("video after ride") << false;
}

void TstMapScriptDriver::lastTrackGivenBeforeLoadWins()
{
    QFETCH(bool, rideLast);
    Recorder r(false);
    QVector<VideoInfo_t> samples = track(QStringLiteral("1/2 3/4"));
    QVector<PlaybackInfo_t> ride{ridePoint("5", "6"), ridePoint("0", "0"), ridePoint("7", "8")};
    if (rideLast) {
        r.driver.drawTrack(samples);
        r.driver.setPlaybackData(ride);
    } else {
        r.driver.setPlaybackData(ride);
        r.driver.drawTrack(samples);
    }
    QVERIFY(r.scripts.isEmpty());
    const std::optional<double> distance = r.driver.onLoadFinished(true);
    QCOMPARE(distance.has_value(), !rideLast);
    if (rideLast)
        QCOMPARE(r.scripts, (QStringList{points(QStringLiteral("5/6 5/6 7/8")), clearMarker,
                                         startMarker("5", "6"), endMarker("7", "8")}));
    else
        QCOMPARE(r.scripts.first(), points(QStringLiteral("1/2 3/4")));
}

void TstMapScriptDriver::arrowMoves_data()
{
    // each step: lat/lon/heading given to infoChanged, then the script it sends ("" for none)
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("scripts");
    const QString anim =
        QStringLiteral(" setArrowAnimation({lat: %1, lng: %2},{lat: %3, lng: %4},%5); ");
    QTest::newRow("from the start value")
        << QStringList{"1/2/90"} << QStringList{anim.arg("0.0", "0.0", "1", "2", "90")};
    QTest::newRow("same position twice animates once")
        << QStringList{"1/2/90", "1/2/95"} << QStringList{anim.arg("0.0", "0.0", "1", "2", "90")};
    QTest::newRow("moving north only animates")
        << QStringList{"1/2/0", "1.5/2/0"}
        << QStringList{anim.arg("0.0", "0.0", "1", "2", "0"), anim.arg("1", "2", "1.5", "2", "0")};
    QTest::newRow("moving east only animates")
        << QStringList{"1/2/90", "1/2.5/90"}
        << QStringList{anim.arg("0.0", "0.0", "1", "2", "90"),
                       anim.arg("1", "2", "1", "2.5", "90")};
    QTest::newRow("empty text sends nothing and keeps the last position")
        << QStringList{"1/2/0", "-/2/0", "3/4/0"}
        << QStringList{anim.arg("0.0", "0.0", "1", "2", "0"), anim.arg("1", "2", "3", "4", "0")};
    QTest::newRow("no position leaves the arrow; the next fix comes from the default")
        << QStringList{"1/2/0", "0/0/0", "3/4/0"}
        << QStringList{anim.arg("0.0", "0.0", "1", "2", "0"),
                       anim.arg("34.146343", "-118.145064", "3", "4", "0")};
    QTest::newRow("script text as position is no position")
        << QStringList{"1/2/0", "1});alert(1/2/0", "3/4/0"}
        << QStringList{anim.arg("0.0", "0.0", "1", "2", "0"),
                       anim.arg("34.146343", "-118.145064", "3", "4", "0")};
    QTest::newRow("script text as heading is sent empty")
        << QStringList{"1/2/1);alert(1"} << QStringList{anim.arg("0.0", "0.0", "1", "2", "")};
    QTest::newRow("empty heading stays empty")
        << QStringList{"1/2/-"} << QStringList{anim.arg("0.0", "0.0", "1", "2", "")};
}

void TstMapScriptDriver::arrowMoves()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, scripts);
    Recorder r;
    for (const QString &step : steps) {
        const QStringList f = step.split(QLatin1Char('/'));
        const auto text = [](const QString &t) { return t == QLatin1String("-") ? QString() : t; };
        r.driver.infoChanged(sample(text(f[0]), text(f[1]), text(f[2])));
    }
    QCOMPARE(r.scripts, scripts);
}

void TstMapScriptDriver::arrowFollowsFromTheTracksFirstPoint()
{
    Recorder r;
    QVector<VideoInfo_t> samples = track(QStringLiteral("0/0 1/2 3/4"));
    r.driver.drawTrack(samples);
    r.scripts.clear();
    r.driver.infoChanged(samples.at(0)); // where the track starts: no move
    r.driver.infoChanged(samples.at(2));
    QCOMPARE(r.scripts, QStringList{QStringLiteral(
                            " setArrowAnimation({lat: 1, lng: 2},{lat: 3, lng: 4},); ")});
    QCOMPARE(r.driver.lastLatitude(), QStringLiteral("3"));
}

void TstMapScriptDriver::rideArrow_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("script");
    QTest::newRow("degree sign dropped")
        << "25.1"
        << "121.5" << QString::fromUtf8("123°") << " setArrow({lat: 25.1, lng: 121.5},123); ";
    QTest::newRow("four characters send three") << "25.1"
                                                << "121.5"
                                                << "90.5"
                                                << " setArrow({lat: 25.1, lng: 121.5},90.); ";
    QTest::newRow("empty heading stays empty") << "25.1"
                                               << "121.5"
                                               << ""
                                               << " setArrow({lat: 25.1, lng: 121.5},); ";
    QTest::newRow("zero position on the default")
        << "0.000000"
        << "0" << QString::fromUtf8("0°") << " setArrow({lat: 34.146343, lng: -118.145064},0); ";
    QTest::newRow("empty latitude sends nothing") << ""
                                                  << "121.5"
                                                  << "0"
                                                  << "";
    QTest::newRow("script text as heading is sent empty")
        << "25.1"
        << "121.5"
        << "1);alert(1);"
        << " setArrow({lat: 25.1, lng: 121.5},); ";
}

void TstMapScriptDriver::rideArrow()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(QString, heading);
    QFETCH(QString, script);
    Recorder r;
    r.driver.infoPlaybackChanged(ridePoint(lat, lon, heading));
    QCOMPARE(r.scripts, script.isEmpty() ? QStringList() : QStringList{script});
    QCOMPARE(r.driver.lastLatitude(), QStringLiteral("0.0")); // the video arrow's is untouched
}

void TstMapScriptDriver::rideTrackFillsTextsOnly()
{
    Recorder r;
    QVector<PlaybackInfo_t> ride{ridePoint("0", "0"), ridePoint("", ""), ridePoint("25.5", "121.5"),
                                 ridePoint("0.0", "0.0"), ridePoint("25.6", "121.4")};
    r.driver.setPlaybackData(ride);
    QCOMPARE(r.scripts,
             (QStringList{points(QStringLiteral("25.5/121.5 25.5/121.5 25.5/121.5 25.5/121.5 "
                                                "25.6/121.4")),
                          clearMarker, startMarker("25.5", "121.5"), endMarker("25.6", "121.4")}));
    QCOMPARE(ride.at(3).latitude, QStringLiteral("25.5"));
}

TALVEX_TEST_MAIN(TstMapScriptDriver)
#include "tst_mapscriptdriver.moc"
