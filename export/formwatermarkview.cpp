#include "formwatermarkview.h"

#include "buttonsheets.h"
#include "dashboardrules.h"
#include "dashcam.h"
#include "exportlog.h"
#include "ffmpeg_editor_p.h"
#include "formlabelcustomer.h"
#include "formmeterobject.h"
#include "mapwatermark.h"
#include "overlayitems.h"
#include "overlayrender.h"
#include "savefilethread.h"
#include "skin.h"
#include "ui_formwatermarkview.h"
#include "videowidget.h"

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QString noVideoText = QStringLiteral("No video is open: open a video in the player first.");
const QString noOverlayText =
    QStringLiteral("Place a map or dashboard overlay on the video first.");
const QString tooShortText = QStringLiteral("The video is too short for overlay frames.");
const QString noThreadText =
    QStringLiteral("The overlay frames could not be drawn: the system has no thread to spare.");
const QString frameFailedText = QStringLiteral("Overlay frame %1 could not be written.");
const QString runFailedText = QStringLiteral("The overlay video could not be made: %1");
const QString runProgressText = QStringLiteral("ffmpeg: %1%");

bool isPicture(const QWidget *widget)
{
    return widget->objectName() == OverlayRender::pictureObjectName;
}

} // namespace

FormWatermarkView::FormWatermarkView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormWatermarkView>()),
      runner(std::make_unique<FFmpeg_editor_p>())
{
    ui->setupUi(this);
    setMouseTracking(true);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    connect(ui->btn_close, &QPushButton::pressed, this, &FormWatermarkView::onPressedCannotMove);
    connect(ui->btn_close, &QPushButton::clicked, this, &FormWatermarkView::onClose);
    connect(ui->pushButton, &QPushButton::clicked, this, &FormWatermarkView::pictureshot);
    // overlay run -> editor
    connect(runner.get(), &FFmpeg_editor_p::finished, this, [this]() { processFinish(0); });
    connect(runner.get(), &FFmpeg_editor_p::editorErrorTriggered, this,
            [this](Editor_e) { processFinish(1); });
    connect(runner.get(), &FFmpeg_editor_p::progressChanged, this,
            [this](int value) { showMessage(runProgressText.arg(value)); });
}

FormWatermarkView::~FormWatermarkView()
{
    stopRenderer();
    // The objects go with the preview after this object's members.
    for (QWidget *object : objects)
        object->disconnect(this);
}

void FormWatermarkView::setButtonStyle(int)
{
    skinFolder = getStylePath();
    setStyleSheet(QStringLiteral("QWidget{background-color:#323232}"));
    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(ButtonSheets::imageButton(
        skinFolder + QStringLiteral("pw_x.svg"), skinFolder + QStringLiteral("pw_x_selected.svg")));
}

void FormWatermarkView::initDashcam()
{
    if (preview)
        return;
    preview = std::make_unique<Dashcam>();
    VideoWidget *video = preview->getVideoWidget();
    video->setMouseTracking(true);
    OverlayItems::install(video);
    progressLabel = new QLabel;
    progressLabel->setStyleSheet(QStringLiteral("color:#ffffff;background:#00000000"));
    progressLabel->setAlignment(Qt::AlignCenter);
    progressLabel->setWordWrap(true);
    ui->gridLayout_5->addWidget(video, 0, 0);
    ui->gridLayout_5->addWidget(progressLabel, 0, 0, Qt::AlignCenter);
    progressLabel->hide();
    // video view -> editor
    connect(video, &VideoWidget::objectMapWaterMarkTriggered, this,
            &FormWatermarkView::checkWidget);
    connect(video, &VideoWidget::objectRemoveTriggered, this, &FormWatermarkView::removeWidget);
    if (sampleVideo_.isEmpty() || !QFileInfo::exists(sampleVideo_)) {
        showMessage(noVideoText);
        return;
    }
    preview->hasAutoPlaySignal();
    preview->setMedia({QUrl::fromLocalFile(sampleVideo_)});
}

void FormWatermarkView::setData(QVector<VideoInfo_t> &vi)
{
    samples = vi;
    if (!samples.isEmpty())
        bounds = OverlayRender::trackBounds(samples);
    emit mapDataTriggerd(samples, bounds);
}

QSize FormWatermarkView::videoSize() const
{
    if (!preview)
        return {};
    const DashcamStatistics stats = preview->statistics();
    return QSize(stats.width, stats.height);
}

void FormWatermarkView::addMapObject(QWidget *widget)
{
    auto *map = qobject_cast<MapWaterMark *>(widget);
    if (!map)
        return;
    map->setObjectSize(QSize(130, 120));
    map->setMapData(samples, bounds);
    objects.append(widget);
}

