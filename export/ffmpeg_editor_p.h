// Runs the export's ffmpeg steps one at a time: probes, cuts, joins and mixes; reports progress,
// appends the GPS trailer and tells by signal which step comes next. GUI thread only.
#pragma once

#include "childprocess.h"
#include "exportfailure.h"
#include "ffmpegoutput.h"
#include "gpstrailerwriter.h"
#include "metadataparser.h"
#include "partfile.h"
#include "sharedtypes.h"
#include "workfolder.h"

#include <QObject>
#include <QSize>
#include <QTimer>

#include <memory>

class FFmpeg_editor_p : public QObject
{
    Q_OBJECT

public:
    explicit FFmpeg_editor_p(QObject *parent = nullptr);
    ~FFmpeg_editor_p() override;

    // Loads each file (full type); false as soon as a type differs from the first file's.
    bool loadMetadataList(const QStringList &files);

    void setStep(int value) { step = value; }
    void setTotalDuration(int seconds) { totalDuration = seconds; }
    void setMode(int value) { mode = value; }
    void setKeepGps(bool keep) { keepGps = keep; }
    void setProgressKind(int plan);
    void setProgressStepCount(int n);
    // The export's own folder, shared with its owner: each run writes its part there and puts
    // the result in it or in its output folder. Without one (cleared with nullptr), a run makes
    // one of its own in its output's folder for its time.
    void setWorkFolder(std::shared_ptr<const WorkFolder> folder)
    {
        exportFolder = std::move(folder);
    }

    // Starts one ffmpeg run: program, the input text, args, "-map_metadata 0", output.
    // input holds the input path in double quotes (FfmpegArguments::inputText). output is a file
    // of the work folder (a path under its path()) or of its output folder; ffmpeg writes a part
    // file in the work folder, reached through the folder's descriptor, which alone it inherits.
    // Returns false; the outcome comes by signal.
    bool run(const QString &input, const QString &args, const QString &output);
    // run() of one piece of a group; mode 1/2 (main camera) or 4/5 (second camera).
    bool runCut(const QString &input, const QString &args, const QString &output, int index,
                int last, bool isSubVideo);
    // Probes the streams of file (a blank and FfmpegArguments::quotedPath) for the single export;
    // starts a new export.
    bool probeVideo(const QString &file, const EditorOutputSetting_t &setting);
    // Probes clip index of count of a group; index 0 of the main camera starts a new export.
    bool probeGroupVideo(const QString &file, const EditorOutputSetting_t &setting, int index,
                         int count, bool isSubVideo);

    // Stops the running child: "q", then terminate, then kill; reported as a failed run.
    void cancel();

    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    int currentMode() const { return mode; }
    // Why the last failed step failed (None after a success).
    ExportFailure lastFailure() const { return failure; }
    // Every clip of the last group probe pass showed an audio stream.
    bool everyClipHasAudio() const { return everyClipAudio; }
    // ffmpeg's arguments of the last run, with the output named as the caller gave it.
    QStringList lastRunArguments() const { return runArguments(lastInput, lastArgs, lastOutput); }
    // The last part of ffmpeg's output, for diagnostics.
    QString outputLog() const { return log; }

