// Decoding of ride-data files written by the test's own encoder.
#include "playbackdataparser.h"
#include "ridefilereader.h"
#include "ridefilewriter.h"
#include "ridelog.h"
#include "ridewindowsummary.h"
#include "testsupport.h"

#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cmath>

using RideFileWriter::encodePoint;
using RideFileWriter::RawRecord;

namespace {
const QString degree = QString(QChar(0x00B0));
}

class TstPlaybackDataParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void threeRecordFileDecodesToPoints();
    void threeRecordFileSummary();
    void fileSizes_data();
    void fileSizes();
    void unreadablePathFails();
    void malformedGroups_data();
    void malformedGroups();
    void bytesAboveAsciiDoNotShiftRecords();
    void zeroCoordinatesAreFilled_data();
    void zeroCoordinatesAreFilled();
    void legsWithoutFixAddNoDistanceOrHeading();
    void headingQuadrants_data();
    void headingQuadrants();
    void rideWithoutFixAveragesZero();
    void averageSpeedCountsLocatedRecordsOnly_data();
    void averageSpeedCountsLocatedRecordsOnly();
    void rideStartingAtAltitudeZero();
    void zeroAltitudesGiveNoAltitudeFigures();
    void oneHourFile();
    void distanceText();
    void debugLinesAreOffUnlessSwitchedOn();
    void fileLargerThanAnyRideIsNotRead();

private:
    QString write(const QString &name, const QByteArray &content);
    QTemporaryDir dir_;
};

void TstPlaybackDataParser::initTestCase()
{
    QVERIFY(dir_.isValid());
}

