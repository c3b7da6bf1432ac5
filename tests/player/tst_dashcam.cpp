// Dashcam on real clips made by ffmpeg, drawn in a real window.
#include "dashcam.h"
#include "formdashcampreview.h"
#include "mpvcore.h"
#include "mpvmediainfo.h"
#include "testsupport.h"
#include "videowidget.h"
#include "workerpool.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// A GPS trailer as exports append it: marker, one 121-byte record per second, cut signature.
QByteArray exportTrailer(const QVector<double> &speedsKmh)
{
    QByteArray bytes(22, 'C');
    for (int i = 0; i < speedsKmh.size(); ++i) {
        const QByteArray time = QDateTime(QDate(2024, 5, 6), QTime(7, 8, i))
                                    .toString(QStringLiteral("yyyyMMddhhmmss"))
                                    .toLatin1();
        const QByteArray lat = QByteArray("N25.") + QByteArray::number(330 + i) + '0';
        bytes += "GPSDATA--" + time + lat.leftJustified(14, '0') +
                 QByteArray("E121.5645").leftJustified(14, '0');
        for (double value : {speedsKmh.at(i), 0.0, 0.0, 0.0, 1.0})
            bytes += QByteArray::number(value, 'f', 12).left(14);
    }
    return bytes + "fmt....NOVATEK.....?inf....trim....?";
}

// count samples of one file; their compass text carries name
QVector<VideoInfo_t> namedSamples(const QString &name, int count)
{
    VideoInfo_t sample;
    sample.recordTime = QStringLiteral("20240506070809");
    sample.compassText = name;
    return QVector<VideoInfo_t>(count, sample);
}

// Samples as the player hands them on: the name in them and their count, "red 2".
QString describe(const QVector<VideoInfo_t> &samples)
{
    return QStringLiteral("%1 %2")
        .arg(samples.isEmpty() ? QString() : samples.first().compassText)
        .arg(samples.size());
}

} // namespace

class TstDashcam : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openReportsSignalsInOrder();
    void fileInfoFields();
    void partnerIsReported_data();
    void partnerIsReported();
    void severalFilesAreAnsweredInOrder();
    void missingFileKeepsOpenMedia();
    void notMediaIsReported();
    void autoPlayTicksPosition();
    void seekLandsOnPosition_data();
    void seekLandsOnPosition();
    void frameStepsMoveOneFrame();
    void stopReturnsToStart();
    void pauseReportsThePausedPosition();
    void groupPlaysAsOneClip();
    void groupMemberNamesNeedNoEscaping();
    void snapshotWritesPicture();
    void releaseUnloads();
    void mpvLoadsNoScripts_data();
    void mpvLoadsNoScripts();
    void previewShowsPicture();
    void samplesFollowPlayback();
    void pictureComesBeforeTheSamples();
    void secondFileGetsOnlyItsOwnSamples_data();
    void secondFileGetsOnlyItsOwnSamples();
    void playerDeletedInsideItsStopSignal_data();
    void playerDeletedInsideItsStopSignal();

private:
    QString clip(const QString &name) const { return dir.filePath(name); }
    void openAndWait(const QString &path);

    QTemporaryDir dir;
    std::unique_ptr<FormDashcamPreview> preview;
    Dashcam *player = nullptr;
};

