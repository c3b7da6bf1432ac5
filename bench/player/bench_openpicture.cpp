// Time from opening a 1080p30 clip with a GPS trailer to its first picture on screen: through the
// main window (the list's open request, map and trip band shown) against a bare libmpv view in a
// process of its own (mpv with nothing around it), at the same size, opens interleaved. Two clips
// of different colours alternate, so that every open brings a picture the view did not show
// before; a picture counts when the view's composed frame shows the clip's colour.
// Usage: bench_openpicture [runs]
#include "benchclips.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "dashcam.h"
#include "mainwindow.h"
#include "videowidget.h"

#include <QApplication>
#include <QDir>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {

using namespace BenchSupport;

constexpr int defaultRuns = 8;
constexpr int clipSeconds = 10;
constexpr int timeoutMs = 30000;

void *procAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(name)) : nullptr;
}

// The anchor: libmpv drawing through its render API into a plain QOpenGLWidget.
class BareMpvView : public QOpenGLWidget
{
public:
    BareMpvView() : mpv_(mpv_create())
    {
        mpv_set_option_string(mpv_, "vo", "libmpv");
        mpv_set_option_string(mpv_, "hwdec", "auto-safe");
        mpv_set_option_string(mpv_, "ao", "null");
        mpv_set_option_string(mpv_, "pause", "yes");
        mpv_set_option_string(mpv_, "keep-open", "yes");
        mpv_set_option_string(mpv_, "idle", "yes");
        mpv_initialize(mpv_);
    }
    ~BareMpvView() override
    {
        makeCurrent();
        if (render_)
            mpv_render_context_free(render_);
        doneCurrent();
        mpv_terminate_destroy(mpv_);
    }
    void open(const QString &path)
    {
        const QByteArray file = path.toUtf8();
        const char *args[] = {"loadfile", file.constData(), nullptr};
        mpv_command_async(mpv_, 0, args);
    }
    bool ready() const { return render_ != nullptr; }

protected:
    void initializeGL() override
    {
        mpv_opengl_init_params glInit{&procAddress, nullptr};
        char api[] = MPV_RENDER_API_TYPE_OPENGL;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api},
                                     {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_create(&render_, mpv_, params) < 0)
            return;
        mpv_render_context_set_update_callback(
            render_,
            [](void *self) {
                QMetaObject::invokeMethod(static_cast<BareMpvView *>(self),
                                          QOverload<>::of(&QWidget::update), Qt::QueuedConnection);
            },
            this);
    }
    void paintGL() override
    {
        mpv_opengl_fbo fbo{int(defaultFramebufferObject()), width(), height(), 0};
        int flip = 1;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                     {MPV_RENDER_PARAM_FLIP_Y, &flip},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(render_, params);
    }

private:
    mpv_handle *mpv_;
    mpv_render_context *render_ = nullptr;
};

// The centre pixel of the view's last composed frame.
QColor centrePixel(QOpenGLWidget *view)
{
    view->makeCurrent();
    uchar rgba[4] = {0, 0, 0, 0};
    QOpenGLFunctions *gl = view->context()->functions();
    gl->glBindFramebuffer(GL_FRAMEBUFFER, view->defaultFramebufferObject());
    gl->glReadPixels(view->width() / 2, view->height() / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    view->doneCurrent();
    return QColor(rgba[0], rgba[1], rgba[2]);
}

bool isNear(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
}

// ms from open() until view has composed a frame showing colour; negative on timeout.
double timeToPicture(QOpenGLWidget *view, const std::function<void()> &open, const QColor &colour)
{
    double ms = -1.0;
    QElapsedTimer clock;
    const auto swapped = QObject::connect(view, &QOpenGLWidget::frameSwapped, view, [&] {
        if (ms < 0 && isNear(centrePixel(view), colour))
            ms = clock.nsecsElapsed() / 1e6;
    });
    clock.start();
    open();
    spinUntil([&ms] { return ms >= 0; }, timeoutMs);
    QObject::disconnect(swapped);
    return ms;
}

// The anchor's process: a bare view of the given size; each line "<path> <colour>" on stdin opens
// path and answers with the ms to its picture.
int runBare(int argc, char *argv[])
{
    TestSupport::prepareGuiEnvironment();
    QApplication app(argc, argv);
    TestSupport::prepareApplication();
    BareMpvView bare;
    bare.setWindowTitle(QStringLiteral("bare mpv"));
    bare.resize(QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt());
    bare.show();
    if (!spinUntil([&bare] { return bare.ready(); }, timeoutMs))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, int(n));
        while (pending.contains('\n')) {
            const QByteArray line = pending.left(pending.indexOf('\n'));
            pending.remove(0, line.size() + 1);
            const int blank = line.lastIndexOf(' ');
            const QString path = QString::fromUtf8(line.left(blank));
            const QColor colour(QString::fromUtf8(line.mid(blank + 1)));
            const double ms = timeToPicture(
                &bare, [&] { bare.open(path); }, colour);
            std::printf("picture %.3f\n", ms);
            std::fflush(stdout);
        }
    });
    return app.exec();
}

