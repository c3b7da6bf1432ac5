// CPU time of the main window playing a 1080p clip with a GPS trailer with the trip-data band
// shown, against the same playback with the band hidden; runs interleaved, medians and ratio.
#include "benchsupport.h"
#include "dashcam.h"
#include "formshowdata.h"
#include "gpstrailer.h"
#include "mainwindow.h"
#include "mappagestate.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int clipSeconds = 40;
constexpr int runsPerMode = 4;
constexpr int runMs = 8000;

void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Speeds that change every second (the gauge moves), positions along a line, sine G values.
QVector<VideoInfo_t> tripSamples()
{
    QVector<VideoInfo_t> samples;
    for (int i = 0; i < clipSeconds; ++i) {
        VideoInfo_t s;
        s.clockTime = QTime(8, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss")) +
                      QStringLiteral("  07/12/2026");
        s.latText = QStringLiteral("N");
        s.latDecimalText = QString::number(25.03 + i * 0.0003, 'f', 6);
        s.lonText = QStringLiteral("E");
        s.lonDecimalText = QString::number(121.56 + i * 0.0003, 'f', 6);
        s.speedKmh = 60 + 50 * std::sin(i * 0.7);
        s.gX = float(0.8 * std::sin(i * 0.5));
        s.gY = float(0.6 * std::cos(i * 0.3));
        s.gZ = float(0.3 * std::sin(i * 1.1));
        samples.append(s);
    }
    return samples;
}

} // namespace

int main(int argc, char *argv[])
{
    TestSupport::prepareGuiEnvironment();
    QApplication app(argc, argv);
    TestSupport::prepareApplication();
    MapPageTest::RequestRecorder offline; // map tiles never reach the network

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString clip = dir.filePath(QStringLiteral("20261207080000_F.mp4"));
    std::printf("making a %d s 1920x1080 clip with a GPS trailer...\n", clipSeconds);
    if (!TestSupport::makeClip(clip, clipSeconds, QStringLiteral("1920x1080"), false, 30))
        return 1;
    QFile file(clip);
    if (!file.open(QIODevice::Append) ||
        file.write(GpsTrailer::cutTrailer(tripSamples(), CutSpan{0, clipSeconds})) <= 0)
        return 1;
    file.close();

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
    QWidget *band = w.showData()->parentWidget(); // the band's area in the window
    spinFor(2000);                                // map page and first paints settle

    std::vector<double> shown, hidden;
    for (int run = 0; run < 2 * runsPerMode; ++run) {
        const bool showBand = run % 2 == 0;
        band->setVisible(showBand);
        player->setPositionMs(0);
        spinFor(300);
        player->play();
        spinFor(300); // playback under way
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
    const double withBand = median(shown);
    const double anchor = median(hidden);
    std::printf("\nmedian cpu, band shown : %7.1f ms/s\n", withBand);
    std::printf("median cpu, band hidden: %7.1f ms/s (anchor)\n", anchor);
    std::printf("ratio shown/hidden     : %7.3f  (the band adds %.1f %%; target under 10 %%)\n",
                withBand / anchor, (withBand / anchor - 1) * 100);
    return 0;
}
