#include "calendardelegate.h"

#include "appfont.h"
#include "calendargeometry.h"
#include "calendaritem.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

using namespace CalendarGeometry;
using CalendarRules::Cell;

namespace {
const QColor blue(0x2e, 0xa7, 0xe0);
const QColor orange(0xff, 0x96, 0x00);
const QColor noDataGrey(0x59, 0x57, 0x57);
const QColor pressedGrey(0x89, 0x89, 0x89);
constexpr double ringPenWidth = 3.0;

const char *const weekdayNames[7] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."};
const char *const monthNames[12] = {"Jan.", "Feb.", "Mar.", "Apr.", "May.", "Jun.",
                                    "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec."};

struct Row
{
    int kind;
    int mode;
    int period;
    QString range;
    int firstDay;
    int selectedDays;
    int highlightDays;
    int highlightMonths;
    int selectedMonths;
    int dataDays;
    int dataMonths;
    int days;
    int pressedMonths;
};

Row readRow(const QModelIndex &index)
{
    return Row{index.data(CalendarRole::rowKind).toInt(),
               index.data(CalendarRole::mode).toInt(),
               index.data(CalendarRole::chartPeriod).toInt(),
               index.data(CalendarRole::rangeState).toString(),
               index.data(CalendarRole::firstDay).toInt(),
               index.data(CalendarRole::selectedDayBits).toInt(),
               index.data(CalendarRole::highlightDayBits).toInt(),
               index.data(CalendarRole::highlightMonthBits).toInt(),
               index.data(CalendarRole::selectedMonthBits).toInt(),
               index.data(CalendarRole::dataDayBits).toInt(),
               index.data(CalendarRole::dataMonthBits).toInt(),
               index.data(CalendarRole::daysInMonth).toInt(),
               index.data(CalendarRole::pressedMonthBits).toInt()};
}

bool bit(int bits, int column)
{
    return (bits >> column) & 1;
}

void fillCircle(QPainter *painter, const QPointF &centre, double radius, const QColor &colour)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawEllipse(centre, radius, radius);
}

