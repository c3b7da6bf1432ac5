#include "appglobals.h"
#include "exportcommands.h"
#include "exporttestfiles.h"
#include "ffmpeg_editor_p.h"
#include "ffmpegarguments.h"
#include "gpstrailer.h"
#include "metadataparser.h"
#include "testsupport.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

Q_DECLARE_METATYPE(QProcess::ExitStatus)

namespace {

constexpr int runTimeoutMs = 120000;
const QByteArray cutSignature = "fmt....NOVATEK.....?inf....trim....?";

// Waits until the runner ends a step with any of its outcome signals.
void waitForStep(FFmpeg_editor_p &editor)
{
    QEventLoop loop;
    QTimer::singleShot(runTimeoutMs, &loop, &QEventLoop::quit);
    const auto quit = [&loop]() { QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection); };
    const QList<QMetaObject::Connection> connections{
        QObject::connect(&editor, &FFmpeg_editor_p::finished, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::processSubVideo, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::processEnd, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::mixtureVideoGroup, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::cutVideoTriggered, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::cutVideoGroupTriggered, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::videoIndexInfoTriggered, &loop, quit),
        QObject::connect(&editor, &FFmpeg_editor_p::editorErrorTriggered, &loop, quit),
    };
    loop.exec();
    for (const auto &connection : connections)
        QObject::disconnect(connection);
}

// The checksums of a video's decoded pictures, first to last.
QStringList frameHashes(const QString &video)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), {"-hide_banner", "-nostdin", "-loglevel", "error", "-i",
                                             video, "-map", "0:v", "-f", "framemd5", "-"});
    if (!process.waitForFinished(runTimeoutMs) || process.exitCode() != 0)
        return {};
    QStringList hashes;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#'))
            hashes << QString::fromLatin1(line.split(',').last().trimmed());
    }
    return hashes;
}

// The paths of the runner's part files (".<base>.<unique>.part.<suffix>") of output, in the work
// folders beside it.
QStringList partFilesBeside(const QString &output)
{
    const QFileInfo target(output);
    QStringList parts;
    for (const QFileInfo &work :
         target.dir().entryInfoList({".export-*"}, QDir::Dirs | QDir::Hidden)) {
        for (const QString &name : QDir(work.filePath())
                                       .entryList({"." + target.completeBaseName() + ".*part*"},
                                                  QDir::Files | QDir::Hidden))
            parts << QDir(work.filePath()).filePath(name);
    }
    return parts;
}

} // namespace

