#include "labelzones.h"

namespace LabelZones {

QVector<QPoint> handleCorners(const QSize &size)
{
    const int w = size.width();
    const int h = size.height();
    return {QPoint(7, 7),           QPoint(7, h - 13),        QPoint(w - 13, 7),
            QPoint(w - 13, h - 13), QPoint(w / 2 - 3, 7),     QPoint(w / 2 - 3, h - 13),
            QPoint(7, h / 2 - 3),   QPoint(w - 13, h / 2 - 3)};
}

namespace {

struct HandleRule
{
    bool leftward; // the hit area lies left of the corner (inner side on the right)
    bool upward;   // the hit area lies above the corner (inner side at the bottom)
    int zone;
    Qt::CursorShape cursor;
};

const HandleRule rules[8] = {
    {false, false, DiagonalDown, Qt::SizeFDiagCursor},
    {false, true, DiagonalUp, Qt::SizeBDiagCursor},
    {true, false, DiagonalUp, Qt::SizeBDiagCursor},
    {true, true, DiagonalDown, Qt::SizeFDiagCursor},
    {false, false, Vertical, Qt::SizeVerCursor},
    {false, true, Vertical, Qt::SizeVerCursor},
    {false, false, Horizontal, Qt::SizeHorCursor},
    {true, false, Horizontal, Qt::SizeHorCursor},
};

bool within(int value, int from, int to)
{
    return value >= from && value <= to;
}

} // namespace

Hit hitTest(const QPoint &pos, const QVector<QPoint> &corners)
{
    if (corners.size() != 8)
        return {};
    const QPoint p0 = corners.at(0);
    const QPoint p1 = corners.at(1);
    const QPoint p3 = corners.at(3);
    if (!within(pos.x(), p0.x(), p3.x()) || !within(pos.y(), p0.y(), p1.y()))
        return {Outside, Qt::SizeAllCursor};
    for (int i = 0; i < 8; ++i) {
        const QPoint p = corners.at(i);
        const HandleRule &rule = rules[i];
        const int x0 = rule.leftward ? p.x() - handleSide : p.x();
        const int y0 = rule.upward ? p.y() - handleSide : p.y();
        if (within(pos.x(), x0, x0 + handleSide) && within(pos.y(), y0, y0 + handleSide))
            return {rule.zone, rule.cursor};
    }
    return {Inside, Qt::ArrowCursor};
}

} // namespace LabelZones
