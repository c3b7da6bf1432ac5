#include "ffmpeg_editor_p.h"

#include "appglobals.h"
#include "exportlog.h"
#include "ffmpegarguments.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>

namespace {

constexpr int stopStepMs = 3000;       // "q", then terminate, then kill
constexpr int maxLogChars = 64 * 1024; // the log keeps the last part of the output
constexpr int maxLogTailChars = 600;   // shown with a failure
constexpr int minExportWidth = 1280;
constexpr double shortToleranceSec = 1.0; // an output this much shorter than its span is short
const QSize defaultExportSize(1280, 720);

} // namespace

FFmpeg_editor_p::FFmpeg_editor_p(QObject *parent) : QObject(parent)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setReadChannel(QProcess::StandardOutput);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &FFmpeg_editor_p::onFinished);
    connect(&process, &QProcess::errorOccurred, this, &FFmpeg_editor_p::onError);
    connect(&process, &QProcess::readyRead, this, &FFmpeg_editor_p::onReadyRead);

    terminateTimer.setSingleShot(true);
    terminateTimer.setInterval(stopStepMs);
    killTimer.setSingleShot(true);
    killTimer.setInterval(stopStepMs);
    connect(&terminateTimer, &QTimer::timeout, this, [this]() {
        process.terminate();
        killTimer.start();
    });
    connect(&killTimer, &QTimer::timeout, &process, &QProcess::kill);
}

FFmpeg_editor_p::~FFmpeg_editor_p()
{
    process.disconnect(this);
    if (isRunning()) {
        process.kill();
        process.waitForFinished(stopStepMs);
    }
}

TrailerSource FFmpeg_editor_p::load(const QString &path, bool detectOnly)
{
    // The reader sets the source trailer parts only for sources that have them.
    recordSeparator.clear();
    trailerHead.clear();
    trailerTail.clear();
    // The records are needed for the trailer of the output even when only the folded code is
    // asked for.
    dashcamType = parser.loadMetadata(path, &perSecond, &samples, &rawRecords, &recordSeparator,
                                      &trailerHead, &trailerTail, false);
    if (detectOnly)
        dashcamType = MetadataParser::foldedType(dashcamType);
    return loadedSource();
}

TrailerSource FFmpeg_editor_p::loadedSource() const
{
    TrailerSource source;
    source.type = dashcamType;
    source.samples = samples;
    source.rawRecords = rawRecords;
    source.separator = recordSeparator;
    source.head = trailerHead;
    source.tail = trailerTail;
    return source;
}

bool FFmpeg_editor_p::loadMetadataList(const QStringList &files)
{
    DashcamType firstType = DashcamTypes::none;
    for (int i = 0; i < files.size(); ++i) {
        const DashcamType type = load(files.at(i), false).type;
        if (i == 0)
            firstType = type;
        else if (type != firstType)
            return false;
    }
    return true;
}

void FFmpeg_editor_p::setProgressKind(int plan)
{
    progressKind = plan;
    step = 0;
}

void FFmpeg_editor_p::setProgressStepCount(int n)
{
    if (progressKind == 1)
        stepShare = 100.0f / float(n + 2);
    else if (progressKind == 4)
        stepShare = 100.0f / float(n + 4);
}

void FFmpeg_editor_p::onGetGroupOutputSetting(const GroupOutputSetting_t &setting)
{
    groupSetting = setting;
}

QStringList FFmpeg_editor_p::runArguments(const QString &input, const QString &args,
                                          const QString &output)
{
    return FfmpegArguments::runArguments(input, args, output);
}

bool FFmpeg_editor_p::run(const QString &input, const QString &args, const QString &output)
{
    probingSingle = false;
    failure = ExportFailure();
    emit started();

    const int duration = FfmpegOutput::durationArg(args);
    if (!groupRun)
        totalDuration = duration;
    else if ((step == 0 || step == 2) && FfmpegOutput::durationArgPosition(args) > 0)
        totalDuration = duration;

    lastArgs = args;
    lastInput = input;
    lastOutput = output;
    sourceSec = -1;
    sawFullDisk = false;

    const QString inputPath = FfmpegArguments::firstQuoted(input);
    if (inputPath.isEmpty()) {
        fail(QStringLiteral("path is Null"));
        return false;
    }
    load(inputPath, true);
    // ffmpeg overwrites a new empty file of ours in the work folder; an existing file of the
    // output's name is replaced only by a complete result, and no other file is touched
    runFolder = exportFolder ? exportFolder
                             : std::make_shared<const WorkFolder>(QFileInfo(output).absolutePath());
    if (!runFolder->isValid()) {
        failAs(ExportFailure::FolderNotWritable,
               QStringLiteral("no folder of its own beside %1").arg(output));
        return false;
    }
    target = runFolder->placeOf(output);
    if (target.folderFd < 0) {
        fail(QStringLiteral("%1 is outside the export's folders").arg(output));
        return false;
    }
    part = std::make_unique<PartFile>(runFolder->fd(), runFolder->path(), target.name);
    if (!part->create()) {
        fail(part->errorString());
        return false;
    }
    startProcess(runArguments(input, args, part->path()));
    return false;
}

