// A cut near the end of a long recording against the same cut at its start, both through the
// export runner (it seeks before decoding), and the late cut as ffmpeg makes it with the position
// after the input (decoding everything before it) for comparison.
// Usage: bench_latecut [minutes of the source] [seconds of the cut] [repetitions]
#include "benchsupport.h"
#include "exportcommands.h"
#include "ffmpegarguments.h"
#include "runnertiming.h"
#include "sharedtypes.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace BenchSupport;
using namespace RunnerTiming;

// A long, small picture at 25 pictures a second with a key frame every 10 s, as a camera writes.
bool makeSource(const QString &path, int minutes)
{
    return runDirect({"-hide_banner", "-y", "-f", "lavfi", "-i",
                      QStringLiteral("testsrc=size=160x120:rate=25:duration=%1").arg(minutes * 60),
                      "-c:v", "libx264", "-preset", "ultrafast", "-g", "250", "-pix_fmt", "yuv420p",
                      path}) >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    registerSharedTypes();
    const int minutes = argc > 1 ? qMax(2, std::atoi(argv[1])) : 60;
    const int cutSec = argc > 2 ? qMax(1, std::atoi(argv[2])) : 60;
    const int repetitions = argc > 3 ? qMax(1, std::atoi(argv[3])) : 3;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("long source.mov"));
    std::printf("making a %d-minute 160x120 source...\n", minutes);
    std::fflush(stdout);
    if (!makeSource(source, minutes)) {
        std::fprintf(stderr, "could not make the source\n");
        return 1;
    }
    const QString input = FfmpegArguments::inputText(source);
    const QString early = ExportCommands::editorCommand(CameraPicture(), 0, cutSec);
    const QString late =
        ExportCommands::editorCommand(CameraPicture(), minutes * 60 - cutSec, cutSec);
    const QString output = dir.filePath(QStringLiteral("cut.mov"));
    // the late cut with the position after the input, as the runner made it before
    const QStringList decodingLate = QStringList{"-y"} + FfmpegArguments::split(input) +
                                     FfmpegArguments::split(late) +
                                     QStringList{"-map_metadata", "0", output};

    QVector<double> earlyTimes;
    QVector<double> lateTimes;
    QVector<double> decodingTimes;
    for (int i = 0; i < repetitions; ++i) {
        QFile::remove(output);
        earlyTimes << runRunner(input, early, output);
        QFile::remove(output);
        lateTimes << runRunner(input, late, output);
        QFile::remove(output);
        decodingTimes << runDirect(decodingLate);
        std::printf("run %d: first %d s %.3f s, last %d s %.3f s, last %d s decoding from the "
                    "start %.3f s\n",
                    i + 1, cutSec, earlyTimes.last(), cutSec, lateTimes.last(), cutSec,
                    decodingTimes.last());
        std::fflush(stdout);
    }
    const double e = median(earlyTimes);
    const double l = median(lateTimes);
    const double d = median(decodingTimes);
    std::printf("cut of %d s from a %d-minute source, median of %d: first %.3f s, last %.3f s: "
                "ratio %.2fx (target <= 1.2x); decoding from the start %.3f s = %.2fx\n",
                cutSec, minutes, repetitions, e, l, l / e, d, d / e);
    return 0;
}
