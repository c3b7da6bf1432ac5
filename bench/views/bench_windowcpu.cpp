// CPU of the main window with the map and the trip-data band shown, counted over the whole process
// tree (the web page's processes included), side by side with its anchor in the same run:
//  - playback: two 1080p30 cameras in the window against two mpv processes showing the same clips
//    at the same sizes, and one camera against one mpv;
//  - paused: a clip opened and paused, during the start marker's bounce and after it, against
//    the same window idling with nothing open.
// Usage: bench_windowcpu [playback|paused] [rounds]
#include "appglobals.h"
#include "benchclips.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "dashcam.h"
#include "mainwindow.h"
#include "videowidget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int clipSeconds = 30;
constexpr int warmMs = 2000;     // after playback starts, before counting
constexpr int measureMs = 20000; // counted playback
constexpr int bounceMs = 7250;   // the start marker's bounce
constexpr int stillMs = 5000;    // counted after the bounce
constexpr int startTimeoutMs = 60000;

void say(const QByteArray &line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

// ---- the child: the main window doing one kind of work; it reports on stdout ----

int runWindow(int argc, char *argv[])
{
    const QByteArray work = argv[2];
    const QString clip = QString::fromLocal8Bit(argv[3]);
    BenchWindow::Application app(argc, argv);
    MainWindow w;
    if (!BenchWindow::showWithMap(w, startTimeoutMs))
        return 1;
    spinFor(500);
    if (work == "idle") {
        say("ready");
        return app.exec();
    }
    Dashcam *main = w.mainDashcam();
    Dashcam *second = w.secondDashcam();
    const bool pair = work == "pair";
    if (pair != (gDisplayMode == 1))
        w.onDisplayModeChange(); // both views shown side by side, or the main one alone
    // the front file in the main player, then its partner in the second, as the list does
    main->setMedia({QUrl::fromLocalFile(clip)});
    if (!spinUntil([main] { return main->durationMs() > 0; }, startTimeoutMs))
        return 1;
    if (pair) {
        second->setMedia2(QUrl::fromLocalFile(QString(clip).replace("_F.", "_R.")));
        if (!spinUntil([second] { return second->durationMs() > 0; }, startTimeoutMs))
            return 1;
    }
    if (work == "paused") {
        say("ready");
        return app.exec();
    }
    spinFor(500);
    w.onPlayPause();
    if (!spinUntil([main] { return main->playStatus() == PlayingState; }, startTimeoutMs))
        return 1;
    const QSize a = main->getVideoWidget()->size();
    const QSize b = second->getVideoWidget()->size();
    say(QStringLiteral("views %1 %2 %3 %4")
            .arg(a.width())
            .arg(a.height())
            .arg(pair ? b.width() : 0)
            .arg(pair ? b.height() : 0)
            .toUtf8());
    say("ready");
    return app.exec();
}

// ---- the parent: starts children and counts their CPU ----

struct Child
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray output;

    bool waitFor(const QByteArray &line)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < startTimeoutMs && process->state() != QProcess::NotRunning) {
            process->waitForReadyRead(50);
            output += process->readAllStandardOutput();
            if (output.contains(line + '\n'))
                return true;
        }
        return false;
    }
    ~Child()
    {
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
        process->waitForFinished(5000);
    }
};

std::unique_ptr<Child> startWindow(const QByteArray &work, const QString &clip)
{
    auto child = std::make_unique<Child>();
    child->process->start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--child"), QString::fromUtf8(work), clip});
    return child;
}

// Percent of one core used by the children's trees over ms, counted from now.
double cpuPercent(const std::vector<Child *> &children, int ms)
{
    const auto total = [&children] {
        double sum = 0.0;
        for (Child *child : children)
            sum += processTreeCpuMs(child->process->processId());
        return sum;
    };
    const double before = total();
    QElapsedTimer clock;
    clock.start();
    spinFor(ms);
    return (total() - before) * 100.0 / clock.elapsed();
}

struct Sizes
{
    QSize main;
    QSize second;
};

// One window run playing clip (with its partner when pair); its view sizes go to sizes.
double playWindow(const QString &clip, bool pair, Sizes *sizes)
{
    std::unique_ptr<Child> child = startWindow(pair ? "pair" : "single", clip);
    if (!child->waitFor("ready"))
        return -1.0;
    const int at = child->output.indexOf("views ");
    const QList<QByteArray> v =
        child->output.mid(at + 6, child->output.indexOf('\n', at) - at - 6).split(' ');
    sizes->main = QSize(v.value(0).toInt(), v.value(1).toInt());
    sizes->second = QSize(v.value(2).toInt(), v.value(3).toInt());
    spinFor(warmMs);
    return cpuPercent({child.get()}, measureMs);
}

