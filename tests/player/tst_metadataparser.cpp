#include "metadataparser.h"
#include "testsupport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

const QByteArray cutSignature = "fmt....NOVATEK.....?inf....trim....?";

QByteArray joinSignature(const QByteArray &word)
{
    return "fmt...." + word + ".....?inf....group....?";
}

// The export writer's fixed-width text: cut to 14, or "." when missing and "0" up to 14.
QByteArray fixedField(QByteArray text)
{
    if (text.size() > 14)
        return text.left(14);
    if (!text.contains('.') && text.size() < 14)
        text += '.';
    return text.leftJustified(14, '0');
}

QByteArray numberField(double value)
{
    return QByteArray::number(value, 'f', 12).left(14);
}

struct Fix
{
    QByteArray time = "20231231123456";
    double lat = 0;
    double lon = 0;
    double kmh = 0;
    double extra = 0;
    double gx = 0, gy = 0, gz = 0;
};

QByteArray coordinateField(double value, char positive, char negative)
{
    const char hemisphere = value < 0 ? negative : positive;
    return fixedField(hemisphere + QByteArray::number(value, 'f', 6));
}

QByteArray record(const Fix &fix)
{
    return "GPSDATA--" + fix.time + coordinateField(fix.lat, 'N', 'S') +
           coordinateField(fix.lon, 'E', 'W') + numberField(fix.kmh) + numberField(fix.extra) +
           numberField(fix.gx) + numberField(fix.gy) + numberField(fix.gz);
}

// Second i of a drive heading north-east at a steady pace from Taipei.
Fix trackFix(int i)
{
    Fix fix;
    fix.time = QDateTime(QDate(2023, 12, 31), QTime(23, 59, 0))
                   .addSecs(i)
                   .toString(QStringLiteral("yyyyMMddhhmmss"))
                   .toLatin1();
    fix.lat = 25.0330 + i * 0.0001;
    fix.lon = 121.5645 + i * 0.0001;
    fix.kmh = i % 130 + 0.5;
    fix.extra = i * 0.25;
    fix.gx = (i % 7) * 0.125 - 0.375;
    fix.gy = -0.5;
    fix.gz = 1.0;
    return fix;
}

QByteArray exportTrailer(int seconds, const QByteArray &signature = cutSignature)
{
    QByteArray bytes(22, 'C');
    for (int i = 0; i < seconds; ++i)
        bytes += record(trackFix(i));
    return bytes + signature;
}

struct Outputs
{
    VideoInfoMap perSecond;
    QVector<VideoInfo_t> samples;
    QVector<QByteArray> rawRecords;
    QByteArray separator, head, tail;
    DashcamType type = -1;

    // Stale values that every load must replace.
    Outputs()
    {
        perSecond.insert(QStringLiteral("99:00:00"), VideoInfo_t());
        samples.resize(3);
        rawRecords.append("stale");
        separator = head = tail = "stale";
    }
    DashcamType load(const QString &path, bool detectOnly = false)
    {
        type = MetadataParser().loadMetadata(path, &perSecond, &samples, &rawRecords, &separator,
                                             &head, &tail, detectOnly);
        return type;
    }
    bool isEmpty() const
    {
        return perSecond.isEmpty() && samples.isEmpty() && rawRecords.isEmpty() &&
               separator.isEmpty() && head.isEmpty() && tail.isEmpty();
    }
};

// A buffer that counts the bytes read from it.
class CountingBuffer : public QBuffer
{
public:
    using QBuffer::QBuffer;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = QBuffer::readData(data, maxSize);
        bytesRead += std::max<qint64>(n, 0);
        return n;
    }
};

} // namespace