void TstDashcam::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(TestSupport::makeClip(clip("0001_F.mp4"), 3.0));
    QVERIFY(TestSupport::makeClip(clip("0001_R.mp4"), 3.0));
    QVERIFY(TestSupport::makeClip(clip("0002_F.mp4"), 2.0, QStringLiteral("160x120")));
    QVERIFY(TestSupport::makeClip(clip("0003_R.mp4"), 1.0));
    QVERIFY(TestSupport::makeClip(clip("0003_L.mp4"), 1.0));
    QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=1",
                                    "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt",
                                    "yuv420p", "-metadata", "creation_time=2024-05-06T07:08:09Z",
                                    clip("dated.mp4")}));
    for (const char *name : {"g1.mp4", "g2.mp4", "g3.mp4", "a b#1%;,ä.mp4"})
        QVERIFY(TestSupport::makeClip(clip(name), 2.0));
    QVERIFY(TestSupport::makeLavfiClip(clip("red.mp4"), "color=c=red:size=320x240:duration=2", 2.0,
                                       false));
    QVERIFY(TestSupport::makeLavfiClip(clip("blue.mp4"), "color=c=blue:size=320x240:duration=3",
                                       3.0, false));
    QVERIFY(TestSupport::makeClip(clip("ride.mov"), 3.0));
    QFile ride(clip("ride.mov"));
    QVERIFY(ride.open(QIODevice::Append));
    ride.write(exportTrailer({10.0, 20.0, 30.0}));
    ride.close();
    QFile text(clip("notes.mp4"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a video");
}

void TstDashcam::init()
{
    preview = std::make_unique<FormDashcamPreview>();
    preview->resize(320, 240);
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    player = preview->getDashcam();
    QTRY_VERIFY(player->getVideoWidget()->hasRenderContext());
}

void TstDashcam::cleanup()
{
    preview.reset();
    player = nullptr;
}

void TstDashcam::openAndWait(const QString &path)
{
    QSignalSpy opened(player, &Dashcam::durationChanged);
    player->setMedia({QUrl::fromLocalFile(path)});
    QVERIFY(opened.wait(10000));
}

void TstDashcam::openReportsSignalsInOrder()
{
    QStringList order;
    connect(player, &Dashcam::MediaPathChanged, this, [&](QString) { order << "path"; });
    connect(player, &Dashcam::MediaChanged, this,
            [&](QVector<VideoInfo_t> &) { order << "samples"; });
    connect(player, &Dashcam::durationChanged, this, [&](QTime) { order << "duration"; });
    connect(player, &Dashcam::fileInfoChanged, this, [&](FileInfo_t) { order << "fileinfo"; });
    connect(player, &Dashcam::subMediaTriggerd, this, [&](QUrl) { order << "partner"; });
    QSignalSpy duration(player, &Dashcam::durationChanged);
    player->setMedia({QUrl::fromLocalFile(clip("0001_F.mp4"))});
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 5, 10000);
    QCOMPARE(order, QStringList({"path", "samples", "duration", "fileinfo", "partner"}));
    const QTime length = duration.first().first().value<QTime>();
    QCOMPARE(length.second(), 3);
    QCOMPARE(player->getMediaPath(), clip("0001_F.mp4"));
    QCOMPARE(player->playStatus(), PausedState);
}

void TstDashcam::fileInfoFields()
{
    QSignalSpy info(player, &Dashcam::fileInfoChanged);
    player->setMedia({QUrl::fromLocalFile(clip("dated.mp4"))});
    QVERIFY(info.wait(10000));
    const FileInfo_t row = info.first().first().value<FileInfo_t>();
    QCOMPARE(row.mark, QString());
    QCOMPARE(row.fileName, QStringLiteral("dated.mp4"));
    QCOMPARE(row.filePath, clip("dated.mp4"));
    QCOMPARE(row.date, QStringLiteral("2024-05-06"));
    QCOMPARE(row.size, QStringLiteral("0MB"));
    QCOMPARE(row.duration, QStringLiteral("00:00:01"));
    QCOMPARE(row.durations, QString());
    QCOMPARE(row.resolution, QStringLiteral("320x240"));
    QCOMPARE(player->getResolution(), QStringLiteral("320x240"));

    // Without creation time the file's own date is used.
    info.clear();
    player->setMedia({QUrl::fromLocalFile(clip("0002_F.mp4"))});
    QVERIFY(info.wait(10000));
    const FileInfo_t second = info.first().first().value<FileInfo_t>();
    QCOMPARE(second.date,
             QFileInfo(clip("0002_F.mp4")).lastModified().toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(second.resolution, QStringLiteral("160x120"));
    QCOMPARE(second.duration, QStringLiteral("00:00:02"));
}

void TstDashcam::partnerIsReported_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("partner");
    QTest::newRow("front finds rear") << "0001_F.mp4"
                                      << "0001_R.mp4";
    QTest::newRow("rear finds front") << "0001_R.mp4"
                                      << "0001_F.mp4";
    QTest::newRow("rear without front finds left") << "0003_R.mp4"
                                                   << "0003_L.mp4";
    QTest::newRow("no partner") << "0002_F.mp4" << QString();
    QTest::newRow("no tag") << "dated.mp4" << QString();
}