QString TstPlaybackDataParser::write(const QString &name, const QByteArray &content)
{
    const QString path = dir_.filePath(name);
    if (!RideFileWriter::writeFile(path, content))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// 34°08.1234'N 118°08.6789'W, then north-east, then south-east.
static QByteArray threeRecords()
{
    return encodePoint(34 + 8.1234 / 60, -(118 + 8.6789 / 60), 123.4, 25) +
           encodePoint(34 + 8.2234 / 60, -(118 + 8.5789 / 60), 125.0, 30) +
           encodePoint(34 + 8.1734 / 60, -(118 + 8.4789 / 60), 121.0, 20);
}

void TstPlaybackDataParser::threeRecordFileDecodesToPoints()
{
    PlaybackDataParser parser(write(QStringLiteral("20240501083000.TXT"), threeRecords()));
    QVERIFY(parser.parse());
    const QVector<PlaybackInfo_t> points = parser.getPoints();
    QCOMPARE(points.size(), 3);

    QCOMPARE(points[0].latHemisphere, QStringLiteral("N"));
    QCOMPARE(points[0].lngHemisphere, QStringLiteral("W"));
    QCOMPARE(points[0].latitude, QStringLiteral("34.1353900"));
    QCOMPARE(points[0].longitude, QStringLiteral("-118.144648"));
    QCOMPARE(points[1].latitude, QStringLiteral("34.1370567"));
    QCOMPARE(points[1].longitude, QStringLiteral("-118.142982"));
    QCOMPARE(points[2].latitude, QStringLiteral("34.1362233"));
    QCOMPARE(points[2].longitude, QStringLiteral("-118.141315"));

    QCOMPARE(points[0].altitude, double(123.4f));
    QCOMPARE(points[1].altitude, 125.0);
    QCOMPARE(points[2].altitude, 121.0);
    QCOMPARE(points[0].speedKmh, 25.0);
    QCOMPARE(points[0].speedMph, 15.53425);
    QCOMPARE(points[1].speedMph, 18.6411);
    QCOMPARE(points[2].speedMph, 12.4274);

    QCOMPARE(points[0].distance, 0.0);
    QCOMPARE(points[1].distance, double(241.0935786f));
    QCOMPARE(points[2].distance, double(float(241.0935786f + 179.2256497)));

    QCOMPARE(points[0].heading, QStringLiteral("0") + degree);
    QCOMPARE(points[1].heading, QStringLiteral("44.9") + degree);
    QCOMPARE(points[2].heading, QStringLiteral("116.6") + degree);

    // Points carry no summary figures.
    QCOMPARE(points[2].duration, QString());
    QCOMPARE(points[2].totalSeconds, 0);
    QCOMPARE(points[2].speedMax, 0.0);
}

void TstPlaybackDataParser::threeRecordFileSummary()
{
    PlaybackDataParser parser(write(QStringLiteral("20240501090000.TXT"), threeRecords()));
    QVERIFY(parser.parse());
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(summary.duration, QStringLiteral("00:00:15"));
    QCOMPARE(summary.totalSeconds, 15);
    QCOMPARE(float(summary.speedAvg), (15.53425f + 18.6411f + 12.4274f) / 3.0f);
    QCOMPARE(float(summary.speedMax), 18.6411f);
    QCOMPARE(float(summary.speedMin), 12.4274f);
    QCOMPARE(summary.altitudeMax, 125.0);
    QCOMPARE(summary.altitudeMin, 121.0);
    QCOMPARE(summary.altitudeMinNonZero, 121.0);
    QCOMPARE(float(summary.altitudeReference), 123.4f);
    QCOMPARE(float(summary.altitudeRising), 125.0f - 123.4f);
    QCOMPARE(float(summary.altitudeDecrease), 121.0f - 123.4f);
    QCOMPARE(summary.distance, double(float(241.0935786f + 179.2256497)));
    QCOMPARE(summary.distanceMax, summary.distance);
    QCOMPARE(summary.distanceMin, 0.0);
    // The summary keeps the last point's position, speed and heading.
    QCOMPARE(summary.latitude, QStringLiteral("34.1362233"));
    QCOMPARE(summary.longitude, QStringLiteral("-118.141315"));
    QCOMPARE(summary.speedKmh, 20.0);
    QCOMPARE(summary.heading, QStringLiteral("116.6") + degree);
}

void TstPlaybackDataParser::fileSizes_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("duration");
    QTest::newRow("empty file") << 0 << false << 0 << QString();
    QTest::newRow("one byte") << 1 << true << 0 << QStringLiteral("00:00:00");
    QTest::newRow("28 bytes, no whole record") << 28 << true << 0 << QStringLiteral("00:00:00");
    QTest::newRow("58 bytes, two records") << 58 << true << 2 << QStringLiteral("00:00:10");
    QTest::newRow("59 bytes, extra byte ignored") << 59 << true << 2 << QStringLiteral("00:00:10");
    QTest::newRow("two blocks and a tail")
        << 29 * 150 + 7 << true << 150 << QStringLiteral("00:12:30");
}

void TstPlaybackDataParser::fileSizes()
{
    QFETCH(int, bytes);
    QFETCH(bool, parsed);
    QFETCH(int, points);
    QFETCH(QString, duration);
    const QByteArray ride = RideFileWriter::encodeRide(bytes / 29 + 1).left(bytes);
    PlaybackDataParser parser(write(QStringLiteral("size%1.TXT").arg(bytes), ride));
    QCOMPARE(parser.parse(), parsed);
    if (!parsed)
        return;
    QCOMPARE(parser.getPoints().size(), points);
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(summary.duration, duration);
    QCOMPARE(summary.totalSeconds, points * 5);
    QVERIFY(!std::isnan(summary.speedAvg));
}

void TstPlaybackDataParser::unreadablePathFails()
{
    PlaybackDataParser missing(dir_.filePath(QStringLiteral("absent.TXT")));
    QVERIFY(!missing.parse());
    PlaybackDataParser folder(dir_.path());
    QVERIFY(!folder.parse());
    QVERIFY(folder.getPoints().isEmpty());
}