class TstMetadataParser : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString movClip;
    QString mkvClip;
    int fileCount = 0;

    // A copy of clip with bytes appended.
    QString clipWith(const QString &clip, const QByteArray &appended)
    {
        const QString path =
            dir.filePath(QStringLiteral("f%1.%2").arg(++fileCount).arg(QFileInfo(clip).suffix()));
        if (!QFile::copy(clip, path))
            return QString();
        QFile file(path);
        if (!file.open(QIODevice::Append) || file.write(appended) != appended.size())
            return QString();
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        movClip = dir.filePath(QStringLiteral("clip.mov"));
        mkvClip = dir.filePath(QStringLiteral("clip.mkv"));
        QVERIFY(TestSupport::makeClip(movClip, 1, QStringLiteral("160x120"), false));
        QVERIFY(TestSupport::makeClip(mkvClip, 1, QStringLiteral("160x120"), false));
    }

    void exportTrailerRoundTrips_data()
    {
        QTest::addColumn<QString>("container");
        QTest::addColumn<int>("seconds");
        QTest::newRow("bare trailer") << "mov" << 0;
        QTest::newRow("one second") << "mov" << 1;
        QTest::newRow("half a minute") << "mov" << 30;
        // 435 665 bytes: the marker lies before the last 200 000 bytes.
        QTest::newRow("one hour") << "mov" << 3600;
        QTest::newRow("half a minute, mkv") << "mkv" << 30;
    }
    void exportTrailerRoundTrips()
    {
        QFETCH(QString, container);
        QFETCH(int, seconds);
        const QString path =
            clipWith(container == "mov" ? movClip : mkvClip, exportTrailer(seconds));
        QVERIFY(!path.isEmpty());

        Outputs out;
        QCOMPARE(out.load(path), DashcamTypes::exported);
        QCOMPARE(out.samples.size(), seconds);
        QCOMPARE(out.perSecond.size(), seconds);
        QCOMPARE(out.rawRecords.size(), seconds);
        QCOMPARE(out.head, QByteArray(22, 'C'));
        QCOMPARE(out.separator, QByteArray());
        QCOMPARE(out.tail, cutSignature);
        for (int i = 0; i < seconds; ++i) {
            const Fix fix = trackFix(i);
            const VideoInfo_t &s = out.samples.at(i);
            QCOMPARE(out.rawRecords.at(i), record(fix));
            QCOMPARE(s.recordTime, QTime(0, 0).addSecs(i).toString("hh:mm:ss"));
            QCOMPARE(out.perSecond.value(s.recordTime).clockTime, s.clockTime);
            QCOMPARE(
                s.clockTime,
                QDateTime::fromString(fix.time, "yyyyMMddhhmmss").toString("hh:mm:ss  dd/MM/yyyy"));
            QVERIFY(qFuzzyCompare(s.lat, fix.lat));
            QVERIFY(qFuzzyCompare(s.lon, fix.lon));
            QCOMPARE(s.latDecimalText, QString::number(fix.lat, 'f', 6));
            QCOMPARE(s.lonDecimalText, QString::number(fix.lon, 'f', 6));
            QVERIFY(s.latText.startsWith("N25\u00b0"));
            QVERIFY(s.lonText.startsWith("E121\u00b0"));
            QCOMPARE(s.speedKmh, fix.kmh);
            QVERIFY(qFuzzyCompare(s.speedMph * 1.609344, fix.kmh));
            QCOMPARE(s.extraValue, float(fix.extra));
            QCOMPARE(s.gX, float(fix.gx));
            QCOMPARE(s.gY, float(fix.gy));
            QCOMPARE(s.gZ, float(fix.gz));
            // North-east at 25 degrees north; a single fix has no direction.
            QCOMPARE(s.compassText, seconds > 1 ? QStringLiteral("NE") : QString());
            QCOMPARE(s.headingText.toInt(), seconds > 1 ? 42 : 0);
        }
        QCOMPARE(out.load(path, true), 1);
    }

    void signatureNamesType_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("folded");
        QTest::newRow("cut") << cutSignature << 22 << 1;
        QTest::newRow("HZRQ917K") << joinSignature("HZRQ917K") << 4 << 0;
        QTest::newRow("U93") << joinSignature("U93") << 3 << 0;
        QTest::newRow("J8") << joinSignature("J8") << 6 << 0;
        QTest::newRow("Novatek5x") << joinSignature("Novatek5x") << 21 << 1;
        QTest::newRow("HZRQ462K") << joinSignature("HZRQ462K") << 18 << 1;
        QTest::newRow("HZRQ735K") << joinSignature("HZRQ735K") << 11 << 1;
        QTest::newRow("HZRQ158K") << joinSignature("HZRQ158K") << 13 << 1;
        QTest::newRow("HZRQ284K") << joinSignature("HZRQ284K") << 14 << 1;
        QTest::newRow("R4M") << joinSignature("R4M") << 9 << 1;
        QTest::newRow("trim") << joinSignature("trim") << 22 << 1;
        QTest::newRow("NovatekSeries") << joinSignature("NovatekSeries") << 8 << 1;
        QTest::newRow("iCatchSeries") << joinSignature("iCatchSeries") << 0 << 0;
        QTest::newRow("unknown word") << joinSignature("Mystery") << 22 << 1;
        QTest::newRow("no signature") << QByteArray() << 22 << 1;
        QTest::newRow("cut off signature") << cutSignature.left(20) << 22 << 1;
    }
    void signatureNamesType()
    {
        QFETCH(QByteArray, signature);
        QFETCH(int, type);
        QFETCH(int, folded);
        const QString path = clipWith(movClip, exportTrailer(3, signature));
        Outputs out;
        QCOMPARE(out.load(path), type);
        QCOMPARE(out.samples.size(), 3);
        QCOMPARE(out.load(path, true), folded);
        QVERIFY(out.isEmpty()); // detection reads no records
    }

    void signatureWithoutRecordsNamesType()
    {
        Outputs out;
        QCOMPARE(out.load(clipWith(movClip, exportTrailer(0, joinSignature("R4M")))), 9);
        QVERIFY(out.samples.isEmpty());
    }

    void displayTexts_data()
    {
        QTest::addColumn<QByteArray>("latField");
        QTest::addColumn<QByteArray>("lonField");
        QTest::addColumn<QString>("latText");
        QTest::addColumn<QString>("lonText");
        QTest::addColumn<QString>("latDecimal");
        QTest::addColumn<QString>("lonDecimal");
        QTest::newRow("no fix") << QByteArray("N0.00000000000") << QByteArray("E0.00000000000")
                                << "N00\u00b000' 0.00\""
                                << "E000\u00b000' 0.00\""
                                << "0"
                                << "0";
        QTest::newRow("north east")
            << QByteArray("N25.0330000000") << QByteArray("E121.564539000") << "N25\u00b001'58.80\""
            << "E121\u00b033'52.34\""
            << "25.033000"
            << "121.564539";
        QTest::newRow("signed south west")
            << QByteArray("S-33.868800000") << QByteArray("W-151.20930000") << "S33\u00b052' 7.68\""
            << "W151\u00b012'33.48\""
            << "-33.868800"
            << "-151.209300";
        QTest::newRow("unsigned south west")
            << QByteArray("S33.8688000000") << QByteArray("W151.209300000") << "S33\u00b052' 7.68\""
            << "W151\u00b012'33.48\""
            << "-33.868800"
            << "-151.209300";
        QTest::newRow("seconds round up into minutes")
            << QByteArray("N10.9999999000") << QByteArray("E0.01666666666") << "N11\u00b000' 0.00\""
            << "E000\u00b001' 0.00\""
            << "11.000000"
            << "0.016667";
        // a position that does not read is none: no texts, never 0 degrees
        QTest::newRow("out of range")
            << QByteArray("N91.0000000000") << QByteArray("E180.500000000") << QString()
            << QString() << QString() << QString();
        QTest::newRow("not numbers") << QByteArray("Nnan0000000000") << QByteArray("E12.3.4xx00000")
                                     << QString() << QString() << QString() << QString();
        QTest::newRow("longitude two decimal points")
            << QByteArray("N25.0330000000") << QByteArray("E121.5.6453900") << QString()
            << QString() << QString() << QString();
        QTest::newRow("latitude without a letter")
            << QByteArray("25.03300000000") << QByteArray("E121.564539000") << QString()
            << QString() << QString() << QString();
        QTest::newRow("letter of the other axis")
            << QByteArray("N25.0330000000") << QByteArray("N121.564539000") << QString()
            << QString() << QString() << QString();
        QTest::newRow("blank latitude") << QByteArray(14, ' ') << QByteArray("E121.564539000")
                                        << QString() << QString() << QString() << QString();
        QTest::newRow("on the equator")
            << QByteArray("N0.00000000000") << QByteArray("E10.5000000000") << "N00\u00b000' 0.00\""
            << "E010\u00b030' 0.00\""
            << "0"
            << "10.500000";
        QTest::newRow("on the prime meridian")
            << QByteArray("S0.50000000000") << QByteArray("W0.00000000000") << "S00\u00b030' 0.00\""
            << "E000\u00b000' 0.00\""
            << "-0.500000"
            << "0";
    }
    void displayTexts()
    {
        QFETCH(QByteArray, latField);
        QFETCH(QByteArray, lonField);
        const QByteArray rec = "GPSDATA--20231231123456" + latField + lonField +
                               numberField(100.0) + numberField(0) + numberField(0.5) +
                               numberField(-0.25) + numberField(1);
        Outputs out;
        out.load(clipWith(movClip, QByteArray(22, 'C') + rec + cutSignature));
        QCOMPARE(out.samples.size(), 1);
        const VideoInfo_t &s = out.samples.first();
        QTEST(s.latText, "latText");
        QTEST(s.lonText, "lonText");
        QTEST(s.latDecimalText, "latDecimal");
        QTEST(s.lonDecimalText, "lonDecimal");
        const auto number = [](const QString &decimal) {
            return decimal.isEmpty() || decimal == "0" ? QStringLiteral("0.000000") : decimal;
        };
        QCOMPARE(QString::number(s.lat, 'f', 6), number(s.latDecimalText));
        QCOMPARE(QString::number(s.lon, 'f', 6), number(s.lonDecimalText));
        QCOMPARE(s.clockTime, QStringLiteral("12:34:56  31/12/2023"));
        QCOMPARE(s.clockTime.size(), 20);
        QCOMPARE(s.speedKmh, 100.0);
        QCOMPARE(s.speedMph, 100.0 / 1.609344);
    }

    void badFieldsGiveEmptyValues_data()
    {
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<QByteArray>("number");
        QTest::newRow("letters") << QByteArray("2023123112345x") << QByteArray("abcdefghijklmn");
        QTest::newRow("no such date")
            << QByteArray("20230230123456") << QByteArray("nan00000000000");
        QTest::newRow("no such time")
            << QByteArray("20231231246000") << QByteArray("-inf0000000000");
        QTest::newRow("overflow") << QByteArray("              ") << QByteArray("1e999000000000");
        QTest::newRow("binary") << QByteArray(14, '\0') << QByteArray(14, '\xff');
    }
    void badFieldsGiveEmptyValues()
    {
        QFETCH(QByteArray, time);
        QFETCH(QByteArray, number);
        const QByteArray rec = "GPSDATA--" + time + "N25.0330000000E121.564539000" + number +
                               number + number + number + number;
        Outputs out;
        QCOMPARE(out.load(clipWith(movClip, QByteArray(22, 'C') + rec + cutSignature)), 22);
        QCOMPARE(out.samples.size(), 1);
        const VideoInfo_t &s = out.samples.first();
        QVERIFY(!s.recordTime.isEmpty()); // the second has a sample without a clock
        QCOMPARE(s.clockTime, QString());
        QCOMPARE(s.speedKmh, 0.0);
        QCOMPARE(s.extraValue, 0.0f);
        QCOMPARE(s.gX, 0.0f);
        QCOMPARE(s.gZ, 0.0f);
        QCOMPARE(s.latDecimalText, QStringLiteral("25.033000"));
    }

    // One record's fields as a camera or a damaged file may write them.
    void fieldValues_data()
    {
        QTest::addColumn<QByteArray>("latField");
        QTest::addColumn<QByteArray>("speedField");
        QTest::addColumn<QByteArray>("gField");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("speedKmh");
        QTest::addColumn<float>("g");
        QTest::newRow("blank padded")
            << QByteArray("N  25.5       ") << QByteArray("  12.5        ")
            << QByteArray("   -0.75      ") << 25.5 << 12.5 << -0.75f;
        QTest::newRow("lower-case south")
            << QByteArray("s33.8688000000") << QByteArray("10.00000000000")
            << QByteArray("0.500000000000") << -33.8688 << 10.0 << 0.5f;
        QTest::newRow("lower-case north")
            << QByteArray("n33.8688000000") << QByteArray("10.00000000000")
            << QByteArray("0.500000000000") << 33.8688 << 10.0 << 0.5f;
        QTest::newRow("nan") << QByteArray("Nnan          ") << QByteArray("nan           ")
                             << QByteArray("nan           ") << 0.0 << 0.0 << 0.0f;
        QTest::newRow("inf") << QByteArray("Ninf          ") << QByteArray("inf           ")
                             << QByteArray("-inf          ") << 0.0 << 0.0 << 0.0f;
        QTest::newRow("negative speed")
            << QByteArray("N1.00000000000") << QByteArray("-42.0000000000")
            << QByteArray("1.000000000000") << 1.0 << 0.0 << 1.0f;
        QTest::newRow("beyond a float")
            << QByteArray("N1.00000000000") << QByteArray("1e300         ")
            << QByteArray("3.5e38        ") << 1.0 << 1e300 << 0.0f;
        QTest::newRow("largest float")
            << QByteArray("N1.00000000000") << QByteArray("1.0           ")
            << QByteArray("3.3e38        ") << 1.0 << 1.0 << 3.3e38f;
        QTest::newRow("two decimal points")
            << QByteArray("N2.5.500000000") << QByteArray("12.5.500000000")
            << QByteArray("0.5.5         ") << 0.0 << 0.0 << 0.0f;
    }
    void fieldValues()
    {
        QFETCH(QByteArray, latField);
        QFETCH(QByteArray, speedField);
        QFETCH(QByteArray, gField);
        QCOMPARE(latField.size(), 14);
        QCOMPARE(speedField.size(), 14);
        QCOMPARE(gField.size(), 14);
        const QByteArray rec = "GPSDATA--20231231123456" + latField + "E121.564539000" +
                               speedField + numberField(0) + gField + gField + gField;
        Outputs out;
        QCOMPARE(out.load(clipWith(movClip, QByteArray(22, 'C') + rec + cutSignature)), 22);
        QCOMPARE(out.samples.size(), 1);
        const VideoInfo_t &s = out.samples.first();
        QTEST(s.lat, "lat");
        QTEST(s.speedKmh, "speedKmh");
        QTEST(s.gX, "g");
        QTEST(s.gZ, "g");
        // a latitude that does not read leaves the sample without a position
        QCOMPARE(s.lon, s.latText.isEmpty() ? 0.0 : 121.564539);
    }

    // Both kinds of marker in the searched tail: the one nearer the end opens the trailer.
    void laterMarkerWins_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("samples");
        const QByteArray camera = QByteArray(22, 'U') + "\r\n$rec one" + "inf....model....?";
        QTest::newRow("export after camera") << camera + exportTrailer(4) << 22 << 4;
        QTest::newRow("camera after export") << exportTrailer(4) + camera << 0 << 0;
    }
    void laterMarkerWins()
    {
        QFETCH(QByteArray, bytes);
        // No box structure, so the marker is searched in the last bytes of the file.
        const QString path = dir.filePath(QStringLiteral("markers%1.bin").arg(++fileCount));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, '\x7f') + bytes);
        file.close();
        Outputs out;
        QTEST(out.load(path), "type");
        QTEST(out.samples.size(), "samples");
    }

    // Box structures of every shape: where the boxes lead to the trailer it is read whole, even
    // past the searched tail; elsewhere the search of the tail still finds a short one.
    void unusualBoxesStillFindTrailer_data()
    {
        QTest::addColumn<QByteArray>("boxes");
        QTest::addColumn<int>("seconds");
        const QByteArray ftyp =
            QByteArray::fromHex("000000186674797069736f6d0000020069736f6d69736f32");
        // 1800 records: the marker lies before the last 200 000 bytes.
        QTest::newRow("64-bit size box")
            << ftyp + QByteArray::fromHex("000000016d6461740000000000000018") + QByteArray(8, '\0')
            << 1800;
        QTest::newRow("boxes of every size class")
            << ftyp + QByteArray::fromHex("0000000866726565") +
                   QByteArray::fromHex("0000000c736b6970") + QByteArray(4, '\x01')
            << 1800;
        QTest::newRow("size-0 box runs to the end")
            << ftyp + QByteArray::fromHex("000000006d646174") + QByteArray(3000, '\0') << 5;
        QTest::newRow("boxes end early in garbage")
            << ftyp + QByteArray::fromHex("0000000866726565") + QByteArray(700, '\x01') << 5;
        QTest::newRow("box header runs into the trailer")
            << ftyp + QByteArray::fromHex("000000") << 5;
    }
    void unusualBoxesStillFindTrailer()
    {
        QFETCH(QByteArray, boxes);
        QFETCH(int, seconds);
        const QString path = dir.filePath(QStringLiteral("boxes%1.mp4").arg(++fileCount));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(boxes + exportTrailer(seconds));
        file.close();
        Outputs out;
        QCOMPARE(out.load(path), DashcamTypes::exported);
        QCOMPARE(out.samples.size(), seconds);
        QCOMPARE(out.samples.last().speedKmh, trackFix(seconds - 1).kmh);
    }

    void headingFollowsTrack_data()
    {
        QTest::addColumn<double>("dLat");
        QTest::addColumn<double>("dLon");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("compass");
        QTest::newRow("north") << 0.001 << 0.0 << "0"
                               << "N";
        QTest::newRow("east") << 0.0 << 0.001 << "90"
                              << "E";
        QTest::newRow("south") << -0.001 << 0.0 << "180"
                               << "S";
        QTest::newRow("west") << 0.0 << -0.001 << "270"
                              << "W";
        QTest::newRow("south west") << -0.001 << -0.001 << "225"
                                    << "SW";
        QTest::newRow("standing") << 0.0 << 0.0 << "0"
                                  << "";
    }
    void headingFollowsTrack()
    {
        QFETCH(double, dLat);
        QFETCH(double, dLon);
        QByteArray bytes(22, 'C');
        for (int i = 0; i < 4; ++i) {
            Fix fix;
            fix.lat = 0.5 + i * dLat;
            fix.lon = 10.0 + i * dLon;
            bytes += record(fix);
        }
        bytes += record(Fix()); // a second without a fix
        Outputs out;
        out.load(clipWith(movClip, bytes + cutSignature));
        QCOMPARE(out.samples.size(), 5);
        for (int i = 0; i < 4; ++i) {
            QTEST(out.samples.at(i).headingText, "heading");
            QTEST(out.samples.at(i).compassText, "compass");
        }
        QCOMPARE(out.samples.at(4).headingText, QStringLiteral("0"));
        QCOMPARE(out.samples.at(4).compassText, QString());
        QVERIFY(out.samples.at(4).latText.contains("00\u00b000' 0"));
        QVERIFY(out.samples.at(4).lonText.contains("00\u00b000' 0"));
        QCOMPARE(out.samples.at(4).latDecimalText, QStringLiteral("0"));
    }

    // Each heading comes from the last fix a metre or more behind, so a turn shows at once.
    void headingFollowsATurn()
    {
        // north, north, east, east, south
        const QVector<QPair<double, double>> track = {{0.500, 10.000}, {0.501, 10.000},
                                                      {0.502, 10.000}, {0.502, 10.001},
                                                      {0.502, 10.002}, {0.501, 10.002}};
        QByteArray bytes(22, 'C');
        for (const auto &[lat, lon] : track) {
            Fix fix;
            fix.lat = lat;
            fix.lon = lon;
            bytes += record(fix);
        }
        Outputs out;
        out.load(clipWith(movClip, bytes + cutSignature));
        QStringList headings;
        QStringList compass;
        for (const VideoInfo_t &s : qAsConst(out.samples)) {
            headings << s.headingText;
            compass << s.compassText;
        }
        QCOMPARE(headings, QStringList({"0", "0", "0", "90", "90", "180"}));
        QCOMPARE(compass, QStringList({"N", "N", "N", "E", "E", "S"}));
    }

    void clockOfLeapDays_data()
    {
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<QString>("clock");
        QTest::newRow("29 February 2024") << QByteArray("20240229235959") << "23:59:59  29/02/2024";
        QTest::newRow("29 February 2000") << QByteArray("20000229000000") << "00:00:00  29/02/2000";
        QTest::newRow("29 February 2023") << QByteArray("20230229120000") << QString();
        QTest::newRow("29 February 2100") << QByteArray("21000229120000") << QString();
        QTest::newRow("30 February 2024") << QByteArray("20240230120000") << QString();
    }
    void clockOfLeapDays()
    {
        Fix fix;
        QFETCH(QByteArray, time);
        fix.time = time;
        Outputs out;
        out.load(clipWith(movClip, QByteArray(22, 'C') + record(fix) + cutSignature));
        QCOMPARE(out.samples.size(), 1);
        QTEST(out.samples.first().clockTime, "clock");
    }

    // What follows the closing signature belongs to no trailer part.
    void bytesAfterSignature_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<int>("type");
        QTest::newRow("cut") << cutSignature << 22;
        QTest::newRow("join") << joinSignature("R4M") << 9;
    }
    void bytesAfterSignature()
    {
        QFETCH(QByteArray, signature);
        QFETCH(int, type);
        const QString path = clipWith(movClip, exportTrailer(3, signature) + "tail of something");
        Outputs out;
        QCOMPARE(out.load(path), type);
        QCOMPARE(out.samples.size(), 3);
        QCOMPARE(out.head, QByteArray(22, 'C'));
        QCOMPARE(out.tail, signature);
        QCOMPARE(out.load(path, true), MetadataParser::foldedType(type));
    }

    // Broken trailers give their whole records and nothing else.
    void damagedTrailers_data()
    {
        const QByteArray five = exportTrailer(5);
        const int recordsEnd = 22 + 5 * 121;
        QTest::addColumn<QByteArray>("appended");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QList<int>>("missing");
        QTest::newRow("nothing appended") << QByteArray() << 24 << 0 << QList<int>();
        QTest::newRow("marker only") << QByteArray(22, 'C') << 24 << 0 << QList<int>();
        QTest::newRow("marker and garbage")
            << QByteArray(22, 'C') + QByteArray(500, 'x') << 24 << 0 << QList<int>();
        QTest::newRow("record cut off") << five.left(recordsEnd - 60) << 22 << 4 << QList<int>();
        QTest::newRow("signature cut off") << five.left(recordsEnd + 10) << 22 << 5 << QList<int>();
        QTest::newRow("tag cut off") << five.left(22 + 4 * 121 + 5) << 22 << 4 << QList<int>();
        QByteArray garbled = five;
        garbled.replace(22 + 2 * 121, 9, "GARBLED!!");
        QTest::newRow("garbled record") << garbled << 22 << 5 << QList<int>{2};
        QByteArray shortened = five;
        shortened.remove(22 + 121 + 40, 60);
        QTest::newRow("record shortened") << shortened << 22 << 5 << QList<int>{1};
        QByteArray inserted = five;
        inserted.insert(22 + 2 * 121, QByteArray(30, '#'));
        QTest::newRow("bytes inserted") << inserted << 22 << 5 << QList<int>();
        QTest::newRow("longer marker run")
            << QByteArray(30, 'C') + five.mid(22) << 22 << 5 << QList<int>();
        QTest::newRow("marker inside data")
            << QByteArray(22, 'C') + "not a trailer" + five << 22 << 5 << QList<int>();
        QTest::newRow("garbage after signature")
            << five + QByteArray(3000, '\x7f') << 22 << 5 << QList<int>();
        // damage with no whole record after it adds no empty seconds
        QByteArray garbledThenCut = five.left(22 + 4 * 121 + 60);
        garbledThenCut.replace(22 + 3 * 121, 9, "GARBLED!!");
        QTest::newRow("garbled record, then a cut-off one")
            << garbledThenCut << 22 << 3 << QList<int>();
    }
    void damagedTrailers()
    {
        QFETCH(QByteArray, appended);
        QFETCH(QList<int>, missing);
        const QString path = clipWith(movClip, appended);
        Outputs out;
        QTEST(out.load(path), "type");
        QTEST(out.samples.size(), "samples");
        for (int i = 0; i < out.samples.size(); ++i) {
            const bool isMissing = missing.contains(i);
            QCOMPARE(out.samples.at(i).recordTime.isEmpty(), isMissing);
            if (!isMissing)
                QVERIFY(qFuzzyCompare(out.samples.at(i).lat, trackFix(i).lat));
        }
        QCOMPARE(out.perSecond.size(), out.samples.size() - missing.size());
        if (out.type == DashcamTypes::none)
            QVERIFY(out.isEmpty());
        const DashcamType full = out.type;
        QCOMPARE(out.load(path, true), MetadataParser::foldedType(full));
        QVERIFY(out.isEmpty());
    }

    // Detection reads the marker and the signature, not the hour of records between them.
    void detectionReadsOnlyMarkerAndSignature_data()
    {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<int>("folded");
        QTest::newRow("mov, cut") << "mov" << cutSignature << 1;
        QTest::newRow("mov, join") << "mov" << joinSignature("HZRQ917K") << 0;
        QTest::newRow("mkv, cut") << "mkv" << cutSignature << 1;
    }
    void detectionReadsOnlyMarkerAndSignature()
    {
        QFETCH(QString, container);
        QFETCH(QByteArray, signature);
        QFETCH(int, folded);
        QFile clip(container == "mov" ? movClip : mkvClip);
        QVERIFY(clip.open(QIODevice::ReadOnly));
        // without boxes the trailer must lie within the searched window
        QByteArray bytes =
            clip.readAll() + exportTrailer(container == "mov" ? 3600 : 1500, signature);
        CountingBuffer device(&bytes);
        QVERIFY(device.open(QIODevice::ReadOnly));
        QCOMPARE(MetadataParser().loadMetadata(device, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               nullptr, true),
                 folded);
        // a box walk or the search window, then about a hundred bytes of signature
        const qint64 locating = container == "mov" ? 1024 : 200000;
        QVERIFY2(device.bytesRead <= locating + 1024, QByteArray::number(device.bytesRead));
    }

    void unreadableFilesHaveNoMetadata_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short") << QByteArray("CCCC");
        QTest::newRow("marker cut off") << QByteArray(21, 'C');
        QTest::newRow("box larger than file")
            << QByteArray::fromHex("7fffffff6d6f6f76") + QByteArray(100, 'x');
        QTest::newRow("64-bit box size too small")
            << QByteArray::fromHex("000000016d6461740000000000000004") + QByteArray(100, 'x');
        QTest::newRow("endless small boxes")
            << QByteArray::fromHex("0000000866726565").repeated(10000);
    }
    void unreadableFilesHaveNoMetadata()
    {
        QFETCH(QByteArray, content);
        const QString path = dir.filePath(QStringLiteral("raw%1.bin").arg(++fileCount));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        Outputs out;
        QCOMPARE(out.load(path), DashcamTypes::none);
        QVERIFY(out.isEmpty());
        QCOMPARE(out.load(path, true), DashcamTypes::none);
    }

    void missingFileHasNoMetadata()
    {
        Outputs out;
        QCOMPARE(out.load(dir.filePath(QStringLiteral("no such file.mov"))), DashcamTypes::none);
        QVERIFY(out.isEmpty());
    }

    // A box that claims more than the file holds hides where the boxes end; the trailer is
    // still found near the end of the file, whole, also when the file is longer than the search.
    void lyingBoxFallsBackToSearch_data()
    {
        QTest::addColumn<int>("mediaBytes");
        QTest::addColumn<int>("seconds");
        QTest::newRow("short file") << 5000 << 30;
        QTest::newRow("file over 200 kB, short trailer") << 400000 << 30;
        QTest::newRow("file over 200 kB, trailer of 180 kB") << 400000 << 1500;
    }
    void lyingBoxFallsBackToSearch()
    {
        QFETCH(int, mediaBytes);
        QFETCH(int, seconds);
        QByteArray bytes = QByteArray::fromHex("000000186674797069736f6d0000020069736f6d69736f32");
        bytes += QByteArray::fromHex("7fffffff6d646174") + QByteArray(mediaBytes, '\0');
        bytes += exportTrailer(seconds);
        const QString path = dir.filePath(QStringLiteral("lying%1.mp4").arg(++fileCount));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        Outputs out;
        QCOMPARE(out.load(path), DashcamTypes::exported);
        QCOMPARE(out.samples.size(), seconds);
        QCOMPARE(out.rawRecords.first(), record(trackFix(0)));
        QCOMPARE(out.rawRecords.last(), record(trackFix(seconds - 1)));
        QCOMPARE(out.tail, cutSignature);
        QCOMPARE(out.load(path, true), 1);
    }

    // A 64-bit mdat size leads past the media to a long trailer.
    void largeBoxSizeLeadsToTrailer()
    {
        QByteArray bytes = QByteArray::fromHex("000000186674797069736f6d0000020069736f6d69736f32");
        bytes += QByteArray::fromHex("000000016d646174") + QByteArray::fromHex("0000000000001010") +
                 QByteArray(0x1000, 'C');
        bytes += exportTrailer(2000);
        const QString path = dir.filePath(QStringLiteral("large.mp4"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        Outputs out;
        QCOMPARE(out.load(path), DashcamTypes::exported);
        QCOMPARE(out.samples.size(), 2000);
    }

    void sourceLayoutKeepsParts_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("inf") << QByteArray("inf....model....?");
        QTest::newRow("crosses") << QByteArray("XXXXXXXX\x01\x02");
    }
    void sourceLayoutKeepsParts()
    {
        QFETCH(QByteArray, tail);
        const QByteArray separator = "\r\n";
        const QVector<QByteArray> records = {"$rec one 1", "$rec two 22", "$rec three 333"};
        QByteArray bytes(22, 'U');
        for (const QByteArray &rec : records)
            bytes += separator + rec;
        bytes += tail;
        Outputs out;
        QCOMPARE(out.load(clipWith(movClip, bytes)), 0);
        QCOMPARE(out.head, QByteArray(22, 'U'));
        QCOMPARE(out.separator, separator);
        QCOMPARE(out.tail, tail);
        QCOMPARE(out.rawRecords, records);
        QVERIFY(out.samples.isEmpty());
        QCOMPARE(out.load(clipWith(movClip, bytes), true), 0);
    }

    // Parts of one load never leak into the next.
    void loadClearsPreviousParts()
    {
        Outputs out;
        QCOMPARE(out.load(clipWith(movClip, QByteArray(22, 'U') + "ab$rec" + "inf")), 0);
        QVERIFY(!out.head.isEmpty());
        QCOMPARE(out.load(movClip), DashcamTypes::none);
        QVERIFY(out.isEmpty());
    }

    void nullOutputsAreSkipped()
    {
        const QString path = clipWith(movClip, exportTrailer(2));
        QVector<VideoInfo_t> samples;
        QCOMPARE(MetadataParser().loadMetadata(path, nullptr, &samples, nullptr, nullptr, nullptr,
                                               nullptr, false),
                 DashcamTypes::exported);
        QCOMPARE(samples.size(), 2);
    }

    void foldedTypes()
    {
        for (int type = 0; type <= 7; ++type)
            QCOMPARE(MetadataParser::foldedType(type), 0);
        for (int type = 8; type <= 23; ++type)
            QCOMPARE(MetadataParser::foldedType(type), 1);
        QCOMPARE(MetadataParser::foldedType(24), 24);
        QCOMPARE(MetadataParser::foldedType(-1), 24);
    }
};

TALVEX_TEST_MAIN(TstMetadataParser)
#include "tst_metadataparser.moc"
