// Per-file summaries of a day window, read from ride-data files written by the test.
#include "playbackdataparser.h"
#include "ridefilewriter.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>

using RideFileWriter::encodePoint;

class TstRideWindowSummary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void entriesWithoutRecordsAreLeftOut_data();
    void entriesWithoutRecordsAreLeftOut();
    void threeRecordFile();
    void sixtyRecordsLastFiveMinutes();
    void recordsWithoutFixAddNoDistance();
    void recordWithoutFixBetweenFixesAddsNoLeg();
    void climbCountsRisesBetweenKnownAltitudes();
    void filesOfSeveralDaysInListOrder();
    void entryWithoutFolderTakesDateFromStart();

private:
    QString write(const QString &name, const QByteArray &content);
    QTemporaryDir dir_;
    QString startFolder_;
    PlaybackDataParser reader_{QString()}; // the page's reader made with an empty path
};

void TstRideWindowSummary::initTestCase()
{
    QVERIFY(dir_.isValid());
    startFolder_ = QDir::currentPath();
}

void TstRideWindowSummary::cleanup()
{
    QDir::setCurrent(startFolder_);
}

QString TstRideWindowSummary::write(const QString &name, const QByteArray &content)
{
    const QString path = dir_.filePath(name);
    if (!RideFileWriter::writeFile(path, content))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TstRideWindowSummary::entriesWithoutRecordsAreLeftOut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("bytes"); // -1: the file is not written
    QTest::newRow("missing file") << "20240101000000.TXT" << -1;
    QTest::newRow("empty file") << "20240102000000.TXT" << 0;
    QTest::newRow("one byte") << "20240103000000.TXT" << 1;
    QTest::newRow("28 bytes, no whole record") << "20240104000000.TXT" << 28;
    QTest::newRow("mixed-case suffix") << "20240105000000.Txt" << 58;
    QTest::newRow("other suffix") << "20240106000000.TXT.bak" << 58;
}

void TstRideWindowSummary::entriesWithoutRecordsAreLeftOut()
{
    QFETCH(QString, name);
    QFETCH(int, bytes);
    QString path = dir_.filePath(name);
    if (bytes >= 0)
        path = write(name, RideFileWriter::encodeRide(3).left(bytes));
    QVERIFY(reader_.getContinuousData({path}).isEmpty());
    QVERIFY(reader_.getContinuousData({}).isEmpty());
}

void TstRideWindowSummary::threeRecordFile()
{
    const QString path = write(QStringLiteral("20240501083000.txt"),
                               encodePoint(34 + 8.1234 / 60, -(118 + 8.6789 / 60), 123.4, 25) +
                                   encodePoint(34 + 8.2234 / 60, -(118 + 8.5789 / 60), 125.0, 30) +
                                   encodePoint(34 + 8.1734 / 60, -(118 + 8.4789 / 60), 121.0, 20));
    const QVector<PlaybackInfo2_t> window = reader_.getContinuousData({path});
    QCOMPARE(window.size(), 1);
    const PlaybackInfo2_t &file = window[0];
    QCOMPARE(file.fileName, path);
    QCOMPARE(file.date, QStringLiteral("20240501"));
    QCOMPARE(file.dayIndex, 0);
    QCOMPARE(file.totalSeconds, 15);
    QCOMPARE(file.duration, QStringLiteral("00:00:15"));
    QCOMPARE(file.distance, 241.0935786 + 179.2256497); // double sums over the located legs
    QCOMPARE(file.speedAvg, (15.53425 + 18.6411 + 12.4274) / 3);
    QCOMPARE(file.speedMax, 18.6411);
    QCOMPARE(file.altitude, 125.0 - double(123.4f)); // the one rise
    QCOMPARE(file.latHemisphere, QStringLiteral("N"));
    QCOMPARE(file.lngHemisphere, QStringLiteral("W"));
    QCOMPARE(file.latitude, QStringLiteral("34.1362233"));
    QCOMPARE(file.longitude, QStringLiteral("-118.141315"));
    QCOMPARE(file.speedKmh, 20.0);
    QCOMPARE(file.speedMph, 12.4274);
}

void TstRideWindowSummary::sixtyRecordsLastFiveMinutes()
{
    const QString path =
        write(QStringLiteral("20240502070000.TXT"), RideFileWriter::encodeRide(60));
    const QVector<PlaybackInfo2_t> window = reader_.getContinuousData({path});
    QCOMPARE(window.size(), 1);
    QCOMPARE(window[0].totalSeconds, 300);
    QCOMPARE(window[0].duration, QStringLiteral("00:05:00"));
}