void ring(QPainter *painter, const QPointF &centre, double radius)
{
    painter->setPen(
        QPen(QBrush(Qt::white), ringPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(orange);
    painter->drawEllipse(centre, radius, radius);
}

void drawText(QPainter *painter, const QStyleOptionViewItem &option, int left, const QColor &colour,
              const QString &text)
{
    const QRect &r = option.rect;
    painter->setPen(colour);
    QApplication::style()->drawItemText(
        painter, QRect(left, r.y(), r.right() - left + 1, r.height()),
        Qt::AlignLeft | Qt::AlignVCenter, option.palette, true, text);
}

QFont calendarFont(int pointSize, bool bold)
{
    QFont font = getAppFont(false);
    font.setItalic(true);
    font.setPointSize(qMax(1, pointSize));
    if (bold)
        font.setWeight(75);
    return font;
}

void paintHeader(QPainter *painter, const QStyleOptionViewItem &option)
{
    painter->setFont(calendarFont(monthPointSize(option.rect.height()), false));
    for (int k = 0; k < 7; ++k)
        drawText(painter, option, weekdayLeft(option.rect, k), orange,
                 QString::fromLatin1(weekdayNames[k]));
}

// Chart-window shapes of one day cell: end circles, band and the highlight ring.
void paintRange(QPainter *painter, const QRect &r, const Row &row, int weekRow, int column, int day)
{
    const CalendarRules::RangeCells cells = CalendarRules::parseRangeState(row.range);
    if (!cells.valid)
        return;
    const QPoint centre = dayCentre(r, column);
    const int radius = dayRadius(r.height());
    const Cell here{weekRow, column};
    if (here == cells.start || here == cells.end)
        fillCircle(painter, centre, radius, blue);
    if (CalendarRules::inDayBand(weekRow, column, cells.start, cells.end)) {
        if (column == 0 || column == 6)
            fillCircle(painter, centre, radius, blue);
        if (column < 6 && day + 1 <= row.days) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(blue);
            painter->drawRect(
                QRect(centre.x(), centre.y() - radius, 3 * unit(r.width()), 2 * radius));
        }
    }
    if (bit(row.highlightDays, column))
        ring(painter, centre, radius - 1.5);
}

void paintWeek(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index,
               const Row &row)
{
    const QRect &r = option.rect;
    const int weekRow = index.row() - 1;
    const int firstColumn = weekRow == 0 ? row.firstDay : 0;
    const int firstDay = weekRow == 0 ? 1 : row.firstDay;
    painter->setFont(calendarFont(monthPointSize(r.height()), false));
    for (int c = firstColumn; c < 7; ++c) {
        const int day = firstDay + c - firstColumn;
        if (day > row.days)
            break;
        if (row.period == ChartPeriodType::none) {
            if (bit(row.selectedDays, c))
                fillCircle(painter, dayCentre(r, c), dayRadius(r.height()), blue);
        } else {
            paintRange(painter, r, row, weekRow, c, day);
        }
        drawText(painter, option, dayTextLeft(r, c), bit(row.dataDays, c) ? Qt::white : noDataGrey,
                 QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')));
    }
}

void paintYearRange(QPainter *painter, const QRect &r, const Row &row, int yearRow)
{
    const CalendarRules::RangeCells cells = CalendarRules::parseRangeState(row.range);
    if (!cells.valid)
        return;
    const bool endHere = cells.yearEnd.row == yearRow;
    if (!cells.spill) {
        for (int m = 0; m < 4; ++m) {
            if (bit(row.selectedMonths, m)) {
                fillCircle(painter, monthCentre(r, m), monthRadius, blue);
                ring(painter, monthCentre(r, m), monthRingRadius);
            }
        }
        return;
    }
    if (row.selectedMonths == 8) { // the selected month closes this row
        fillCircle(painter, monthCentre(r, 3), monthRadius, blue);
        if (endHere)
            fillCircle(painter, monthCentre(r, cells.yearEnd.column), monthRadius, blue);
    } else {
        if (endHere)
            fillCircle(painter, monthCentre(r, cells.yearEnd.column), monthRadius, blue);
        const bool bandHere = cells.yearStart.row == yearRow && endHere;
        for (int m = 0; bandHere && m < 3; ++m) {
            if (cells.yearStart.column <= m && m < cells.yearEnd.column) {
                painter->setPen(Qt::NoPen);
                painter->setBrush(blue);
                painter->drawRect(monthBand(r, m));
                fillCircle(painter, monthCentre(r, m), monthRadius, blue);
            }
        }
    }
    for (int m = 0; m < 4; ++m) {
        if (bit(row.highlightMonths, m))
            ring(painter, monthCentre(r, m), monthRingRadius);
    }
}

void paintYear(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index,
               const Row &row)
{
    const int yearRow = index.row();
    if (yearRow < 0 || yearRow >= CalendarRules::yearRows)
        return;
    const QRect &r = option.rect;
    if (row.period == ChartPeriodType::none) {
        for (int m = 0; m < 4; ++m) {
            if (bit(row.selectedMonths, m))
                fillCircle(painter, monthCentre(r, m), monthRadius, blue);
        }
    } else {
        paintYearRange(painter, r, row, yearRow);
    }
    painter->setFont(calendarFont(monthPointSizeYear, true));
    for (int m = 0; m < 4; ++m) {
        const QColor colour = bit(row.pressedMonths, m) ? pressedGrey
                              : bit(row.dataMonths, m)  ? QColor(Qt::white)
                                                        : noDataGrey;
        drawText(painter, option, monthTextLeft(r, m), colour,
                 QString::fromLatin1(monthNames[yearRow * 4 + m]));
    }
}
} // namespace

void CalendarDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const Row row = readRow(index);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (row.mode == CalendarMode::year)
        paintYear(painter, option, index, row);
    else if (row.kind == CalendarRowKind::header)
        paintHeader(painter, option);
    else
        paintWeek(painter, option, index, row);
    painter->restore();
}

bool CalendarDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (press || release) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->pos();
        const Row row = readRow(index);
        if (row.mode == CalendarMode::year) {
            const int m = monthColumnAt(option.rect, pos);
            if (m >= 0 && bit(row.dataMonths, m))
                model->setData(index, m,
                               press ? CalendarRole::pressYearMode : CalendarRole::releaseYearMode);
        } else if (press) {
            const int c = dayColumnAt(option.rect, pos);
            if (c >= 0 && bit(row.dataDays, c))
                model->setData(index, c, CalendarRole::click);
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