void TstPlaybackDataParser::malformedGroups_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("latHemisphere");
    QTest::addColumn<QString>("latitude");
    QTest::addColumn<QString>("longitude");
    QTest::addColumn<double>("altitude");
    QTest::addColumn<double>("speedKmh");

    RawRecord plain; // 34°08.1234'N 118°08.6789'E, +12.3 m, 25 km/h
    plain.latGroups = "22080C22";
    plain.lngGroups = "0B50564E09";
    plain.altitudeGroups = "0117";
    plain.speedGroups = "0205";
    QTest::newRow("well formed") << plain.bytes() << "N"
                                 << "34.1353900"
                                 << "118.144648" << double(12.3f) << 25.0;

    RawRecord south = plain;
    south.latHemisphere = 'S';
    QTest::newRow("south") << south.bytes() << "S"
                           << "-34.1353900"
                           << "118.144648" << double(12.3f) << 25.0;

    RawRecord lowerCase = plain;
    lowerCase.latHemisphere = 's';
    lowerCase.lngHemisphere = 'w';
    QTest::newRow("lower-case letters count as north and east")
        << lowerCase.bytes() << "s"
        << "34.1353900"
        << "118.144648" << double(12.3f) << 25.0;

    RawRecord unknown = plain;
    unknown.latHemisphere = 'X';
    QTest::newRow("unknown hemisphere letter") << unknown.bytes() << "X"
                                               << "34.1353900"
                                               << "118.144648" << double(12.3f) << 25.0;

    RawRecord badHex = plain;
    badHex.latGroups = "ZZ080C22"; // degrees read as 0
    badHex.speedGroups = "0G05";
    QTest::newRow("bad hexadecimal reads as 0") << badHex.bytes() << "N"
                                                << "0.1353900"
                                                << "118.144648" << double(12.3f) << 5.0;

    RawRecord signedGroup = plain;
    signedGroup.latGroups = "-1080C22";
    signedGroup.altitudeGroups = "+100";
    QTest::newRow("signed groups read as 0") << signedGroup.bytes() << "N"
                                             << "0.1353900"
                                             << "118.144648" << 0.0 << 25.0;

    RawRecord wide = plain;
    wide.latGroups = "FF080C22"; // 255 pushes the later digits along: 25 degrees, 50.8123'
    wide.speedGroups = "FF09";   // "2559": the first three digits count
    QTest::newRow("wide values shift the digits") << wide.bytes() << "N"
                                                  << "25.8468717"
                                                  << "118.144648" << double(12.3f) << 255.0;

    RawRecord beyondPole = plain;
    beyondPole.latGroups = "635F0000"; // 99 degrees 95'
    QTest::newRow("latitude beyond 90 is no fix") << beyondPole.bytes() << "N"
                                                  << "0.0000000"
                                                  << "0.000000" << double(12.3f) << 25.0;

    RawRecord beyondDateLine = plain;
    beyondDateLine.lngGroups = "FF50564E09"; // 255 degrees
    QTest::newRow("longitude beyond 180 is no fix") << beyondDateLine.bytes() << "N"
                                                    << "0.0000000"
                                                    << "0.000000" << double(12.3f) << 25.0;

    RawRecord negative = plain;
    negative.altitudeSign = '-';
    QTest::newRow("negative altitude") << negative.bytes() << "N"
                                       << "34.1353900"
                                       << "118.144648" << double(-12.3f) << 25.0;

    RawRecord badSign = plain;
    badSign.altitudeSign = 'X';
    QTest::newRow("bad altitude sign reads as 0") << badSign.bytes() << "N"
                                                  << "34.1353900"
                                                  << "118.144648" << 0.0 << 25.0;

    RawRecord lowerHex = plain;
    lowerHex.lngGroups = "0b50564e09";
    lowerHex.speedGroups = "0a0f"; // "1015": the first three digits count
    QTest::newRow("lower-case hexadecimal digits") << lowerHex.bytes() << "N"
                                                   << "34.1353900"
                                                   << "118.144648" << double(12.3f) << 101.0;

    RawRecord digitSign = plain;
    digitSign.altitudeSign = '2'; // a digit in the sign's place leads the number: "20123"
    QTest::newRow("altitude sign that is a digit") << digitSign.bytes() << "N"
                                                   << "34.1353900"
                                                   << "118.144648" << double(2012.3f) << 25.0;

    RawRecord wideAltitude = plain;
    wideAltitude.altitudeGroups = "FF17"; // "+25523": the cut keeps "+255.2"
    QTest::newRow("wide altitude") << wideAltitude.bytes() << "N"
                                   << "34.1353900"
                                   << "118.144648" << double(255.2f) << 25.0;
}

