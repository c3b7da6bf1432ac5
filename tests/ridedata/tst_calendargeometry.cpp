// Pixel positions of the calendar's month grid, written out by hand for fixed row sizes: the
// column unit is the row width divided by 21, rounded down.
#include "calendargeometry.h"
#include "testsupport.h"

using namespace CalendarGeometry;

class TstCalendarGeometry : public QObject
{
    Q_OBJECT

private slots:
    void dayPresses_data();
    void dayPresses();
    void columnEdges_data();
    void columnEdges();
};

void TstCalendarGeometry::dayPresses_data()
{
    // a 440 x 60 row: unit 20, day circles 42 px (point size 12); column c is pressed from
    // x = 24 + 60c to 65 + 60c and from y = 5 to 46
    QTest::addColumn<int>("rowWidth");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<int>("column");
    QTest::newRow("first column, left edge") << 440 << QPoint(24, 10) << 0;
    QTest::newRow("left of the first column") << 440 << QPoint(23, 10) << -1;
    QTest::newRow("first column, right edge") << 440 << QPoint(65, 10) << 0;
    QTest::newRow("between two columns") << 440 << QPoint(66, 10) << -1;
    QTest::newRow("fourth column") << 440 << QPoint(204, 30) << 3;
    QTest::newRow("last column, right edge") << 440 << QPoint(425, 46) << 6;
    QTest::newRow("below the circles") << 440 << QPoint(425, 47) << -1;
    QTest::newRow("above the circles") << 440 << QPoint(30, 4) << -1;
    // 441 px: unit 21, column c from x = 25 + 63c
    QTest::newRow("441 px, left of the first") << 441 << QPoint(24, 10) << -1;
    QTest::newRow("441 px, first") << 441 << QPoint(25, 10) << 0;
    QTest::newRow("441 px, last") << 441 << QPoint(403, 10) << 6;
    // 419 px: unit 19, column c from x = 23 + 57c
    QTest::newRow("419 px, first") << 419 << QPoint(23, 10) << 0;
    QTest::newRow("419 px, fourth") << 419 << QPoint(194, 10) << 3;
}

void TstCalendarGeometry::dayPresses()
{
    QFETCH(int, rowWidth);
    QFETCH(QPoint, press);
    QFETCH(int, column);
    QCOMPARE(dayColumnAt(QRect(0, 0, rowWidth, 60), press), column);
}

void TstCalendarGeometry::columnEdges_data()
{
    QTest::addColumn<int>("rowWidth");
    QTest::addColumn<int>("weekdayLeft6"); // the header's last week-day name
    QTest::addColumn<int>("monthLeft2");   // the year grid's third month
    QTest::addColumn<QRect>("dayArea3");
    QTest::newRow("440 px") << 440 << 380 << 240 << QRect(204, 5, 42, 42);
    QTest::newRow("441 px") << 441 << 399 << 252 << QRect(214, 5, 42, 42);
    QTest::newRow("1050 px") << 1050 << 950 << 600 << QRect(504, 5, 42, 42);
}

void TstCalendarGeometry::columnEdges()
{
    QFETCH(int, rowWidth);
    QFETCH(int, weekdayLeft6);
    QFETCH(int, monthLeft2);
    QFETCH(QRect, dayArea3);
    const QRect row(0, 0, rowWidth, 60);
    QCOMPARE(weekdayLeft(row, 6), weekdayLeft6);
    QCOMPARE(monthTextLeft(row, 2), monthLeft2);
    QCOMPARE(dayPressArea(row, 3), dayArea3);
}

TALVEX_TEST_MAIN(TstCalendarGeometry)
#include "tst_calendargeometry.moc"
