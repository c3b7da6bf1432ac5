#include "mapwatermark.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QString backgroundImage = QStringLiteral(":/image/blackStyle/video_map_BG.svg");
const QString arrowImage = QStringLiteral(":/image/map_icon.png");

} // namespace

MapWaterMark::MapWaterMark(QWidget *parent) : QWidget(parent)
{
    sizes_.dotRadius = 5;
    sizes_.margin = 20;
    sizes_.penWidth = 3;
}

void MapWaterMark::setObjectSize(const QSize &size)
{
    objectSize_ = size;
    setFixedSize(size);
    sizes_ = OverlayGeometry::mapSizes(size);
    update();
}

void MapWaterMark::setMapData(QVector<VideoInfo_t> &vi, DrawInfo_t drawInfo)
{
    if (vi.isEmpty())
        return;
    samples_ = vi;
    bounds_ = drawInfo;
    points_ = OverlayGeometry::trackPoints(samples_, bounds_.minX);
    if (!points_.isEmpty()) {
        const auto [low, high] =
            std::minmax_element(points_.cbegin(), points_.cend(),
                                [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
        bounds_.minY = low->y();
        bounds_.maxY = high->y();
        for (QPointF &p : points_)
            p.ry() -= bounds_.minY;
    }
    // The samples keep their texts; their numbers become the normalised position.
    for (int i = 0; i < points_.size(); ++i) {
        samples_[i].lon = points_.at(i).x();
        samples_[i].lat = points_.at(i).y();
    }
    buildFramePoints();
    update();
}

void MapWaterMark::buildFramePoints()
{
    // Rebuilt on every new data set.
    frames_ = OverlayGeometry::expandFrames(points_);
    if (index_ >= frames_.size())
        index_ = 0;
}

void MapWaterMark::setIndex(int index)
{
    if (index < 0 || index >= frames_.size())
        return;
    index_ = index;
    update();
}

OverlayGeometry::TrackScale MapWaterMark::scale() const
{
    return OverlayGeometry::trackScale(bounds_.maxX - bounds_.minX, bounds_.maxY - bounds_.minY,
                                       objectSize_.height(), sizes_.margin);
}

QPointF MapWaterMark::samplePosition(int sample) const
{
    return OverlayGeometry::toScreen(points_.value(sample), scale());
}

QPointF MapWaterMark::framePosition(int frame) const
{
    return OverlayGeometry::toScreen(frames_.value(frame), scale());
}

double MapWaterMark::arrowRotation() const
{
    const auto line = OverlayGeometry::directionFrames(index_, frames_.size());
    if (!line)
        return 0.0;
    return OverlayGeometry::arrowRotation(framePosition(line->first), framePosition(line->second));
}

void MapWaterMark::paintEvent(QPaintEvent *)
{
    if (points_.isEmpty() || frames_.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int side = std::min(width(), height());
    painter.drawPixmap(0, 0, QIcon(backgroundImage).pixmap(QSize(side, side)));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    QPen pen(QColor(0xFF, 0xFF, 0xFF), sizes_.penWidth, Qt::SolidLine, Qt::SquareCap,
             Qt::BevelJoin);
    QPainterPath track;
    track.moveTo(samplePosition(0));
    for (int i = 1; i < points_.size(); ++i)
        track.lineTo(samplePosition(i));
    painter.setPen(pen);
    painter.drawPath(track);

    QPainterPath travelled;
    travelled.moveTo(framePosition(0));
    for (int i = 1; i <= index_; ++i)
        travelled.lineTo(framePosition(i));
    pen.setColor(QColor(0xFF, 0x00, 0x00));
    painter.setPen(pen);
    painter.drawPath(travelled);

    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(0x00, 0xFF, 0x00));
    painter.drawEllipse(samplePosition(0), sizes_.dotRadius, sizes_.dotRadius);
    painter.setBrush(QColor(0x00, 0xFF, 0xFF));
    painter.drawEllipse(samplePosition(points_.size() - 1), sizes_.dotRadius, sizes_.dotRadius);

    QPixmap arrow = QIcon(arrowImage).pixmap(QSize(sizes_.iconSize, sizes_.iconSize));
    const double rotation = arrowRotation();
    if (rotation != 0.0)
        arrow = arrow.transformed(QTransform().rotate(rotation), Qt::FastTransformation);
    const QPointF at = framePosition(index_);
    painter.drawPixmap(int(at.x()) - arrow.width() / 2, int(at.y()) - arrow.height() / 2, arrow);
}

void MapWaterMark::mouseMoveEvent(QMouseEvent *event)
{
    // Taken here so that the video view beneath does not see them.
    event->accept();
}
