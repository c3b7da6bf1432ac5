// Timing one ffmpeg run of an export step: ffmpeg started directly, or through the export runner.
#pragma once

#include "ffmpeg_editor_p.h"
#include "ffmpegarguments.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>

#include <ctime>

namespace RunnerTiming {

// Wall time in seconds of ffmpeg run directly with args; -1 when it failed.
inline double runDirect(const QStringList &args)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(FfmpegArguments::program(), args);
    const bool ran = process.waitForFinished(-1) && process.exitCode() == 0;
    const double seconds = timer.nsecsElapsed() / 1e9;
    return ran ? seconds : -1;
}

// Wall time in seconds of a run through the runner; -1 when it failed. cpuSeconds, when given,
// gets the CPU time this process spent on it (reading ffmpeg's output, loading metadata, the
// trailer), which load on the machine does not inflate the way it inflates wall times.
inline double runRunner(const QString &input, const QString &args, const QString &output,
                        double *cpuSeconds = nullptr)
{
    FFmpeg_editor_p editor;
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&editor, &FFmpeg_editor_p::finished, &loop, [&]() {
        ok = true;
        loop.quit();
    });
    QObject::connect(&editor, &FFmpeg_editor_p::editorErrorTriggered, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    editor.run(input, args, output);
    loop.exec();
    if (cpuSeconds)
        *cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds = timer.nsecsElapsed() / 1e9;
    return ok ? seconds : -1;
}

} // namespace RunnerTiming
