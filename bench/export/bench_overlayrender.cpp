// Overlay frame render of a 60-second 1280x720 sample (472 frames) with the map-track and the
// dashboard overlay: frames per second of the editor's worker, and the share of that time the
// PNG writes take, against drawing the same frames without saving and saving without drawing.
// Usage: bench_overlayrender [repetitions]
#include "dashcam.h"
#include "formwatermarkview.h"
#include "overlaydrop.h"
#include "overlayrender.h"
#include "skin.h"
#include "testsupport.h"
#include "videowidget.h"
#include "watermarkview.h"

#include "../../tests/views/overlaysamples.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

struct Figures
{
    int frames = 0;
    double renderSec = 0; // the editor's worker: pose, draw, hand over, save
    double drawSec = 0;   // pose and draw only, on the GUI thread
    double saveSec = 0;   // PNG writes only
    double ffmpegSec = 0; // the final overlay run
};

Figures measure(FormWatermarkView &editor)
{
    Figures f;
    QSignalSpy commands(&editor, &FormWatermarkView::start);
    QSignalSpy finished(&editor, &FormWatermarkView::renderFinished);
    QElapsedTimer timer;
    timer.start();
    editor.pictureshot();
    if (!commands.wait(600000))
        return f;
    f.renderSec = timer.nsecsElapsed() / 1e9;
    timer.restart();
    if (!finished.wait(600000) || !finished.first().at(0).toBool())
        return f;
    f.ffmpegSec = timer.nsecsElapsed() / 1e9;
    f.frames = OverlayRender::frameCount(editor.previewPlayer()->statistics().durationMs);

    // Drawing alone, at the video's own size as the worker draws.
    const DashcamStatistics stats = editor.previewPlayer()->statistics();
    editor.resizeObjects();
    timer.restart();
    for (int i = 0; i < f.frames; ++i) {
        editor.renderMetadata(nullptr, nullptr, true, true, i);
        QImage frame(QSize(stats.width, stats.height), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        for (QWidget *object : editor.objectList())
            object->render(&painter, object->pos());
    }
    f.drawSec = timer.nsecsElapsed() / 1e9;
    editor.updateObjects();

    // Saving alone: the same frames written again.
    QVector<QImage> images;
    for (int i = 0; i < f.frames; ++i)
        images.append(QImage(OverlayRender::frameFileName(i)));
    timer.restart();
    for (int i = 0; i < f.frames; ++i)
        images.at(i).save(QStringLiteral("again_%1.png").arg(i));
    f.saveSec = timer.nsecsElapsed() / 1e9;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    TestSupport::prepareGuiEnvironment();
    QApplication app(argc, argv);
    TestSupport::prepareApplication();
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 2;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString sample = dir.filePath(QStringLiteral("sample.mp4"));
    if (!TestSupport::makeClip(sample, 60, QStringLiteral("1280x720"))) {
        std::fprintf(stderr, "could not make the sample\n");
        return 1;
    }
    QVector<VideoInfo_t> samples = OverlaySamples::drive(60);

    FormWatermarkView editor;
    editor.setSampleVideo(sample);
    editor.setButtonStyle(0);
    editor.initDashcam();
    editor.show();
    editor.setData(samples);
    if (!QTest::qWaitForWindowExposed(&editor) ||
        !QTest::qWaitFor([&]() { return editor.previewPlayer()->statistics().durationMs > 0; },
                         10000)) {
        std::fprintf(stderr, "the preview did not open the sample\n");
        return 1;
    }
    VideoWidget *view = editor.previewPlayer()->getVideoWidget();
    OverlayDrop::dropItem(view, 1, QPoint(10, 10));
    OverlayDrop::dropItem(view, 2, QPoint(0, view->height() - view->width() * 120 / 790));

    std::printf("overlay render, 60 s 1280x720 sample, map + dashboard\n");
    std::printf("%-4s %7s %10s %9s %11s %11s %10s %10s\n", "run", "frames", "render s", "frames/s",
                "draw ms/f", "save ms/f", "save share", "ffmpeg s");
    for (int r = 0; r < repetitions; ++r) {
        const Figures f = measure(editor);
        if (f.frames == 0) {
            std::fprintf(stderr, "render failed\n");
            return 1;
        }
        std::printf("%-4d %7d %10.2f %9.1f %11.2f %11.2f %9.0f%% %10.2f\n", r + 1, f.frames,
                    f.renderSec, f.frames / f.renderSec, 1000 * f.drawSec / f.frames,
                    1000 * f.saveSec / f.frames, 100 * f.saveSec / f.renderSec, f.ffmpegSec);
        std::fflush(stdout);
    }
    return 0;
}
