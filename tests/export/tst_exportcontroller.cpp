#include "appglobals.h"
#include "exportcontroller.h"
#include "exporttestfiles.h"
#include "ffmpeg_editor_p.h"
#include "gpstrailer.h"
#include "metadataparser.h"
#include "testsupport.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int stepTimeoutMs = 180000;
const QByteArray cutSignature = "fmt....NOVATEK.....?inf....trim....?";
const QByteArray exportJoinSignature = "fmt....trim.....?inf....group....?";
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

// The windows as an export sees them, set by each test.
struct FakeHost : ExportHost
{
    int display = 0;
    int swap = 0;
    QString range;
    QString mainPath;
    QString secondPath;
    QSize size{320, 240};
    int height = 240;
    CameraPicture mainPicture;
    CameraPicture secondPicture;
    int location = -1;
    bool partner = false;
    QString mainCell;
    QString secondCell;
    QString sizeCell = QStringLiteral("1MB");
    QMap<QString, QString> durations;

    int displayMode() const override { return display; }
    int pipSwap() const override { return swap; }
    QString editTimeRangeText() const override { return range; }
    QString mediaPath(bool mainCamera) const override { return mainCamera ? mainPath : secondPath; }
    QSize videoSize(bool) const override { return size; }
    int viewHeight(bool) const override { return height; }
    CameraPicture cameraPicture(bool mainCamera) const override
    {
        return mainCamera ? mainPicture : secondPicture;
    }
    int locationCode() const override { return location; }
    bool hasPartner() const override { return partner; }
    QString groupPathCell(bool secondRow) const override
    {
        return secondRow ? secondCell : mainCell;
    }
    QString groupSizeCell() const override { return sizeCell; }
    QString clipDuration(const QString &path) const override { return durations.value(path); }
};

bool isNear(const QColor &a, const QColor &b)
{
    return TestSupport::isNear(a, b, 59);
}

// A frame of a video at 0.5 s.
QImage frameOf(const QString &video, const QString &png)
{
    if (!TestSupport::runFfmpeg({"-y", "-ss", "0.5", "-i", video, "-frames:v", "1", png}))
        return QImage();
    return QImage(png);
}

// A clip of one colour with a red square in its top-left corner, sound when asked, and a GPS
// trailer of samples.
bool makeMarkedClip(const QString &path, int seconds, const QString &colour, bool audio,
                    const QVector<VideoInfo_t> &samples)
{
    if (!TestSupport::makeLavfiClip(
            path, QStringLiteral("color=c=%1:s=320x240:r=25:d=%2").arg(colour).arg(seconds),
            seconds, audio, QStringLiteral("drawbox=x=0:y=0:w=60:h=60:color=red:t=fill")))
        return false;
    return samples.isEmpty() || ExportTestFiles::appendTrailer(path, samples);
}

QVector<VideoInfo_t> samplesFrom(int first, int count)
{
    return ExportTestFiles::makeSamples(first + count).mid(first);
}

QVector<VideoInfo_t> readBack(const QString &path, DashcamType *type)
{
    MetadataParser parser;
    VideoInfoMap perSecond;
    QVector<VideoInfo_t> samples;
    QVector<QByteArray> raw;
    QByteArray separator, head, tail;
    *type = parser.loadMetadata(path, &perSecond, &samples, &raw, &separator, &head, &tail, false);
    return samples;
}

} // namespace

