// Calendar arithmetic without a window: weekdays, cells, mark tables, range states and sizes.
#include "calendarrules.h"
#include "calendarsizes.h"
#include "testsupport.h"

using namespace CalendarRules;

Q_DECLARE_METATYPE(CalendarRules::Cell)

class TstCalendarRules : public QObject
{
    Q_OBJECT

private slots:
    void firstWeekdayOfMonths_data();
    void firstWeekdayOfMonths();
    void firstWeekdayMatchesQDate();
    void dayCellsAndBack_data();
    void dayCellsAndBack();
    void marksOnlyTheShownMonth();
    void invalidNamesMarkNothing_data();
    void invalidNamesMarkNothing();
    void rangeStates_data();
    void rangeStates();
    void rangeStatesReadBack();
    void dayBand_data();
    void dayBand();
    void highlightCells_data();
    void highlightCells();
    void titleTexts_data();
    void titleTexts();
    void panelSizes_data();
    void panelSizes();
};

void TstCalendarRules::firstWeekdayOfMonths_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("weekday");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("days");
    QTest::newRow("Jan 2025 on a Wednesday") << 2025 << 1 << 3 << 3 << 1 << 31;
    QTest::newRow("Sep 2024 on a Sunday") << 2024 << 9 << 0 << 7 << 2 << 30;
    QTest::newRow("Feb 2024, leap year") << 2024 << 2 << 4 << 4 << 1 << 29;
    QTest::newRow("Feb 2100, not a leap year") << 2100 << 2 << 1 << 1 << 1 << 28;
    QTest::newRow("Feb 2000, leap by 400") << 2000 << 2 << 2 << 2 << 1 << 29;
    QTest::newRow("Mar 2024 on a Friday") << 2024 << 3 << 5 << 5 << 1 << 31;
    QTest::newRow("Dec 2024 on a Sunday") << 2024 << 12 << 0 << 7 << 2 << 31;
}

void TstCalendarRules::firstWeekdayOfMonths()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, weekday);
    QFETCH(int, firstColumn);
    QFETCH(int, firstRow);
    QFETCH(int, days);
    QCOMPARE(firstWeekday(year, month), weekday);
    QCOMPARE(monthStart(year, month).firstColumn, firstColumn);
    QCOMPARE(monthStart(year, month).firstRow, firstRow);
    QCOMPARE(daysInMonth(year, month), days);
}

void TstCalendarRules::firstWeekdayMatchesQDate()
{
    for (int year = 1999; year <= 2101; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const QDate first(year, month, 1);
            QCOMPARE(firstWeekday(year, month), first.dayOfWeek() % 7);
            QCOMPARE(daysInMonth(year, month), first.daysInMonth());
        }
    }
}

void TstCalendarRules::dayCellsAndBack_data()
{
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("Sunday start: 1st opens week row 1") << 7 << 1 << 1 << 0;
    QTest::newRow("Sunday start: 30th") << 7 << 30 << 5 << 1;
    QTest::newRow("Friday start: 1st") << 5 << 1 << 0 << 5;
    QTest::newRow("Friday start: 31st in the sixth row") << 5 << 31 << 5 << 0;
    QTest::newRow("Wednesday start: 4th closes week row 0") << 3 << 4 << 0 << 6;
}

void TstCalendarRules::dayCellsAndBack()
{
    QFETCH(int, firstColumn);
    QFETCH(int, day);
    QFETCH(int, row);
    QFETCH(int, column);
    QCOMPARE(dayCell(day, firstColumn), (Cell{row, column}));
    QCOMPARE(dayAt(row, column, firstColumn, 31), day);
    // the cell before the 1st and the cell after the last day hold no day
    const Cell before = dayCell(0, firstColumn);
    QCOMPARE(dayAt(before.row, before.column, firstColumn, 31), 0);
    QCOMPARE(dayAt(5, 6, firstColumn, 28), 0);
}

void TstCalendarRules::marksOnlyTheShownMonth()
{
    Marks marks;
    const QStringList names = {"20240315083000.TXT", "20240331120000.TXT", "20240402090000.TXT",
                               "20230315083000.TXT", "20241224070000.TXT"};
    QVERIFY(markNames(names, 2024, 3, marks));
    // March 2024 starts on a Friday (column 5): the 15th is at (2, 5), the 31st at (5, 0)
    int marked = 0;
    for (int r = 0; r < weekRows; ++r)
        for (int c = 0; c < weekColumns; ++c)
            marked += marks.day[r][c];
    QCOMPARE(marked, 2);
    QCOMPARE(marks.day[2][5], 1);
    QCOMPARE(marks.day[5][0], 1);
    // months of 2024 only: March, April, December
    QCOMPARE(rowBits(marks.month[0], yearColumns), 0b1100);
    QCOMPARE(rowBits(marks.month[1], yearColumns), 0);
    QCOMPARE(rowBits(marks.month[2], yearColumns), 0b1000);
    QCOMPARE(rowBits(marks.day[2], weekColumns), 1 << 5);

    Marks april;
    QVERIFY(markNames(names, 2024, 4, april));
    QCOMPARE(rowBits(april.day[0], weekColumns), 1 << 2); // April 2024 starts on a Monday
    Marks may;
    QVERIFY(!markNames(names, 2024, 5, may));
}