bool FFmpeg_editor_p::runCut(const QString &input, const QString &args, const QString &output,
                             int index, int last, bool isSubVideo)
{
    groupRun = true;
    if (isSubVideo)
        mode = index == last ? 5 : 4;
    else
        mode = index == last ? 2 : 1;
    run(input, args, output);
    return true;
}

void FFmpeg_editor_p::resetProbeResults()
{
    haveAudio = false;
    audioIndex = 0;
    resolution = QSize(0, 0);
}

bool FFmpeg_editor_p::probeVideo(const QString &file, const EditorOutputSetting_t &setting)
{
    resetProbeResults();
    failure = ExportFailure();
    probingSingle = true;
    outputSetting = setting;
    progressKind = 0;
    startProbe(file);
    return false;
}

bool FFmpeg_editor_p::probeGroupVideo(const QString &file, const EditorOutputSetting_t &setting,
                                      int index, int count, bool isSubVideo)
{
    if (index == 0 && !isSubVideo)
        resetProbeResults();
    if (index == 0) {
        failure = ExportFailure();
        everyClipAudio = true; // each camera's pass is judged on its own clips
    }
    probingMain = !isSubVideo;
    probingSecond = isSubVideo;
    groupIndex = index;
    groupCount = count;
    outputSetting = setting;
    startProbe(file);
    return false;
}

void FFmpeg_editor_p::startProbe(const QString &file)
{
    probeSawVideo = false;
    probeSawAudio = false;
    // Without an output ffmpeg lists the input's streams and exits with an error.
    startProcess(FfmpegArguments::split(QStringLiteral("-i") + file));
}

void FFmpeg_editor_p::startProcess(const QStringList &arguments)
{
    // a run's ffmpeg reaches the work folder through its descriptor; a probe needs none
    process.setInheritedDescriptors(runFolder ? std::vector<int>{runFolder->fd()}
                                              : std::vector<int>());
    lines.clear();
    log.clear();
    cancelled = false;
    promptAnswered = false;
    writtenSec = -1;
    process.start(FfmpegArguments::program(), arguments, QIODevice::ReadWrite);
}

void FFmpeg_editor_p::cancel()
{
    if (!isRunning())
        return;
    cancelled = true;
    process.write("q");
    terminateTimer.start();
}

void FFmpeg_editor_p::appendLog(const QString &text)
{
    log += text;
    if (log.size() > maxLogChars)
        log.remove(0, log.size() - maxLogChars);
}

void FFmpeg_editor_p::onReadyRead()
{
    const QByteArray chunk = process.readAll();
    appendLog(QString::fromLocal8Bit(chunk));
    const bool running = !isProbing() && !verifying;
    for (const QString &line : lines.add(chunk)) {
        if (running)
            answerPrompt(line);
        readLine(line);
    }
    // The overwrite prompt (the run's part file exists, made empty before the run) waits for
    // the answer without ending its line.
    if (running)
        answerPrompt(lines.pending());
}

bool FFmpeg_editor_p::isProbing() const
{
    return probingSingle || probingMain || probingSecond;
}

void FFmpeg_editor_p::readLine(const QString &line)
{
    if (verifying)
        readWrittenLength(line);
    else if (isProbing())
        readProbeLine(line);
    else
        readRunLine(line);
}

void FFmpeg_editor_p::answerPrompt(const QString &text)
{
    if (promptAnswered ||
        (!text.contains(QLatin1String("Overwrite")) && !text.contains(QLatin1String("y/N"))))
        return;
    promptAnswered = true;
    process.write("y\n");
}

void FFmpeg_editor_p::readRunLine(const QString &line)
{
    sawFullDisk = sawFullDisk || FfmpegOutput::reportsFullDisk(line);
    if (sourceSec < 0)
        sourceSec = FfmpegOutput::inputDuration(line); // the first input's is listed first
    if (totalDuration < 1)
        return;
    const int seconds = FfmpegOutput::progressSeconds(line);
    if (seconds < 1)
        return;
    if (progressKind == 1 || progressKind == 4) {
        stepProgress = int(float(seconds) * stepShare / float(totalDuration));
        emit progressChanged(progressDone + stepProgress);
    } else {
        stepProgress = seconds * 100 / totalDuration;
        emit progressChanged(stepProgress);
    }
}

