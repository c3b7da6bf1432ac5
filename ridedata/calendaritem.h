// One row of the ride-data calendar: the week-day header, a week row or a row of the year grid.
#pragma once

#include "calendarrules.h"

#include <QSize>
#include <QString>
#include <Qt>

namespace CalendarMode {
constexpr int month = 0;
constexpr int year = 1;
} // namespace CalendarMode

namespace CalendarRowKind {
constexpr int header = 0;
constexpr int week = 1;
} // namespace CalendarRowKind

// The page's chart period: none (map shown), seven days or twenty-eight days.
namespace ChartPeriodType {
constexpr int none = 0;
constexpr int sevenDays = 1;
constexpr int fourWeeks = 2;
} // namespace ChartPeriodType

// Model roles of the row's fields; Qt::SizeHintRole answers the size hint.
namespace CalendarRole {
constexpr int rowKind = Qt::UserRole + 1;
constexpr int mode = Qt::UserRole + 2;
constexpr int chartPeriod = Qt::UserRole + 4;
constexpr int rangeState = Qt::UserRole + 5;
constexpr int firstDay = Qt::UserRole + 6;
constexpr int selectedDayBits = Qt::UserRole + 7;
constexpr int highlightDayBits = Qt::UserRole + 8;
constexpr int highlightMonthBits = Qt::UserRole + 9;
constexpr int selectedMonthBits = Qt::UserRole + 10;
constexpr int dataDayBits = Qt::UserRole + 11;
constexpr int dataMonthBits = Qt::UserRole + 12;
constexpr int daysInMonth = Qt::UserRole + 13;
constexpr int pressedMonthBits = Qt::UserRole + 15;
// setData only: a press on a data day, a press and a release on a data month (value: column).
constexpr int click = Qt::UserRole + 16;
constexpr int pressYearMode = Qt::UserRole + 17;
constexpr int releaseYearMode = Qt::UserRole + 18;
} // namespace CalendarRole

struct CalendarItem
{
    QSize sizeHint;
    int mode = CalendarMode::month;
    int selectedMonthBits = 0;  // bit m: month column m of this year row
    int dataMonthBits = 0;      // months of this year row with ride files
    int highlightMonthBits = 0; // the month of the highlight day
    int pressedMonthBits = 0;   // month under a press in the year grid
    int rowKind = CalendarRowKind::week;
    int chartPeriod = ChartPeriodType::none;
    QString rangeState = CalendarRules::noRange;
    int highlightDayBits = 0; // bit c: column c of this week row
    int firstDay = 0;         // row 0: column of day 1 (1..7); later rows: day of column 0
    int selectedDayBits = 0;
    int dataDayBits = 0; // days of this week row with ride files
    int daysInMonth = 0;
};