void TstDashcam::partnerIsReported()
{
    QFETCH(QString, file);
    QFETCH(QString, partner);
    QSignalSpy sub(player, &Dashcam::subMediaTriggerd);
    player->setMedia({QUrl::fromLocalFile(clip(file))});
    QVERIFY(sub.wait(10000));
    const QUrl url = sub.first().first().toUrl();
    if (partner.isEmpty())
        QCOMPARE(url.toString(), QStringLiteral("file:///"));
    else
        QCOMPARE(url, QUrl::fromLocalFile(clip(partner)));
}

void TstDashcam::severalFilesAreAnsweredInOrder()
{
    QSignalSpy info(player, &Dashcam::fileInfoChanged);
    QSignalSpy sub(player, &Dashcam::subMediaTriggerd);
    player->setMedia({QUrl::fromLocalFile(clip("0002_F.mp4")),
                      QUrl::fromLocalFile(clip("dated.mp4")),
                      QUrl::fromLocalFile(clip("0001_R.mp4"))});
    QTRY_COMPARE_WITH_TIMEOUT(info.size(), 3, 15000);
    QStringList names;
    for (const QList<QVariant> &args : info)
        names << args.first().value<FileInfo_t>().fileName;
    QCOMPARE(names, QStringList({"0002_F.mp4", "dated.mp4", "0001_R.mp4"}));
    QCOMPARE(info.at(2).first().value<FileInfo_t>().resolution, QStringLiteral("320x240"));
    QCOMPARE(sub.size(), 1); // only the first file's partner
    QCOMPARE(player->getMediaPath(), clip("0002_F.mp4"));
}

void TstDashcam::missingFileKeepsOpenMedia()
{
    openAndWait(clip("0001_F.mp4"));
    QSignalSpy error(player, &Dashcam::mediaError);
    QSignalSpy path(player, &Dashcam::MediaPathChanged);
    player->setMedia({QUrl::fromLocalFile(clip("missing_F.mp4"))});
    QCOMPARE(error.size(), 1);
    QCOMPARE(path.size(), 0);
    QCOMPARE(player->getMediaPath(), clip("0001_F.mp4"));
    player->setMedia2(QUrl(QStringLiteral("http://127.0.0.1/x.mp4")));
    QCOMPARE(error.size(), 2);
    QCOMPARE(player->getMediaPath(), clip("0001_F.mp4"));
}

void TstDashcam::mpvLoadsNoScripts_data()
{
    QTest::addColumn<QByteArray>("option");
    for (const char *option : {"load-scripts", "ytdl", "osc", "load-stats-overlay",
                               "load-osd-console", "load-auto-profiles", "config"})
        QTest::newRow(option) << QByteArray(option);
}

void TstDashcam::mpvLoadsNoScripts()
{
    QFETCH(QByteArray, option);
    MpvCore core(QList<QPair<QByteArray, QByteArray>>{{"vo", "null"}});
    QVERIFY(core.isValid());
    QCOMPARE(core.property(("options/" + option).constData()), QVariant(false));
}

void TstDashcam::notMediaIsReported()
{
    QSignalSpy error(player, &Dashcam::mediaError);
    QSignalSpy info(player, &Dashcam::fileInfoChanged);
    // The broken first file gives way to the next one of the same request.
    player->setMedia(
        {QUrl::fromLocalFile(clip("notes.mp4")), QUrl::fromLocalFile(clip("0002_F.mp4"))});
    QVERIFY(error.wait(10000));
    QCOMPARE(error.first().first().toString(), clip("notes.mp4"));
    QTRY_COMPARE_WITH_TIMEOUT(info.size(), 1, 10000);
    QCOMPARE(info.first().first().value<FileInfo_t>().fileName, QStringLiteral("0002_F.mp4"));
    QCOMPARE(player->getMediaPath(), clip("0002_F.mp4"));
}