void TstRideWindowSummary::recordsWithoutFixAddNoDistance()
{
    const QString path =
        write(QStringLiteral("20240503070000.TXT"),
              encodePoint(0, 0, 10, 10) + encodePoint(0, 0, 10, 20) + encodePoint(0, 0, 10, 30));
    const QVector<PlaybackInfo2_t> window = reader_.getContinuousData({path});
    QCOMPARE(window.size(), 1);
    QCOMPARE(window[0].distance, 0.0);
    QCOMPARE(window[0].speedAvg, (6.2137 + 12.4274 + 18.6411) / 3); // every record counts
}

void TstRideWindowSummary::recordWithoutFixBetweenFixesAddsNoLeg()
{
    // two legs of about 55.6 m north, with a record without a fix between them
    const QString path =
        write(QStringLiteral("20240504070000.TXT"),
              encodePoint(47.3981, 8.5432, 10, 10) + encodePoint(47.3986, 8.5432, 10, 10) +
                  encodePoint(0, 0, 10, 10) + encodePoint(47.3990, 8.5432, 10, 10) +
                  encodePoint(47.3995, 8.5432, 10, 10));
    const QVector<PlaybackInfo2_t> window = reader_.getContinuousData({path});
    QCOMPARE(window.size(), 1);
    QVERIFY2(window[0].distance > 100.0 && window[0].distance < 120.0,
             qPrintable(QString::number(window[0].distance)));
}

void TstRideWindowSummary::climbCountsRisesBetweenKnownAltitudes()
{
    QByteArray ride;
    for (double altitude : {100.0, 110.0, 105.0, 0.0, 120.0, 125.0, 124.5})
        ride += encodePoint(45.0, 7.0, altitude, 10);
    const QString path = write(QStringLiteral("20240504070000.TXT"), ride);
    const QVector<PlaybackInfo2_t> window = reader_.getContinuousData({path});
    QCOMPARE(window.size(), 1);
    QCOMPARE(window[0].altitude, 15.0); // 100 -> 110 and 120 -> 125; 0 is no reading
}

void TstRideWindowSummary::filesOfSeveralDaysInListOrder()
{
    const QStringList files{
        write(QStringLiteral("20240510080000.TXT"), RideFileWriter::encodeRide(12, 40.0, 8.0)),
        write(QStringLiteral("20240510170000.TXT"), RideFileWriter::encodeRide(24, 41.0, 9.0)),
        dir_.filePath(QStringLiteral("20240511080000.TXT")), // missing: left out
        write(QStringLiteral("20240512090000.TXT"), RideFileWriter::encodeRide(36, -30.0, -60.0)),
        write(QStringLiteral("20240512093000.TXT"), QByteArray(20, 'x')), // no whole record
        write(QStringLiteral("20240513090000.TXT"), RideFileWriter::encodeRide(1, 1.0, 1.0)),
    };
    const QVector<PlaybackInfo2_t> window = reader_.getContinuousData(files);
    QCOMPARE(window.size(), 4);
    const QStringList dates{"20240510", "20240510", "20240512", "20240513"};
    const QList<int> seconds{60, 120, 180, 5};
    const QStringList paths{files[0], files[1], files[3], files[5]};
    for (int i = 0; i < window.size(); ++i) {
        QCOMPARE(window[i].date, dates[i]);
        QCOMPARE(window[i].totalSeconds, seconds[i]);
        QCOMPARE(window[i].fileName, paths[i]);
        QCOMPARE(window[i].dayIndex, 0);
    }
    QVERIFY(window[0].distance > 0.0);
    QVERIFY(window[1].distance > window[0].distance);
    QCOMPARE(window[3].distance, 0.0);
    QCOMPARE(window[2].latHemisphere, QStringLiteral("S"));
    QCOMPARE(window[2].latitude, QStringLiteral("-29.9895000")); // 35th step north of 30°S
    QCOMPARE(window[2].longitude, QStringLiteral("-59.993000"));
    QCOMPARE(window[3].speedMax, window[3].speedMph);
}

void TstRideWindowSummary::entryWithoutFolderTakesDateFromStart()
{
    write(QStringLiteral("20240520063000_A.TXT"), RideFileWriter::encodeRide(2));
    QVERIFY(QDir::setCurrent(dir_.path()));
    const QVector<PlaybackInfo2_t> window =
        reader_.getContinuousData({QStringLiteral("20240520063000_A.TXT")});
    QCOMPARE(window.size(), 1);
    QCOMPARE(window[0].date, QStringLiteral("20240520"));
}

TALVEX_TEST_MAIN(TstRideWindowSummary)
#include "tst_ridewindowsummary.moc"
