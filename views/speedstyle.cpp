#include "speedstyle.h"

#include <QPainter>

void SpeedStyle::setImagePath(const QString &path)
{
    imagePath_ = path;
}

void SpeedStyle::setImageSize(const QSize &size)
{
    imageSize_ = size;
}

void SpeedStyle::setAngle(float degrees)
{
    angle_ = int(degrees);
}

const QPixmap &SpeedStyle::scaledPixmap()
{
    if (scaledPath_ != imagePath_ || scaledSize_ != imageSize_) {
        scaledPath_ = imagePath_;
        scaledSize_ = imageSize_;
        const QPixmap source(imagePath_);
        scaled_ = source.isNull() || imageSize_.isEmpty()
                      ? QPixmap()
                      : source.scaled(imageSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return scaled_;
}

void SpeedStyle::paint(QPainter &painter)
{
    const QPixmap &pixmap = scaledPixmap();
    if (pixmap.isNull())
        return;
    const int w = imageSize_.width();
    const int h = imageSize_.height();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(w / 2.0, h / 2.0);
    painter.rotate(angle_);
    painter.translate(-w / 2.0, -h / 2.0);
    painter.drawPixmap(QRect(0, 0, w, h), pixmap);
    painter.restore();
}
