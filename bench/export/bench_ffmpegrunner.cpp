// Overhead of the export runner over ffmpeg started directly with the same arguments, on a
// one-minute cut of a 1080p clip. Usage: bench_ffmpegrunner [repetitions]
#include "benchsupport.h"
#include "exportcommands.h"
#include "ffmpeg_editor_p.h"
#include "ffmpegarguments.h"
#include "runnertiming.h"
#include "sharedtypes.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

using namespace BenchSupport;
using namespace RunnerTiming;

bool makeSource(const QString &path)
{
    return runDirect({"-hide_banner", "-y",
                      "-f",           "lavfi",
                      "-i",           "testsrc=size=1920x1080:rate=25:duration=70",
                      "-f",           "lavfi",
                      "-i",           "sine=duration=70",
                      "-c:v",         "libx264",
                      "-preset",      "ultrafast",
                      "-pix_fmt",     "yuv420p",
                      "-c:a",         "aac",
                      "-shortest",    path}) >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    registerSharedTypes();
    const int repetitions = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source 1080p.mov"));
    if (!makeSource(source)) {
        std::fprintf(stderr, "could not make the 1080p source\n");
        return 1;
    }
    const QString output = dir.filePath(QStringLiteral("cut.mov"));
    const QString input = FfmpegArguments::inputText(source);
    const QString args = ExportCommands::editorCommand(CameraPicture(), 5, 60);
    const QStringList direct = FFmpeg_editor_p::runArguments(input, args, output);

    QVector<double> directTimes;
    QVector<double> runnerTimes;
    QVector<double> runnerCpu;
    for (int i = 0; i < repetitions; ++i) {
        QFile::remove(output);
        directTimes << runDirect(direct);
        QFile::remove(output);
        double cpu = 0;
        runnerTimes << runRunner(input, args, output, &cpu);
        runnerCpu << cpu;
        std::printf("run %d: direct %.3f s, runner %.3f s (runner's own CPU %.3f s)\n", i + 1,
                    directTimes.last(), runnerTimes.last(), cpu);
        std::fflush(stdout);
    }
    const double d = median(directTimes);
    const double r = median(runnerTimes);
    std::printf("one-minute 1080p cut, median of %d: ffmpeg direct %.3f s, runner %.3f s, "
                "overhead %.2f %% (target < 2 %%)\n",
                repetitions, d, r, (r - d) / d * 100.0);
    const double cpu = median(runnerCpu);
    std::printf("runner's own CPU time per run: %.3f s = %.2f %% of the direct run\n", cpu,
                cpu / d * 100.0);
    return 0;
}