void FFmpeg_editor_p::readProbeLine(const QString &line)
{
    const bool audioSettled =
        !probingSingle && (groupIndex >= groupCount || (groupIndex >= 1 && haveAudio));
    const bool audio = line.contains(QLatin1String("Audio:"));
    probeSawAudio = probeSawAudio || audio;
    if (!audioSettled && audio) {
        audioIndex = groupIndex;
        haveAudio = true;
    }
    const int video = line.indexOf(QLatin1String("Video:"));
    if (video >= 0 && !probeSawVideo) {
        probeSawVideo = true;
        applyResolution(FfmpegOutput::sizeOfText(FfmpegOutput::parseResolution(line.mid(video))));
    }
}

void FFmpeg_editor_p::applyResolution(const QSize &size)
{
    if (probingSingle || groupIndex == 0) {
        resolution = size.width() >= minExportWidth ? size : defaultExportSize;
    } else if (groupIndex < groupCount) {
        // A group exports at the widest size seen, never below 1280 x 720.
        if (resolution.width() < minExportWidth && size.width() < minExportWidth)
            resolution = defaultExportSize;
        else if (size.width() > minExportWidth && size.width() > resolution.width())
            resolution = size;
    }
}

void FFmpeg_editor_p::onError(QProcess::ProcessError error)
{
    qCDebug(lcExport) << error << "Make failed:" << process.errorString();
    if (error == QProcess::FailedToStart)
        fail(QStringLiteral("ffmpeg did not start: %1").arg(process.errorString()), true);
}

void FFmpeg_editor_p::onFinished(int exitCode, QProcess::ExitStatus status)
{
    terminateTimer.stop();
    killTimer.stop();
    const QString rest = lines.pending();
    lines.clear();
    if (!rest.isEmpty())
        readLine(rest);

    if (cancelled) {
        fail(QStringLiteral("cancelled"));
    } else if (status != QProcess::NormalExit) {
        failAs(ExportFailure::Crashed, QStringLiteral("ffmpeg did not exit normally"));
    } else if (verifying) {
        finishVerify(exitCode);
    } else if (isProbing()) {
        // A probe always ends with an error for want of an output file.
        finishProbe();
    } else if (exitCode != 0) {
        fail(QStringLiteral("ffmpeg exited with code %1").arg(exitCode));
    } else if (sawFullDisk) {
        // ffmpeg exits 0 when the disk fills while it writes the trailer
        failAs(ExportFailure::DiskFull, QStringLiteral("ffmpeg found the disk full"));
    } else {
        appendTrailer();
    }
}

void FFmpeg_editor_p::verifyLength()
{
    // the span of the step, or what its source has from the start on when that is shorter
    expectedSec = totalDuration;
    if (sourceSec >= 0)
        expectedSec = qMin(expectedSec, sourceSec - FfmpegOutput::seekArg(lastArgs));
    // ffmpeg reads the file as it will go into place and lists its length on its way to an
    // output that keeps nothing (without an output it would end with an error of its own, which
    // no failure may take for the step's)
    verifying = true;
    startProcess({QStringLiteral("-i"), part->path(), QStringLiteral("-c"), QStringLiteral("copy"),
                  QStringLiteral("-t"), QStringLiteral("0"), QStringLiteral("-f"),
                  QStringLiteral("null"), QStringLiteral("-")});
}

void FFmpeg_editor_p::readWrittenLength(const QString &line)
{
    if (writtenSec < 0)
        writtenSec = FfmpegOutput::inputDuration(line);
}

void FFmpeg_editor_p::finishVerify(int exitCode)
{
    verifying = false;
    if (exitCode != 0) {
        failSaving(QStringLiteral("the written file cannot be read back"));
        return;
    }
    if (expectedSec > shortToleranceSec && writtenSec < expectedSec - shortToleranceSec) {
        failAs(ExportFailure::ShortOutput,
               QStringLiteral("the output lasts %1 s of %2 s").arg(writtenSec).arg(expectedSec));
        return;
    }
    if (commitPart())
        dispatchMode();
}

void FFmpeg_editor_p::finishProbe()
{
    if (probingSingle) {
        groupRun = false;
        emit cutVideoTriggered(outputSetting, haveAudio, resolution);
        return;
    }
    const bool isSubVideo = probingSecond;
    everyClipAudio = everyClipAudio && probeSawAudio;
    if (groupIndex != groupCount - 1) {
        groupIndex += 1;
        emit videoIndexInfoTriggered(groupIndex, isSubVideo);
        return;
    }
    probingMain = false;
    probingSecond = false;
    emit cutVideoGroupTriggered(outputSetting, haveAudio, audioIndex, resolution, isSubVideo);
}

