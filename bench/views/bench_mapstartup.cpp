// Start-up to a shown, idle window with its map page loaded: the player's main window against a
// minimal QtWebEngine window that loads a local page. Each run is a fresh process, timed from
// its start to its "ready" line, printed once the event loop is idle after the page's load; the
// two kinds alternate, side by side.
#include "appproxystyle.h"
#include "benchsupport.h"
#include "formmap.h"
#include "mainwindow.h"
#include "sharedtypes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int defaultRuns = 7;
constexpr int runTimeoutMs = 60000;
constexpr double targetRatio = 1.2;

void reportReady(bool ok)
{
    // what the load queued runs first: the window is idle when this timer fires
    QTimer::singleShot(0, qApp, [ok] {
        std::printf(ok ? "ready\n" : "failed\n");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

// The player as its main() starts it, until the map page has loaded.
int runPlayer(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication::setFont(QFont(QStringLiteral("Arial")));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    registerSharedTypes();
    QApplication::setStyle(new AppProxyStyle);
    QElapsedTimer clock;
    clock.start();
    MainWindow window;
    std::printf("window %.1f\n", clock.nsecsElapsed() / 1e6); // the constructor's own share
    std::fflush(stdout);
    QObject::connect(window.formMap()->webView(), &QWebEngineView::loadFinished, &app,
                     &reportReady);
    window.show();
    return app.exec();
}

// The anchor: one web view in a window, loading a small local page.
int runMinimal(int argc, char *argv[], const QString &page)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::loadFinished, &app, &reportReady);
    view.resize(480, 400);
    view.load(QUrl::fromLocalFile(page));
    view.show();
    return app.exec();
}

// Milliseconds from the start of one child to its "ready" line; negative on failure.
// constructorMs gets the player's own figure for its window's constructor.
double timeChild(const QString &kind, const QString &workDir, const QString &page,
                 double *constructorMs = nullptr)
{
    QProcess child;
    child.setWorkingDirectory(workDir);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), kind, page});
    double readyMs = -1.0;
    QByteArray output;
    while (clock.elapsed() < runTimeoutMs && child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(50);
        output += child.readAllStandardOutput();
        if (output.contains("ready")) {
            readyMs = clock.nsecsElapsed() / 1e6;
            break;
        }
    }
    const int window = output.indexOf("window ");
    if (constructorMs && window >= 0)
        *constructorMs =
            output.mid(window + 7, output.indexOf('\n', window) - window - 7).toDouble();
    if (!child.waitForFinished(runTimeoutMs))
        child.kill();
    return readyMs;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0) {
        if (qstrcmp(argv[2], "player") == 0)
            return runPlayer(argc, argv);
        return runMinimal(argc, argv, QString::fromLocal8Bit(argv[3]));
    }

    QCoreApplication app(argc, argv);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : defaultRuns;
    QTemporaryDir dir; // the player's settings file stays here
    const QString page = dir.filePath(QStringLiteral("page.html"));
    QFile file(page);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Local</title></head>"
               "<body><div id=\"map\" style=\"width:100%;height:100%\">Local page</div>"
               "</body></html>");
    file.close();

    // one warm-up of each, not counted: disk caches and the web engine's first start
    timeChild(QStringLiteral("player"), dir.path(), page);
    timeChild(QStringLiteral("minimal"), dir.path(), page);

    std::vector<double> player, minimal, constructor;
    std::printf("run  player window + map (ms)  of which constructor  minimal web window (ms)\n");
    for (int i = 0; i < runs; ++i) {
        // alternate which goes first so that neither always runs on a warmer machine
        const bool playerFirst = i % 2 == 0;
        double p = -1, m = -1, c = 0;
        if (playerFirst) {
            p = timeChild(QStringLiteral("player"), dir.path(), page, &c);
            m = timeChild(QStringLiteral("minimal"), dir.path(), page);
        } else {
            m = timeChild(QStringLiteral("minimal"), dir.path(), page);
            p = timeChild(QStringLiteral("player"), dir.path(), page, &c);
        }
        if (p < 0 || m < 0) {
            std::printf("run %d failed\n", i + 1);
            return 1;
        }
        player.push_back(p);
        minimal.push_back(m);
        constructor.push_back(c);
        std::printf("%3d  %26.1f  %20.1f  %23.1f\n", i + 1, p, c, m);
    }
    const double ratio = median(player) / median(minimal);
    std::printf("median: player %.1f ms (constructor %.1f ms), minimal %.1f ms, ratio %.2f "
                "(target <= %.1f): %s; load %s\n",
                median(player), median(constructor), median(minimal), ratio, targetRatio,
                ratio <= targetRatio ? "met" : "NOT met", machineLoad().constData());
    return 0;
}
