// Playback figures on a generated 1080p H.264 clip: time to the first frame, per frame step,
// per seek, and the drift of a second player kept in step by PlayerSync over a minute.
#include "benchsupport.h"
#include "dashcam.h"
#include "formdashcampreview.h"
#include "playersync.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHBoxLayout>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int openRuns = 5;
constexpr int forwardSteps = 30;
constexpr int backwardSteps = 15;
constexpr int seeks = 10;
int driftSeconds = 60;
constexpr qint64 settleMs = 5000;

struct Summary
{
    double median = 0.0;
    double mean = 0.0;
    double p95 = 0.0;
    double max = 0.0;
};

Summary summarise(std::vector<double> values)
{
    Summary s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.median = values[values.size() / 2];
    s.p95 = values[std::min(values.size() - 1, values.size() * 95 / 100)];
    s.max = values.back();
    for (double v : values)
        s.mean += v;
    s.mean /= values.size();
    return s;
}

void print(const char *what, const std::vector<double> &values, const char *unit)
{
    const Summary s = summarise(values);
    std::printf("%-34s n=%-4zu median %7.1f  mean %7.1f  p95 %7.1f  max %7.1f %s\n", what,
                values.size(), s.median, s.mean, s.p95, s.max, unit);
}

struct OpenTimes
{
    double openMs = -1.0;  // setMedia until the player reports the file open (first frame decoded)
    double frameMs = -1.0; // setMedia until the view has composed a picture after that
};

OpenTimes timeToFirstFrame(Dashcam *player, const QString &path)
{
    OpenTimes times;
    QElapsedTimer clock;
    VideoWidget *view = player->getVideoWidget();
    auto onOpen = QObject::connect(player, &Dashcam::durationChanged, [&] {
        times.openMs = clock.nsecsElapsed() / 1e6;
        view->update(); // mpv drew the frame already; compose it once more to time the view
    });
    auto onSwap = QObject::connect(view, &QOpenGLWidget::frameSwapped, [&] {
        if (times.openMs >= 0 && times.frameMs < 0)
            times.frameMs = clock.nsecsElapsed() / 1e6;
    });
    clock.start();
    player->setMedia({QUrl::fromLocalFile(path)});
    spinUntil([&] { return times.frameMs >= 0; }, 20000);
    QObject::disconnect(onOpen);
    QObject::disconnect(onSwap);
    return times;
}

// ms from a command until the player reports a position other than the one before it.
double timeToNewPosition(Dashcam *player, const std::function<void()> &command)
{
    const qint64 before = player->positionMs();
    double ms = -1.0;
    QElapsedTimer clock;
    auto onPosition = QObject::connect(player, &Dashcam::positionChanged, [&](qint64 pos) {
        if (ms < 0 && pos != before)
            ms = clock.nsecsElapsed() / 1e6;
    });
    clock.start();
    command();
    spinUntil([&] { return ms >= 0; }, 10000);
    QObject::disconnect(onPosition);
    return ms;
}

void benchOpenAndSteps(const QString &clip, const QString &other)
{
    FormDashcamPreview preview;
    preview.resize(960, 540);
    preview.show();
    if (!QTest::qWaitForWindowExposed(&preview))
        std::printf("the window was not exposed\n");
    Dashcam *player = preview.getDashcam();
    spinUntil([&] { return player->getVideoWidget()->hasRenderContext(); }, 10000);

    std::vector<double> open;
    std::vector<double> frame;
    for (int i = 0; i < openRuns; ++i) {
        timeToFirstFrame(player, other); // a different file first, so each run really opens
        const OpenTimes times = timeToFirstFrame(player, clip);
        open.push_back(times.openMs);
        frame.push_back(times.frameMs);
    }
    const DashcamStatistics stats = player->statistics();
    std::printf("clip %dx%d, %.1f s, decoder %s\n", stats.width, stats.height,
                stats.durationMs / 1000.0,
                stats.hwdec.isEmpty() ? "software" : qPrintable(stats.hwdec));
    print("setMedia -> open, frame decoded", open, "ms");
    print("setMedia -> frame composed in view", frame, "ms");

    const qint64 stepFrom = stats.durationMs / 2;
    player->setPositionMs(stepFrom);
    spinUntil([&] { return std::abs(player->positionMs() - stepFrom) < 40; }, 10000);
    std::vector<double> forward;
    for (int i = 0; i < forwardSteps; ++i)
        forward.push_back(timeToNewPosition(player, [&] { player->stepForward(); }));
    print("frame step forward", forward, "ms");
    std::vector<double> backward;
    for (int i = 0; i < backwardSteps; ++i)
        backward.push_back(timeToNewPosition(player, [&] { player->stepBackward(); }));
    print("frame step backward", backward, "ms");
    std::vector<double> seek;
    for (int i = 0; i < seeks; ++i) {
        const qint64 target = (i * 7919 + 1000) % (stats.durationMs - 1000); // spread over the clip
        seek.push_back(timeToNewPosition(player, [&] { player->setPositionMs(target); }));
    }
    print("exact seek (paused)", seek, "ms");
}