class TstFfmpegEditor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir fixtures;
    QString previousDir;
    int savedDisplayMode = 0;
    std::unique_ptr<QTemporaryDir> work; // working directory of one test
    QVector<VideoInfo_t> sourceSamples;

    QString fixture(const QString &name) const { return fixtures.filePath(name); }
    QString workFile(const QString &name) const { return work->filePath(name); }

    static EditorOutputSetting_t setting(const QString &output)
    {
        EditorOutputSetting_t value;
        value.outputPath = output;
        return value;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(fixtures.isValid());
        previousDir = QDir::currentPath();
        savedDisplayMode = gDisplayMode;
        QVERIFY(TestSupport::makeClip(fixture("av.mov"), 3));
        QVERIFY(TestSupport::makeClip(fixture("small.mov"), 1, "640x480", false));
        QVERIFY(TestSupport::makeClip(fixture("hd.mov"), 1, "1920x1080", false));
        QVERIFY(TestSupport::makeClip(fixture("qhd.mov"), 1, "2560x1440", true));
        QVERIFY(TestSupport::makeClip(fixture("720p.mov"), 1, "1280x720", true));
        QVERIFY(TestSupport::makeClip(fixture("long.mov"), 20));
        QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-f", "lavfi", "-i",
                                        "testsrc=size=1920x1080:duration=1", "-map", "0:a", "-map",
                                        "1:v", "-c:v", "libx264", "-preset", "ultrafast", "-c:a",
                                        "aac", fixture("audiofirst.mov")}));
        sourceSamples = ExportTestFiles::makeSamples(30);
        QVERIFY(ExportTestFiles::makeSourceWithTrailer(fixture("source30.mov"), 30, sourceSamples));
        // each picture shows its number; a key frame every 10 s
        QVERIFY(TestSupport::makeLavfiClip(
            fixture("counter.mov"), "testsrc=size=160x120:rate=25:duration=20", 20, true,
            "drawtext=text='%{n}':fontsize=40:fontcolor=white:box=1:boxcolor=black:x=10:y=40"));
        QVERIFY(ExportTestFiles::appendTrailer(fixture("counter.mov"), sourceSamples.mid(0, 20)));
    }

    void init()
    {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
        QVERIFY(QDir::setCurrent(work->path()));
    }

    void cleanup()
    {
        gDisplayMode = savedDisplayMode;
        QDir::setCurrent(previousDir);
        work.reset();
    }

    void probeFindsSizeAndAudio_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("audio");
        QTest::addColumn<QSize>("size");
        QTest::newRow("small picture with audio") << "av.mov" << true << QSize(1280, 720);
        QTest::newRow("640x480 without audio") << "small.mov" << false << QSize(1280, 720);
        QTest::newRow("1080p") << "hd.mov" << false << QSize(1920, 1080);
        QTest::newRow("audio stream first") << "audiofirst.mov" << true << QSize(1920, 1080);
    }
    void probeFindsSizeAndAudio()
    {
        QFETCH(QString, file);
        QFETCH(bool, audio);
        QFETCH(QSize, size);
        FFmpeg_editor_p editor;
        QSignalSpy probed(&editor, &FFmpeg_editor_p::cutVideoTriggered);
        // A probe before this one must not leave its audio flag or size behind.
        editor.probeVideo(" \"" + fixture("qhd.mov") + "\"", setting("x"));
        waitForStep(editor);
        editor.probeVideo(" " + FfmpegArguments::quotedPath(fixture(file)), setting("out.mov"));
        waitForStep(editor);
        QCOMPARE(probed.count(), 2);
        QCOMPARE(probed.last().at(0).value<EditorOutputSetting_t>().outputPath,
                 QStringLiteral("out.mov"));
        QCOMPARE(probed.last().at(1).toBool(), audio);
        QCOMPARE(probed.last().at(2).toSize(), size);
    }

    void groupProbeTakesWidestSizeAndFirstAudio()
    {
        const QStringList files{fixture("hd.mov"), fixture("qhd.mov"), fixture("720p.mov")};
        FFmpeg_editor_p editor;
        QSignalSpy next(&editor, &FFmpeg_editor_p::videoIndexInfoTriggered);
        QSignalSpy done(&editor, &FFmpeg_editor_p::cutVideoGroupTriggered);
        // The main window probes the next clip when the runner asks for it.
        connect(&editor, &FFmpeg_editor_p::videoIndexInfoTriggered, this,
                [&](int index, bool isSubVideo) {
                    editor.probeGroupVideo(" \"" + files.at(index) + "\"", setting("o"), index,
                                           files.size(), isSubVideo);
                });
        editor.probeGroupVideo(" \"" + files.at(0) + "\"", setting("o"), 0, files.size(), false);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, runTimeoutMs);
        QCOMPARE(next.count(), 2);
        QCOMPARE(next.at(0).at(0).toInt(), 1);
        QCOMPARE(next.at(1).at(0).toInt(), 2);
        const QList<QVariant> result = done.first();
        QCOMPARE(result.at(1).toBool(), true);
        QCOMPARE(result.at(2).toInt(), 1);
        QCOMPARE(result.at(3).toSize(), QSize(2560, 1440));
        QCOMPARE(result.at(4).toBool(), false);
    }

    void progressComesFromTimeFields_data()
    {
        QTest::addColumn<int>("plan");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("single cut") << 0 << "-ss 10 -t 5 -c copy" << QList<int>{20, 60, 100, 0};
        // Three clips: each step is a quarter of the bar.
        QTest::newRow("group piece") << 1 << "-ss 0 -t 10 -c copy" << QList<int>{2, 7, 12, 25};
    }
    void progressComesFromTimeFields()
    {
        QFETCH(int, plan);
        QFETCH(QString, args);
        QFETCH(QList<int>, values);
        // Progress lines end in "\r"; one arrives in two pieces. Asked to list the written file,
        // the stand-in gives it the length of the span.
        QVERIFY(ExportTestFiles::writeFfmpegStandIn(
            work->path(), "case \"$*\" in *map_metadata*) ;; *) echo '  Duration: 00:00:10.00, "
                          "start: 0.000000'; exit 1;; esac\n"
                          "for last; do :; done\n"
                          "printf 'frame=1 time=N/A speed=1x\\r'\n"
                          "printf 'frame=2 time=00:00:01.00 bitrate=1\\r'\n"
                          "printf 'frame=3 ti'; sleep 0.2; printf 'me=00:00:03.50 x\\r'\n"
                          "printf 'frame=4 time=00:00:05.00 x\\n'\n"
                          "printf 'video' > \"$last\"\n"));
        FFmpeg_editor_p editor;
        QSignalSpy progress(&editor, &FFmpeg_editor_p::progressChanged);
        editor.setProgressKind(plan);
        editor.setProgressStepCount(2);
        if (plan == 0)
            editor.run(FfmpegArguments::inputText(fixture("av.mov")), args, workFile("o.mov"));
        else
            editor.runCut(FfmpegArguments::inputText(fixture("av.mov")), args, workFile("o.mov"), 0,
                          2, false);
        waitForStep(editor);
        QList<int> seen;
        for (const QList<QVariant> &signal : progress)
            seen << signal.at(0).toInt();
        QCOMPARE(seen, values);
    }

    void everyModeEndsWithItsSignal_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QByteArray>("trailerEnd");
        const QByteArray trimJoin = GpsTrailer::joinSignature(DashcamTypes::exported);
        QTest::newRow("0 single cut") << 0 << "finished" << cutSignature;
        QTest::newRow("1 main piece") << 1 << "processEnd" << cutSignature;
        QTest::newRow("2 last main piece") << 2 << "processEnd" << cutSignature;
        QTest::newRow("3 main join") << 3 << "processSubVideo" << trimJoin;
        QTest::newRow("4 second piece") << 4 << "processEnd" << cutSignature;
        QTest::newRow("5 last second piece") << 5 << "processEnd" << cutSignature;
        QTest::newRow("6 second join") << 6 << "mixtureVideoGroup" << QByteArray();
        QTest::newRow("7 final join") << 7 << "finished" << trimJoin;
    }
    void everyModeEndsWithItsSignal()
    {
        QFETCH(int, mode);
        QFETCH(QString, signal);
        QFETCH(QByteArray, trailerEnd);
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        QSignalSpy subVideo(&editor, &FFmpeg_editor_p::processSubVideo);
        QSignalSpy end(&editor, &FFmpeg_editor_p::processEnd);
        QSignalSpy mixture(&editor, &FFmpeg_editor_p::mixtureVideoGroup);
        QSignalSpy failed(&editor, &FFmpeg_editor_p::editorErrorTriggered);
        GroupOutputSetting_t group;
        group.mainFiles = QStringList{fixture("source30.mov")};
        group.clip[4] = 2;
        group.clip[7] = 6;
        connect(&editor, &FFmpeg_editor_p::getGroupOutputSetting, this,
                [&]() { editor.onGetGroupOutputSetting(group); });

        const QString output = workFile("out.mov");
        const bool join = mode == 3 || mode == 6 || mode == 7;
        if (join) {
            // A group piece of the source joined through the concat list.
            const QString piece = workFile("temp1_main_0.mov");
            QVERIFY(TestSupport::runFfmpeg(
                {"-i", fixture("source30.mov"), "-t", "2", "-c", "copy", piece}));
            QFile list(workFile("clip.txt"));
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write(QStringLiteral("file '%1'\r\n").arg(piece).toUtf8());
            list.close();
            editor.setMode(mode);
            editor.run(ExportCommands::joinInput(list.fileName()),
                       ExportCommands::joinCommand(false, CameraPicture(), 320, true), output);
        } else {
            const QString input = FfmpegArguments::inputText(fixture("source30.mov"));
            if (mode == 0) {
                editor.run(input, ExportCommands::editorCommand(CameraPicture(), 2, 3), output);
            } else {
                // Index 0 of 0..1 is a piece that more follow, index 1 the last one.
                const bool second = mode >= 4;
                const int index = second ? mode - 4 : mode - 1;
                editor.runCut(input, ExportCommands::groupPieceCommand(true, 2, 3, 320, true),
                              output, index, 1, second);
            }
        }
        waitForStep(editor);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(finished.count(), signal == "finished" ? 1 : 0);
        QCOMPARE(subVideo.count(), signal == "processSubVideo" ? 1 : 0);
        QCOMPARE(end.count(), signal == "processEnd" ? 1 : 0);
        QCOMPARE(mixture.count(), signal == "mixtureVideoGroup" ? 1 : 0);
        if (signal == "processEnd") {
            QCOMPARE(end.first().at(0).toInt(), mode);
            QCOMPARE(end.first().at(5).toBool(), mode >= 4);
        }
        if (signal == "processSubVideo")
            QCOMPARE(subVideo.first().at(1).toBool(), true);
        const QByteArray content = TestSupport::contentOf(output);
        if (trailerEnd.isEmpty())
            QVERIFY(!content.contains(GpsTrailer::marker()));
        else
            QVERIFY(content.endsWith(trailerEnd));
        QCOMPARE(editor.currentMode(), mode == 7 ? 0 : mode);
        QVERIFY(ExportTestFiles::decodedDuration(output) > 1.5);
    }

    void existingOutputIsReplacedOnSuccess()
    {
        const QString output = workFile("exists.mov");
        QFile old(output);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
        old.close();
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        editor.run(FfmpegArguments::inputText(fixture("av.mov")),
                   ExportCommands::editorCommand(CameraPicture(), 0, 2), output);
        waitForStep(editor);
        QCOMPARE(finished.count(), 1);
        QVERIFY(ExportTestFiles::decodedDuration(output) > 1.5);
        QVERIFY(partFilesBeside(output).isEmpty());
    }

    void failedRunsReportAnError_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("outputLeft");
        QTest::newRow("exit code 1 after writing")
            << QByteArray("for last; do :; done\nprintf 'part' > \"$last\"\nexit 1\n") << true
            << "in" << false;
        QTest::newRow("exit 0, nothing written") << QByteArray("exit 0\n") << true << "in" << false;
        QTest::newRow("exit 0, empty output")
            << QByteArray("for last; do :; done\n: > \"$last\"\n") << true << "in" << false;
        QTest::newRow("crash after writing")
            << QByteArray("for last; do :; done\nprintf 'part' > \"$last\"\nkill -SEGV $$\n")
            << true << "in" << false;
        QTest::newRow("program fails to start") << QByteArray("exit 0\n") << false << "in" << false;
        QTest::newRow("empty input path") << QByteArray("exit 0\n") << true << "" << false;
        QTest::newRow("exit 1, existing output untouched")
            << QByteArray("exit 1\n") << true << "in" << true;
        QTest::newRow("exit 1 after writing, existing output kept")
            << QByteArray("for last; do :; done\nprintf 'part' > \"$last\"\nexit 1\n") << true
            << "in" << true;
        QTest::newRow("crash after writing, existing output kept")
            << QByteArray("for last; do :; done\nprintf 'part' > \"$last\"\nkill -SEGV $$\n")
            << true << "in" << true;
    }
    void failedRunsReportAnError()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, executable);
        QFETCH(QString, input);
        QFETCH(bool, outputLeft);
        QVERIFY(ExportTestFiles::writeFfmpegStandIn(work->path(), script));
        if (!executable)
            QVERIFY(QFile::setPermissions("FFmpeg/ffmpeg", QFileDevice::ReadOwner));
        const QString output = workFile("out.mov");
        if (outputLeft) {
            QFile old(output);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("user's file");
        }
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        QSignalSpy failed(&editor, &FFmpeg_editor_p::editorErrorTriggered);
        editor.run(input.isEmpty() ? QStringLiteral(" -i \"\" ")
                                   : FfmpegArguments::inputText(fixture("source30.mov")),
                   QStringLiteral("-ss 0 -t 5 "), output);
        if (failed.isEmpty())
            waitForStep(editor);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(0).value<Editor_e>(), EditorFailed);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(QFile::exists(output), outputLeft);
        if (outputLeft)
            QCOMPARE(TestSupport::contentOf(output), QByteArray("user's file"));
        QVERIFY(partFilesBeside(output).isEmpty());
        QCOMPARE(editor.currentMode(), 0);
    }

    void probeThatCannotStartReportsAnError()
    {
        QVERIFY(ExportTestFiles::writeFfmpegStandIn(work->path(), "exit 0\n"));
        QVERIFY(QFile::setPermissions("FFmpeg/ffmpeg", QFileDevice::ReadOwner));
        FFmpeg_editor_p editor;
        QSignalSpy probed(&editor, &FFmpeg_editor_p::cutVideoTriggered);
        QSignalSpy failed(&editor, &FFmpeg_editor_p::editorErrorTriggered);
        editor.probeVideo(" \"" + fixture("av.mov") + "\"", setting("o"));
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(probed.count(), 0);
    }

    void cancelStopsTheRun()
    {
        FFmpeg_editor_p editor;
        QSignalSpy progress(&editor, &FFmpeg_editor_p::progressChanged);
        QSignalSpy failed(&editor, &FFmpeg_editor_p::editorErrorTriggered);
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        const QString output = workFile("cancelled.mov");
        // -re reads at the clip's own rate, so the run lasts about 20 s.
        editor.run(" -re" + FfmpegArguments::inputText(fixture("long.mov")),
                   ExportCommands::editorCommand(CameraPicture(), 0, 20), output);
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), runTimeoutMs);
        editor.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, runTimeoutMs);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!QFile::exists(output));
        QVERIFY(partFilesBeside(output).isEmpty());
    }

    // A killed export over an existing file leaves that file as it was, byte for byte.
    void cancelledRunKeepsAnExistingFile()
    {
        const QString output = workFile("kept.mov");
        QVERIFY(QFile::copy(fixture("av.mov"), output));
        const QByteArray before = TestSupport::contentOf(output);
        FFmpeg_editor_p editor;
        QSignalSpy progress(&editor, &FFmpeg_editor_p::progressChanged);
        QSignalSpy failed(&editor, &FFmpeg_editor_p::editorErrorTriggered);
        editor.run(" -re" + FfmpegArguments::inputText(fixture("long.mov")),
                   ExportCommands::editorCommand(CameraPicture(), 0, 20), output);
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), runTimeoutMs);
        const QStringList parts = partFilesBeside(output);
        QCOMPARE(parts.size(), 1);
        QVERIFY(QFileInfo(parts.first()).size() > 0);
        editor.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, runTimeoutMs);
        QCOMPARE(TestSupport::contentOf(output), before);
        QVERIFY(partFilesBeside(output).isEmpty());
    }

    // Why a step failed, as the error page names it.
    void failuresSayWhy_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("detail");
        QTest::newRow("ffmpeg missing")
            << QByteArray("exit 0\n") << false << int(ExportFailure::FfmpegMissing)
            << int(EditorFailed) << QString();
        QTest::newRow("disk full")
            << QByteArray("echo 'frame=1 time=00:00:01.00'\n"
                          "echo 'av_interleaved_write_frame(): No space left on device' >&2\n"
                          "exit 1\n")
            << true << int(ExportFailure::DiskFull) << int(EditorNoDiskSpace) << QString();
        QTest::newRow("quota exceeded")
            << QByteArray("echo 'av_interleaved_write_frame(): Disk quota exceeded' >&2\n"
                          "exit 1\n")
            << true << int(ExportFailure::DiskFull) << int(EditorNoDiskSpace) << QString();
        // the disk fills while the trailer is written: ffmpeg says so and still exits with 0
        for (const char *cause : {"No space left on device", "Disk quota exceeded"}) {
            QTest::addRow("%s, exit 0", cause)
                << QByteArray("for last; do :; done\nprintf 'mdat' > \"$last\"\n"
                              "echo \"Error writing trailer of $last: ") +
                       cause + "\" >&2\nexit 0\n"
                << true << int(ExportFailure::DiskFull) << int(EditorNoDiskSpace) << QString();
        }
        QTest::newRow("folder not writable")
            << QByteArray("echo '/x/out.mov: Permission denied' >&2\nexit 1\n") << true
            << int(ExportFailure::FolderNotWritable) << int(EditorFailed) << QString();
        QTest::newRow("killed by a signal")
            << QByteArray("echo 'ffmpeg version 5.1'\necho 'frame=1 time=00:00:01.00'\n"
                          "kill -KILL $$\n")
            << true << int(ExportFailure::Crashed) << int(EditorFailed) << QString();
        QTest::newRow("ffmpeg's last error line")
            << QByteArray("echo 'Input #0, mov'\necho '  Stream #0:0: Video: h264'\n"
                          "echo 'Unknown encoder xyz' >&2\necho 'frame=0 time=00:00:00.00'\n"
                          "exit 1\n")
            << true << int(ExportFailure::FfmpegError) << int(EditorFailed)
            << QString("Unknown encoder xyz");
    }
    void failuresSayWhy()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, executable);
        QFETCH(int, kind);
        QFETCH(int, error);
        QFETCH(QString, detail);
        QVERIFY(ExportTestFiles::writeFfmpegStandIn(work->path(), script));
        if (!executable)
            QVERIFY(QFile::setPermissions("FFmpeg/ffmpeg", QFileDevice::ReadOwner));
        FFmpeg_editor_p editor;
        QSignalSpy failed(&editor, &FFmpeg_editor_p::editorErrorTriggered);
        editor.run(FfmpegArguments::inputText(fixture("source30.mov")),
                   QStringLiteral("-ss 0 -t 5 "), workFile("out.mov"));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, runTimeoutMs);
        QCOMPARE(int(failed.first().at(0).value<Editor_e>()), error);
        QCOMPARE(int(editor.lastFailure().kind), kind);
        QCOMPARE(editor.lastFailure().detail, detail);
    }

    // A full disk found while the trailer is written counts as a full disk too, whether the
    // write itself fails (a long trailer) or only the flush when the file is closed.
    void trailerWriteOnFullDiskIsDiskFull_data()
    {
        QTest::addColumn<bool>("keepGps");
        QTest::addColumn<int>("seconds");
        QTest::newRow("bare trailer") << false << 0;
        QTest::newRow("an hour's trailer") << true << 3600;
    }
    void trailerWriteOnFullDiskIsDiskFull()
    {
        QFETCH(bool, keepGps);
        QFETCH(int, seconds);
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full");
        const GpsTrailerWriter writer([](const QString &, bool) { return TrailerSource(); });
        TrailerJob job;
        job.keepGps = keepGps;
        job.args = QStringLiteral("-ss 0 -t %1 ").arg(seconds);
        job.input.type = GpsTrailer::foldedNovatek;
        job.input.samples = ExportTestFiles::makeSamples(seconds + 1);
        QFile full("/dev/full");
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QString error;
        QVERIFY(!writer.append(job, full, &error));
        const ExportFailure failure = ExportFailures::classify(false, error, QString());
        QCOMPARE(int(failure.kind), int(ExportFailure::DiskFull));
        QCOMPARE(ExportFailures::editorError(failure), EditorNoDiskSpace);
    }

    // The cut is made by ffmpeg through the runner, and its trailer read back by the reader.
    void cutRoundTripsThroughTheReader()
    {
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        QSignalSpy progress(&editor, &FFmpeg_editor_p::progressChanged);
        const QString output = workFile("cut of \"source\" à 5.mov");
        editor.setKeepGps(true);
        editor.run(FfmpegArguments::inputText(fixture("source30.mov")),
                   ExportCommands::editorCommand(CameraPicture(), 5, 10), output);
        waitForStep(editor);
        QCOMPARE(finished.count(), 1);
        // ffmpeg's own time fields climb towards 100 %; the finish of a single cut adds nothing.
        QVERIFY(progress.count() >= 2);
        QCOMPARE(progress.last().at(0).toInt(), 0);
        int previous = 1;
        for (int i = 0; i + 1 < progress.count(); ++i) {
            const int value = progress.at(i).at(0).toInt();
            QVERIFY(value >= previous && value <= 100);
            previous = value;
        }

        const QByteArray content = TestSupport::contentOf(output);
        const int trailerSize = 22 + 11 * 121 + 36;
        QByteArray expected = GpsTrailer::marker();
        for (int second = 5; second <= 15; ++second)
            expected += GpsTrailer::record(sourceSamples.at(second));
        expected += cutSignature;
        QCOMPARE(expected.size(), trailerSize);
        QCOMPARE(content.right(trailerSize), expected);
        QVERIFY(!content.left(content.size() - trailerSize).contains(GpsTrailer::marker()));

        bool hasAudio = false;
        QVERIFY(qAbs(ExportTestFiles::decodedDuration(output, &hasAudio) - 10.0) < 0.2);
        QVERIFY(hasAudio);

        MetadataParser parser;
        VideoInfoMap perSecond;
        QVector<VideoInfo_t> samples;
        QVector<QByteArray> raw;
        QByteArray separator, head, tail;
        QCOMPARE(parser.loadMetadata(output, &perSecond, &samples, &raw, &separator, &head, &tail,
                                     false),
                 DashcamTypes::exported);
        QCOMPARE(samples.size(), 11);
        for (int i = 0; i < samples.size(); ++i) {
            const VideoInfo_t &read = samples.at(i);
            const VideoInfo_t &written = sourceSamples.at(5 + i);
            QCOMPARE(read.clockTime, written.clockTime);
            QCOMPARE(read.lat, written.latDecimalText.toDouble());
            QCOMPARE(read.lon, written.lonDecimalText.toDouble());
            QCOMPARE(read.speedKmh, written.speedKmh);
            QCOMPARE(read.extraValue, written.extraValue);
            QCOMPARE(read.gX, written.gX);
            QCOMPARE(read.gY, written.gY);
            QCOMPARE(read.gZ, written.gZ);
        }
    }

    // A cut late in its source, made by seeking before decoding, has the pictures of a cut that
    // decodes from the start (ffmpeg's line with the position after the inputs) and the GPS
    // records of its seconds.
    void lateCutKeepsItsFrames_data()
    {
        QTest::addColumn<bool>("pip");
        QTest::newRow("one camera") << false;
        QTest::newRow("picture in picture") << true;
    }
    void lateCutKeepsItsFrames()
    {
        QFETCH(bool, pip);
        const QString source = fixture("counter.mov");
        const int start = 13;
        const int length = 3;
        const QString input = pip ? FfmpegArguments::inputText(source) +
                                        FfmpegArguments::inputText(source) +
                                        " -f lavfi -i color=white:63x37:d=3,format=rgb24 "
                                  : FfmpegArguments::inputText(source);
        const QString args =
            pip ? ExportCommands::editorCommandPip(CameraPicture(), CameraPicture(), 3, true, start,
                                                   length, 59, 2, 8)
                : ExportCommands::editorCommand(CameraPicture(), start, length);
        const QString reference = workFile("decoded from the start.mov");
        QVERIFY(TestSupport::runFfmpeg(FfmpegArguments::split(input) +
                                       FfmpegArguments::split(args) +
                                       QStringList{"-map_metadata", "0", reference}));

        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        const QString output = workFile("late cut.mov");
        editor.setKeepGps(true);
        editor.run(input, args, output);
        waitForStep(editor);
        QCOMPARE(finished.count(), 1);
        const QStringList expected = frameHashes(reference);
        const QStringList cut = frameHashes(output);
        QCOMPARE(expected.size(), length * 25);
        QCOMPARE(cut.size(), expected.size());
        QCOMPARE(cut.first(), expected.first());
        QCOMPARE(cut.last(), expected.last());
        QVERIFY(TestSupport::contentOf(output).endsWith(
            GpsTrailer::cutTrailer(sourceSamples, CutSpan{start, length + 1})));
    }

    void gpsRemovedCutEndsWithTheBareTrailer()
    {
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        const QString output = workFile("nogps.mov");
        editor.setKeepGps(false);
        editor.run(FfmpegArguments::inputText(fixture("source30.mov")),
                   ExportCommands::editorCommand(CameraPicture(), 5, 3), output);
        waitForStep(editor);
        QCOMPARE(finished.count(), 1);
        QVERIFY(TestSupport::contentOf(output).endsWith(GpsTrailer::marker() + cutSignature));
    }

    // The final mix of both cameras carries every record of the joined main-camera file.
    void finalMixTakesTheTrailerOfTheJoinedMainFile()
    {
        gDisplayMode = 1;
        const QString joinedMain = workFile("temp2_main.mov");
        QVERIFY(QFile::copy(fixture("source30.mov"), joinedMain));
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        GroupOutputSetting_t group;
        group.workFolder = work->path() + "/";
        connect(&editor, &FFmpeg_editor_p::getGroupOutputSetting, this,
                [&]() { editor.onGetGroupOutputSetting(group); });
        EditorOutputSetting_t value = setting(workFile("mixed.mov"));
        value.mainVideoSide = 0;
        editor.probeVideo(" \"" + joinedMain + "\"", value);
        waitForStep(editor);
        editor.setMode(7);
        editor.run(FfmpegArguments::inputText(joinedMain) +
                       FfmpegArguments::inputText(fixture("av.mov")) +
                       " -f lavfi -i color=white:122x70:d=3,format=rgb24 ",
                   ExportCommands::getCommandMixture(7, true, 2, 118, 2, 8), value.outputPath);
        waitForStep(editor);
        QCOMPARE(finished.count(), 1);
        QByteArray expected = GpsTrailer::marker();
        for (const VideoInfo_t &sample : sourceSamples)
            expected += GpsTrailer::record(sample);
        expected += GpsTrailer::joinSignature(DashcamTypes::exported);
        QCOMPARE(TestSupport::contentOf(value.outputPath).right(expected.size()), expected);
    }

    // Every Location's filter graph is accepted by ffmpeg, with and without audio.
    void pictureInPictureCommandsRun_data()
    {
        QTest::addColumn<bool>("mixture");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("haveAudio");
        for (bool mixture : {false, true}) {
            for (int position = 0; position < ExportCommands::locationCount; ++position) {
                for (bool audio : {false, true}) {
                    QTest::addRow("%s code %d %s", mixture ? "mix" : "cut", position,
                                  audio ? "audio" : "no audio")
                        << mixture << position << audio;
                }
            }
        }
    }
    void pictureInPictureCommandsRun()
    {
        QFETCH(bool, mixture);
        QFETCH(int, position);
        QFETCH(bool, haveAudio);
        const int pipW = 320 * 415 / 1120;
        const int frame = 4;
        const QString input = FfmpegArguments::inputText(fixture("av.mov")) +
                              FfmpegArguments::inputText(fixture("av.mov")) +
                              QStringLiteral(" -f lavfi -i color=white:%1x%2:d=3,format=rgb24 ")
                                  .arg(pipW + frame)
                                  .arg(pipW * 9 / 16 + frame);
        const QString args =
            mixture ? ExportCommands::getCommandMixture(position, haveAudio, 1, pipW, frame / 2, 8)
                    : ExportCommands::editorCommandPip(CameraPicture(), CameraPicture(), position,
                                                       haveAudio, 0, 2, pipW, frame / 2, 8);
        FFmpeg_editor_p editor;
        QSignalSpy finished(&editor, &FFmpeg_editor_p::finished);
        const QString output = workFile("pip.mov");
        editor.run(input, args, output);
        waitForStep(editor);
        QVERIFY2(finished.count() == 1, qPrintable(editor.outputLog().right(2000)));
        bool hasAudio = !haveAudio;
        QVERIFY(ExportTestFiles::decodedDuration(output, &hasAudio) > 1.5);
        QCOMPARE(hasAudio, haveAudio);
    }
};

TALVEX_TEST_MAIN(TstFfmpegEditor)
#include "tst_ffmpegeditor.moc"
