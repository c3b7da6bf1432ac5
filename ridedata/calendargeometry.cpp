#include "calendargeometry.h"

#include "calendarrules.h"

namespace CalendarGeometry {

int unit(int rowWidth)
{
    return rowWidth / 21;
}

int monthPointSize(int rowHeight)
{
    return static_cast<int>((rowHeight - 45) * 0.143 + 10);
}

int dayTextLeft(const QRect &r, int column)
{
    return r.x() + (3 * column + 1) * unit(r.width()) + monthPointSize(r.height()) - 6;
}

QPoint dayCentre(const QRect &r, int column)
{
    return QPoint(dayTextLeft(r, column) + monthPointSize(r.height()) + 2, r.y() + r.height() / 2);
}

int dayRadius(int rowHeight)
{
    return 2 * monthPointSize(rowHeight) - 5;
}

int weekdayLeft(const QRect &r, int column)
{
    return r.x() + (3 * column + 1) * unit(r.width());
}

QRect dayPressArea(const QRect &r, int column)
{
    const int u = unit(r.width());
    const int d = 5 * monthPointSize(r.height()) - 18;
    return QRect(u + 4 + 3 * u * column, r.y() + 5, d, d);
}

int monthTextLeft(const QRect &r, int column)
{
    const int u = unit(r.width());
    return r.x() + 2 * u + 5 * u * column;
}

QPoint monthCentre(const QRect &r, int column)
{
    return QPoint(monthTextLeft(r, column) + 23, r.y() + r.height() / 2);
}

QRect monthBand(const QRect &r, int column)
{
    const int y = static_cast<int>((r.height() - 100) * 0.49 + r.y() + 17 - 1.5);
    return QRect(monthTextLeft(r, column) + 23, y, 5 * unit(r.width()), 70);
}

QRect monthPressArea(const QRect &r, int column)
{
    const int u = unit(r.width());
    const int y = static_cast<int>((r.height() - 100) * 0.6 + r.y() + 10);
    return QRect(2 * u - 13 + 5 * u * column, y, 74, 74);
}

namespace {

// The first of columns whose press area holds p (the areas are row-relative in x), or -1.
template <typename PressArea>
int columnAt(const QRect &r, const QPoint &p, int columns, PressArea pressArea)
{
    const QPoint local(p.x() - r.x(), p.y());
    for (int c = 0; c < columns; ++c) {
        if (pressArea(r, c).contains(local))
            return c;
    }
    return -1;
}

} // namespace

int dayColumnAt(const QRect &r, const QPoint &p)
{
    return columnAt(r, p, CalendarRules::weekColumns, dayPressArea);
}

int monthColumnAt(const QRect &r, const QPoint &p)
{
    return columnAt(r, p, CalendarRules::yearColumns, monthPressArea);
}

} // namespace CalendarGeometry
