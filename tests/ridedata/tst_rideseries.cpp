// Thinning of long rides for the charts and the map track.
#include "rideseries.h"
#include "testsupport.h"

#include <algorithm>

using namespace RideSeries;

class TstRideSeries : public QObject
{
    Q_OBJECT

private slots:
    void envelopeKeepsEndsAndPeaks_data();
    void envelopeKeepsEndsAndPeaks();
    void chartPointsCarryEachSeriesEnvelope();
    void thinnedTrackKeepsEnds_data();
    void thinnedTrackKeepsEnds();
};

void TstRideSeries::envelopeKeepsEndsAndPeaks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("maxValues");
    QTest::addColumn<int>("size");
    QTest::newRow("short ride: unchanged") << 720 << 2000 << 720;
    QTest::newRow("exactly the limit") << 2000 << 2000 << 2000;
    QTest::newRow("a day at one record a second") << 86400 << 2000 << 2000;
    QTest::newRow("largest file") << 578524 << 2000 << 2000;
    QTest::newRow("odd limit") << 1001 << 999 << 998;
}

void TstRideSeries::envelopeKeepsEndsAndPeaks()
{
    QFETCH(int, count);
    QFETCH(int, maxValues);
    QFETCH(int, size);
    QVector<double> values;
    for (int i = 0; i < count; ++i)
        values << 20.0 + (i % 97) * 0.1; // a saw between 20 and 29.6
    values[count / 3] = 80.0;            // one sprint
    values[count / 3 + 1] = 0.0;         // and a stop right after it
    values[2 * count / 3] = -5.0;        // one dip
    values[2 * count / 3 + 1] = 70.0;    // and a jump right after it
    const QVector<double> drawn = envelope(values, maxValues);
    QCOMPARE(drawn.size(), size);
    QCOMPARE(drawn.first(), values.first());
    QCOMPARE(drawn.last(), values.last());
    QCOMPARE(*std::max_element(drawn.cbegin(), drawn.cend()), 80.0);
    QCOMPARE(*std::min_element(drawn.cbegin(), drawn.cend()), -5.0);
    // a run's peak and dip are drawn in the order they occur
    QCOMPARE(drawn.value(drawn.indexOf(80.0) + 1), 0.0);
    QCOMPARE(drawn.value(drawn.indexOf(-5.0) + 1), 70.0);
}

void TstRideSeries::chartPointsCarryEachSeriesEnvelope()
{
    QVector<PlaybackInfo_t> points(86400);
    for (int i = 0; i < points.size(); ++i) {
        points[i].distance = i * 5.0;
        points[i].speedMph = 12.0 + (i % 7);
        points[i].altitude = 400.0 - (i % 11);
    }
    points[40000].speedMph = 31.0;
    points[50000].altitude = 250.0;
    const QVector<PlaybackInfo_t> drawn = chartPoints(points, maxChartValues);
    QCOMPARE(drawn.size(), maxChartValues);
    QCOMPARE(drawn.first().distance, 0.0);
    QCOMPARE(drawn.last().distance, points.last().distance);
    double fastest = 0.0;
    double lowest = 1.0e9;
    for (const PlaybackInfo_t &point : drawn) {
        fastest = std::max(fastest, point.speedMph);
        lowest = std::min(lowest, point.altitude);
    }
    QCOMPARE(fastest, 31.0);
    QCOMPARE(lowest, 250.0);
    const QVector<PlaybackInfo_t> shortRide = points.mid(0, 720);
    QCOMPARE(chartPoints(shortRide, maxChartValues).size(), 720);
}

void TstRideSeries::thinnedTrackKeepsEnds_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("size");
    QTest::newRow("short ride: unchanged") << 720 << 720;
    QTest::newRow("exactly the limit") << 10000 << 10000;
    QTest::newRow("one more") << 10001 << 5001;
    QTest::newRow("largest file") << 578524 << 9976;
}

void TstRideSeries::thinnedTrackKeepsEnds()
{
    QFETCH(int, count);
    QFETCH(int, size);
    QVector<PlaybackInfo_t> points(count);
    for (int i = 0; i < count; ++i)
        points[i].latitude = QString::number(i);
    const QVector<PlaybackInfo_t> track = thinnedTrack(points, maxTrackPoints);
    QCOMPARE(track.size(), size);
    QVERIFY(track.size() <= maxTrackPoints);
    QCOMPARE(track.first().latitude, QStringLiteral("0"));
    QCOMPARE(track.last().latitude, QString::number(count - 1));
}

TALVEX_TEST_MAIN(TstRideSeries)
#include "tst_rideseries.moc"