// The anchor: one mpv process per view, each showing its clip at its view's size.
double playMpv(const QStringList &clips, const Sizes &sizes)
{
    std::vector<std::unique_ptr<Child>> children;
    std::vector<Child *> counted;
    for (int i = 0; i < clips.size(); ++i) {
        const QSize size = i == 0 ? sizes.main : sizes.second;
        auto child = std::make_unique<Child>();
        child->process->start(QStringLiteral("mpv"),
                              {QStringLiteral("--no-config"), QStringLiteral("--really-quiet"),
                               // the same OpenGL drawing as the window's, in software here
                               QStringLiteral("--vo=gpu"), QStringLiteral("--gpu-sw=yes"),
                               QStringLiteral("--hwdec=auto-safe"), QStringLiteral("--ao=null"),
                               QStringLiteral("--keep-open=yes"), QStringLiteral("--osc=no"),
                               QStringLiteral("--osd-level=0"),
                               QStringLiteral("--geometry=%1x%2+%3+0")
                                   .arg(size.width())
                                   .arg(size.height())
                                   .arg(i * size.width()),
                               clips.at(i)});
        if (!child->process->waitForStarted(10000))
            return -1.0;
        counted.push_back(child.get());
        children.push_back(std::move(child));
    }
    spinFor(1000 + warmMs); // mpv's own start, then the same warm-up as the window's
    const double percent = cpuPercent(counted, measureMs);
    for (Child *child : counted) {
        if (child->process->state() != QProcess::Running)
            return -1.0; // it stopped early: no figure
    }
    return percent;
}

void benchPlayback(const QString &front, const QString &rear, int rounds)
{
    for (const bool pair : {true, false}) {
        std::vector<double> window, mpv;
        Sizes sizes;
        for (int round = 0; round < rounds; ++round) {
            const double w = playWindow(front, pair, &sizes);
            const double m = playMpv(pair ? QStringList{front, rear} : QStringList{front}, sizes);
            if (w < 0 || m < 0) {
                std::printf("a run failed\n");
                return;
            }
            window.push_back(w);
            mpv.push_back(m);
            std::printf("%s round %d: window %6.1f %% of a core, mpv %6.1f %% (load %s)\n",
                        pair ? "two cameras" : "one camera ", round + 1, w, m,
                        machineLoad().constData());
        }
        const double ratio = median(window) / median(mpv);
        std::printf("%s, 1080p30, %d s counted, views %dx%d%s: window %.1f %%, %s %.1f %%, "
                    "ratio %.2f (target <= 1.2): %s\n\n",
                    pair ? "two cameras" : "one camera", measureMs / 1000, sizes.main.width(),
                    sizes.main.height(),
                    pair ? qPrintable(QStringLiteral(" and %1x%2")
                                          .arg(sizes.second.width())
                                          .arg(sizes.second.height()))
                         : "",
                    median(window), pair ? "two mpv" : "one mpv", median(mpv), ratio,
                    ratio <= 1.2 ? "met" : "NOT met");
    }
}

void benchPaused(const QString &front, int rounds)
{
    std::vector<double> bounce, still, idle;
    for (int round = 0; round < rounds; ++round) {
        {
            std::unique_ptr<Child> child = startWindow("paused", front);
            if (!child->waitFor("ready")) {
                std::printf("a run failed\n");
                return;
            }
            bounce.push_back(cpuPercent({child.get()}, bounceMs));
            spinFor(1000);
            still.push_back(cpuPercent({child.get()}, stillMs));
        }
        {
            std::unique_ptr<Child> child = startWindow("idle", front);
            if (!child->waitFor("ready")) {
                std::printf("a run failed\n");
                return;
            }
            spinFor(1000);
            idle.push_back(cpuPercent({child.get()}, stillMs));
        }
        std::printf("paused round %d: bounce %5.1f %%, after %5.1f %%, empty window %5.1f %% "
                    "(load %s)\n",
                    round + 1, bounce.back(), still.back(), idle.back(), machineLoad().constData());
    }
    const double b = median(bounce), s = median(still), e = median(idle);
    std::printf("clip opened and paused, map shown: during the bounce %.1f %% of a core "
                "(target <= 33.3): %s; after it %.1f %% (target < 5): %s; empty window idles "
                "at %.1f %% (ratios to it: %.2f and %.2f)\n",
                b, b <= 100.0 / 3 ? "met" : "NOT met", s, s < 5.0 ? "met" : "NOT met", e, b / e,
                s / e);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return runWindow(argc, argv);

    QCoreApplication app(argc, argv);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const QByteArray what = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const int rounds = argc > 2 ? qMax(1, QByteArray(argv[2]).toInt()) : 1;
    QTemporaryDir dir; // the children's settings file stays here
    QDir::setCurrent(dir.path());
    const QString front = dir.filePath(QStringLiteral("20261207080000_F.mp4"));
    const QString rear = dir.filePath(QStringLiteral("20261207080000_R.mp4"));
    std::printf("making two %d s 1920x1080 30 fps clips with GPS trailers...\n", clipSeconds);
    for (const QString &clip : {front, rear}) {
        if (!BenchClips::makeTripClip(clip, clipSeconds, QStringLiteral("1920x1080"), 30))
            return 1;
    }
    std::printf("machine load at start: %s\n\n", machineLoad().constData());
    if (what.isEmpty() || what == "playback")
        benchPlayback(front, rear, rounds);
    if (what.isEmpty() || what == "paused")
        benchPaused(front, rounds);
    return 0;
}
