// Map-track overlay: the whole track, the travelled part, start and end dots and the arrow at
// one overlay frame. GUI thread only; changes only when its owner sets data, size or frame.
#pragma once

#include "overlaygeometry.h"
#include "sharedtypes.h"

#include <QPointF>
#include <QVector>
#include <QWidget>

class MapWaterMark : public QWidget
{
    Q_OBJECT
public:
    explicit MapWaterMark(QWidget *parent = nullptr);

    // Fixes the widget to size and derives dot radius, icon size, margin and pen width.
    void setObjectSize(const QSize &size);
    void setIndex(int index);

    int index() const { return index_; }
    int frameCount() const { return frames_.size(); }
    OverlayGeometry::MapSizes sizes() const { return sizes_; }
    // Screen position of a sample or frame, as painted.
    QPointF samplePosition(int sample) const;
    QPointF framePosition(int frame) const;
    // Clockwise rotation of the arrow at the current frame; 0 when it has no direction.
    double arrowRotation() const;

public slots:
    // Copies the samples and bounds and rebuilds the frames; an empty vi changes nothing.
    void setMapData(QVector<VideoInfo_t> &vi, DrawInfo_t drawInfo);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildFramePoints();
    OverlayGeometry::TrackScale scale() const;

    QSize objectSize_{100, 80};
    OverlayGeometry::MapSizes sizes_;
    QVector<VideoInfo_t> samples_;
    QVector<QPointF> points_; // normalised sample positions
    QVector<QPointF> frames_; // normalised position per overlay frame
    DrawInfo_t bounds_;
    int index_ = 0;
};
