// Pixel layout of a calendar row: cell positions, circle radii and press areas.
#pragma once

#include <QPoint>
#include <QRect>

namespace CalendarGeometry {

// Column unit of a row of width w.
int unit(int rowWidth);
// Point size of the month grid and the circle scale for a row of height h.
int monthPointSize(int rowHeight);

// Month grid, row rect r: text left edge and circle centre of column c; circle radius.
int dayTextLeft(const QRect &r, int column);
QPoint dayCentre(const QRect &r, int column);
int dayRadius(int rowHeight);
// Left edge of week-day name k in the header row.
int weekdayLeft(const QRect &r, int column);
// Press area of day column c (row-relative x, absolute y).
QRect dayPressArea(const QRect &r, int column);

// Year grid: text left edge and circle centre of month column m; the band rectangle from m.
int monthTextLeft(const QRect &r, int column);
QPoint monthCentre(const QRect &r, int column);
QRect monthBand(const QRect &r, int column);
QRect monthPressArea(const QRect &r, int column);
constexpr int monthRadius = 35;
constexpr double monthRingRadius = 33.5;
constexpr int monthPointSizeYear = 14;

// Column of press position p in the row, or -1.
int dayColumnAt(const QRect &r, const QPoint &p);
int monthColumnAt(const QRect &r, const QPoint &p);

} // namespace CalendarGeometry
