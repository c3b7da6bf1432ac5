// The whole export road against ffmpeg run directly with the same argument lists: a one-minute
// cut of a 1080p clip and a cut over a group of three 1080p clips (three pieces and their join).
// Runs alternate between the two, so load on the machine falls on both alike.
// Prints wall and CPU time (this process and its ffmpeg children) and their ratios.
// Usage: bench_exportcontroller [repetitions]
#include "benchsupport.h"
#include "exportcontroller.h"
#include "ffmpeg_editor_p.h"
#include "ffmpegarguments.h"
#include "sharedtypes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

using namespace BenchSupport;

struct Cost
{
    double wall = 0;
    double cpu = 0;     // this process and every child it waited for
    double selfCpu = 0; // this process alone: the runner, the controller, the trailer
    bool ok = false;
};

double cpuOf(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class Meter
{
public:
    Meter() : selfStart(cpuOf(RUSAGE_SELF)), childrenStart(cpuOf(RUSAGE_CHILDREN))
    {
        timer.start();
    }
    Cost stop(bool ok) const
    {
        const double self = cpuOf(RUSAGE_SELF) - selfStart;
        return Cost{timer.nsecsElapsed() / 1e9, self + cpuOf(RUSAGE_CHILDREN) - childrenStart, self,
                    ok};
    }

private:
    QElapsedTimer timer;
    double selfStart;
    double childrenStart;
};

bool runFfmpeg(const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(FfmpegArguments::program(), QStringList{"-hide_banner", "-y"} + args);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool makeSource(const QString &path, int seconds)
{
    return runFfmpeg({"-f", "lavfi", "-i",
                      QStringLiteral("testsrc=size=1920x1080:rate=25:duration=%1").arg(seconds),
                      "-f", "lavfi", "-i", QStringLiteral("sine=duration=%1").arg(seconds), "-c:v",
                      "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
                      "-shortest", path});
}

// The play bar, players and list as one export sees them.
struct BenchHost : ExportHost
{
    QString range;
    QString mainPath;
    QString groupCell;
    QMap<QString, QString> durations;
    int displayMode() const override { return 0; }
    int pipSwap() const override { return 0; }
    QString editTimeRangeText() const override { return range; }
    QString mediaPath(bool mainCamera) const override { return mainCamera ? mainPath : QString(); }
    QSize videoSize(bool) const override { return QSize(1920, 1080); }
    int viewHeight(bool) const override { return 540; }
    CameraPicture cameraPicture(bool) const override { return CameraPicture(); }
    int locationCode() const override { return -1; }
    bool hasPartner() const override { return false; }
    QString groupPathCell(bool) const override { return groupCell; }
    QString groupSizeCell() const override { return QStringLiteral("1MB"); }
    QString clipDuration(const QString &path) const override { return durations.value(path); }
};

// One export through the controller and the runner; steps gets the argument list of every
// ffmpeg step that made a file, in order.
Cost exportThroughController(BenchHost *host, const QString &output, bool group,
                             QVector<QStringList> *steps)
{
    FFmpeg_editor_p editor;
    ExportController controller(host, &editor);
    QObject::connect(&editor, &FFmpeg_editor_p::cutVideoTriggered, &controller,
                     &ExportController::onEditorSetting);
    QObject::connect(&editor, &FFmpeg_editor_p::videoIndexInfoTriggered, &controller,
                     &ExportController::onGetIndexVideoGroupInfo);
    QObject::connect(&editor, &FFmpeg_editor_p::cutVideoGroupTriggered, &controller,
                     &ExportController::onEditorSettingGroup);
    QObject::connect(&editor, &FFmpeg_editor_p::getGroupOutputSetting, &controller,
                     [&] { editor.onGetGroupOutputSetting(controller.groupOutputSetting()); });
    QObject::connect(&editor, &FFmpeg_editor_p::processEnd, &controller,
                     [&](int index, EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                         QSize resSize, bool isSubVideo) {
                         steps->append(editor.lastRunArguments());
                         controller.onProcessGroupOutputSetting(index, value, haveAudio, audioIndex,
                                                                resSize, isSubVideo);
                     });
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&editor, &FFmpeg_editor_p::finished, &loop, [&] {
        steps->append(editor.lastRunArguments());
        ok = true;
        loop.quit();
    });
    QObject::connect(&editor, &FFmpeg_editor_p::editorErrorTriggered, &loop, &QEventLoop::quit);
    QObject::connect(&controller, &ExportController::exportError, &loop, &QEventLoop::quit);

    EditorOutputSetting_t value;
    value.outputPath = output;
    const Meter meter;
    if (group)
        controller.onGetVideoGroupInfo(value, false);
    else
        controller.onGetVideoInfo(value);
    loop.exec();
    controller.cleanUp();
    return meter.stop(ok);
}

// The same steps, ffmpeg started directly; the concat list is written as the export writes it.
Cost directRuns(const QVector<QStringList> &steps, const QString &clipList)
{
    const Meter meter;
    bool ok = true;
    for (const QStringList &args : steps) {
        if (args.contains(QStringLiteral("concat"))) {
            QFile list(QStringLiteral("clip.txt"));
            ok = ok && list.open(QIODevice::WriteOnly) && list.write(clipList.toUtf8()) > 0;
            list.close();
        }
        ok = ok && runFfmpeg(args);
    }
    return meter.stop(ok);
}

struct Series
{
    QVector<double> wall, cpu, selfCpu;
    void add(const Cost &c)
    {
        wall << c.wall;
        cpu << c.cpu;
        selfCpu << c.selfCpu;
    }
};

void report(const char *name, const Series &direct, const Series &exported)
{
    const double dw = median(direct.wall), ew = median(exported.wall);
    const double dc = median(direct.cpu), ec = median(exported.cpu);
    std::printf("%s: wall ffmpeg %.3f s, export %.3f s, ratio %.4f (%+.2f %%); "
                "CPU ffmpeg %.3f s, export %.3f s, ratio %.4f (%+.2f %%)\n",
                name, dw, ew, ew / dw, (ew / dw - 1) * 100, dc, ec, ec / dc, (ec / dc - 1) * 100);
    const double own = median(exported.selfCpu);
    std::printf("  of which this process (runner, controller, trailer, probes' output): %.3f s = "
                "%.2f %% of ffmpeg's CPU\n",
                own, own / dc * 100);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    registerSharedTypes();
    const int repetitions = argc > 1 ? qMax(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    BenchHost host;
    host.mainPath = dir.filePath(QStringLiteral("source 1080p.mov"));
    QStringList clips;
    for (int i = 0; i < 3; ++i) {
        clips << dir.filePath(QStringLiteral("clip%1_F.mov").arg(i));
        host.durations.insert(clips.last(), QStringLiteral("00:00:20"));
    }
    host.groupCell = clips.join(';') + ';';
    bool made = makeSource(host.mainPath, 70);
    for (const QString &clip : clips)
        made = made && makeSource(clip, 20);
    if (!made) {
        std::fprintf(stderr, "could not make the 1080p sources\n");
        return 1;
    }

    Series singleDirect, singleExport, groupDirect, groupExport;
    const QString output = dir.filePath(QStringLiteral("out.mov"));
    QString clipList;
    for (int n = 0; n < 3; ++n)
        clipList += QStringLiteral("file '%1/temp1_main_%2.mov'\r\n").arg(dir.path()).arg(n);
    QVector<QStringList> singleSteps;
    QVector<QStringList> groupSteps;
    const auto removePieces = [&dir] {
        for (int n = 0; n < 3; ++n)
            QFile::remove(dir.filePath(QStringLiteral("temp1_main_%1.mov").arg(n)));
        QFile::remove(QStringLiteral("clip.txt"));
    };
    for (int i = 0; i < repetitions; ++i) {
        // the direct runs repeat the argument lists of the first export; from the second round
        // on every other round starts with them
        const bool directFirst = i % 2 == 1;
        Cost single, singleAnchor, group, groupAnchor;
        QVector<QStringList> steps;
        host.range = QStringLiteral("00:05 ~ 01:05");
        if (directFirst)
            singleAnchor = directRuns(singleSteps, QString());
        single = exportThroughController(&host, output, false, &steps);
        if (singleSteps.isEmpty())
            singleSteps = steps;
        if (!directFirst)
            singleAnchor = directRuns(singleSteps, QString());

        steps.clear();
        host.range = QStringLiteral("00:05 ~ 00:55");
        if (directFirst) {
            groupAnchor = directRuns(groupSteps, clipList);
            removePieces();
        }
        group = exportThroughController(&host, output, true, &steps);
        if (groupSteps.isEmpty())
            groupSteps = steps;
        if (!directFirst) {
            groupAnchor = directRuns(groupSteps, clipList);
            removePieces();
        }
        if (!single.ok || !singleAnchor.ok || !group.ok || !groupAnchor.ok) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        singleExport.add(single);
        singleDirect.add(singleAnchor);
        groupExport.add(group);
        groupDirect.add(groupAnchor);
        std::printf("run %d: single export %.3f s / direct %.3f s; group export %.3f s (%d steps) "
                    "/ direct %.3f s\n",
                    i + 1, single.wall, singleAnchor.wall, group.wall, int(groupSteps.size()),
                    groupAnchor.wall);
        std::fflush(stdout);
    }
    std::printf("median of %d interleaved runs (target: overhead under 2 %%)\n", repetitions);
    report("one-minute 1080p cut", singleDirect, singleExport);
    report("three-clip 1080p group", groupDirect, groupExport);
    return 0;
}