void TstPlaybackDataParser::malformedGroups()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, latHemisphere);
    QFETCH(QString, latitude);
    QFETCH(QString, longitude);
    QFETCH(double, altitude);
    QFETCH(double, speedKmh);
    QCOMPARE(record.size(), 29);
    PlaybackDataParser parser(write(QStringLiteral("malformed.TXT"), record));
    QVERIFY(parser.parse());
    const PlaybackInfo_t point = parser.getSummary();
    QCOMPARE(point.latHemisphere, latHemisphere);
    QCOMPARE(point.latitude, latitude);
    QCOMPARE(point.longitude, longitude);
    QCOMPARE(point.altitude, altitude);
    QCOMPARE(point.speedKmh, speedKmh);
}

void TstPlaybackDataParser::bytesAboveAsciiDoNotShiftRecords()
{
    QByteArray garbage(29, '\xC3');
    garbage[5] = '\xA9'; // "é" in UTF-8: a text codec would merge bytes here
    const QByteArray good = encodePoint(-33.5, 151.25, 42.0, 12);
    PlaybackDataParser parser(write(QStringLiteral("highbytes.TXT"), garbage + good + garbage));
    QVERIFY(parser.parse());
    parser.getSummary();
    const QVector<PlaybackInfo_t> points = parser.getPoints();
    QCOMPARE(points.size(), 3);
    QCOMPARE(points[1].latitude, QStringLiteral("-33.5000000"));
    QCOMPARE(points[1].longitude, QStringLiteral("151.250000"));
    QCOMPARE(points[1].altitude, 42.0);
    QCOMPARE(points[1].speedKmh, 12.0);
    QCOMPARE(points[0].latHemisphere, QString(QChar(0xC3 - 3)));
    QCOMPARE(points[0].speedKmh, 0.0);
}

void TstPlaybackDataParser::zeroCoordinatesAreFilled_data()
{
    QTest::addColumn<QList<int>>("fixes");  // 1: located record, 0: no fix
    QTest::addColumn<QList<int>>("source"); // index of the fix each point shows, -1: fallback
    QTest::newRow("leading gap takes the first fix")
        << QList<int>{0, 0, 1, 1} << QList<int>{2, 2, 2, 3};
    QTest::newRow("later gaps repeat the last fix")
        << QList<int>{1, 0, 0, 1, 0} << QList<int>{0, 0, 0, 3, 3};
    QTest::newRow("no fix at all") << QList<int>{0, 0, 0} << QList<int>{-1, -1, -1};
    QTest::newRow("single fix") << QList<int>{1} << QList<int>{0};
}

