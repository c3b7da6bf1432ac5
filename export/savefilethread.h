// Worker that writes the overlay frames "example_%03d.png": for each frame it asks the GUI thread
// to pose and draw the overlays (queued signals), waits for the image and saves it.
#pragma once

#include <QImage>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

class Dashcam;
class FormMeterObject;
class MapWaterMark;
class QWidget;

class SaveFileThread : public QThread
{
    Q_OBJECT
public:
    explicit SaveFileThread(QObject *parent = nullptr);
    ~SaveFileThread() override;

    // GUI thread, before start(): the objects and the frame count of the player's video.
    void setObjects(Dashcam *player, const QList<QWidget *> &objects);
    // Frames are written into folder (the working directory unless set).
    void setFolder(const QString &folder) { folder_ = folder; }
    int totalFrames() const { return total_; }
    bool hasMap() const { return haveMap; }
    bool hasMeter() const { return haveMeter; }
    // After the run: the frame whose file could not be written, -1 when none.
    int failedFrame() const { return failedFrame_; }

    // GUI thread: hands the drawn frame to the worker.
    void setImage(const QImage &image);
    // Any thread: ends the loop at the next frame; a waiting worker wakes at once.
    void requestStop();
    bool isStopRequested() const;

signals:
    void setMetadataTriggered(MapWaterMark *mapWaterMark, FormMeterObject *formMeterObject,
                              bool haveMapObject, bool haveMeterObject, int index);
    void renderDashcamTriggered();
    void startSaveImageTriggered(int total);
    void proccessIndexTriggered(int index);

protected:
    void run() override;

private:
    // Waits for the frame image; false when a stop was requested.
    bool takeImage(QImage *image);

    mutable QMutex mutex_;
    QWaitCondition imageReady_;
    QImage image;
    bool imageReady = false; // guarded by mutex_
    bool stop_ = false;      // guarded by mutex_
    QList<QWidget *> objects;
    MapWaterMark *mapObject = nullptr;      // never dereferenced on the worker
    FormMeterObject *meterObject = nullptr; // never dereferenced on the worker
    bool haveMap = false;
    bool haveMeter = false;
    int total_ = 0;
    QString folder_;
    int failedFrame_ = -1;
};