// Reads the next "picture <ms>" line of the anchor's process; negative on failure.
double readPicture(QProcess &bare)
{
    QElapsedTimer clock;
    clock.start();
    while (!bare.canReadLine() && clock.elapsed() < timeoutMs)
        bare.waitForReadyRead(50);
    const QByteArray line = bare.readLine().trimmed();
    return line.startsWith("picture ") ? line.mid(8).toDouble() : -1.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--bare") == 0)
        return runBare(argc, argv);
    BenchWindow::Application app(argc, argv);
    const int runs = argc > 1 ? qMax(2, QByteArray(argv[1]).toInt()) : defaultRuns;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QColor colours[2] = {QColor(Qt::red), QColor(Qt::blue)};
    QString clips[2];
    std::printf("making two %d s 1920x1080 30 fps clips with GPS trailers...\n", clipSeconds);
    for (int i = 0; i < 2; ++i) {
        clips[i] = dir.filePath(QStringLiteral("2026120708000%1_F.mp4").arg(i));
        if (!TestSupport::makeLavfiClip(
                clips[i],
                QStringLiteral("color=c=%1:size=1920x1080:rate=30:duration=%2")
                    .arg(colours[i].name())
                    .arg(clipSeconds),
                clipSeconds, false) ||
            !BenchClips::appendTrailer(clips[i], clipSeconds))
            return 1;
    }

    MainWindow w;
    if (!BenchWindow::showWithMap(w, timeoutMs))
        return 1;
    VideoWidget *windowView = w.mainDashcam()->getVideoWidget();
    // the bare view as big as the window's view will be once a clip is open
    w.onOpenFile_L({QUrl::fromLocalFile(clips[1])});
    if (!spinUntil([&] { return windowView->hasRenderContext() && windowView->isVisible(); },
                   timeoutMs))
        return 1;
    spinFor(1000);
    QProcess bare;
    bare.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--bare"), QString::number(windowView->width()),
                QString::number(windowView->height())});
    if (!bare.waitForStarted(timeoutMs) ||
        !spinUntil([&bare] { return bare.canReadLine() && bare.readLine() == "ready\n"; },
                   timeoutMs))
        return 1;

    std::vector<double> window, anchor;
    std::printf("run  window (ms)  bare mpv (ms)\n");
    for (int run = 0; run < runs + 1; ++run) {
        const int clip = run % 2;
        const auto openWindow = [&] { w.onOpenFile_L({QUrl::fromLocalFile(clips[clip])}); };
        const auto openBare = [&] {
            bare.write(clips[clip].toUtf8() + ' ' + colours[clip].name().toUtf8() + '\n');
            return readPicture(bare);
        };
        // alternate which goes first so that neither always runs on a quieter machine
        double a = -1, m = -1;
        if (run % 2 == 0) {
            a = timeToPicture(windowView, openWindow, colours[clip]);
            m = openBare();
        } else {
            m = openBare();
            a = timeToPicture(windowView, openWindow, colours[clip]);
        }
        spinFor(500); // what follows the picture (samples, map, band) settles before the next
        if (a < 0 || m < 0) {
            std::printf("run %d: no picture\n", run);
            return 1;
        }
        if (run == 0)
            continue; // warm-up: first open of each side
        window.push_back(a);
        anchor.push_back(m);
        std::printf("%3d  %11.1f  %13.1f\n", run, a, m);
    }
    const double ratio = median(window) / median(anchor);
    std::printf("view %dx%d, load %s\nopen to first picture: window %.1f ms, bare mpv %.1f ms, "
                "ratio %.2f (target <= 1.0): %s\n",
                windowView->width(), windowView->height(), machineLoad().constData(),
                median(window), median(anchor), ratio, ratio <= 1.0 ? "met" : "NOT met");
    bare.closeWriteChannel();
    bare.waitForFinished(5000);
    return 0;
}
