// Start-up cost of the mpv instances: CPU and wall time until a player and the file-row probe
// have opened a clip, with the player's options against mpv with its built-in scripts loaded
// (the anchor), side by side.
#include "benchsupport.h"
#include "dashcam.h"
#include "mpvcore.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int runs = 10;

struct Cost
{
    double cpu = 0.0;
    double wall = 0.0;
};

// Median cost of run(), which creates, uses and destroys what it measures.
Cost measure(const std::function<bool()> &run)
{
    std::vector<double> cpu, wall;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        const double cpuStart = processCpuMs();
        clock.start();
        if (!run()) {
            std::fprintf(stderr, "a run did not finish\n");
            return {};
        }
        wall.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back(processCpuMs() - cpuStart);
    }
    return {median(cpu), median(wall)};
}

// An idle mpv instance with options, up and drained.
bool bareCore(const QList<QPair<QByteArray, QByteArray>> &options)
{
    MpvCore core(options);
    if (!core.isValid())
        return false;
    // a property read waits for mpv's core to be up
    core.property("mpv-version");
    QCoreApplication::processEvents();
    return true;
}

const QList<QPair<QByteArray, QByteArray>> scriptsOn{{"vo", "null"},
                                                     {"ao", "null"},
                                                     {"load-scripts", "yes"},
                                                     {"load-stats-overlay", "yes"},
                                                     {"load-osd-console", "yes"},
                                                     {"load-auto-profiles", "yes"},
                                                     {"osc", "yes"},
                                                     {"ytdl", "yes"}};
const QList<QPair<QByteArray, QByteArray>> scriptsOff{{"vo", "null"}, {"ao", "null"}};

void print(const char *what, const Cost &cost, const Cost &anchor)
{
    std::printf("%-44s cpu %7.1f ms  wall %7.1f ms   cpu x%.2f of anchor\n", what, cost.cpu,
                cost.wall, anchor.cpu > 0 ? cost.cpu / anchor.cpu : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TestSupport::prepareGuiEnvironment();
    QApplication app(argc, argv);
    TestSupport::prepareApplication();

    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("0001_F.mp4"));
    if (!TestSupport::makeClip(clip, 2.0)) {
        std::fprintf(stderr, "ffmpeg could not make the clip\n");
        return 1;
    }
    // the first instance pays for loading libraries; not counted
    bareCore(scriptsOff);

    const Cost anchor = measure([] { return bareCore(scriptsOn); });
    const Cost bare = measure([] { return bareCore(scriptsOff); });
    const Cost player = measure([&clip] {
        Dashcam dashcam;
        bool opened = false;
        QObject::connect(&dashcam, &Dashcam::fileInfoChanged, [&opened] { opened = true; });
        dashcam.setMedia({QUrl::fromLocalFile(clip)});
        return spinUntil([&opened] { return opened; }, 10000);
    });
    std::printf("median of %d runs, CPU of all threads\n", runs);
    print("anchor: idle mpv, built-in scripts loaded", anchor, anchor);
    print("idle mpv, player's base options", bare, anchor);
    print("player + probe, clip opened and probed", player, anchor);
    return 0;
}
