// Draws one player's picture with mpv's OpenGL render API and forwards the picture settings.
#pragma once

#include <QOpenGLWidget>
#include <QPointer>

#include <atomic>
#include <functional>

struct mpv_render_context;
class MpvCore;
class QDropEvent;

class VideoWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    // Creates the widget for an overlay item dropped with the given text; null for unknown texts.
    using OverlayFactory =
        std::function<QWidget *(const QString &text, const QPixmap &pixmap, QWidget *parent)>;

    // core is not owned; its owner calls releaseRenderContext before destroying it.
    explicit VideoWidget(MpvCore *core, QWidget *parent = nullptr);
    ~VideoWidget() override;

    // Frees mpv's render context; the owner of the mpv handle calls it before destroying it.
    void releaseRenderContext();
    bool hasRenderContext() const { return renderContext_ != nullptr; }

    // Picture settings, each -1..1 with 0 neutral.
    double brightness() const { return brightness_; }
    double contrast() const { return contrast_; }
    double saturation() const { return saturation_; }
    void onSetBrightness(double value);
    void setContrast(double value);
    void setSaturation(double value);

    // Zoom factor (1 = fit) and pan in fractions of the picture size, 0 = centred.
    void setZoom(double factor);
    double zoom() const { return zoom_; }
    void setPan(double x, double y);
    // Turns the picture upside down for a camera mounted that way.
    void setVerticalFlip(bool on);
    bool verticalFlip() const { return verticalFlip_; }

    void setOverlayFactory(OverlayFactory factory) { overlayFactory_ = std::move(factory); }

signals:
    // The render context was created (true) or freed (false).
    void renderContextChanged(bool ready);
    // An overlay item was dropped and created as a child of this view.
    void objectMapWaterMarkTriggered(QDropEvent *event, QWidget *widget);
    // For owners that forget a removed overlay item; the view itself never emits it.
    void objectRemoveTriggered(QWidget *widget);

protected:
    void initializeGL() override;
    void paintGL() override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static void onRenderUpdate(void *self);
    void setPercentProperty(const char *name, double value);

    QPointer<MpvCore> core_; // null once the player is gone
    mpv_render_context *renderContext_ = nullptr;
    double brightness_ = 0.0;
    double contrast_ = 0.0;
    double saturation_ = 0.0;
    double zoom_ = 1.0;
    bool verticalFlip_ = false;
    OverlayFactory overlayFactory_;
    std::atomic_bool repaintQueued_{false}; // one queued repaint at a time
};