void TstPlaybackDataParser::zeroCoordinatesAreFilled()
{
    QFETCH(QList<int>, fixes);
    QFETCH(QList<int>, source);
    QByteArray ride;
    for (int i = 0; i < fixes.size(); ++i)
        ride += fixes[i] ? encodePoint(45.0 + i * 0.001, 7.0 + i * 0.001, 200.0 + i, 10 + i)
                         : encodePoint(0.0, 0.0, 200.0 + i, 10 + i);
    PlaybackDataParser parser(write(QStringLiteral("gaps.TXT"), ride));
    QVERIFY(parser.parse());
    const QVector<PlaybackInfo_t> points = parser.getPoints();
    QCOMPARE(parser.getPoints().size(), points.size()); // filling twice changes nothing
    QCOMPARE(points.size(), fixes.size());
    for (int i = 0; i < points.size(); ++i) {
        const QString lat = source[i] < 0 ? QStringLiteral("34.146343")
                                          : QString::number(45.0 + source[i] * 0.001, 'f', 7);
        const QString lng = source[i] < 0 ? QStringLiteral("-118.145064")
                                          : QString::number(7.0 + source[i] * 0.001, 'f', 6);
        QCOMPARE(points[i].latitude, lat);
        QCOMPARE(points[i].longitude, lng);
        QCOMPARE(points[i].altitude, 200.0 + i); // only the coordinates are filled
        QCOMPARE(points[i].speedKmh, 10.0 + i);
    }
    QCOMPARE(parser.getPoints().at(0).latitude, points[0].latitude);
}

void TstPlaybackDataParser::legsWithoutFixAddNoDistanceOrHeading()
{
    const QByteArray ride = encodePoint(10.0, 10.0, 5.0, 20) +
                            encodePoint(10.001, 10.001, 5.0, 20) + encodePoint(0.0, 0.0, 5.0, 20) +
                            encodePoint(10.0, 10.0, 5.0, 20) + encodePoint(9.999, 10.001, 5.0, 20);
    PlaybackDataParser parser(write(QStringLiteral("gapdistance.TXT"), ride));
    QVERIFY(parser.parse());
    const QVector<PlaybackInfo_t> points = parser.getPoints();
    QVERIFY(points[1].distance > 150.0);
    QCOMPARE(points[2].distance, points[1].distance);
    QCOMPARE(points[3].distance, points[1].distance);
    QVERIFY(points[4].distance > points[3].distance);
    QCOMPARE(points[1].heading, QStringLiteral("45") + degree);
    // Towards and away from the point without a fix the heading stays as it was.
    QCOMPARE(points[2].heading, QStringLiteral("45") + degree);
    QCOMPARE(points[3].heading, QStringLiteral("45") + degree);
    QCOMPARE(points[4].heading, QStringLiteral("135") + degree);
}

void TstPlaybackDataParser::headingQuadrants_data()
{
    QTest::addColumn<double>("dLat");
    QTest::addColumn<double>("dLng");
    QTest::addColumn<QString>("heading");
    QTest::newRow("north-east") << 0.001 << 0.001 << QStringLiteral("45");
    QTest::newRow("south-east") << -0.001 << 0.001 << QStringLiteral("135");
    QTest::newRow("south-west") << -0.001 << -0.001 << QStringLiteral("225");
    QTest::newRow("north-west") << 0.001 << -0.001 << QStringLiteral("315");
    QTest::newRow("due east keeps the previous heading") << 0.0 << 0.001 << QStringLiteral("0");
    QTest::newRow("due north keeps the previous heading") << 0.001 << 0.0 << QStringLiteral("0");
    QTest::newRow("mostly north, one decimal") << 0.002 << 0.0002 << QStringLiteral("5.7");
}

void TstPlaybackDataParser::headingQuadrants()
{
    QFETCH(double, dLat);
    QFETCH(double, dLng);
    QFETCH(QString, heading);
    const QByteArray ride =
        encodePoint(10.0, 10.0, 1.0, 10) + encodePoint(10.0 + dLat, 10.0 + dLng, 1.0, 10);
    PlaybackDataParser parser(write(QStringLiteral("heading.TXT"), ride));
    QVERIFY(parser.parse());
    QCOMPARE(parser.getPoints().at(1).heading, heading + degree);
}

