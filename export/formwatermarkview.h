// Overlay editor: overlays are dropped on a preview of the sample video, rendered frame by frame
// to "example_%03d.png" by a worker and laid over the video into "fffffff.mov". Deleted on close.
#pragma once

#include "sharedtypes.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class FormWatermarkView;
}
class Dashcam;
class FFmpeg_editor_p;
class FormMeterObject;
class MapWaterMark;
class QDropEvent;
class QLabel;
class SaveFileThread;

class FormWatermarkView : public QWidget
{
    Q_OBJECT
public:
    explicit FormWatermarkView(QWidget *parent = nullptr);
    ~FormWatermarkView() override;

    void setButtonStyle(int style);
    // The video the preview plays and the overlay run reads; set before initDashcam.
    void setSampleVideo(const QString &path) { sampleVideo_ = path; }
    QString sampleVideo() const { return sampleVideo_; }
    void initDashcam();
    void setSpeedUnit(int unit) { speedUnit = unit; }

    QList<QWidget *> objectList() const { return objects; }
    Dashcam *previewPlayer() const { return preview.get(); }
    QLabel *progressText() const { return progressLabel; }
    DrawInfo_t drawInfo() const { return bounds; }
    bool isRendering() const;
    FFmpeg_editor_p *overlayRunner() const { return runner.get(); }
    // Scales the objects from the preview to the video's own size, and back.
    void resizeObjects();
    void updateObjects();

signals:
    void start(QString command);
    void mapDataTriggerd(QVector<VideoInfo_t> &vi, DrawInfo_t drawInfo);
    // The overlay video was written (ok) or the render ended with the message shown.
    void renderFinished(bool ok, QString message);

public slots:
    void setData(QVector<VideoInfo_t> &vi);
    void checkWidget(QDropEvent *event, QWidget *widget);
    void checkWidget2(QWidget *widget);
    void removeWidget(QWidget *widget);
    void pictureshot();
    void renderMetadata(MapWaterMark *mapWaterMark, FormMeterObject *formMeterObject,
                        bool haveMapObject, bool haveMeterObject, int index);
    void renderDashcam();
    void startSaveImage(int total);
    void proccessIndex(int index);
    void saveImageFinish();
    // End of the overlay run: 0 written, otherwise failed.
    void processFinish(int code);
    void onClose();
    void onPressedCannotMove();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QSize videoSize() const;
    void addMapObject(QWidget *widget);
    void showProgress();
    void showMessage(const QString &text);
    void endRender(bool ok, const QString &message);
    void stopRenderer();

    QList<QWidget *> objects; // owned by the preview's video widget
    QString skinFolder;
    std::unique_ptr<Ui::FormWatermarkView> ui;
    int speedUnit = SpeedKmh;
    std::unique_ptr<Dashcam> preview;
    std::unique_ptr<FFmpeg_editor_p> runner; // the final overlay run
    QLabel *progressLabel = nullptr;         // owned by the preview grid
    QList<QRect> savedGeometry;
    QList<QSize> savedPictureSize;
    QVector<VideoInfo_t> samples;
    DrawInfo_t bounds;
    QPointer<SaveFileThread> renderer; // deletes itself when finished
    int totalFrames = 0;
    int currentFrame = 0;
    QString sampleVideo_;
    bool rendering_ = false;
};
