// CPU time of the main window playing a 1080p clip with a GPS trailer with the trip-data band
// shown, against the same playback with the band's panel hidden; the band's area keeps its size,
// so the video is drawn at the same size in both. Runs interleaved, medians and ratio.
#include "benchclips.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "dashcam.h"
#include "formshowdata.h"
#include "mainwindow.h"
#include "videowidget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int clipSeconds = 40;
constexpr int runsPerMode = 4;
constexpr int runMs = 8000;

} // namespace

int main(int argc, char *argv[])
{
    BenchWindow::Application app(argc, argv);

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString clip = dir.filePath(QStringLiteral("20261207080000_F.mp4"));
    std::printf("making a %d s 1920x1080 clip with a GPS trailer...\n", clipSeconds);
    if (!BenchClips::makeTripClip(clip, clipSeconds, QStringLiteral("1920x1080"), 30))
        return 1;

    MainWindow w;
    w.resize(1600, 900);
    w.show();
    w.releaseKeyboard();
    Dashcam *player = w.mainDashcam();
    player->setMedia({QUrl::fromLocalFile(clip)});
    if (!spinUntil([player] { return player->durationMs() > 0; }, 20000)) {
        std::printf("the clip did not open\n");
        return 1;
    }
    QWidget *band = w.showData(); // its area keeps a fixed height: the video keeps its size
    const QWidget *video = player->getVideoWidget();
    spinFor(2000); // map page and first paints settle
    QSize videoSizes[2];

    std::vector<double> shown, hidden;
    for (int run = 0; run < 2 * runsPerMode; ++run) {
        const bool showBand = run % 2 == 0;
        band->setVisible(showBand);
        player->setPositionMs(0);
        spinFor(300);
        player->play();
        spinFor(300); // playback under way
        videoSizes[showBand ? 0 : 1] = video->size();
        const double cpu0 = processCpuMs();
        QElapsedTimer wall;
        wall.start();
        spinFor(runMs);
        const double cpuPerSecond = (processCpuMs() - cpu0) / (wall.elapsed() / 1000.0);
        player->pause();
        (showBand ? shown : hidden).push_back(cpuPerSecond);
        std::printf("run %d band %-6s  cpu %7.1f ms per second of playback\n", run + 1,
                    showBand ? "shown" : "hidden", cpuPerSecond);
    }
    band->show();
    std::printf("machine load %s; video %dx%d with the band, %dx%d without%s\n",
                machineLoad().constData(), videoSizes[0].width(), videoSizes[0].height(),
                videoSizes[1].width(), videoSizes[1].height(),
                videoSizes[0] == videoSizes[1] ? "" : " (NOT equal)");
    const double withBand = median(shown);
    const double anchor = median(hidden);
    std::printf("\nmedian cpu, band shown : %7.1f ms/s\n", withBand);
    std::printf("median cpu, band hidden: %7.1f ms/s (anchor)\n", anchor);
    std::printf("ratio shown/hidden     : %7.3f  (the band adds %.1f %%; target under 10 %%)\n",
                withBand / anchor, (withBand / anchor - 1) * 100);
    return 0;
}