void FormWatermarkView::checkWidget(QDropEvent *event, QWidget *widget)
{
    if (!widget || objects.contains(widget))
        return;
    connect(widget, &QObject::destroyed, this, [this, widget]() { objects.removeAll(widget); });
    if (isPicture(widget)) {
        auto *label = qobject_cast<QLabel *>(widget);
        const QImage payload =
            event ? qvariant_cast<QImage>(event->mimeData()->imageData()) : QImage();
        const QPixmap shownPixmap = label ? label->pixmap(Qt::ReturnByValue) : QPixmap();
        if (!shownPixmap.isNull() && !payload.isNull()) {
            const QImage itemImage =
                QPixmap::fromImage(payload).scaled(120, 120).toImage().convertToFormat(
                    QImage::Format_ARGB32_Premultiplied);
            const QImage shown =
                shownPixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            if (shown == itemImage) {
                const QSize size = OverlayRender::pictureSize(videoSize(), this->size());
                label->setPixmap(QPixmap::fromImage(payload).scaled(size));
            }
        }
        objects.append(widget);
    } else if (widget->objectName() == OverlayRender::mapObjectName) {
        addMapObject(widget);
    } else if (widget->objectName() == OverlayRender::meterObjectName) {
        auto *meter = qobject_cast<FormMeterObject *>(widget);
        if (!meter)
            return;
        meter->setObjectSize(DashboardRules::dashboardSize(preview->getVideoWidget()->width()));
        meter->setMeterData(samples);
        meter->setUnit(speedUnit);
        objects.append(widget);
        qCDebug(lcExport) << "listWidget.sizeCC " << objects.size() << " widget->objectName() "
                          << widget->objectName();
    }
}

void FormWatermarkView::checkWidget2(QWidget *widget)
{
    addMapObject(widget);
    qCDebug(lcExport) << "listWidget.sizeAA " << objects.size() << " widget->objectName() "
                      << widget->objectName();
}

void FormWatermarkView::removeWidget(QWidget *widget)
{
    objects.removeAll(widget);
}

bool FormWatermarkView::isRendering() const
{
    return rendering_;
}

void FormWatermarkView::showProgress()
{
    showMessage(QStringLiteral("proccess: %1/%2").arg(currentFrame).arg(totalFrames));
}

void FormWatermarkView::showMessage(const QString &text)
{
    if (!progressLabel)
        return;
    progressLabel->setText(text);
    progressLabel->show();
    progressLabel->raise();
}

void FormWatermarkView::pictureshot()
{
    if (rendering_ || !preview)
        return;
    if (sampleVideo_.isEmpty() || videoSize().isEmpty()) {
        endRender(false, noVideoText);
        return;
    }
    const bool hasOverlay = std::any_of(objects.cbegin(), objects.cend(), [](QWidget *w) {
        return w->objectName() == OverlayRender::mapObjectName ||
               w->objectName() == OverlayRender::meterObjectName;
    });
    if (!hasOverlay) {
        endRender(false, noOverlayText);
        return;
    }
    auto *thread = new SaveFileThread;
    thread->setObjects(preview.get(), objects);
    if (thread->totalFrames() < 1) {
        delete thread;
        endRender(false, tooShortText);
        return;
    }
    renderer = thread;
    // worker -> editor, queued: each frame is posed before it is drawn
    connect(thread, &QThread::finished, this, &FormWatermarkView::saveImageFinish);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &SaveFileThread::renderDashcamTriggered, this,
            &FormWatermarkView::renderDashcam);
    connect(thread, &SaveFileThread::setMetadataTriggered, this,
            &FormWatermarkView::renderMetadata);
    connect(thread, &SaveFileThread::startSaveImageTriggered, this,
            &FormWatermarkView::startSaveImage);
    connect(thread, &SaveFileThread::proccessIndexTriggered, this,
            &FormWatermarkView::proccessIndex);

    rendering_ = true;
    preview->pause();
    VideoWidget *video = preview->getVideoWidget();
    video->setStyleSheet(QStringLiteral("background-color:#00000000"));
    // Frames of an earlier, longer render must not reach the overlay run.
    OverlayRender::removeFrameFiles(QDir::currentPath());
    savedGeometry.clear();
    savedPictureSize.clear();
    resizeObjects();
    video->hide();
    totalFrames = thread->totalFrames();
    currentFrame = 0;
    showProgress();
    thread->start();
    if (!thread->isRunning()) {
        // the system had no thread to give: nothing was drawn
        renderer = nullptr;
        delete thread;
        updateObjects();
        video->show();
        endRender(false, noThreadText);
    }
}