void FFmpeg_editor_p::appendTrailer()
{
    const int value = int(stepShare + float(progressDone));
    emit progressChanged(value);
    progressDone = value;

    TrailerJob job;
    job.args = lastArgs;
    job.mode = mode;
    job.keepGps = keepGps;
    job.input = loadedSource(); // the run's input, loaded when the run started
    if (GpsTrailerWriter::needsGroup(mode, keepGps)) {
        // Answered synchronously by the main window through onGetGroupOutputSetting.
        emit getGroupOutputSetting();
        job.group = groupSetting;
    }
    job.mixOfBothCameras = gDisplayMode == 1 && outputSetting.mainVideoSide == 0 && mode == 7;

    // ffmpeg wrote the part through a descriptor of its own: the trailer goes through one opened
    // after it ended, which sees what it wrote on every file system
    part->file().close();
    QFile output;
    const int fd = part->reopen(O_WRONLY | O_APPEND);
    if (fd < 0) {
        part->wasChangedByOthers() ? failChanged(part->errorString())
                                   : failSaving(qt_error_string(errno));
        return;
    }
    output.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    if (output.size() <= 0) {
        fail(QStringLiteral("ffmpeg wrote nothing to %1").arg(part->path()));
        return;
    }
    const GpsTrailerWriter writer(
        [this](const QString &path, bool detectOnly) { return load(path, detectOnly); });
    QString error;
    if (!writer.append(job, output, &error)) {
        failSaving(error);
        return;
    }
    output.close();
    verifyLength();
}

bool FFmpeg_editor_p::commitPart()
{
    // ffmpeg wrote into the work folder wherever it is now; the result goes out of it only while
    // it is where it was made
    if (!runFolder->isInPlace()) {
        failChanged(QStringLiteral("the work folder of %1 was moved").arg(lastOutput));
        return false;
    }
    if (!part->commitInto(target.folderFd, target.name)) {
        if (part->wasChangedByOthers())
            failChanged(part->errorString());
        else
            failSaving(qt_error_string(errno)); // the rename's
        return false;
    }
    part.reset();
    runFolder.reset();
    return true;
}

void FFmpeg_editor_p::dispatchMode()
{
    switch (mode) {
    case 0:
        groupRun = false;
        progressDone = 0;
        emit finished();
        break;
    case 1:
    case 2:
        emit processEnd(mode, outputSetting, haveAudio, audioIndex, resolution, false);
        break;
    case 3:
        emit processSubVideo(outputSetting, true);
        break;
    case 4:
    case 5:
        emit processEnd(mode, outputSetting, haveAudio, audioIndex, resolution, true);
        break;
    case 6:
        emit mixtureVideoGroup(outputSetting, haveAudio, audioIndex, resolution);
        break;
    case 7:
        groupRun = false;
        progressDone = 0;
        mode = 0;
        emit finished();
        break;
    default:
        break;
    }
}

void FFmpeg_editor_p::fail(const QString &reason, bool failedToStart)
{
    report(cancelled ? ExportFailure{ExportFailure::Other, reason}
                     : ExportFailures::classify(failedToStart, reason, log),
           reason);
}

void FFmpeg_editor_p::failSaving(const QString &systemReason)
{
    // ffmpeg is done: the file and the system's reason say why, not ffmpeg's output
    report(ExportFailures::notSaved(exportOutput(), systemReason),
           QStringLiteral("cannot save %1: %2").arg(lastOutput, systemReason));
}

void FFmpeg_editor_p::failChanged(const QString &reason)
{
    report(ExportFailures::changedByOthers(exportOutput()), reason);
}

QString FFmpeg_editor_p::exportOutput() const
{
    return outputSetting.outputPath.isEmpty() ? lastOutput : outputSetting.outputPath;
}

void FFmpeg_editor_p::failAs(ExportFailure::Kind kind, const QString &reason)
{
    report(ExportFailure{kind, QString()}, reason);
}

void FFmpeg_editor_p::report(const ExportFailure &why, const QString &reason)
{
    qCDebug(lcExport) << "ffmpeg step failed:" << reason << log.right(maxLogTailChars);
    part.reset(); // removed where it is still ours
    runFolder.reset();
    failure = why;
    verifying = false;
    probingSingle = false;
    probingMain = false;
    probingSecond = false;
    groupRun = false;
    progressDone = 0;
    mode = 0;
    emit editorErrorTriggered(ExportFailures::editorError(failure));
}
