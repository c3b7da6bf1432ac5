// Test helpers for the ride-data page: ride files of the shown month on a fake camera card,
// and real mouse presses on calendar days and day-list rows.
#pragma once

#include "calendargeometry.h"
#include "calendarmodel.h"
#include "calendarrules.h"
#include "calendarview.h"
#include "filedatelistitem.h"
#include "filedatelistmodel.h"
#include "filedatelistview.h"
#include "formcalendarview.h"
#include "formfiledatelistview.h"
#include "formplaybak.h"
#include "ridefilewriter.h"

#include <QDate>
#include <QDir>
#include <QPushButton>
#include <QtTest>

namespace RidePageTest {

// Clicks the named button once it shows (a dialog asked for by the folder button shows when the
// cards have answered).
inline void clickButton(QWidget *parent, const char *name)
{
    QPushButton *button = nullptr;
    QTRY_VERIFY2((button = parent->findChild<QPushButton *>(QLatin1String(name))) &&
                     button->isVisible(),
                 name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Day d of the month the calendar shows at start (the current month), as "yyyyMMdd".
inline QString dayOfThisMonth(int d)
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), d).toString(QStringLiteral("yyyyMMdd"));
}

// Three points 5 s apart going north-east from Zurich at 18, 20 and 22 km/h.
inline QByteArray threePointRide()
{
    return RideFileWriter::encodePoint(47.3981, 8.5432, 410.0, 18) +
           RideFileWriter::encodePoint(47.3990, 8.5440, 412.5, 20) +
           RideFileWriter::encodePoint(47.4002, 8.5455, 411.0, 22);
}

// records points at a steady 20 km/h heading north.
inline QByteArray steadyRide(int records)
{
    QByteArray out;
    for (int i = 0; i < records; ++i)
        out += RideFileWriter::encodePoint(47.3 + i * 0.00025, 8.5, 400.0 + i % 3, 20);
    return out;
}

inline void writeRide(const QString &folder, const QString &name, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(RideFileWriter::writeFile(QDir(folder).filePath(name), content));
}

// Centre of day d's press area in the calendar view of the shown month.
inline QPoint dayPoint(CalendarView *view, int d)
{
    const CalendarRules::Cell cell = CalendarRules::dayCell(
        d, CalendarRules::monthStart(view->shownYear(), view->shownMonth()).firstColumn);
    const QRect r = view->visualRect(view->calendarModel()->index(cell.row + 1));
    return CalendarGeometry::dayPressArea(r, cell.column).center() + QPoint(r.x(), 0);
}

inline void pressDay(FormCalendarView *calendar, int d)
{
    CalendarView *view = calendar->calendarView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, dayPoint(view, d));
}

// Row of the list whose file row shows shortName, -1 when none.
inline int fileRow(FormFileDateListView *list, const QString &shortName)
{
    const FileDateListModel *model = list->listView()->listModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row);
        if (!index.data(FileDateListRole::isHeader).toBool() &&
            index.data(FileDateListRole::fileName).toString() == shortName)
            return row;
    }
    return -1;
}

inline QStringList fileRows(FormFileDateListView *list)
{
    QStringList names;
    const FileDateListModel *model = list->listView()->listModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row);
        if (!index.data(FileDateListRole::isHeader).toBool())
            names << index.data(FileDateListRole::fileName).toString();
    }
    return names;
}

inline void doubleClickFile(FormFileDateListView *list, const QString &shortName)
{
    FileDateListView *view = list->listView();
    const int row = fileRow(list, shortName);
    QVERIFY2(row >= 0, qPrintable(shortName));
    const QPoint centre = view->visualRect(view->listModel()->index(row)).center();
    // Qt delivers a press before the double click
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
}

// Waits until the page's work off the GUI thread (card check and copy, ride read, chart window)
// has ended.
inline void waitIdle(const FormPlaybak *page)
{
    QTRY_VERIFY_WITH_TIMEOUT(!page->isCheckingCards() && !page->isCopying() &&
                                 !page->isReadingRide() && !page->isBuildingWindow(),
                             30000);
}

// A double click on the ride's row, then the wait until it is read and shown (or refused).
inline void openRide(FormPlaybak *page, const QString &shortName)
{
    doubleClickFile(page->fileList(), shortName);
    waitIdle(page);
}

} // namespace RidePageTest
