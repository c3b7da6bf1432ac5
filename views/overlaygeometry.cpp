#include "overlaygeometry.h"

#include "sampleposition.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace OverlayGeometry {

int frameCount(int sampleCount)
{
    return sampleCount < 2 ? 0 : (sampleCount - 1) * framesPerSecond;
}

QVector<QPointF> expandFrames(const QVector<QPointF> &points)
{
    QVector<QPointF> frames;
    frames.reserve(frameCount(points.size()));
    for (int i = 0; i + 1 < points.size(); ++i) {
        const QPointF from = points.at(i);
        const QPointF step = (points.at(i + 1) - from) / double(framesPerSecond);
        for (int k = 0; k < framesPerSecond; ++k)
            frames.append(from + step * k);
    }
    return frames;
}

MapSizes mapSizes(const QSize &size)
{
    const int side = std::min(size.width(), size.height());
    MapSizes sizes;
    sizes.dotRadius = std::max(side / 20, 5);
    sizes.iconSize = std::max(side / 8, 20);
    sizes.margin = 3 * sizes.dotRadius;
    sizes.penWidth = int(sizes.dotRadius * 0.5 + 0.5);
    return sizes;
}

QVector<QPointF> trackPoints(const QVector<VideoInfo_t> &samples, double minX)
{
    const auto first = std::find_if(samples.cbegin(), samples.cend(), SamplePosition::hasPosition);
    if (first == samples.cend())
        return {};
    QVector<QPointF> points;
    points.reserve(samples.size());
    QPointF last(first->lon - minX, -first->lat);
    for (const VideoInfo_t &vi : samples) {
        if (SamplePosition::hasPosition(vi))
            last = QPointF(vi.lon - minX, -vi.lat);
        points.append(last);
    }
    return points;
}

TrackScale trackScale(double spanX, double spanY, int height, int margin)
{
    TrackScale scale;
    scale.plot = height - 2 * margin;
    scale.spanX = spanX;
    scale.spanY = spanY;
    scale.margin = margin;
    return scale;
}

static double placeOnAxis(double value, double span, const TrackScale &scale)
{
    if (!(span > 0.0) || !(scale.plot > 0.0))
        return scale.margin + std::max(scale.plot, 0.0) / 2.0;
    return value / (span / scale.plot) + scale.margin;
}

QPointF toScreen(const QPointF &track, const TrackScale &scale)
{
    return QPointF(placeOnAxis(track.x(), scale.spanX, scale),
                   placeOnAxis(track.y(), scale.spanY, scale));
}

std::optional<std::pair<int, int>> directionFrames(int index, int frameCount)
{
    if (index < 0 || index >= frameCount)
        return std::nullopt;
    if (index + 1 < frameCount)
        return std::make_pair(index, index + 1);
    if (frameCount >= 2)
        return std::make_pair(index - 1, index);
    return std::nullopt;
}

double arrowRotation(const QPointF &fromScreen, const QPointF &toScreen)
{
    // QLineF::angle counts counter-clockwise on screen (y pointing down); 0 for a zero length.
    const double a = QLineF(fromScreen, toScreen).angle();
    return std::fmod(360.0 - a + 90.0, 360.0);
}

} // namespace OverlayGeometry