void TstDashcam::autoPlayTicksPosition()
{
    QSignalSpy status(player, &Dashcam::playStatusChanged);
    QSignalSpy position(player, &Dashcam::positionChanged);
    QSignalSpy info(player, &Dashcam::infoChanged);
    player->hasAutoPlaySignal();
    player->setMedia({QUrl::fromLocalFile(clip("0001_F.mp4"))});
    QTRY_COMPARE_WITH_TIMEOUT(player->playStatus(), PlayingState, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(position.size() >= 4, 10000);
    QVERIFY(position.last().first().toLongLong() > position.first().first().toLongLong());
    QVERIFY(info.size() >= 4);
    QVERIFY(!info.last().at(1).toBool()); // the clip carries no metadata
    // Playback ends at the last frame and reports the stop.
    QTRY_COMPARE_WITH_TIMEOUT(player->playStatus(), StoppedState, 10000);
    QCOMPARE(status.last().first().value<MediaPlayerStatus>(), StoppedState);
    QVERIFY(player->positionMs() > 2800);
    // The next open does not start by itself.
    openAndWait(clip("0002_F.mp4"));
    QCOMPARE(player->playStatus(), PausedState);
}

void TstDashcam::seekLandsOnPosition_data()
{
    QTest::addColumn<int>("hundredths");
    QTest::newRow("start") << 0;
    QTest::newRow("middle") << 150;
    QTest::newRow("last frame") << 296;
}

void TstDashcam::seekLandsOnPosition()
{
    QFETCH(int, hundredths);
    openAndWait(clip("0001_F.mp4"));
    player->setPosition(50);
    QTRY_VERIFY(qAbs(player->positionMs() - 500) <= 40);
    player->setPosition(hundredths);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(player->positionMs() - hundredths * 10) <= 40, 5000);
}

void TstDashcam::frameStepsMoveOneFrame()
{
    openAndWait(clip("0001_F.mp4"));
    player->setPosition(100);
    QTRY_COMPARE(player->positionMs(), qint64(1000));
    QSignalSpy position(player, &Dashcam::positionChanged);
    player->stepForward();
    QTRY_COMPARE_WITH_TIMEOUT(player->positionMs(), qint64(1040), 5000);
    // the report follows once mpv's notice of the new position reaches this thread
    QTRY_VERIFY_WITH_TIMEOUT(
        !position.isEmpty() && position.last().first().toLongLong() == qint64(1040), 5000);
    player->stepForward();
    QTRY_COMPARE_WITH_TIMEOUT(player->positionMs(), qint64(1080), 5000);
    player->stepBackward();
    QTRY_COMPARE_WITH_TIMEOUT(player->positionMs(), qint64(1040), 5000);
    QCOMPARE(player->playStatus(), PausedState);
}

// Playback moved on from its last report (between two ticks); the pause reports where it
// stopped, after the state change.
void TstDashcam::pauseReportsThePausedPosition()
{
    player->hasAutoPlaySignal();
    openAndWait(clip("0001_F.mp4"));
    QSignalSpy reports(player, &Dashcam::positionChanged);
    QTRY_VERIFY_WITH_TIMEOUT(
        !reports.isEmpty() && player->positionMs() > reports.last().first().toLongLong(), 5000);
    QObject recording; // the connections end with the case
    bool paused = false;
    QList<qint64> afterPause;
    connect(player, &Dashcam::playStatusChanged, &recording,
            [&](MediaPlayerStatus status) { paused = status == PausedState; });
    connect(player, &Dashcam::positionChanged, &recording, [&](qint64 ms) {
        if (paused)
            afterPause << ms;
    });
    player->pause();
    QVERIFY(paused);
    QCOMPARE(afterPause, QList<qint64>{player->positionMs()});
}