void TstCalendarRules::invalidNamesMarkNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("shownMonth");
    QTest::addColumn<int>("monthBits"); // of year row 0
    QTest::addColumn<bool>("dayMarked");
    QTest::newRow("month 00") << "20240015083000.TXT" << 1 << 0 << false;
    QTest::newRow("month 13") << "20241315083000.TXT" << 1 << 0 << false;
    QTest::newRow("month 99") << "20249915083000.TXT" << 1 << 0 << false;
    QTest::newRow("day 00") << "20240300083000.TXT" << 3 << 0 << false;
    QTest::newRow("day 32") << "20240332083000.TXT" << 3 << 0 << false;
    QTest::newRow("Feb 30") << "20240230083000.TXT" << 2 << 0 << false;
    QTest::newRow("Feb 29 of a leap year") << "20240229083000.TXT" << 2 << 0b10 << true;
    QTest::newRow("time not digits marks the month") << "20240315_83000.TXT" << 3 << 0b100 << false;
    QTest::newRow("short name") << "202403" << 3 << 0 << false;
    QTest::newRow("day not digits") << "202403x5083000.TXT" << 3 << 0 << false;
    QTest::newRow("year not digits") << "2O24031508300.TXT" << 3 << 0 << false;
    QTest::newRow("valid") << "20240315083000.TXT" << 3 << 0b100 << true;
}

void TstCalendarRules::invalidNamesMarkNothing()
{
    QFETCH(QString, name);
    QFETCH(int, shownMonth);
    QFETCH(int, monthBits);
    QFETCH(bool, dayMarked);
    Marks marks;
    QCOMPARE(markNames({name}, 2024, shownMonth, marks), dayMarked);
    QCOMPARE(rowBits(marks.month[0], yearColumns), monthBits);
    QCOMPARE(rowBits(marks.month[1], yearColumns) + rowBits(marks.month[2], yearColumns), 0);
}

void TstCalendarRules::rangeStates_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("shownYear");
    QTest::addColumn<int>("shownMonth");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("spill");
    QTest::newRow("no selection") << "" << 7 << 2024 << 3 << "FFFFFFFFFFFFFFFFF" << 0;
    QTest::newRow("7 days from 15 March")
        << "20240315" << 7 << 2024 << 3 << "02050304000020002" << 0;
    QTest::newRow("7 days from 28 March, in March")
        << "20240328" << 7 << 2024 << 3 << "04040500100020003" << 3;
    QTest::newRow("7 days from 28 March, in April")
        << "20240328" << 7 << 2024 << 4 << "00010003100020003" << 3;
    QTest::newRow("7 days from 28 March, in May")
        << "20240328" << 7 << 2024 << 5 << "FFFFFFFF100020003" << 3;
    QTest::newRow("7 days from 28 March, in another year")
        << "20240328" << 7 << 2025 << 4 << "FFFFFFFF10002-1-1" << 3;
    QTest::newRow("7 days from 15 March, in April")
        << "20240315" << 7 << 2024 << 4 << "FFFFFFFF000020002" << 0;
    QTest::newRow("28 days from 1 Feb 2023 stay in February")
        << "20230201" << 28 << 2023 << 2 << "00030402000010001" << 0;
    QTest::newRow("28 days from 10 Aug 2024, in September (Sunday start)")
        << "20240810" << 28 << 2024 << 9 << "01000105101030200" << 6;
    QTest::newRow("7 days from 29 Dec 2024, in December")
        << "20241229" << 7 << 2024 << 12 << "05000502102030203" << 4;
    QTest::newRow("7 days from 29 Dec 2024, January is the next month")
        << "20241229" << 7 << 2025 << 1 << "00030006102030000" << 4;
}

void TstCalendarRules::rangeStates()
{
    QFETCH(QString, selected);
    QFETCH(int, length);
    QFETCH(int, shownYear);
    QFETCH(int, shownMonth);
    QFETCH(QString, state);
    QFETCH(int, spill);
    const RangeState result = rangeState(selected, length, shownYear, shownMonth);
    QCOMPARE(result.text, state);
    QCOMPARE(result.spillDays, spill);
}