    // ffmpeg's argument list of a run; run() gives it the run's part file as output.
    static QStringList runArguments(const QString &input, const QString &args,
                                    const QString &output);

public slots:
    void onGetGroupOutputSetting(const GroupOutputSetting_t &setting);

signals:
    void started();
    void progressChanged(int value);
    void finished();
    void processSubVideo(EditorOutputSetting_t value, bool isSubVideo);
    void processEnd(int index, EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                    QSize resSize, bool isSubVideo);
    void mixtureVideoGroup(EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                           QSize resSize);
    void cutVideoTriggered(EditorOutputSetting_t value, bool haveAudio, QSize resSize);
    void cutVideoGroupTriggered(EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                                QSize resSize, bool isSubVideo);
    void videoIndexInfoTriggered(int index, bool isSubVideo);
    void getGroupOutputSetting();
    // EditorFailed: ffmpeg could not start, crashed, exited non-zero, wrote an empty output or
    // one more than a second shorter than the span (its source ended early), the trailer could
    // not be written, the file with its trailer could not be read back or the part not renamed
    // over the output (the system's reason named), the
    // part file could not be made, the input path was empty or the run was
    // cancelled, or someone else renamed the work folder away or took over the part or the
    // output's name; EditorNoDiskSpace: ffmpeg (even one exiting 0), the part file or the trailer
    // write found the disk full. lastFailure() says why. No further step follows; the run's part
    // file is removed, and every other file, one of the output's name included, is left as it was.
    void editorErrorTriggered(Editor_e error);

private slots:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void onReadyRead();

private:
    void startProbe(const QString &file);
    void startProcess(const QStringList &arguments);
    void resetProbeResults();
    bool isProbing() const;
    // One line of ffmpeg's output, read as the step of the moment needs it.
    void readLine(const QString &line);
    void readRunLine(const QString &line);
    void readProbeLine(const QString &line);
    void answerPrompt(const QString &text);
    void applyResolution(const QSize &size);
    void finishProbe();
    // After ffmpeg's successful run: appends the trailer to the part through a descriptor opened
    // now, then has the file verified.
    void appendTrailer();
    void dispatchMode();
    // Ends the step as failed: classified from reason and the log, or of a known kind.
    void fail(const QString &reason, bool failedToStart = false);
    void failAs(ExportFailure::Kind kind, const QString &reason);
    // Ends the step whose output could not be completed or put in place (a trailer or rename
    // after ffmpeg's success) for the system's reason.
    void failSaving(const QString &systemReason);
    // The file the export makes, as the user named it (a step's own output is a piece of it in
    // a group export); the step's output when the export named none.
    QString exportOutput() const;
    // Ends the step whose work folder or part someone else renamed or replaced.
    void failChanged(const QString &reason);
    // Puts the finished part in place: false, with the step failed, when it cannot be.
    bool commitPart();
    void report(const ExportFailure &why, const QString &reason);
    // After a run and its trailer: ffmpeg reads the written file, which must open and last the
    // run's span (less a second) or what the source has of it; else the source ended early.
    void verifyLength();
    void readWrittenLength(const QString &line);
    // The verification ended with ffmpeg's exitCode: the part goes into place, or the step fails.
    void finishVerify(int exitCode);
    void appendLog(const QString &text);
    TrailerSource load(const QString &path, bool detectOnly);
    TrailerSource loadedSource() const;

    ChildProcess process; // ends with the program, however it ends
    int totalDuration = 0;
    QString lastArgs;
    QString lastInput;
    QString lastOutput;
    bool keepGps = true;
    MetadataParser parser;
    int dashcamType = DashcamTypes::none;
    QByteArray recordSeparator;
    QByteArray trailerHead;
    QByteArray trailerTail;
    QVector<QByteArray> rawRecords;
    VideoInfoMap perSecond;
    QVector<VideoInfo_t> samples;
    bool probingSingle = false;
    bool probingMain = false;
    bool probingSecond = false;
    bool haveAudio = false;
    int audioIndex = 0;
    QSize resolution{0, 0};
    EditorOutputSetting_t outputSetting;
    int mode = 0;
    int groupIndex = 0;
    int groupCount = 0;
    GroupOutputSetting_t groupSetting;
    bool groupRun = false;
    int progressKind = 0;
    int step = 0;
    int progressDone = 0;
    int stepProgress = 0;
    float stepShare = 0.0f;

    // Per child.
    OutputLines lines;
    bool probeSawVideo = false; // the probe's first video stream decides its size
    bool cancelled = false;
    bool promptAnswered = false;
    bool probeSawAudio = false;
    bool everyClipAudio = false;
    std::shared_ptr<const WorkFolder> exportFolder; // set by the export, when it has one
    std::shared_ptr<const WorkFolder> runFolder;    // the running step's: holds its part
    std::unique_ptr<PartFile> part; // what the running step writes; renamed to lastOutput
    WorkFolder::Place target;       // where lastOutput goes: a name in one of runFolder's folders
    bool sawFullDisk = false;       // the run reported a full disk
    double sourceSec = -1;          // the run's first input's length as ffmpeg lists it, -1 unknown
    bool verifying = false;         // ffmpeg is listing the run's output
    double expectedSec = 0;         // the length the run's output must have
    double writtenSec = -1;         // the output's length as ffmpeg lists it, -1 unknown
    ExportFailure failure;
    QString log; // capped, see appendLog
    QTimer terminateTimer;
    QTimer killTimer;
};
