#include "exporttestfiles.h"
#include "gpstrailer.h"
#include "gpstrailerwriter.h"
#include "metadataparser.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QTemporaryDir>

#include <clocale>
#include <cmath>
#include <ctime>
#include <limits>

namespace {

const QByteArray cutSignature = "fmt....NOVATEK.....?inf....trim....?";

TrailerSource novatekSource(int seconds)
{
    TrailerSource source;
    source.type = GpsTrailer::foldedNovatek;
    source.samples = ExportTestFiles::makeSamples(seconds);
    return source;
}

QByteArray recordsOf(const QVector<VideoInfo_t> &samples, int first, int last)
{
    QByteArray bytes;
    for (int i = first; i <= last; ++i)
        bytes += GpsTrailer::record(samples.at(i));
    return bytes;
}

} // namespace

class TstGpsTrailer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    // append() on the file at path, opened for writing at its start as the runner's part is
    static bool appendTo(const GpsTrailerWriter &writer, const TrailerJob &job, const QString &path,
                         QString *error)
    {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && writer.append(job, file, error);
    }

    QString fileWith(const QByteArray &content)
    {
        static int counter = 0;
        const QString path = dir.filePath(QStringLiteral("out%1.mov").arg(++counter));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // a zone with daylight saving time: clock texts are wall-clock times without a zone
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
    }

    void textFieldsAreFourteenAsciiBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("latitude") << "N25.0330" << QByteArray("N25.0330000000");
        QTest::newRow("longitude cut") << "E121.56453900012" << QByteArray("E121.564539000");
        QTest::newRow("exactly 14") << "S12.3456789012" << QByteArray("S12.3456789012");
        QTest::newRow("no dot") << "N25" << QByteArray("N25.0000000000");
        QTest::newRow("empty") << "" << QByteArray(".0000000000000");
        QTest::newRow("non-ASCII") << "N25°" << QByteArray("N25?.000000000");
        QTest::newRow("non-ASCII cut") << "ÄÖÜ4567890123456" << QByteArray("???45678901234");
    }
    void textFieldsAreFourteenAsciiBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QCOMPARE(GpsTrailer::fixedField(text), field);
    }

    void numbersAreFourteenBytes_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("45.5") << 45.5 << QByteArray("45.50000000000");
        QTest::newRow("-0.25") << -0.25 << QByteArray("-0.25000000000");
        QTest::newRow("123.4") << 123.4 << QByteArray("123.4000000000");
        QTest::newRow("zero") << 0.0 << QByteArray("0.000000000000");
        QTest::newRow("huge") << 1e20 << QByteArray("10000000000000");
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN()
                             << QByteArray("0.000000000000");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << QByteArray("0.000000000000");
        QTest::newRow("minus infinity")
            << -std::numeric_limits<double>::infinity() << QByteArray("0.000000000000");
    }
    void numbersAreFourteenBytes()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, field);
        QCOMPARE(GpsTrailer::numberField(value), field);
    }

    void clockTextsBecomeTimeFields_data()
    {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("valid") << "12:34:56  07/08/2024" << QByteArray("20240807123456");
        QTest::newRow("empty") << "" << QByteArray("00000000000000");
        QTest::newRow("hour 25") << "25:00:00  07/08/2024" << QByteArray("00000000000000");
        QTest::newRow("one blank") << "12:34:56 07/08/2024" << QByteArray("00000000000000");
        QTest::newRow("garbage") << "not a time" << QByteArray("00000000000000");
        // 02:00 to 02:59 of the last Sunday of March does not exist as Berlin local time
        QTest::newRow("spring-forward gap")
            << "02:30:00  31/03/2024" << QByteArray("20240331023000");
        QTest::newRow("fall-back hour") << "02:30:00  27/10/2024" << QByteArray("20241027023000");
    }
    void clockTextsBecomeTimeFields()
    {
        QFETCH(QString, clock);
        QFETCH(QByteArray, field);
        QCOMPARE(GpsTrailer::timeField(clock), field);
    }

    void recordHasTheFixedLayout()
    {
        VideoInfo_t sample = ExportTestFiles::makeSamples(1).first();
        sample.speedKmh = 45.5;
        const QByteArray record = GpsTrailer::record(sample);
        QCOMPARE(record.size(), GpsTrailer::recordSize);
        QCOMPARE(record, QByteArray("GPSDATA--"
                                    "20240807120000"
                                    "N25.0300000000"
                                    "E121.564500000"
                                    "45.50000000000"
                                    "1.500000000000"
                                    "-0.25000000000"
                                    "0.500000000000"
                                    "0.000000000000"));
    }

    void cutTrailerHoldsTheChosenSeconds_data()
    {
        QTest::addColumn<int>("sourceSeconds");
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("inside the source") << 30 << "-ss 5 -t 10 -vf x" << 5 << 15;
        QTest::newRow("source too short") << 12 << "-ss 5 -t 10 -vf x" << 5 << 11;
        QTest::newRow("start past the end") << 4 << "-ss 5 -t 10 -vf x" << 5 << 4;
        QTest::newRow("no -t") << 30 << "-ss 5 -vf x" << 0 << -1;
        QTest::newRow("-threads is no -t") << 30 << "-ss 5 -threads 4" << 0 << -1;
        QTest::newRow("-t without -ss") << 30 << "-t 10 -vf x" << 0 << -1;
        QTest::newRow("start before the first sample") << 30 << "-ss -3 -t 5 -vf x" << 0 << 2;
    }
    void cutTrailerHoldsTheChosenSeconds()
    {
        QFETCH(int, sourceSeconds);
        QFETCH(QString, args);
        QFETCH(int, first);
        QFETCH(int, last);
        const TrailerSource source = novatekSource(sourceSeconds);
        const QByteArray expected =
            GpsTrailer::marker() + recordsOf(source.samples, first, last) + cutSignature;
        QCOMPARE(GpsTrailerWriter::cutTrailer(source, args), expected);
    }

    void cutOfTenSecondsAppendsItsExactSize()
    {
        const QByteArray video(1000, 'v');
        const QString path = fileWith(video);
        TrailerJob job;
        job.args = QStringLiteral("-ss 5 -t 10 -vf \"eq\" -b:v 20000K -acodec copy ");
        job.input = novatekSource(30);
        const GpsTrailerWriter writer([](const QString &, bool) { return TrailerSource(); });
        QString error;
        QVERIFY(appendTo(writer, job, path, &error));
        const QByteArray content = TestSupport::contentOf(path);
        QCOMPARE(content.size(), video.size() + 22 + 11 * 121 + 36);
        QCOMPARE(content.mid(video.size(), 22), QByteArray(22, 'C'));
        QVERIFY(content.endsWith(cutSignature));
    }

    void gpsRemovedLeavesOnlyTheBareTrailer_data()
    {
        QTest::addColumn<int>("foldedType");
        QTest::addColumn<QByteArray>("appended");
        QTest::newRow("novatek family") << 1 << QByteArray(22, 'C') + cutSignature;
        QTest::newRow("icatch family") << 0 << QByteArray();
        QTest::newRow("no metadata") << 24 << QByteArray();
    }
    void gpsRemovedLeavesOnlyTheBareTrailer()
    {
        QFETCH(int, foldedType);
        QFETCH(QByteArray, appended);
        const QByteArray video(100, 'v');
        for (int mode = 0; mode <= 7; ++mode) {
            const QString path = fileWith(video);
            TrailerJob job;
            job.args = QStringLiteral("-ss 0 -t 5 ");
            job.mode = mode;
            job.keepGps = false;
            job.input = novatekSource(10);
            job.input.type = foldedType;
            const GpsTrailerWriter writer([](const QString &, bool) { return TrailerSource(); });
            QString error;
            QVERIFY(appendTo(writer, job, path, &error));
            QCOMPARE(TestSupport::contentOf(path), video + appended);
        }
    }

    void sourceLayoutIsWrittenBack()
    {
        TrailerSource source;
        source.type = GpsTrailer::foldedICatch;
        source.head = QByteArray(22, 'U');
        source.separator = "\x01\x02";
        source.tail = "inf....end";
        for (int i = 0; i < 8; ++i)
            source.rawRecords.append(QByteArray("raw") + QByteArray::number(i));
        QCOMPARE(GpsTrailerWriter::cutTrailer(source, QStringLiteral("-ss 2 -t 2 ")),
                 QByteArray(22, 'U') + "\x01\x02raw2\x01\x02raw3\x01\x02raw4" + "inf....end");
        QCOMPARE(GpsTrailerWriter::cutTrailer(source, QStringLiteral("-ss 6 -t 5 ")),
                 QByteArray(22, 'U') + "\x01\x02raw6\x01\x02raw7" + "inf....end");
    }

    void sourceWithoutMetadataGetsNoCutTrailer()
    {
        TrailerSource source = novatekSource(10);
        source.type = DashcamTypes::none;
        QVERIFY(GpsTrailerWriter::cutTrailer(source, QStringLiteral("-ss 0 -t 5 ")).isEmpty());
    }

    void joinEndsWithTheSignatureOfItsType_data()
    {
        QTest::addColumn<int>("fullType");
        QTest::addColumn<int>("foldedType");
        QTest::addColumn<QByteArray>("signature");
        const QByteArray group = ".....?inf....group....?";
        QTest::newRow("4") << 4 << 0 << "fmt....HZRQ917K" + group;
        QTest::newRow("3") << 3 << 0 << "fmt....U93" + group;
        QTest::newRow("6") << 6 << 0 << "fmt....J8" + group;
        QTest::newRow("21") << 21 << 1 << "fmt....Novatek5x" + group;
        QTest::newRow("18") << 18 << 1 << "fmt....HZRQ462K" + group;
        QTest::newRow("11") << 11 << 1 << "fmt....HZRQ735K" + group;
        QTest::newRow("13") << 13 << 1 << "fmt....HZRQ158K" + group;
        QTest::newRow("14") << 14 << 1 << "fmt....HZRQ284K" + group;
        QTest::newRow("9") << 9 << 1 << "fmt....R4M" + group;
        QTest::newRow("22 (an export)") << 22 << 1 << "fmt....trim" + group;
        QTest::newRow("other novatek") << 8 << 1 << "fmt....NovatekSeries" + group;
        QTest::newRow("other icatch") << 2 << 0 << "fmt....iCatchSeries" + group;
        QTest::newRow("no metadata") << 24 << 24 << QByteArray();
    }
    void joinEndsWithTheSignatureOfItsType()
    {
        QFETCH(int, fullType);
        QFETCH(int, foldedType);
        QFETCH(QByteArray, signature);
        const QVector<VideoInfo_t> samples =
            fullType == 24 ? QVector<VideoInfo_t>() : ExportTestFiles::makeSamples(10);
        QStringList loads;
        const GpsTrailerWriter writer([&](const QString &path, bool detectOnly) {
            loads << path + (detectOnly ? "?" : "");
            TrailerSource source;
            source.type = detectOnly ? foldedType : fullType;
            source.samples = samples;
            return source;
        });
        GroupOutputSetting_t group;
        group.mainFiles = QStringList{"a.mov", "b.mov", "c.mov"};
        group.clip[0] = 0;
        group.clip[1] = 2;
        group.clip[4] = 4; // from second 4 of a.mov
        group.clip[7] = 3; // up to, not including, second 3 of c.mov
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(writer.writeJoinTrailer(&out, group, false));
        const QByteArray expected =
            fullType == 24 ? GpsTrailer::marker()
                           : GpsTrailer::marker() + recordsOf(samples, 4, 9) +
                                 recordsOf(samples, 0, 9) + recordsOf(samples, 0, 2) + signature;
        QCOMPARE(out.data(), expected);
        QCOMPARE(loads.mid(0, 3), (QStringList{"a.mov", "b.mov", "c.mov"}));
    }

    void joinOfOneMemberEndsAtTheEndSecond()
    {
        const QVector<VideoInfo_t> samples = ExportTestFiles::makeSamples(10);
        const GpsTrailerWriter writer([&](const QString &, bool) {
            TrailerSource source;
            source.type = 4;
            source.samples = samples;
            return source;
        });
        GroupOutputSetting_t group;
        group.mainFiles = QStringList{"a.mov"};
        group.clip[4] = 2;
        group.clip[7] = 6;
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(writer.writeJoinTrailer(&out, group, false));
        QCOMPARE(out.data(),
                 GpsTrailer::marker() + recordsOf(samples, 2, 5) + GpsTrailer::joinSignature(4));
    }

    void finalMixTakesTheJoinedMainFile()
    {
        const QVector<VideoInfo_t> samples = ExportTestFiles::makeSamples(7);
        QStringList loads;
        const GpsTrailerWriter writer([&](const QString &path, bool) {
            loads << path;
            TrailerSource source;
            source.type = 22;
            source.samples = samples;
            return source;
        });
        GroupOutputSetting_t group;
        group.workFolder = QStringLiteral("/work/out/");
        group.mainFiles = QStringList{"a.mov", "b.mov"};
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(writer.writeJoinTrailer(&out, group, true));
        QCOMPARE(loads, QStringList{"/work/out/temp2_main.mov"});
        QCOMPARE(out.data(),
                 GpsTrailer::marker() + recordsOf(samples, 0, 6) + GpsTrailer::joinSignature(22));
    }

    void secondCameraJoinGetsNoTrailer()
    {
        const QByteArray video(100, 'v');
        const QString path = fileWith(video);
        TrailerJob job;
        job.mode = 6;
        job.input = novatekSource(10);
        const GpsTrailerWriter writer([](const QString &, bool) { return TrailerSource(); });
        QString error;
        QVERIFY(appendTo(writer, job, path, &error));
        QCOMPARE(TestSupport::contentOf(path), video);
    }

    // append() chooses the trailer by the run's mode: joins (3, 7) write the group's records,
    // the second camera's join (6) nothing, a cut its span.
    void appendWritesTheTrailerOfItsMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("mix");
        QTest::addColumn<QStringList>("loads");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("join");
        QTest::newRow("join (3)") << 3 << false << QStringList{"a.mov"} << 1 << 4 << true;
        QTest::newRow("final mix (7)")
            << 7 << true << QStringList{"/w/temp2_main.mov"} << 0 << 7 << true;
        QTest::newRow("second camera join (6)") << 6 << false << QStringList() << 0 << -1 << false;
        QTest::newRow("cut (0)") << 0 << false << QStringList() << 2 << 4 << false;
    }
    void appendWritesTheTrailerOfItsMode()
    {
        QFETCH(int, mode);
        QFETCH(bool, mix);
        QFETCH(QStringList, loads);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, join);
        const QVector<VideoInfo_t> samples = ExportTestFiles::makeSamples(8);
        QStringList seen;
        const GpsTrailerWriter writer([&](const QString &path, bool detectOnly) {
            seen << path + (detectOnly ? "?" : "");
            TrailerSource source;
            source.type = detectOnly ? GpsTrailer::foldedNovatek : 4;
            source.samples = samples;
            return source;
        });
        const QByteArray video(50, 'v');
        const QString path = fileWith(video);
        TrailerJob job;
        job.args = QStringLiteral("-ss 2 -t 2 ");
        job.mode = mode;
        job.input = novatekSource(8);
        job.mixOfBothCameras = mix;
        job.group.workFolder = QStringLiteral("/w/");
        job.group.mainFiles = QStringList{"a.mov"};
        job.group.clip[4] = 1;
        job.group.clip[7] = 5;
        QCOMPARE(GpsTrailerWriter::needsGroup(mode, true), join);
        QString error;
        QVERIFY(appendTo(writer, job, path, &error));
        QCOMPARE(seen, loads);
        QByteArray trailer;
        if (last >= first)
            trailer = GpsTrailer::marker() + recordsOf(samples, first, last) +
                      (join ? GpsTrailer::joinSignature(4) : cutSignature);
        QCOMPARE(TestSupport::contentOf(path), video + trailer);
    }

    void unwritableOutputIsAnError()
    {
        TrailerJob job;
        job.args = QStringLiteral("-ss 0 -t 5 ");
        job.input = novatekSource(10);
        const GpsTrailerWriter writer([](const QString &, bool) { return TrailerSource(); });
        QFile output(fileWith("video"));
        QVERIFY(output.open(QIODevice::ReadOnly));
        QString error;
        QVERIFY(!writer.append(job, output, &error));
        QVERIFY(!error.isEmpty());
    }

    void springForwardClockKeepsItsTimeWhenReadBack()
    {
        QVector<VideoInfo_t> samples = ExportTestFiles::makeSamples(3);
        for (int i = 0; i < samples.size(); ++i)
            samples[i].clockTime =
                QStringLiteral("02:30:%1  31/03/2024").arg(i, 2, 10, QLatin1Char('0'));
        TrailerSource source;
        source.type = GpsTrailer::foldedNovatek;
        source.samples = samples;
        QByteArray bytes = QByteArray(1000, 'v') +
                           GpsTrailerWriter::cutTrailer(source, QStringLiteral("-ss 0 -t 3 "));
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVector<VideoInfo_t> read;
        QVERIFY(MetadataParser().loadMetadata(buffer, nullptr, &read, nullptr, nullptr, nullptr,
                                              nullptr, false) != DashcamTypes::none);
        QCOMPARE(read.size(), 3);
        for (int i = 0; i < read.size(); ++i)
            QCOMPARE(read.at(i).clockTime, samples.at(i).clockTime);
    }

    void germanLocaleWritesTheSameBytes()
    {
        const TrailerSource source = novatekSource(30);
        const QString args = QStringLiteral("-ss 5 -t 10 ");
        const QByteArray plain = GpsTrailerWriter::cutTrailer(source, args);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // The C library locale too, where the system has it.
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        QCOMPARE(GpsTrailerWriter::cutTrailer(source, args), plain);
        QVERIFY(!plain.contains(','));
    }
};

TALVEX_TEST_MAIN(TstGpsTrailer)
#include "tst_gpstrailer.moc"
