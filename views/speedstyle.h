// One image layer of the speed gauge: a picture scaled to a set size and turned about its centre.
// The gauge paints its layers itself (see FormSpeedStyle).
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

class QPainter;

class SpeedStyle
{
public:
    // Image name with or without suffix; the loader finds the file by its suffix.
    void setImagePath(const QString &path);
    QString imagePath() const { return imagePath_; }
    // Drawn size; nothing is drawn while it is empty.
    void setImageSize(const QSize &size);
    QSize imageSize() const { return imageSize_; }
    // Stored truncated to whole degrees, clockwise on screen.
    void setAngle(float degrees);
    float angle() const { return float(angle_); }

    // Draws the turned picture into the square at the painter's origin.
    void paint(QPainter &painter);

private:
    // The picture scaled to the image size, loaded once per path and size.
    const QPixmap &scaledPixmap();

    QString imagePath_ = QStringLiteral(":/image/speedmark.png");
    QSize imageSize_{0, 0};
    int angle_ = 0;
    QPixmap scaled_;
    QString scaledPath_;
    QSize scaledSize_;
};
