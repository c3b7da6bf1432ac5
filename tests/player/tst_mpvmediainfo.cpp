// Play-list rows and EDL timelines made from what mpv reports.
#include "mpvedl.h"
#include "mpvmediainfo.h"
#include "testsupport.h"

#include <QtTest>

class TstMpvMediaInfo : public QObject
{
    Q_OBJECT
private slots:
    void formatsWholeSeconds_data();
    void formatsWholeSeconds();
    void rowFromMediaInfo_data();
    void rowFromMediaInfo();
    void edlWritesLengthPrefixedPaths_data();
    void edlWritesLengthPrefixedPaths();
};

void TstMpvMediaInfo::formatsWholeSeconds_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "00:00:00";
    QTest::newRow("fraction dropped") << 2.999 << "00:00:02";
    QTest::newRow("minute") << 61.0 << "00:01:01";
    QTest::newRow("hours") << 3723.5 << "01:02:03";
    QTest::newRow("past a day") << 90000.0 << "25:00:00";
    QTest::newRow("negative") << -4.0 << "00:00:00";
}

void TstMpvMediaInfo::formatsWholeSeconds()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(formatHms(seconds), text);
}

void TstMpvMediaInfo::rowFromMediaInfo_data()
{
    QTest::addColumn<QString>("creationTime");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("resolution");
    QTest::newRow("creation time wins")
        << "2024-05-06T07:08:09.000000Z" << qint64(1048576) << 1920 << "2024-05-06"
        << "1MB"
        << "1920x1080";
    QTest::newRow("file date without creation time")
        << QString() << qint64(1048575) << 1920 << "2023-01-02"
        << "0MB"
        << "1920x1080";
    QTest::newRow("too short creation time") << "2024" << qint64(0) << 1920 << "2023-01-02"
                                             << "0MB"
                                             << "1920x1080";
    QTest::newRow("size rounds down")
        << QString() << qint64(5 * 1048576 + 524288) << 1920 << "2023-01-02"
        << "5MB"
        << "1920x1080";
    QTest::newRow("size unknown") << QString() << qint64(0) << 0 << "2023-01-02"
                                  << "0MB"
                                  << "0x0";
}

void TstMpvMediaInfo::rowFromMediaInfo()
{
    QFETCH(QString, creationTime);
    QFETCH(qint64, bytes);
    QFETCH(int, width);
    QFETCH(QString, date);
    QFETCH(QString, size);
    QFETCH(QString, resolution);
    MpvMediaInfo info;
    info.path = QStringLiteral("/media/card/DCIM/0001_F.MP4");
    info.durationSec = 59.96;
    info.width = width;
    info.height = width ? 1080 : 0;
    info.creationTime = creationTime;
    const FileInfo_t row = makeFileInfo(info, bytes, QDateTime(QDate(2023, 1, 2), QTime(23, 59)));
    QCOMPARE(row.mark, QString());
    QCOMPARE(row.fileName, QStringLiteral("0001_F.MP4"));
    QCOMPARE(row.filePath, info.path);
    QCOMPARE(row.date, date);
    QCOMPARE(row.size, size);
    QCOMPARE(row.duration, QStringLiteral("00:00:59"));
    QCOMPARE(row.durations, QString());
    QCOMPARE(row.resolution, resolution);
}

void TstMpvMediaInfo::edlWritesLengthPrefixedPaths_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QVector<double>>("lengths");
    QTest::addColumn<QString>("edl");
    QTest::newRow("one member, no length")
        << QStringList{"/a.mp4"} << QVector<double>{} << "edl://%6%/a.mp4";
    QTest::newRow("lengths") << QStringList{"/a.mp4", "/bb.mp4"} << QVector<double>{60.0, 2.5}
                             << "edl://%6%/a.mp4,0,60.000;%7%/bb.mp4,0,2.500";
    QTest::newRow("zero length left open")
        << QStringList{"/a.mp4"} << QVector<double>{0.0} << "edl://%6%/a.mp4";
    QTest::newRow("separators inside names")
        << QStringList{"/x;y,z %1#.mp4"} << QVector<double>{} << "edl://%14%/x;y,z %1#.mp4";
    QTest::newRow("length counts bytes")
        << QStringList{"/ä.mp4"} << QVector<double>{} << QString::fromUtf8("edl://%7%/ä.mp4");
    QTest::newRow("empty") << QStringList{} << QVector<double>{} << "edl://";
}

void TstMpvMediaInfo::edlWritesLengthPrefixedPaths()
{
    QFETCH(QStringList, paths);
    QFETCH(QVector<double>, lengths);
    QFETCH(QString, edl);
    QCOMPARE(buildEdl(paths, lengths), edl);
}

TALVEX_TEST_MAIN(TstMpvMediaInfo)
#include "tst_mpvmediainfo.moc"