void TstPlaybackDataParser::rideWithoutFixAveragesZero()
{
    const QByteArray ride = encodePoint(0.0, 0.0, 50.0, 30) + encodePoint(0.0, 0.0, 60.0, 40);
    PlaybackDataParser parser(write(QStringLiteral("nofix.TXT"), ride));
    QVERIFY(parser.parse());
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(summary.speedAvg, 0.0);
    QCOMPARE(summary.distance, 0.0);
    QCOMPARE(float(summary.speedMax), float(40 * 0.62137));
    QCOMPARE(summary.altitudeReference, 0.0); // only located records set the reference
    QCOMPARE(summary.duration, QStringLiteral("00:00:10"));
}

void TstPlaybackDataParser::averageSpeedCountsLocatedRecordsOnly_data()
{
    QTest::addColumn<QByteArray>("ride");
    QTest::addColumn<double>("averageKmh");
    const QByteArray located = encodePoint(10.0, 10.0, 5.0, 20);
    QTest::newRow("unlocated record in between")
        << located + encodePoint(0.0, 0.0, 5.0, 90) + encodePoint(10.001, 10.0, 5.0, 40) << 30.0;
    QTest::newRow("only the latitude set")
        << located + encodePoint(10.0, 0.0, 5.0, 90) + encodePoint(10.001, 10.0, 5.0, 40) << 30.0;
    QTest::newRow("only the longitude set") << encodePoint(0.0, 10.0, 5.0, 90) + located << 20.0;
}

void TstPlaybackDataParser::averageSpeedCountsLocatedRecordsOnly()
{
    QFETCH(QByteArray, ride);
    QFETCH(double, averageKmh);
    PlaybackDataParser parser(write(QStringLiteral("mixed.TXT"), ride));
    QVERIFY(parser.parse());
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(float(summary.speedAvg), float(averageKmh * 0.62137));
    QCOMPARE(float(summary.speedMax), float(90 * 0.62137)); // every record counts for the maximum
}

// The reference is the first non-zero altitude of a located record, so a start at 0 m does not
// count every later metre as a climb.
void TstPlaybackDataParser::rideStartingAtAltitudeZero()
{
    const QByteArray ride =
        encodePoint(10.0, 10.0, 0.0, 10) + encodePoint(10.001, 10.0, 100.0, 10) +
        encodePoint(10.002, 10.0, 110.0, 10) + encodePoint(10.003, 10.0, 90.0, 10);
    PlaybackDataParser parser(write(QStringLiteral("sealevel.TXT"), ride));
    QVERIFY(parser.parse());
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(summary.altitudeReference, 100.0);
    QCOMPARE(summary.altitudeRising, 10.0);
    QCOMPARE(summary.altitudeDecrease, -10.0);
    QCOMPARE(summary.altitudeMin, 0.0);
    QCOMPARE(summary.altitudeMinNonZero, 90.0);
    QCOMPARE(summary.altitudeMax, 110.0);
}

void TstPlaybackDataParser::zeroAltitudesGiveNoAltitudeFigures()
{
    const QByteArray ride = encodePoint(10.0, 10.0, 0.0, 10) + encodePoint(10.001, 10.0, 0.0, 10) +
                            encodePoint(10.002, 10.0, 0.0, 10);
    PlaybackDataParser parser(write(QStringLiteral("flat.TXT"), ride));
    QVERIFY(parser.parse());
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(summary.altitudeReference, 0.0);
    QCOMPARE(summary.altitudeRising, 0.0);
    QCOMPARE(summary.altitudeDecrease, 0.0);
    QCOMPARE(summary.distanceMax, 0.0);
    QVERIFY(summary.distance > 200.0);
}

