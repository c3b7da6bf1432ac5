// Handles and pointer zones of a selected picture label, in the label's own pixels.
#pragma once

#include <QPoint>
#include <QSize>
#include <QVector>
#include <Qt>

namespace LabelZones {

// Zones: 0 inside the frame away from the handles, 1 outside the frame, 2 and 3 the diagonal
// corners, 4 the top and bottom middles, 5 the left and right middles.
enum Zone
{
    Inside = 0,
    Outside = 1,
    DiagonalDown = 2,
    DiagonalUp = 3,
    Vertical = 4,
    Horizontal = 5
};

constexpr int handleSide = 6;

// Top-left corners of the eight handle squares: top-left, bottom-left, top-right, bottom-right,
// top middle, bottom middle, left middle, right middle.
QVector<QPoint> handleCorners(const QSize &size);

struct Hit
{
    int zone = Inside;
    Qt::CursorShape cursor = Qt::ArrowCursor;
};
// The zone under pos; the first handle in order wins where hit areas overlap.
Hit hitTest(const QPoint &pos, const QVector<QPoint> &corners);

} // namespace LabelZones