class TstExportController : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir fixtures;
    QString previousDir;
    int savedDisplayMode = 0;
    std::unique_ptr<QTemporaryDir> work;
    FakeHost host;
    std::unique_ptr<FFmpeg_editor_p> editor;
    std::unique_ptr<ExportController> controller;
    QStringList groupMain;
    QStringList groupSecond;

    QString fixture(const QString &name) const { return fixtures.filePath(name); }
    QString workFile(const QString &name) const { return work->filePath(name); }

    // The runner's signals reach the controller as the main window routes them.
    void wire()
    {
        FFmpeg_editor_p *e = editor.get();
        ExportController *c = controller.get();
        connect(e, &FFmpeg_editor_p::cutVideoTriggered, c, &ExportController::onEditorSetting);
        connect(e, &FFmpeg_editor_p::videoIndexInfoTriggered, c,
                &ExportController::onGetIndexVideoGroupInfo);
        connect(e, &FFmpeg_editor_p::cutVideoGroupTriggered, c,
                &ExportController::onEditorSettingGroup);
        connect(e, &FFmpeg_editor_p::processEnd, c, &ExportController::onProcessGroupOutputSetting);
        connect(e, &FFmpeg_editor_p::processSubVideo, c, &ExportController::onGetVideoGroupInfo);
        connect(e, &FFmpeg_editor_p::mixtureVideoGroup, c, &ExportController::onMixtureVideoGroup);
        connect(e, &FFmpeg_editor_p::getGroupOutputSetting, c,
                [e, c] { e->onGetGroupOutputSetting(c->groupOutputSetting()); });
        // the main window's end of an export
        connect(e, &FFmpeg_editor_p::finished, c, &ExportController::cleanUp);
        connect(e, &FFmpeg_editor_p::editorErrorTriggered, c, &ExportController::cleanUp);
        connect(c, &ExportController::exportError, c, &ExportController::cleanUp);
    }

    enum class End
    {
        Finished,
        Failed,
        TooShort,
        TimedOut
    };

    // Starts an export and waits for its end.
    End exportAndWait(const EditorOutputSetting_t &value, bool group)
    {
        gDisplayMode = host.display;
        End end = End::TimedOut;
        QEventLoop loop;
        QTimer::singleShot(stepTimeoutMs, &loop, &QEventLoop::quit);
        const auto stop = [&](End e) {
            end = e;
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        };
        const QList<QMetaObject::Connection> connections{
            connect(editor.get(), &FFmpeg_editor_p::finished, this, [&] { stop(End::Finished); }),
            connect(editor.get(), &FFmpeg_editor_p::editorErrorTriggered, this,
                    [&] { stop(End::Failed); }),
            connect(controller.get(), &ExportController::exportError, this,
                    [&] { stop(End::Failed); }),
            connect(controller.get(), &ExportController::cutTooShort, this,
                    [&] { stop(End::TooShort); }),
        };
        if (group)
            controller->onGetVideoGroupInfo(value, false);
        else
            controller->onGetVideoInfo(value);
        loop.exec();
        for (const auto &connection : connections)
            disconnect(connection);
        return end;
    }

    static EditorOutputSetting_t setting(const QString &output)
    {
        EditorOutputSetting_t value;
        value.outputPath = output;
        return value;
    }

    // The list's group rows, played by the players.
    void useGroups(bool withSecond)
    {
        host.mainCell = groupMain.join(';') + ';';
        host.secondCell = withSecond ? groupSecond.join(';') + ';' : QString();
        host.mainPath = groupMain.first();
        host.secondPath = withSecond ? groupSecond.first() : QString();
        for (const QString &path : groupMain + groupSecond)
            host.durations.insert(path, QStringLiteral("00:00:04"));
    }

    // What an export may leave in the output folder or the working directory: nothing.
    QStringList leftovers() const
    {
        return QDir(work->path())
            .entryList({"temp*", ".*part*", "clip.txt", ".export-*"},
                       QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(fixtures.isValid());
        previousDir = QDir::currentPath();
        savedDisplayMode = gDisplayMode;
        QVERIFY(makeMarkedClip(fixture("front.mov"), 6, "black", true, samplesFrom(0, 6)));
        QVERIFY(makeMarkedClip(fixture("rear.mov"), 6, "blue", false, samplesFrom(0, 6)));
        QVERIFY(makeMarkedClip(fixture("plain.mov"), 4, "black", true, {}));
        // 30 s with its index in front, of which only the first tenth is left
        QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=320x240:r=25:d=30", "-c:v",
                                        "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                        "-movflags", "+faststart", fixture("whole.mov")}));
        const QByteArray whole = TestSupport::contentOf(fixture("whole.mov"));
        QFile cutOff(fixture("cut off.mov"));
        QVERIFY(cutOff.open(QIODevice::WriteOnly));
        QCOMPARE(cutOff.write(whole.left(whole.size() / 10)), qint64(whole.size() / 10));
        cutOff.close();
        for (int i = 0; i < 3; ++i) {
            groupMain << fixture(QStringLiteral("g%1_F.mov").arg(i));
            groupSecond << fixture(QStringLiteral("g%1_R.mov").arg(i));
            QVERIFY(makeMarkedClip(groupMain.last(), 4, "black", true, samplesFrom(4 * i, 4)));
            QVERIFY(makeMarkedClip(groupSecond.last(), 4, "blue", false, samplesFrom(4 * i, 4)));
        }
        // an hour and more, tiny and at a low rate, so that it is made and read quickly
        QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=s=32x32:r=2:d=3700", "-c:v",
                                        "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                                        fixture("long.mov")}));
    }

    void cleanupTestCase()
    {
        QDir::setCurrent(previousDir);
        gDisplayMode = savedDisplayMode;
    }

    void init()
    {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
        QDir::setCurrent(work->path()); // clip.txt and FFmpeg/ffmpeg live here
        host = FakeHost();
        host.mainPath = fixture("front.mov");
        editor = std::make_unique<FFmpeg_editor_p>();
        controller = std::make_unique<ExportController>(&host, editor.get());
        wire();
    }

    void cleanup()
    {
        controller.reset();
        editor.reset();
        QDir::setCurrent(previousDir);
        gDisplayMode = savedDisplayMode;
    }

    void singleCut_data()
    {
        QTest::addColumn<int>("flip");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QPoint>("redAt");
        QTest::newRow("flip off") << 0 << 0 << QPoint(20, 20);
        QTest::newRow("flip on") << 1 << 180 << QPoint(300, 220);
    }
    // A cut of one file: its arguments, length, size, sound, orientation and GPS records.
    void singleCut()
    {
        QFETCH(int, flip);
        QFETCH(int, rotation);
        QFETCH(QPoint, redAt);
        host.range = "00:01 ~ 00:03";
        host.mainPicture.verticalFlip = flip;
        const QString output = workFile("cut.mov");
        QCOMPARE(exportAndWait(setting(output), false), End::Finished);

        const QStringList expected{
            "-ss",
            "1",
            "-i",
            fixture("front.mov"),
            "-ss",
            "0",
            "-t",
            "2",
            "-vf",
            QStringLiteral("eq=brightness=0:saturation=1,rotate=%1*(PI/180)").arg(rotation),
            "-b:v",
            "20000K",
            "-acodec",
            "copy",
            "-map_metadata",
            "0",
            output};
        QCOMPARE(editor->lastRunArguments(), expected);

        bool hasAudio = false;
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output, &hasAudio) - 2.0) <= 0.1);
        QVERIFY(hasAudio);
        const QImage frame = frameOf(output, workFile("frame.png"));
        QCOMPARE(frame.size(), QSize(320, 240));
        QVERIFY2(isNear(frame.pixelColor(redAt), red), qPrintable(frame.pixelColor(redAt).name()));
        const QPoint opposite(320 - redAt.x(), 240 - redAt.y());
        QVERIFY(!isNear(frame.pixelColor(opposite), red));

        // seconds 1 to 3 of the source, read back as a file of the player's own
        QByteArray trailer = GpsTrailer::marker();
        const QVector<VideoInfo_t> source = samplesFrom(0, 6);
        for (int second = 1; second <= 3; ++second)
            trailer += GpsTrailer::record(source.at(second));
        trailer += cutSignature;
        QVERIFY(TestSupport::contentOf(output).endsWith(trailer));
        DashcamType type = 0;
        const QVector<VideoInfo_t> read = readBack(output, &type);
        QCOMPARE(type, DashcamTypes::exported);
        QCOMPARE(read.size(), 3);
        for (int i = 0; i < read.size(); ++i)
            QCOMPARE(read.at(i).clockTime, source.at(1 + i).clockTime);
        QVERIFY(leftovers().isEmpty());
    }

    void removedParts_data()
    {
        QTest::addColumn<bool>("audio");
        QTest::addColumn<bool>("gps");
        QTest::newRow("audio removed") << false << true;
        QTest::newRow("GPS removed") << true << false;
    }
    void removedParts()
    {
        QFETCH(bool, audio);
        QFETCH(bool, gps);
        host.range = "00:01 ~ 00:03";
        EditorOutputSetting_t value = setting(workFile("cut.mov"));
        value.haveAudio = audio;
        value.haveGps = gps;
        QCOMPARE(exportAndWait(value, false), End::Finished);
        bool hasAudio = true;
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(value.outputPath, &hasAudio) - 2.0) <= 0.1);
        QCOMPARE(hasAudio, audio);
        QCOMPARE(editor->lastRunArguments().contains("-an"), !audio);
        const QByteArray content = TestSupport::contentOf(value.outputPath);
        QCOMPARE(content.endsWith(GpsTrailer::marker() + cutSignature), !gps);
        QCOMPARE(content.contains("GPSDATA--"), gps);
    }

    // Both cameras, the second one in the left top corner inside its white frame.
    void pictureInPictureCutAtACorner()
    {
        host.display = 1;
        host.partner = true;
        host.secondPath = fixture("rear.mov");
        host.location = 3; // left_top
        host.height = 60;  // a frame of 240 * 8 / 60 = 32 pixels
        host.range = "00:00 ~ 00:02";
        EditorOutputSetting_t value = setting(workFile("pip.mov"));
        value.mainVideoSide = 0;
        QCOMPARE(exportAndWait(value, false), End::Finished);
        const QStringList args = editor->lastRunArguments();
        QCOMPARE(args.mid(0, 8), QStringList({"-ss", "0", "-i", fixture("front.mov"), "-ss", "0",
                                              "-i", fixture("rear.mov")}));
        QVERIFY(args.contains("color=white:150x98:d=3,format=rgb24"));

        const QImage frame = frameOf(value.outputPath, workFile("frame.png"));
        QVERIFY(!frame.isNull());
        QVERIFY2(isNear(frame.pixelColor(4, 4), Qt::white),
                 qPrintable(frame.pixelColor(4, 4).name()));
        QVERIFY(isNear(frame.pixelColor(60, 60), blue));        // the second picture
        QVERIFY(isNear(frame.pixelColor(280, 200), Qt::black)); // the main one
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(value.outputPath) - 2.0) <= 0.1);
    }

    void bigPictureIsTheFirstInput_data()
    {
        QTest::addColumn<bool>("partner");
        QTest::addColumn<QStringList>("inputs");
        QTest::newRow("swapped, with partner")
            << true << QStringList{"-ss", "0", "-i", fixture("rear.mov"),
                                   "-ss", "0", "-i", fixture("front.mov")};
        QTest::newRow("swapped, no partner")
            << false << QStringList{"-ss", "0", "-i", fixture("front.mov")};
    }
    void bigPictureIsTheFirstInput()
    {
        QFETCH(bool, partner);
        QFETCH(QStringList, inputs);
        host.display = 1;
        host.swap = 1;
        host.partner = partner;
        host.secondPath = fixture("rear.mov");
        host.location = 7;
        host.range = "00:00 ~ 00:01";
        EditorOutputSetting_t value = setting(workFile("big.mov"));
        value.mainVideoSide = 0;
        QCOMPARE(exportAndWait(value, false), End::Finished);
        QCOMPARE(editor->lastRunArguments().mid(0, inputs.size()), inputs);
        QCOMPARE(editor->lastRunArguments().contains("-filter_complex"), partner);
    }

    // Times of an hour and more are read as they are shown ("61:00" is 3660 s).
    void cutPastOneHour()
    {
        host.mainPath = fixture("long.mov");
        host.range = "61:00 ~ 61:05";
        const QString output = workFile("late.mov");
        QCOMPARE(exportAndWait(setting(output), false), End::Finished);
        QCOMPARE(editor->lastRunArguments().mid(0, 8),
                 QStringList({"-ss", "3660", "-i", fixture("long.mov"), "-ss", "0", "-t", "5"}));
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 5.0) <= 0.1);
    }

    void cutShorterThanOneSecondWarns()
    {
        host.range = "00:02 ~ 00:02";
        QSignalSpy started(editor.get(), &FFmpeg_editor_p::started);
        QCOMPARE(exportAndWait(setting(workFile("none.mov")), false), End::TooShort);
        QCOMPARE(started.count(), 0);
    }

    void badRequestsEndOnTheErrorPage_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("kind");
        QTest::newRow("no ~ in the range") << "00:01"
                                           << "out.mov" << int(ExportFailure::Other);
        QTest::newRow("empty output path") << "00:01 ~ 00:03"
                                           << "" << int(ExportFailure::Other);
        QTest::newRow("folder cannot be made")
            << "00:01 ~ 00:03"
            << "/proc/no/out.mov" << int(ExportFailure::FolderNotWritable);
    }
    void badRequestsEndOnTheErrorPage()
    {
        QFETCH(QString, range);
        QFETCH(QString, output);
        QFETCH(int, kind);
        host.range = range;
        const QString path = output.startsWith('/') || output.isEmpty() ? output : workFile(output);
        QCOMPARE(exportAndWait(setting(path), false), End::Failed);
        QCOMPARE(int(controller->failure().kind), kind);
    }

    // Three clips of one camera: a piece of each, joined, with the records of the cut seconds.
    void groupOfThreeClips()
    {
        useGroups(false);
        host.range = "00:02 ~ 00:10";
        QSignalSpy pieces(editor.get(), &FFmpeg_editor_p::processEnd);
        const QString output = workFile("group.mov");
        QCOMPARE(exportAndWait(setting(output), true), End::Finished);
        QCOMPARE(pieces.count(), 3);
        const QStringList join = editor->lastRunArguments();
        QCOMPARE(join.mid(0, 5), QStringList({"-f", "concat", "-safe", "0", "-i"}));
        // the list in the work folder, reached through its descriptor
        QVERIFY2(join.at(5).startsWith("/proc/self/fd/"), qPrintable(join.at(5)));
        bool hasAudio = false;
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output, &hasAudio) - 8.0) <= 0.15);
        QVERIFY(hasAudio);

        // seconds 2 and 3 of the first clip, all of the second, 0 and 1 of the third
        const QVector<VideoInfo_t> all = samplesFrom(0, 12);
        QByteArray trailer = GpsTrailer::marker();
        for (int second : {2, 3, 4, 5, 6, 7, 8, 9})
            trailer += GpsTrailer::record(all.at(second));
        trailer += exportJoinSignature;
        QVERIFY(TestSupport::contentOf(output).endsWith(trailer));
        DashcamType type = 0;
        QCOMPARE(readBack(output, &type).size(), 8);
        QCOMPARE(type, DashcamTypes::exported);
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    // Both cameras' groups: each cut and joined, the second laid over the first.
    void dualViewGroupIsMixed()
    {
        useGroups(true);
        host.display = 1;
        host.partner = true;
        host.location = 3;
        host.range = "00:02 ~ 00:10";
        EditorOutputSetting_t value = setting(workFile("mix.mov"));
        value.mainVideoSide = 0;
        QSignalSpy mixed(editor.get(), &FFmpeg_editor_p::mixtureVideoGroup);
        QCOMPARE(exportAndWait(value, true), End::Finished);
        QCOMPARE(mixed.count(), 1);
        bool hasAudio = false;
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(value.outputPath, &hasAudio) - 8.0) <= 0.15);
        QVERIFY(hasAudio); // the main pass's audio
        const QImage frame = frameOf(value.outputPath, workFile("frame.png"));
        QCOMPARE(frame.size(), QSize(1280, 960));
        QVERIFY(isNear(frame.pixelColor(4, 4), Qt::white));
        QVERIFY(isNear(frame.pixelColor(300, 200), blue)); // past its red corner
        QVERIFY(isNear(frame.pixelColor(1200, 900), Qt::black));
        // the records of the joined main camera's cut
        DashcamType type = 0;
        QCOMPARE(readBack(value.outputPath, &type).size(), 8);
        QCOMPARE(type, DashcamTypes::exported);
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    // One silent clip makes the whole pass silent instead of breaking the join.
    void groupWithASilentClipHasNoAudio()
    {
        useGroups(false);
        host.mainCell = groupMain.at(0) + ';' + groupSecond.at(1) + ';' + groupMain.at(2) + ';';
        host.range = "00:02 ~ 00:10";
        const QString output = workFile("silent.mov");
        QCOMPARE(exportAndWait(setting(output), true), End::Finished);
        bool hasAudio = true;
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output, &hasAudio) - 8.0) <= 0.15);
        QVERIFY(!hasAudio);
    }

    // A second group that ends before the cut begins leaves the main camera's export.
    void secondGroupShortOfTheCutIsLeftOut()
    {
        useGroups(true);
        host.secondCell = groupSecond.first() + ';';
        host.display = 1;
        host.partner = true;
        host.location = 3;
        host.range = "00:05 ~ 00:10";
        EditorOutputSetting_t value = setting(workFile("main only.mov"));
        value.mainVideoSide = 0;
        QSignalSpy mixed(editor.get(), &FFmpeg_editor_p::mixtureVideoGroup);
        QCOMPARE(exportAndWait(value, true), End::Finished);
        QCOMPARE(mixed.count(), 0);
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(value.outputPath) - 5.0) <= 0.15);
        DashcamType type = 0;
        QCOMPARE(readBack(value.outputPath, &type).size(), 5);
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    // A folder with a blank and a quote in its name, through the concat list.
    void groupIntoAnOddFolder()
    {
        useGroups(false);
        host.range = "00:03 ~ 00:06";
        const QString output = workFile("it's a folder/out.mov");
        QCOMPARE(exportAndWait(setting(output), true), End::Finished);
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output) - 3.0) <= 0.15);
        QVERIFY(QDir(workFile("it's a folder"))
                    .entryList({"temp*", ".export-*"}, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
    }

    void groupChecksFail_data()
    {
        QTest::addColumn<bool>("mixedTypes");
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("onScreen");
        QTest::addColumn<int>("error");
        QTest::newRow("two camera types") << true << "1MB" << true << int(EditorDifferentDevices);
        QTest::newRow("too little space")
            << false << "999999999MB" << true << int(EditorNoDiskSpace);
        // the list's current row is a group, the player shows another file
        QTest::newRow("not the group on screen") << false << "1MB" << false << int(EditorFailed);
    }
    void groupChecksFail()
    {
        QFETCH(bool, mixedTypes);
        QFETCH(QString, size);
        QFETCH(bool, onScreen);
        QFETCH(int, error);
        useGroups(false);
        if (!onScreen)
            host.mainPath = fixture("front.mov");
        if (mixedTypes) {
            host.mainCell = groupMain.at(0) + ';' + fixture("plain.mov") + ';';
            host.durations.insert(fixture("plain.mov"), "00:00:04");
        }
        host.sizeCell = size;
        host.range = "00:01 ~ 00:06";
        // the same free space on any machine, also where it cannot be read
        controller->setFreeSpace([](const QString &) { return qint64(100) * 1024 * 1024; });
        QSignalSpy failed(controller.get(), &ExportController::exportError);
        QSignalSpy started(editor.get(), &FFmpeg_editor_p::started);
        QCOMPARE(exportAndWait(setting(workFile("g.mov")), true), End::Failed);
        QCOMPARE(int(failed.first().at(0).value<Editor_e>()), error);
        QCOMPARE(started.count(), 0);
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    // Four and a half times the group's size must be free on the output's volume; free space
    // that cannot be read refuses nothing.
    void freeSpaceCheck_data()
    {
        QTest::addColumn<qint64>("freeBytes");
        QTest::addColumn<bool>("refused");
        const qint64 mb = 1024 * 1024;
        QTest::newRow("just enough") << 450 * mb << false;
        QTest::newRow("a byte short") << 450 * mb - 1 << true;
        QTest::newRow("unknown") << qint64(-1) << false;
    }
    void freeSpaceCheck()
    {
        QFETCH(qint64, freeBytes);
        QFETCH(bool, refused);
        useGroups(false);
        host.sizeCell = "100MB";
        host.range = "00:01 ~ 00:06";
        QString askedFolder;
        controller->setFreeSpace([&](const QString &folder) {
            askedFolder = folder;
            return freeBytes;
        });
        QSignalSpy failed(controller.get(), &ExportController::exportError);
        QDir().mkpath(workFile("out"));
        controller->onGetVideoGroupInfo(setting(workFile("out/g.mov")), false);
        QCOMPARE(askedFolder, workFile("out"));
        QCOMPARE(failed.count(), refused ? 1 : 0);
        if (refused)
            QCOMPARE(failed.first().at(0).value<Editor_e>(), EditorNoDiskSpace);
        QCOMPARE(editor->isRunning(), !refused); // the probes of the pieces began
        editor->cancel();
        QTRY_VERIFY(!editor->isRunning());
    }

    // Both containers a user is likely to type: each kind of export plays and keeps its records.
    void outputContainers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("records");
        for (const char *suffix : {"mp4", "mov"}) {
            QTest::addRow("single cut to .%s", suffix) << "single" << suffix << 2.0 << 3;
            QTest::addRow("picture in picture to .%s", suffix) << "pip" << suffix << 2.0 << 3;
            QTest::addRow("group join to .%s", suffix) << "group" << suffix << 8.0 << 8;
            QTest::addRow("mix to .%s", suffix) << "mix" << suffix << 8.0 << 8;
        }
    }
    void outputContainers()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(double, seconds);
        QFETCH(int, records);
        const bool group = kind == "group" || kind == "mix";
        if (group)
            useGroups(kind == "mix");
        if (kind == "pip" || kind == "mix") {
            host.display = 1;
            host.partner = true;
            host.location = 3;
            if (kind == "pip")
                host.secondPath = fixture("rear.mov");
        }
        host.range = group ? "00:02 ~ 00:10" : "00:01 ~ 00:03";
        EditorOutputSetting_t value = setting(workFile("out." + suffix));
        value.mainVideoSide = host.display == 1 ? 0 : 1;
        QCOMPARE(exportAndWait(value, group), End::Finished);
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(value.outputPath) - seconds) <= 0.15);
        DashcamType type = 0;
        QCOMPARE(readBack(value.outputPath, &type).size(), records);
        QCOMPARE(type, DashcamTypes::exported);
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    // A source that ends before the cut does (a card pulled, a file cut off) gives no short
    // file: the error page, and an existing file of the output's name as it was.
    void sourceEndingEarly_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("range");
        QTest::addColumn<bool>("finishes");
        QTest::newRow("file cut off after a tenth") << "cut off.mov"
                                                    << "00:00 ~ 00:30" << false;
        // the cut runs past the end of a whole file: what the file has is the cut
        QTest::newRow("span past the file's own end") << "front.mov"
                                                      << "00:04 ~ 00:09" << true;
    }
    void sourceEndingEarly()
    {
        QFETCH(QString, source);
        QFETCH(QString, range);
        QFETCH(bool, finishes);
        host.mainPath = fixture(source);
        host.range = range;
        const QString output = workFile("kept.mov");
        QVERIFY(QFile::copy(fixture("plain.mov"), output));
        const QByteArray before = TestSupport::contentOf(output);
        const End end = exportAndWait(setting(output), false);
        if (finishes) {
            QCOMPARE(end, End::Finished);
            return;
        }
        QCOMPARE(end, End::Failed);
        QCOMPARE(int(controller->failure().kind), int(ExportFailure::ShortOutput));
        QCOMPARE(TestSupport::contentOf(output), before);
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    // An ffmpeg that fails at the join: the error page, and nothing of the export left behind.
    void failedStepLeavesNothing()
    {
        const QString real = QStandardPaths::findExecutable("ffmpeg");
        QVERIFY(!real.isEmpty());
        QVERIFY(ExportTestFiles::writeFfmpegStandIn(
            work->path(), QStringLiteral("case \"$*\" in *concat*) echo 'Conversion failed!' >&2; "
                                         "exit 1;; esac\nexec \"%1\" \"$@\"\n")
                              .arg(real)
                              .toUtf8()));
        useGroups(false);
        host.range = "00:02 ~ 00:10";
        const QString output = workFile("group.mov");
        QCOMPARE(exportAndWait(setting(output), true), End::Failed);
        QCOMPARE(int(controller->failure().kind), int(ExportFailure::FfmpegError));
        QCOMPARE(controller->failure().detail, QString("Conversion failed!"));
        QVERIFY(!QFile::exists(output));
        QVERIFY2(leftovers().isEmpty(), qPrintable(leftovers().join(',')));
    }

    void groupCutLocations_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        // first clip, start offset, last clip, end offset, first piece, whole length
        QTest::addColumn<QVector<int>>("expected");
        QTest::newRow("over three clips") << 50 << 130 << QVector<int>{0, 50, 2, 10, 10, 80};
        QTest::newRow("inside one clip") << 5 << 20 << QVector<int>{0, 5, 0, 20, 15, 15};
        QTest::newRow("start on a boundary") << 60 << 90 << QVector<int>{1, 0, 1, 30, 30, 30};
        QTest::newRow("end on a boundary") << 30 << 120 << QVector<int>{0, 30, 1, 60, 30, 90};
        QTest::newRow("end past the list") << 150 << 400 << QVector<int>{2, 30, 2, 60, 30, 30};
        QTest::newRow("start past the list") << 200 << 400 << QVector<int>{2, 80, 2, 60, -20, -20};
    }
    void groupCutLocations()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QVector<int>, expected);
        const GroupCut cut = GroupCut::locate({60, 60, 60}, start, end);
        QCOMPARE((QVector<int>{cut.first, cut.startOffset, cut.last, cut.endOffset, cut.firstLength,
                               cut.length}),
                 expected);
        QCOMPARE(cut.isValid(), expected.last() > 0);
    }

    void inputsAreTheFilesBeingCut_data()
    {
        QTest::addColumn<bool>("partner");
        QTest::newRow("the second row pairs the main one") << true;
        QTest::newRow("the second row is another file") << false;
    }
    // What the output may not name: both players' files, the main row's group, and the second
    // row's only while it is cut with the main one.
    void inputsAreTheFilesBeingCut()
    {
        QFETCH(bool, partner);
        host.mainPath = QStringLiteral("/card/a_F.mp4");
        host.secondPath = QStringLiteral("/card/a_R.mp4");
        host.mainCell = QStringLiteral("/card/a_F.mp4;/card/b_F.mp4;");
        host.secondCell = QStringLiteral("/card/a_R.mp4;/card/b_R.mp4;");
        host.partner = partner;
        QStringList expected{"/card/a_F.mp4", "/card/a_R.mp4", "/card/a_F.mp4", "/card/b_F.mp4"};
        if (partner)
            expected << "/card/a_R.mp4"
                     << "/card/b_R.mp4";
        QCOMPARE(controller->inputFiles(), expected);
    }

    void pipGeometry_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("viewHeight");
        QTest::addColumn<QVector<int>>("expected"); // pipW, frame, margin
        QTest::newRow("1080p in a 540 view")
            << QSize(1920, 1080) << 540 << QVector<int>{711, 16, 76};
        QTest::newRow("even frame") << QSize(1280, 720) << 480 << QVector<int>{474, 12, 57};
        QTest::newRow("odd frame raised") << QSize(1280, 720) << 640 << QVector<int>{474, 10, 42};
        QTest::newRow("no view height") << QSize(1280, 720) << 0 << QVector<int>{474, 8, 38};
    }
    void pipGeometry()
    {
        QFETCH(QSize, picture);
        QFETCH(int, viewHeight);
        QFETCH(QVector<int>, expected);
        const PipGeometry g = PipGeometry::of(picture, viewHeight);
        QCOMPARE((QVector<int>{g.pipW, g.frame, g.margin}), expected);
    }

    // The concat list names the planned pieces through the work folder's descriptor, whatever
    // the output folder is called, CRLF-ended.
    void clipListNamesPiecesThroughTheFolder()
    {
        useGroups(false);
        host.range = "00:02 ~ 00:10";
        QDir().mkpath(workFile("it's"));
        controller->onGetVideoGroupInfo(setting(workFile("it's/out.mov")), false);
        QVERIFY(controller->saveClipList(false));
        const QString folder = controller->workFolderPath();
        QVERIFY(folder.startsWith("/proc/self/fd/"));
        const QString made = QFileInfo(folder).canonicalFilePath();
        QVERIFY2(made.startsWith(workFile("it's/.export-")), qPrintable(made));
        QString expected;
        for (int n = 0; n < 3; ++n)
            expected += QStringLiteral("file '%1temp1_main_%2.mov'\r\n").arg(folder).arg(n);
        QCOMPARE(QString::fromUtf8(TestSupport::contentOf(folder + "clip.txt")), expected);
        QVERIFY(!QFile::exists("clip.txt"));
        editor->cancel(); // the probes are not needed; the failed step cleans up
        QTRY_VERIFY(!QFileInfo::exists(made));
    }
};

TALVEX_TEST_MAIN(TstExportController)
#include "tst_exportcontroller.moc"