void TstDashcam::stopReturnsToStart()
{
    player->hasAutoPlaySignal();
    openAndWait(clip("0001_F.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 300, 5000);
    QSignalSpy status(player, &Dashcam::playStatusChanged);
    player->stop();
    QCOMPARE(player->playStatus(), StoppedState);
    QTRY_COMPARE(player->positionMs(), qint64(0));
    player->play();
    QTRY_COMPARE(player->playStatus(), PlayingState);
    player->pause();
    QTRY_COMPARE(player->playStatus(), PausedState);
}

void TstDashcam::groupPlaysAsOneClip()
{
    QSignalSpy duration(player, &Dashcam::durationChanged);
    QSignalSpy info(player, &Dashcam::fileInfoChanged);
    QVector<VideoInfo_t> samples;
    connect(player, &Dashcam::MediaChanged, this, [&](QVector<VideoInfo_t> &s) { samples = s; });
    const QTime two(0, 0, 2);
    player->setGroupMedia({QUrl::fromLocalFile(clip("g1.mp4")), QUrl::fromLocalFile(clip("g2.mp4")),
                           QUrl::fromLocalFile(clip("g3.mp4"))},
                          {two, two, two});
    QVERIFY(duration.wait(10000));
    QCOMPARE(duration.first().first().value<QTime>(), QTime(0, 0, 6));
    QCOMPARE(player->durationMs(), qint64(6000));
    QCOMPARE(samples.size(), 6); // one per second of the whole group
    QCOMPARE(info.size(), 0);    // the list already holds the group row
    QCOMPARE(player->getMediaPath(), clip("g1.mp4"));

    // One clock: a seek into the third member and playback across a member boundary.
    player->setPosition(450);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(player->positionMs() - 4500) <= 40, 5000);
    player->setPosition(180);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(player->positionMs() - 1800) <= 40, 5000);
    player->play();
    QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 2400, 10000);
    QCOMPARE(player->playStatus(), PlayingState);
}

void TstDashcam::groupMemberNamesNeedNoEscaping()
{
    QSignalSpy duration(player, &Dashcam::durationChanged);
    player->setGroupMedia(
        {QUrl::fromLocalFile(clip("a b#1%;,ä.mp4")), QUrl::fromLocalFile(clip("g1.mp4"))},
        {QTime(0, 0, 2), QTime(0, 0, 1)});
    QVERIFY(duration.wait(10000));
    QCOMPARE(player->durationMs(), qint64(3000));
}

void TstDashcam::snapshotWritesPicture()
{
    QVERIFY(!player->snapshot(clip("none.jpg"))); // nothing open
    openAndWait(clip("0001_F.mp4"));
    const QString path = clip("shot.jpg");
    QVERIFY(player->snapshot(path));
    QImage image(path);
    QCOMPARE(image.size(), QSize(320, 240));
}

void TstDashcam::releaseUnloads()
{
    openAndWait(clip("0001_F.mp4"));
    QSignalSpy path(player, &Dashcam::MediaPathChanged);
    QSignalSpy length(player, &Dashcam::lengthChanged);
    QSignalSpy position(player, &Dashcam::positionChanged);
    player->release();
    // receivers learn of the empty state: views hide, the play bar reads 00:00
    QCOMPARE(path.size(), 1);
    QCOMPARE(path.first().first().toString(), QString());
    QCOMPARE(length.size(), 1);
    QCOMPARE(length.first().first().toLongLong(), 0);
    QCOMPARE(position.size(), 1);
    QCOMPARE(position.first().first().toLongLong(), 0);
    QCOMPARE(player->getMediaPath(), QString());
    QCOMPARE(player->getResolution(), QStringLiteral("0x0"));
    QCOMPARE(player->playStatus(), StoppedState);
    player->play();
    QCOMPARE(player->playStatus(), StoppedState);
    openAndWait(clip("0002_F.mp4"));
    QCOMPARE(player->getResolution(), QStringLiteral("160x120"));
}

