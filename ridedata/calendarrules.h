// Date arithmetic of the ride-data calendar: grid cells, mark tables and range-state strings.
#pragma once

#include <QString>
#include <QStringList>

namespace CalendarRules {

constexpr int weekRows = 6;
constexpr int weekColumns = 7;
constexpr int yearRows = 3;
constexpr int yearColumns = 4;
// Range state without a selected date: no shape anywhere.
inline const QString noRange = QStringLiteral("FFFFFFFFFFFFFFFFF");

// A grid cell; (-1, -1) is none.
struct Cell
{
    int row = -1;
    int column = -1;
    bool isNone() const { return row < 0 || column < 0; }
    bool operator==(const Cell &o) const { return row == o.row && column == o.column; }
};

// Where the 1st of a month sits: column Monday 1 .. Saturday 6, Sunday 7; row 1, or 2 after a
// Sunday start (the first week row then stays empty).
struct MonthStart
{
    int firstColumn = 7;
    int firstRow = 1;
};

bool isLeapYear(int year);
// Weekday of the 1st of month, 0 Sunday .. 6 Saturday; 0 for a month outside 1..12.
int firstWeekday(int year, int month);
MonthStart monthStart(int year, int month);
// Gregorian month length; 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// Week row and column of day in a month whose 1st is in firstColumn.
Cell dayCell(int day, int firstColumn);
// Day shown at a week cell, 0 for a cell outside the month.
int dayAt(int row, int column, int firstColumn, int days);
// The "first day" field of week row: the column of day 1 in row 0, else the day of column 0.
int rowFirstDay(int row, int firstColumn);
// Year-grid cell of month 1..12.
Cell monthCell(int month);

// Year and month after (year, month).
void nextMonth(int &year, int &month);

// Day and month marks: 1 where ride files exist.
struct Marks
{
    int day[weekRows][weekColumns] = {};
    int month[yearRows][yearColumns] = {};
};

// Marks the files' months of shownYear and their days of shownMonth ("yyyyMMddhhmmss..."
// names). A name whose first 8 characters are no real date marks nothing; one whose characters
// 8-13 are not digits marks its month only. Returns whether a day was marked.
bool markNames(const QStringList &names, int shownYear, int shownMonth, Marks &marks);

// Bits of a mark row: bit c set where row[c] is 1.
int rowBits(const int *row, int count);

// The chart window of length days starting at selectedDate ("yyyyMMdd") as shown in
// (shownYear, shownMonth).
struct RangeState
{
    QString text = noRange; // 17 characters
    int spillDays = 0;      // days of the window after the end of the selected month
};
RangeState rangeState(const QString &selectedDate, int length, int shownYear, int shownMonth);

// A range state read back: day cells of the shown month (none for "FF"), the spill flag and
// the year cells of the selected and of the end month.
struct RangeCells
{
    bool valid = false; // false for noRange or a malformed text
    Cell start;
    Cell end;
    bool spill = false;
    Cell yearStart;
    Cell yearEnd;
};
RangeCells parseRangeState(const QString &text);

// Whether week cell (row, column) lies in the band from start up to, not including, end.
bool inDayBand(int row, int column, const Cell &start, const Cell &end);

// The calendar cell that rings the highlight day (a day of the chart window) in the shown month,
// or none when that day of the window lies in another month.
Cell highlightCell(int day, const QString &selectedDate, int shownYear, int shownMonth,
                   int spillDays);

// The selected date's year, month and day; 0 each when it is not "yyyyMMdd".
struct DateParts
{
    int year = 0;
    int month = 0;
    int day = 0;
};
DateParts dateParts(const QString &date);
QString dateText(int year, int month, int day);

} // namespace CalendarRules