void FormWatermarkView::resizeObjects()
{
    const QSize video = videoSize();
    const QWidget *view = preview->getVideoWidget();
    const double sx = double(video.width()) / view->width();
    const double sy = double(video.height()) / view->height();
    for (QWidget *object : objects) {
        const QRect geometry = object->geometry();
        savedGeometry.append(geometry);
        const QRect scaled = OverlayRender::scaledGeometry(geometry, sx, sy);
        if (isPicture(object)) {
            auto *label = qobject_cast<QLabel *>(object);
            savedPictureSize.append(label ? label->pixmap(Qt::ReturnByValue).size() : QSize());
            object->setGeometry(scaled);
            if (label)
                label->setPixmap(
                    QIcon(skinFolder + QStringLiteral("adjustbar_4x_blue")).pixmap(scaled.size()));
        } else if (auto *map = qobject_cast<MapWaterMark *>(object)) {
            object->move(scaled.topLeft());
            map->setObjectSize(scaled.size());
        } else if (auto *meter = qobject_cast<FormMeterObject *>(object)) {
            object->move(scaled.topLeft());
            meter->saveObjectSize();
            meter->setObjectSize(scaled.size());
        }
    }
}

void FormWatermarkView::updateObjects()
{
    int picture = 0;
    for (int i = 0; i < objects.size() && i < savedGeometry.size(); ++i) {
        QWidget *object = objects.at(i);
        const QRect geometry = savedGeometry.at(i);
        if (isPicture(object)) {
            object->setGeometry(geometry);
            auto *label = qobject_cast<QLabel *>(object);
            const QSize size = savedPictureSize.value(picture++);
            if (label && size.isValid())
                label->setPixmap(
                    QIcon(skinFolder + QStringLiteral("adjustbar_4x_blue")).pixmap(size));
        } else if (auto *map = qobject_cast<MapWaterMark *>(object)) {
            object->move(geometry.topLeft());
            map->setObjectSize(geometry.size());
        } else if (auto *meter = qobject_cast<FormMeterObject *>(object)) {
            object->move(geometry.topLeft());
            meter->restoreObjectSize();
            meter->setObjectSize(geometry.size());
        }
    }
    savedGeometry.clear();
    savedPictureSize.clear();
}

void FormWatermarkView::renderMetadata(MapWaterMark *, FormMeterObject *, bool, bool, int index)
{
    for (QWidget *object : objects) {
        if (auto *map = qobject_cast<MapWaterMark *>(object))
            map->setIndex(index);
        else if (auto *meter = qobject_cast<FormMeterObject *>(object))
            meter->setIndex(index);
    }
}

void FormWatermarkView::renderDashcam()
{
    if (!renderer)
        return;
    QImage frame(videoSize(), QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    {
        QPainter painter(&frame);
        // Only the overlays: the frames are laid over the video by ffmpeg.
        for (QWidget *object : objects)
            object->render(&painter, object->pos());
    }
    renderer->setImage(frame);
}

void FormWatermarkView::startSaveImage(int total)
{
    totalFrames = total;
    showProgress();
}

void FormWatermarkView::proccessIndex(int index)
{
    currentFrame = index;
    showProgress();
}

void FormWatermarkView::saveImageFinish()
{
    if (!rendering_)
        return;
    updateObjects();
    preview->getVideoWidget()->show();
    const int failed = renderer ? renderer->failedFrame() : -1;
    const bool stopped = renderer && renderer->isStopRequested();
    if (failed >= 0) {
        endRender(false, frameFailedText.arg(failed));
        return;
    }
    if (stopped) {
        endRender(false, QString());
        return;
    }
    const OverlayRender::OverlayCommand command = OverlayRender::overlayCommand(
        sampleVideo_, int(std::ceil(preview->statistics().durationMs / 1000.0)));
    emit start(FFmpeg_editor_p::runArguments(command.input, command.args, command.output)
                   .join(QLatin1Char(' ')));
    showMessage(runProgressText.arg(0));
    runner->run(command.input, command.args, command.output);
}

void FormWatermarkView::processFinish(int code)
{
    if (code == 0) {
        endRender(true, QString());
        return;
    }
    const QStringList log = runner->outputLog().trimmed().split(QLatin1Char('\n'));
    endRender(false, runFailedText.arg(log.isEmpty() ? QString() : log.last().trimmed()));
}

void FormWatermarkView::endRender(bool ok, const QString &message)
{
    rendering_ = false;
    if (message.isEmpty() && progressLabel)
        progressLabel->hide();
    else
        showMessage(message);
    emit renderFinished(ok, ok ? OverlayRender::outputName : message);
}

void FormWatermarkView::stopRenderer()
{
    if (!renderer)
        return;
    SaveFileThread *thread = renderer;
    rendering_ = false;
    disconnect(thread, nullptr, this, nullptr);
    thread->requestStop();
    thread->wait();
    delete thread;
}

void FormWatermarkView::onClose()
{
    ui->watermarkGridWidget->setAcceptDrops(false);
    close();
}

void FormWatermarkView::onPressedCannotMove() {}

void FormWatermarkView::paintEvent(QPaintEvent *) {}

void FormWatermarkView::closeEvent(QCloseEvent *event)
{
    stopRenderer();
    runner->cancel();
    QWidget::closeEvent(event);
}
