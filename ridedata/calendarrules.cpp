#include "calendarrules.h"

#include <QtGlobal>

namespace CalendarRules {

namespace {
const int commonOffsets[12] = {0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};
const int leapOffsets[12] = {0, 3, 4, 0, 2, 5, 0, 3, 6, 1, 4, 6};
const int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool validMonth(int month)
{
    return month >= 1 && month <= 12;
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString cellText(const Cell &cell)
{
    return twoDigits(cell.row) + twoDigits(cell.column);
}

// Two characters of a range state as a number; -1 for "FF" or anything that is not a number.
int field(const QString &text, int at)
{
    bool ok = false;
    const int value = text.mid(at, 2).toInt(&ok);
    return ok ? value : -1;
}

Cell cellAt(const QString &text, int at)
{
    Cell cell{field(text, at), field(text, at + 2)};
    return cell.isNone() ? Cell() : cell;
}
} // namespace

bool isLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int firstWeekday(int year, int month)
{
    if (!validMonth(month))
        return 0;
    const int y = year - 1;
    const int offset = (isLeapYear(year) ? leapOffsets : commonOffsets)[month - 1];
    return (y + y / 4 - y / 100 + y / 400 + offset + 1) % 7;
}

MonthStart monthStart(int year, int month)
{
    const int w = firstWeekday(year, month);
    return w == 0 ? MonthStart{7, 2} : MonthStart{w, 1};
}

int daysInMonth(int year, int month)
{
    if (!validMonth(month))
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : monthLengths[month - 1];
}

Cell dayCell(int day, int firstColumn)
{
    const int p = day - 1 + firstColumn;
    return Cell{p / weekColumns, p % weekColumns};
}

int dayAt(int row, int column, int firstColumn, int days)
{
    const int d = weekColumns * row + column + 1 - firstColumn;
    return d >= 1 && d <= days ? d : 0;
}

int rowFirstDay(int row, int firstColumn)
{
    return row == 0 ? firstColumn : weekColumns * row + 1 - firstColumn;
}

Cell monthCell(int month)
{
    if (!validMonth(month))
        return Cell();
    return Cell{(month - 1) / yearColumns, (month - 1) % yearColumns};
}

void nextMonth(int &year, int &month)
{
    if (month >= 12) {
        month = 1;
        ++year;
    } else {
        ++month;
    }
}

bool markNames(const QStringList &names, int shownYear, int shownMonth, Marks &marks)
{
    bool dayMarked = false;
    for (const QString &name : names) {
        // only a real date marks anything: month 1..12 and a day of that month
        if (name.size() < 8 || !allDigits(name.mid(0, 8)))
            continue;
        const int year = name.mid(0, 4).toInt();
        const int month = name.mid(4, 2).toInt();
        const int day = name.mid(6, 2).toInt();
        if (year != shownYear || day < 1 || day > daysInMonth(year, month))
            continue;
        const Cell m = monthCell(month);
        if (m.isNone())
            continue;
        marks.month[m.row][m.column] = 1;
        if (month != shownMonth || !allDigits(name.mid(8, 6)))
            continue;
        const Cell d = dayCell(day, monthStart(year, month).firstColumn);
        if (d.row >= weekRows)
            continue;
        marks.day[d.row][d.column] = 1;
        dayMarked = true;
    }
    return dayMarked;
}

int rowBits(const int *row, int count)
{
    int bits = 0;
    for (int c = 0; c < count; ++c) {
        if (row[c] == 1)
            bits |= 1 << c;
    }
    return bits;
}

DateParts dateParts(const QString &date)
{
    if (date.size() < 8 || !allDigits(date.left(8)))
        return DateParts();
    return DateParts{date.mid(0, 4).toInt(), date.mid(4, 2).toInt(), date.mid(6, 2).toInt()};
}

QString dateText(int year, int month, int day)
{
    return QStringLiteral("%1%2%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

RangeState rangeState(const QString &selectedDate, int length, int shownYear, int shownMonth)
{
    RangeState result;
    const DateParts sel = dateParts(selectedDate);
    const int days = daysInMonth(sel.year, sel.month);
    if (sel.day < 1 || sel.day > days)
        return result;

    const int firstColumn = monthStart(sel.year, sel.month).firstColumn;
    const Cell start = dayCell(sel.day, firstColumn);
    const Cell yearStart = monthCell(sel.month);
    int endDay = sel.day + length - 1;
    if (endDay > days) {
        result.spillDays = endDay - days;
        endDay = days;
    }
    const Cell end = dayCell(endDay, firstColumn);
    int nextYear = sel.year;
    int nextMonthOfSelection = sel.month;
    nextMonth(nextYear, nextMonthOfSelection);

    QString dayCells = QStringLiteral("FFFFFFFF");
    if (shownYear == sel.year && shownMonth == sel.month) {
        dayCells = cellText(start) + cellText(end);
    } else if (result.spillDays > 0 && shownYear == nextYear &&
               shownMonth == nextMonthOfSelection) {
        const int shownFirstColumn = monthStart(shownYear, shownMonth).firstColumn;
        dayCells = cellText(dayCell(1, shownFirstColumn)) +
                   cellText(dayCell(result.spillDays, shownFirstColumn));
    }

    Cell yearEnd = yearStart;
    if (result.spillDays > 0) {
        if (shownYear == sel.year)
            yearEnd = monthCell(qMin(sel.month + 1, 12));
        else if (shownYear == sel.year + 1 && sel.month == 12)
            yearEnd = Cell{0, 0};
        else
            yearEnd = Cell();
    }
    result.text = dayCells + (result.spillDays > 0 ? QStringLiteral("1") : QStringLiteral("0")) +
                  cellText(yearStart) + cellText(yearEnd);
    return result;
}

RangeCells parseRangeState(const QString &text)
{
    RangeCells cells;
    if (text.size() != noRange.size() || text == noRange)
        return cells;
    cells.valid = true;
    cells.start = cellAt(text, 0);
    cells.end = cellAt(text, 4);
    cells.spill = text.at(8) == QLatin1Char('1');
    cells.yearStart = cellAt(text, 9);
    cells.yearEnd = cellAt(text, 13);
    return cells;
}

bool inDayBand(int row, int column, const Cell &start, const Cell &end)
{
    if (start.isNone() || end.isNone())
        return false;
    if (row == start.row && row == end.row)
        return start.column <= column && column < end.column;
    if (row == start.row)
        return column >= start.column;
    if (row == end.row)
        return column < end.column;
    return row > start.row && row < end.row;
}

Cell highlightCell(int day, const QString &selectedDate, int shownYear, int shownMonth,
                   int spillDays)
{
    if (day < 1 || day > daysInMonth(shownYear, shownMonth))
        return Cell();
    const DateParts sel = dateParts(selectedDate);
    int nextYear = sel.year;
    int nextMonthOfSelection = sel.month;
    nextMonth(nextYear, nextMonthOfSelection);
    const bool inSelectedMonth = shownYear == sel.year && shownMonth == sel.month && day >= sel.day;
    const bool inFollowingMonth =
        shownYear == nextYear && shownMonth == nextMonthOfSelection && day <= spillDays;
    if (!inSelectedMonth && !inFollowingMonth)
        return Cell();
    return dayCell(day, monthStart(shownYear, shownMonth).firstColumn);
}

} // namespace CalendarRules
