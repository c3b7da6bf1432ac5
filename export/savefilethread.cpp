#include "savefilethread.h"

#include "dashcam.h"
#include "formmeterobject.h"
#include "mapwatermark.h"
#include "overlayrender.h"

#include <QDir>
#include <QMutexLocker>
#include <QWidget>

SaveFileThread::SaveFileThread(QObject *parent) : QThread(parent) {}

SaveFileThread::~SaveFileThread()
{
    requestStop();
    wait();
}

void SaveFileThread::setObjects(Dashcam *player, const QList<QWidget *> &list)
{
    objects = list;
    for (QWidget *object : list) {
        if (!mapObject && object->objectName() == OverlayRender::mapObjectName) {
            mapObject = qobject_cast<MapWaterMark *>(object);
            haveMap = mapObject != nullptr;
        } else if (!meterObject && object->objectName() == OverlayRender::meterObjectName) {
            meterObject = qobject_cast<FormMeterObject *>(object);
            haveMeter = meterObject != nullptr;
        }
    }
    // Counted here on the GUI thread, where the player lives.
    total_ = player ? OverlayRender::frameCount(player->statistics().durationMs) : 0;
}

void SaveFileThread::setImage(const QImage &frame)
{
    QMutexLocker lock(&mutex_);
    image = frame;
    imageReady = true;
    imageReady_.wakeAll();
}

void SaveFileThread::requestStop()
{
    QMutexLocker lock(&mutex_);
    stop_ = true;
    imageReady_.wakeAll();
}

bool SaveFileThread::isStopRequested() const
{
    QMutexLocker lock(&mutex_);
    return stop_;
}

bool SaveFileThread::takeImage(QImage *frame)
{
    QMutexLocker lock(&mutex_);
    while (!imageReady && !stop_)
        imageReady_.wait(&mutex_);
    if (stop_)
        return false;
    imageReady = false;
    *frame = image;
    image = QImage();
    return true;
}

void SaveFileThread::run()
{
    emit startSaveImageTriggered(total_);
    const QDir folder(folder_.isEmpty() ? QDir::currentPath() : folder_);
    for (int i = 0; i < total_; ++i) {
        {
            QMutexLocker lock(&mutex_);
            if (stop_)
                return;
            imageReady = false;
        }
        if (haveMap || haveMeter)
            emit setMetadataTriggered(mapObject, meterObject, haveMap, haveMeter, i);
        emit renderDashcamTriggered();
        QImage frame;
        if (!takeImage(&frame))
            return;
        if (!frame.save(folder.filePath(OverlayRender::frameFileName(i)))) {
            failedFrame_ = i;
            return;
        }
        emit proccessIndexTriggered(i);
    }
}
