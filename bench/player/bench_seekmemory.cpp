// Resident memory of the main window over many seeks in a front/rear pair of 10-minute clips
// (small pictures, so that making them takes seconds): after a warm-up it should stay flat, or be
// shown to be a bounded cache (growth that stops). Each seek waits until both players show the
// new position.
// Usage: bench_seekmemory [seeks]
#include "benchclips.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "dashcam.h"
#include "mainwindow.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int defaultSeeks = 500;
constexpr int clipSeconds = 600;
constexpr int warmUpSeeks = 100;
constexpr int reportEvery = 50;
constexpr int timeoutMs = 30000;

} // namespace

int main(int argc, char *argv[])
{
    BenchWindow::Application app(argc, argv);
    const int seeks = argc > 1 ? qMax(2 * warmUpSeeks, QByteArray(argv[1]).toInt()) : defaultSeeks;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString front = dir.filePath(QStringLiteral("20261207080000_F.mp4"));
    const QString rear = dir.filePath(QStringLiteral("20261207080000_R.mp4"));
    std::printf("making two %d s 320x180 30 fps clips with GPS trailers...\n", clipSeconds);
    for (const QString &clip : {front, rear}) {
        if (!BenchClips::makeTripClip(clip, clipSeconds, QStringLiteral("320x180"), 30))
            return 1;
    }

    MainWindow w;
    if (!BenchWindow::showWithMap(w, timeoutMs))
        return 1;
    Dashcam *main = w.mainDashcam();
    Dashcam *second = w.secondDashcam();
    // the front file, then its partner in the second player, as the list does
    main->setMedia({QUrl::fromLocalFile(front)});
    if (!spinUntil([main] { return main->durationMs() > 0; }, timeoutMs))
        return 1;
    second->setMedia2(QUrl::fromLocalFile(rear));
    if (!spinUntil([second] { return second->durationMs() > 0; }, timeoutMs))
        return 1;
    spinFor(1000);

    std::vector<long> rss{residentKb()};
    std::printf("seeks  resident (MiB)\n%5d  %8.1f\n", 0, rss.back() / 1024.0);
    quint32 random = 12345;
    for (int i = 1; i <= seeks; ++i) {
        random = random * 1103515245u + 12345u;
        const qint64 target = 1000 + qint64(random >> 8) % ((clipSeconds - 2) * 1000);
        main->setPositionMs(target); // the second player follows through the window's sync
        const auto near = [target](Dashcam *d) { return qAbs(d->positionMs() - target) < 100; };
        if (!spinUntil([&] { return near(main) && near(second); }, timeoutMs)) {
            std::printf("seek %d did not land\n", i);
            return 1;
        }
        if (i % reportEvery == 0) {
            rss.push_back(residentKb());
            std::printf("%5d  %8.1f\n", i, rss.back() / 1024.0);
        }
    }
    const long warm = rss.at(warmUpSeeks / reportEvery);
    const long last = rss.back();
    const long peak = *std::max_element(rss.begin() + warmUpSeeks / reportEvery, rss.end());
    // flat: the last half of the seeks after the warm-up adds less than 1 MiB
    const size_t mid = (warmUpSeeks / reportEvery + rss.size()) / 2;
    const long firstHalf = rss.at(mid) - warm;
    const long secondHalf = last - rss.at(mid);
    std::printf("load %s\n%d seeks: %+.1f MiB after the %d warm-up seeks (peak %+.1f MiB); "
                "growth in the first half after it %+.1f MiB, in the second %+.1f MiB: %s\n",
                machineLoad().constData(), seeks, (last - warm) / 1024.0, warmUpSeeks,
                (peak - warm) / 1024.0, firstHalf / 1024.0, secondHalf / 1024.0,
                secondHalf < 1024 ? "flat (met)" : "rising (NOT met)");
    return 0;
}