void benchDrift(const QString &front, const QString &rear)
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *mainView = new FormDashcamPreview;
    auto *secondView = new FormDashcamPreview;
    layout->addWidget(mainView);
    layout->addWidget(secondView);
    window.resize(1280, 360);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("the window was not exposed\n");
    Dashcam *leader = mainView->getDashcam();
    Dashcam *follower = secondView->getDashcam();
    spinUntil([&] { return follower->getVideoWidget()->hasRenderContext(); }, 10000);
    PlayerSync sync(leader, follower);
    timeToFirstFrame(leader, front);
    timeToFirstFrame(follower, rear);
    follower->setMute(true);

    std::vector<double> settling; // the first seconds: the follower catches up after its start
    std::vector<double> steady;
    int overOneFrame = 0;
    leader->play();
    QElapsedTimer clock;
    clock.start();
    spinUntil([&] { return leader->playStatus() == PlayingState; }, 10000);
    while (leader->playStatus() == PlayingState &&
           leader->positionMs() < driftSeconds * 1000 - 500) {
        spinUntil([] { return false; }, 100);
        const double d = std::abs(static_cast<double>(sync.driftMs()));
        if (qEnvironmentVariableIsSet("BENCH_TRACE"))
            std::printf("trace %lld %lld %.3f\n", leader->positionMs(), sync.driftMs(),
                        follower->speed());
        if (clock.elapsed() < settleMs) {
            settling.push_back(d);
            continue;
        }
        steady.push_back(d);
        if (d > leader->frameDurationMs())
            ++overOneFrame;
    }
    std::printf("drift over %.1f s of playback (wall %.1f s), one frame = %.0f ms\n",
                leader->positionMs() / 1000.0, clock.elapsed() / 1000.0, leader->frameDurationMs());
    print("|drift| first 5 s (catching up)", settling, "ms");
    print("|drift| after 5 s", steady, "ms");
    std::printf("%-34s %d of %zu samples\n", "samples over one frame after 5 s", overOneFrame,
                steady.size());
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TestSupport::prepareGuiEnvironment();
    QApplication app(argc, argv);
    TestSupport::prepareApplication();
    if (argc > 1)
        driftSeconds = std::max(5, QString::fromLocal8Bit(argv[1]).toInt()); // shorter runs

    QTemporaryDir dir;
    const QString front = dir.filePath(QStringLiteral("0001_F.mp4"));
    const QString rear = dir.filePath(QStringLiteral("0001_R.mp4"));
    const QString other = dir.filePath(QStringLiteral("other.mp4"));
    std::printf("making a %d s 1080p H.264 clip ...\n", driftSeconds);
    std::fflush(stdout);
    if (!TestSupport::makeClip(front, driftSeconds, QStringLiteral("1920x1080")) ||
        !QFile::copy(front, rear) || !TestSupport::makeClip(other, 2.0)) {
        std::fprintf(stderr, "ffmpeg could not make the clips\n");
        return 1;
    }
    benchOpenAndSteps(front, other);
    benchDrift(front, rear);
    return 0;
}