void TstDashcam::previewShowsPicture()
{
    player->hasAutoPlaySignal();
    openAndWait(clip("0001_F.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 1000, 10000);
    player->pause();
    QTRY_COMPARE(player->playStatus(), PausedState);
    // testsrc is colourful: once the last frame reaches the view it is not one flat colour.
    const auto colourful = [this] {
        const QImage picture = player->getVideoWidget()->grabFramebuffer();
        return !picture.isNull() &&
               picture.pixelColor(picture.width() / 8, picture.height() / 8) !=
                   picture.pixelColor(picture.width() * 7 / 8, picture.height() / 8);
    };
    QTRY_VERIFY_WITH_TIMEOUT(colourful(), 5000);
    TestSupport::saveScreenshot(preview.get(), QStringLiteral("dashcam_preview"));
}

void TstDashcam::samplesFollowPlayback()
{
    // A receiver of the samples may rewrite them; the ticks then carry its values.
    int received = 0;
    connect(player, &Dashcam::MediaChanged, this, [&](QVector<VideoInfo_t> &samples) {
        received = samples.size();
        if (!samples.isEmpty())
            samples.last().compassText = QStringLiteral("NE");
    });
    QSignalSpy info(player, &Dashcam::infoChanged);
    openAndWait(clip("ride.mov"));
    QCOMPARE(received, 3);
    QVERIFY(!info.isEmpty());
    QCOMPARE(info.last().at(0).value<VideoInfo_t>().speedKmh, 10.0);
    QVERIFY(info.last().at(1).toBool());

    info.clear();
    player->setPosition(250);
    QTRY_VERIFY_WITH_TIMEOUT(
        !info.isEmpty() && info.last().at(0).value<VideoInfo_t>().speedKmh == 30.0, 5000);
    const VideoInfo_t third = info.last().at(0).value<VideoInfo_t>();
    QVERIFY(info.last().at(1).toBool());
    QCOMPARE(third.compassText, QStringLiteral("NE"));
    QVERIFY(!third.recordTime.isEmpty());
}

// The samples are read beside the opening file: its picture shows while they are still being
// read, and the signals follow in their order once they are there.
void TstDashcam::pictureComesBeforeTheSamples()
{
    QSemaphore gate;
    std::atomic<bool> read{false};
    player->setSampleReader([&gate, &read](const QString &) {
        gate.tryAcquire(1, 10000); // held until the test has seen the picture
        read = true;
        return QVector<VideoInfo_t>(2);
    });
    QStringList order;
    connect(player, &Dashcam::MediaChanged, this, [&](QVector<VideoInfo_t> &samples) {
        order << QStringLiteral("samples %1").arg(samples.size());
    });
    connect(player, &Dashcam::durationChanged, this, [&](QTime) { order << "duration"; });
    player->setMedia({QUrl::fromLocalFile(clip("red.mp4"))});
    VideoWidget *view = player->getVideoWidget();
    QTRY_VERIFY_WITH_TIMEOUT(
        TestSupport::isNear(
            view->grabFramebuffer().pixelColor(view->width() / 2, view->height() / 2), Qt::red),
        10000);
    QVERIFY(!read);
    QVERIFY(order.isEmpty());
    QCOMPARE(player->durationMs(), 0);
    gate.release();
    QTRY_COMPARE_WITH_TIMEOUT(order, QStringList({"samples 2", "duration"}), 10000);
}

void TstDashcam::secondFileGetsOnlyItsOwnSamples_data()
{
    // how far the first file (red, 2 s) has come when the second (blue, 3 s) is opened
    QTest::addColumn<bool>("firstRead");  // its samples are read
    QTest::addColumn<bool>("firstShown"); // its picture is shown
    QTest::addColumn<bool>("firstOpen");  // it is open
    QTest::addColumn<bool>("secondHeld"); // the second's samples come after its picture
    QTest::newRow("first reading") << false << false << false << false;
    QTest::newRow("first reading, its picture shown") << false << true << false << false;
    QTest::newRow("first reading, second late") << false << false << false << true;
    QTest::newRow("first read, its report queued") << true << false << false << true;
    QTest::newRow("first open, second late") << true << true << true << true;
}

// Opening a file while the samples of the one before are still on their way: the new file gets
// its own samples, whether they come before or after its picture, and never the old file's.
void TstDashcam::secondFileGetsOnlyItsOwnSamples()
{
    QFETCH(bool, firstRead);
    QFETCH(bool, firstShown);
    QFETCH(bool, firstOpen);
    QFETCH(bool, secondHeld);
    const QString first = clip("red.mp4");
    const QString second = clip("blue.mp4");
    QSemaphore firstGate;
    QSemaphore secondGate;
    std::atomic<bool> firstStarted{false};
    std::atomic<bool> secondRead{false};
    player->setSampleReader([&, first](const QString &path) {
        if (path == first) {
            firstStarted = true;
            firstGate.tryAcquire(1, 20000);
            return namedSamples(QStringLiteral("red"), 2);
        }
        secondGate.tryAcquire(1, 20000);
        secondRead = true;
        return namedSamples(QStringLiteral("blue"), 3);
    });
    QStringList handed;
    connect(player, &Dashcam::MediaChanged, this,
            [&](QVector<VideoInfo_t> &samples) { handed << describe(samples); });
    if (!secondHeld)
        secondGate.release();
    if (firstRead)
        firstGate.release();
    const auto drain = qScopeGuard([&] {
        // no reader waits on this function's gates once it has returned
        firstGate.release();
        secondGate.release();
        WorkerPool::drives().waitForDone(30000);
    });
    const auto shows = [this](const QColor &colour) {
        VideoWidget *view = player->getVideoWidget();
        return TestSupport::isNear(
            view->grabFramebuffer().pixelColor(view->width() / 2, view->height() / 2), colour);
    };

    player->setMedia({QUrl::fromLocalFile(first)});
    if (firstRead && !firstOpen) {
        // no event handled meanwhile: the read is over, its report waits in the queue
        WorkerPool::drives().waitForDone(30000);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(firstStarted, 10000);
    }
    if (firstShown)
        QTRY_VERIFY_WITH_TIMEOUT(shows(Qt::red), 10000);
    if (firstOpen)
        QTRY_COMPARE_WITH_TIMEOUT(handed, QStringList({"red 2"}), 10000);
    const int before = handed.size();
    player->setMedia({QUrl::fromLocalFile(second)});
    if (secondHeld) {
        QTRY_VERIFY_WITH_TIMEOUT(shows(Qt::blue), 10000);
        QVERIFY(!secondRead);
        QCOMPARE(handed.size(), before);
        secondGate.release();
    }
    QTRY_COMPARE_WITH_TIMEOUT(handed.mid(before), QStringList({"blue 3"}), 10000);
    QCOMPARE(player->durationMs(), qint64(3000));
    QCOMPARE(player->getMediaPath(), second);

    // the first file's read ends late: nothing of it reaches the open file
    firstGate.release();
    WorkerPool::drives().waitForDone(30000);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(handed.mid(before), QStringList({"blue 3"}));
    QSignalSpy info(player, &Dashcam::infoChanged);
    player->setPosition(250);
    QTRY_VERIFY_WITH_TIMEOUT(!info.isEmpty() && info.last().at(1).toBool(), 5000);
    QCOMPARE(info.last().at(0).value<VideoInfo_t>().compassText, QStringLiteral("blue"));
}

void TstDashcam::playerDeletedInsideItsStopSignal_data()
{
    QTest::addColumn<bool>("withView"); // the player's view is laid out in a shown window
    QTest::newRow("alone") << false;
    QTest::newRow("in its preview") << true;
}

// A receiver may delete the player when its clip ends, from inside the stop report that mpv's
// end of file brings.
void TstDashcam::playerDeletedInsideItsStopSignal()
{
    QFETCH(bool, withView);
    std::unique_ptr<Dashcam> alone;
    QPointer<Dashcam> played = player;
    if (!withView) {
        alone = std::make_unique<Dashcam>();
        played = alone.get();
    }
    connect(played, &Dashcam::playStatusChanged, this, [&](MediaPlayerStatus status) {
        if (status != StoppedState)
            return;
        if (withView)
            preview.reset();
        else
            alone.reset();
    });
    played->hasAutoPlaySignal();
    played->setMedia({QUrl::fromLocalFile(clip("0003_R.mp4"))});
    QTRY_VERIFY_WITH_TIMEOUT(!played, 15000);
    player = nullptr;
}

TALVEX_TEST_MAIN(TstDashcam)
#include "tst_dashcam.moc"
