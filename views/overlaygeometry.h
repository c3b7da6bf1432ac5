// Geometry of the map-track overlay: frame expansion, sizes, scale and arrow direction.
#pragma once

#include "sharedtypes.h"

#include <QPointF>
#include <QSize>
#include <QVector>

#include <optional>

namespace OverlayGeometry {

// Overlay frames per second of video, shared by both overlays and the frame renderer.
constexpr int framesPerSecond = 8;

// n per-second samples give (n - 1) x 8 frames; none for fewer than two.
int frameCount(int sampleCount);

// Positions between consecutive points, 8 per pair, interpolated linearly.
QVector<QPointF> expandFrames(const QVector<QPointF> &points);

// Sizes derived from the overlay's size.
struct MapSizes
{
    int dotRadius = 5;
    int iconSize = 20;
    int margin = 20;
    int penWidth = 3;
};
MapSizes mapSizes(const QSize &size);

// Track positions of the samples: x = lon - minX, y = -lat; samples without a position
// (SamplePosition) take the nearest earlier one (or the first one), so they do not pull the
// track to 0 degrees. Empty when no sample has a position.
QVector<QPointF> trackPoints(const QVector<VideoInfo_t> &samples, double minX);

// Scale of the track: positions map to (x / sx + margin, y / sy + margin) in a square of side
// plot = height - 2 x margin. A zero span on an axis centres that axis in the square.
struct TrackScale
{
    double plot = 0.0;
    double spanX = 0.0;
    double spanY = 0.0;
    int margin = 0;
};
TrackScale trackScale(double spanX, double spanY, int height, int margin);
QPointF toScreen(const QPointF &track, const TrackScale &scale);

// Frames of the direction line at index: (index, index + 1), or (index - 1, index) at the last
// frame; none for a single frame or an index out of range.
std::optional<std::pair<int, int>> directionFrames(int index, int frameCount);

// Rotation of the up-pointing arrow, clockwise on screen, so that it points from -> to.
double arrowRotation(const QPointF &fromScreen, const QPointF &toScreen);

} // namespace OverlayGeometry