void TstCalendarRules::rangeStatesReadBack()
{
    const RangeCells april = parseRangeState(QStringLiteral("00010003100020003"));
    QVERIFY(april.valid);
    QCOMPARE(april.start, (Cell{0, 1}));
    QCOMPARE(april.end, (Cell{0, 3}));
    QVERIFY(april.spill);
    QCOMPARE(april.yearStart, (Cell{0, 2}));
    QCOMPARE(april.yearEnd, (Cell{0, 3}));

    const RangeCells elsewhere = parseRangeState(QStringLiteral("FFFFFFFF10002-1-1"));
    QVERIFY(elsewhere.valid);
    QVERIFY(elsewhere.start.isNone());
    QVERIFY(elsewhere.end.isNone());
    QVERIFY(elsewhere.yearEnd.isNone());
    QVERIFY(!parseRangeState(noRange).valid);
    QVERIFY(!parseRangeState(QStringLiteral("0001")).valid);
}

void TstCalendarRules::dayBand_data()
{
    QTest::addColumn<Cell>("start");
    QTest::addColumn<Cell>("end");
    QTest::addColumn<QString>("bandRows"); // row per line, "x" for a band cell
    QTest::newRow("inside one week")
        << Cell{2, 5} << Cell{2, 6} << "......./......./.....x./......./......./.......";
    QTest::newRow("over a week's end")
        << Cell{2, 5} << Cell{3, 4} << "......./......./.....xx/xxxx.../......./.......";
    QTest::newRow("over three weeks")
        << Cell{1, 6} << Cell{3, 0} << "......./......x/xxxxxxx/......./......./.......";
    QTest::newRow("no cells") << Cell() << Cell()
                              << "......./......./......./......./......./.......";
}

void TstCalendarRules::dayBand()
{
    QFETCH(Cell, start);
    QFETCH(Cell, end);
    QFETCH(QString, bandRows);
    QStringList rows;
    for (int r = 0; r < weekRows; ++r) {
        QString row;
        for (int c = 0; c < weekColumns; ++c)
            row += inDayBand(r, c, start, end) ? QLatin1Char('x') : QLatin1Char('.');
        rows << row;
    }
    QCOMPARE(rows.join(QLatin1Char('/')), bandRows);
}

void TstCalendarRules::highlightCells_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("shownMonth");
    QTest::addColumn<Cell>("cell");
    // selected 28 March 2024, spill 3 into April (April starts on a Monday)
    QTest::newRow("30 March in March") << 30 << 3 << Cell{4, 6};
    QTest::newRow("2 April in April") << 2 << 4 << Cell{0, 2};
    QTest::newRow("2 April not in March") << 2 << 3 << Cell();
    QTest::newRow("30 March not in April") << 30 << 4 << Cell();
    QTest::newRow("4 April beyond the window") << 4 << 4 << Cell();
    QTest::newRow("nothing in May") << 1 << 5 << Cell();
    QTest::newRow("no day") << 0 << 3 << Cell();
}

void TstCalendarRules::highlightCells()
{
    QFETCH(int, day);
    QFETCH(int, shownMonth);
    QFETCH(Cell, cell);
    QCOMPARE(highlightCell(day, QStringLiteral("20240328"), 2024, shownMonth, 3), cell);
}

void TstCalendarRules::titleTexts_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("onlyYear");
    QTest::addColumn<QString>("text");
    QTest::newRow("month") << 2024 << 3 << false << "2024 March";
    QTest::newRow("December") << 2024 << 12 << false << "2024 December";
    QTest::newRow("year alone") << 2024 << 3 << true << "2024";
    QTest::newRow("short year blank-filled") << 999 << 1 << false << " 999 January";
}

void TstCalendarRules::titleTexts()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(bool, onlyYear);
    QFETCH(QString, text);
    QCOMPARE(CalendarSizes::titleText(year, month, onlyYear), text);
}

void TstCalendarRules::panelSizes_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("expected");
    // calendar height, side margin, top margin, folder left margin, folder button, arrows,
    // month and year title points, title width and height
    QTest::newRow("422") << 422 << QList<int>{337, 0, 15, 24, 33, 8, 10, 10, 179, 44};
    QTest::newRow("622") << 622 << QList<int>{497, 58, 22, 92, 47, 22, 15, 18, 264, 51};
    // lower pages keep arrows of the base size
    QTest::newRow("406, the page at 1200 x 650")
        << 406 << QList<int>{324, -4, 14, 18, 31, 8, 9, 9, 172, 44};
    QTest::newRow("348") << 348 << QList<int>{278, -21, 12, -1, 27, 8, 8, 7, 148, 42};
}

void TstCalendarRules::panelSizes()
{
    QFETCH(int, height);
    QFETCH(QList<int>, expected);
    const CalendarSizes::PanelSizes s = CalendarSizes::panelSizes(height);
    const QList<int> actual = {s.calendarHeight,      s.calendarSideMargin, s.calendarTopMargin,
                               s.folderLeftMargin,    s.folderButton,       s.arrowButton,
                               s.monthTitlePointSize, s.yearTitlePointSize, s.titleSize.width(),
                               s.titleSize.height()};
    QCOMPARE(actual, expected);
}

TALVEX_TEST_MAIN(TstCalendarRules)
#include "tst_calendarrules.moc"