void TstPlaybackDataParser::oneHourFile()
{
    PlaybackDataParser parser(
        write(QStringLiteral("20240502070000.TXT"), RideFileWriter::encodeRide(720)));
    QVERIFY(parser.parse());
    const QVector<PlaybackInfo_t> points = parser.getPoints();
    QCOMPARE(points.size(), 720);
    const PlaybackInfo_t summary = parser.getSummary();
    QCOMPARE(summary.duration, QStringLiteral("01:00:00"));
    QCOMPARE(summary.totalSeconds, 3600);
    QCOMPARE(float(summary.speedMax), float(34 * 0.62137));
    QCOMPARE(float(summary.speedMin), float(15 * 0.62137));
    QCOMPARE(summary.distance, points.last().distance);
    for (int i = 1; i < points.size(); ++i)
        QVERIFY(points[i].distance > points[i - 1].distance);
    // 719 legs of about 38.14 m each, every leg a multiple of about 0.64 m.
    QVERIFY(qAbs(summary.distance - 719 * 38.14) < 719 * 0.64);
    QCOMPARE(points[100].heading, points[500].heading);
    QVERIFY(summary.altitudeRising > 0.0);
    QVERIFY(summary.altitudeDecrease < 0.0);

    parser.clearPoints();
    QVERIFY(parser.getPoints().isEmpty());
}

void TstPlaybackDataParser::distanceText()
{
    QCOMPARE(PlaybackDataParser::getDistance(
                 QStringLiteral("34.1353900"), QStringLiteral("-118.144648"),
                 QStringLiteral("34.1370567"), QStringLiteral("-118.142982")),
             QStringLiteral("241.0935786"));
    QCOMPARE(PlaybackDataParser::getDistance(QStringLiteral("1.0"), QStringLiteral("2.0"),
                                             QStringLiteral("1.0"), QStringLiteral("2.0")),
             QStringLiteral("0.0000000"));
    // One degree of latitude on the equatorial radius, in 0.64 m steps.
    const double degree = PlaybackDataParser::getDistance(QStringLiteral("0"), QStringLiteral("0"),
                                                          QStringLiteral("1"), QStringLiteral("0"))
                              .toDouble();
    QVERIFY(qAbs(degree - 111319.49) < 0.7);
}

void TstPlaybackDataParser::debugLinesAreOffUnlessSwitchedOn()
{
    QVERIFY(!lcRideData().isDebugEnabled());
    QVERIFY(lcRideData().isWarningEnabled());
    QLoggingCategory::setFilterRules(QStringLiteral("talvex.ridedata.debug=true"));
    QVERIFY(lcRideData().isDebugEnabled());
    QLoggingCategory::setFilterRules(QString());
    QVERIFY(!lcRideData().isDebugEnabled());
}

void TstPlaybackDataParser::fileLargerThanAnyRideIsNotRead()
{
    // the limit is 16 MiB: a file of exactly that size is read, one byte more is not
    constexpr int limitBytes = 16 * 1024 * 1024;
    const QByteArray record = RideFileWriter::encodePoint(47.0, 8.0, 400.0, 20);
    QByteArray largest;
    largest.reserve(limitBytes);
    while (largest.size() + record.size() <= limitBytes)
        largest += record;
    largest += QByteArray(limitBytes - largest.size(), '0');
    const QString accepted = write(QStringLiteral("20240501070000.TXT"), largest);
    int records = 0;
    QCOMPARE(readRideFile(accepted, [&records](const RideRecord &) { ++records; }),
             RideFileStatus::Read);
    QCOMPARE(records, limitBytes / RideFormat::recordBytes);

    const QString refused = write(QStringLiteral("20240502070000.TXT"), largest + '0');
    records = 0;
    QCOMPARE(readRideFile(refused, [&records](const RideRecord &) { ++records; }),
             RideFileStatus::TooLarge);
    QCOMPARE(records, 0);
    PlaybackDataParser parser(refused);
    QVERIFY(!parser.parse());
    QVERIFY(summarizeRideFiles({refused}).isEmpty());
}

TALVEX_TEST_MAIN(TstPlaybackDataParser)
#include "tst_playbackdataparser.moc"
