#include "videowidget.h"

#include "mpvcore.h"

#include <QDataStream>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QOpenGLContext>
#include <QPixmap>

#include <mpv/render_gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr char overlayMimeType[] = "application/x-dnditemdata";

void *getProcAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(name)) : nullptr;
}

} // namespace

VideoWidget::VideoWidget(MpvCore *core, QWidget *parent) : QOpenGLWidget(parent), core_(core)
{
    setAcceptDrops(true);
    setMinimumSize(16, 9);
}

VideoWidget::~VideoWidget()
{
    // ~QOpenGLWidget destroys the context; its aboutToBeDestroyed must not reach this half-gone
    // object.
    if (QOpenGLContext *glContext = context())
        disconnect(glContext, nullptr, this, nullptr);
    releaseRenderContext();
}

void VideoWidget::initializeGL()
{
    if (renderContext_ || !core_ || !core_->isValid())
        return;
    mpv_opengl_init_params glInit{&getProcAddress, nullptr};
    char apiType[] = MPV_RENDER_API_TYPE_OPENGL;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                                 {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&renderContext_, core_->handle(), params) < 0) {
        qWarning() << "mpv render context could not be created";
        renderContext_ = nullptr;
        return;
    }
    mpv_render_context_set_update_callback(renderContext_, &VideoWidget::onRenderUpdate, this);
    // A new top-level parent replaces the GL context; the render context goes with the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            &VideoWidget::releaseRenderContext, Qt::DirectConnection);
    emit renderContextChanged(true);
}

void VideoWidget::releaseRenderContext()
{
    if (!renderContext_)
        return;
    makeCurrent();
    mpv_render_context_set_update_callback(renderContext_, nullptr, nullptr);
    mpv_render_context_free(renderContext_);
    renderContext_ = nullptr;
    doneCurrent();
    emit renderContextChanged(false);
}

void VideoWidget::onRenderUpdate(void *self)
{
    // Called on an mpv thread: only queue the repaint.
    auto *widget = static_cast<VideoWidget *>(self);
    if (widget->repaintQueued_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        widget,
        [widget] {
            widget->repaintQueued_ = false;
            widget->update();
        },
        Qt::QueuedConnection);
}

void VideoWidget::paintGL()
{
    if (!renderContext_)
        return;
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), 0};
    int flipY = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(renderContext_, params);
}

void VideoWidget::setPercentProperty(const char *name, double value)
{
    if (core_)
        core_->setProperty(name, static_cast<qlonglong>(std::lround(value * 100.0)));
}

void VideoWidget::onSetBrightness(double value)
{
    brightness_ = std::clamp(value, -1.0, 1.0);
    setPercentProperty("brightness", brightness_);
}

void VideoWidget::setContrast(double value)
{
    contrast_ = std::clamp(value, -1.0, 1.0);
    setPercentProperty("contrast", contrast_);
}

void VideoWidget::setSaturation(double value)
{
    saturation_ = std::clamp(value, -1.0, 1.0);
    setPercentProperty("saturation", saturation_);
}

void VideoWidget::setZoom(double factor)
{
    if (!(factor > 0.0))
        return;
    zoom_ = factor;
    if (core_)
        core_->setProperty("video-zoom", std::log2(factor));
}

void VideoWidget::setPan(double x, double y)
{
    if (!core_)
        return;
    core_->setProperty("video-pan-x", x);
    core_->setProperty("video-pan-y", y);
}

void VideoWidget::setVerticalFlip(bool on)
{
    verticalFlip_ = on;
    if (core_)
        core_->setProperty("video-rotate", static_cast<qlonglong>(on ? 180 : 0));
}

void VideoWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QLatin1String(overlayMimeType)))
        event->acceptProposedAction();
}

void VideoWidget::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(QLatin1String(overlayMimeType)))
        event->acceptProposedAction();
}

void VideoWidget::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (!mime->hasFormat(QLatin1String(overlayMimeType))) {
        event->ignore();
        return;
    }
    QByteArray item = mime->data(QLatin1String(overlayMimeType));
    QDataStream stream(&item, QIODevice::ReadOnly);
    QPixmap pixmap;
    QPoint hotSpot;
    stream >> pixmap >> hotSpot;
    QWidget *widget = overlayFactory_ ? overlayFactory_(mime->text(), pixmap, this) : nullptr;
    if (!widget) {
        event->ignore();
        return;
    }
    widget->move(event->pos() - hotSpot);
    widget->show();
    widget->setAttribute(Qt::WA_DeleteOnClose);
    event->acceptProposedAction();
    emit objectMapWaterMarkTriggered(event, widget);
}
