// The calendar panel in a real window: stepping, marks, presses, chart windows and year grid.
#include "calendargeometry.h"
#include "calendaritem.h"
#include "calendarmodel.h"
#include "calendarview.h"
#include "formcalendarview.h"
#include "testsupport.h"

#include <QPushButton>
#include <QSignalSpy>

#include <memory>

namespace {
const QColor blue(0x2e, 0xa7, 0xe0);
const QColor orange(0xff, 0x96, 0x00);
const QColor background(0x32, 0x32, 0x32);

bool near(const QColor &a, const QColor &b, int tolerance = 8)
{
    return TestSupport::isNear(a, b, tolerance);
}

// Rides of March and April 2024 and one of December 2024.
const QStringList rides = {"20240305073000.TXT", "20240315083000.TXT", "20240315171500.TXT",
                           "20240328090000.TXT", "20240330100000.TXT", "20240402093000.TXT",
                           "20240410180000.TXT", "20240428080000.TXT", "20241229080000.TXT",
                           "20241230080000.TXT"};
} // namespace

class TstFormCalendarView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void arrowsStepMonthsAcrossTheYear_data();
    void arrowsStepMonthsAcrossTheYear();
    void weekRowsFollowTheShownMonth_data();
    void weekRowsFollowTheShownMonth();
    void marksOnlyTheShownMonth();
    void pressAreasOfDays_data();
    void pressAreasOfDays();
    void dayPressEmitsSelectedDate();
    void rangeStateFollowsTheShownMonth();
    void highlightDayRingsItsCell();
    void yearModeEntersAndLeaves();
    void yearModeReleaseOutsideKeepsPressedMonth();
    void panelSizes_data();
    void panelSizes();
    void resetKeepsSelectedDate();
    void folderButtonHasAFaceAndAsksForTheFolder();
    void paintsMarkedAndSelectedDays();
    void paintsWindowsOverMonthEnd_data();
    void paintsWindowsOverMonthEnd();
    void paintsYearGrid();
    void paintsYearWindows_data();
    void paintsYearWindows();

private:
    void showMonth(int year, int month);
    QModelIndex weekRow(int row) const { return model()->index(row + 1); }
    QRect rowRect(int modelRow) const { return view()->visualRect(model()->index(modelRow)); }
    // Centre of the press area of a day cell, in viewport coordinates.
    QPoint dayPoint(int weekRow, int column) const;
    QPoint monthPoint(int yearRow, int column) const;
    void pressDay(int weekRow, int column);
    QImage painted() const { return view()->viewport()->grab().toImage(); }
    QColor pixel(const QPoint &p) const { return painted().pixelColor(p); }
    CalendarView *view() const { return form_->calendarView(); }
    CalendarModel *model() const { return view()->calendarModel(); }
    QPushButton *button(const char *name) const
    {
        return form_->findChild<QPushButton *>(QLatin1String(name));
    }

    std::unique_ptr<QWidget> host_;
    FormCalendarView *form_ = nullptr;
};

void TstFormCalendarView::init()
{
    // the page puts the panel on the calendar area's background
    host_ = std::make_unique<QWidget>();
    host_->setObjectName(QStringLiteral("host"));
    host_->setStyleSheet(
        QStringLiteral("QWidget#host{border-image:url(:/image/quarrantStyle/window_map);}"));
    host_->setFixedSize(456, 406);
    form_ = new FormCalendarView(host_.get());
    form_->setSize(456, 406);
    host_->show();
    QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
}

void TstFormCalendarView::cleanup()
{
    host_.reset();
    form_ = nullptr;
}

void TstFormCalendarView::showMonth(int year, int month)
{
    const int target = year * 12 + month - 1;
    const auto shown = [this] { return view()->shownYear() * 12 + view()->shownMonth() - 1; };
    // bounded, so that a broken step fails instead of looping
    for (int steps = 0; steps < 1200 && shown() != target; ++steps) {
        if (shown() > target)
            view()->setPreMonth();
        else
            view()->setNextMonth();
    }
    QCOMPARE(shown(), target);
}

QPoint TstFormCalendarView::dayPoint(int weekRow, int column) const
{
    const QRect r = rowRect(weekRow + 1);
    return CalendarGeometry::dayPressArea(r, column).center() + QPoint(r.x(), 0);
}

QPoint TstFormCalendarView::monthPoint(int yearRow, int column) const
{
    const QRect r = rowRect(yearRow);
    return CalendarGeometry::monthPressArea(r, column).center() + QPoint(r.x(), 0);
}

void TstFormCalendarView::pressDay(int weekRow, int column)
{
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, dayPoint(weekRow, column));
}

void TstFormCalendarView::arrowsStepMonthsAcrossTheYear_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("next");
    QTest::addColumn<int>("newYear");
    QTest::addColumn<int>("newMonth");
    QTest::addColumn<QString>("title");
    QTest::newRow("December to January") << 2024 << 12 << true << 2025 << 1 << "2025 January";
    QTest::newRow("January back to December")
        << 2025 << 1 << false << 2024 << 12 << "2024 December";
    QTest::newRow("March to April") << 2024 << 3 << true << 2024 << 4 << "2024 April";
}

void TstFormCalendarView::arrowsStepMonthsAcrossTheYear()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(bool, next);
    QFETCH(int, newYear);
    QFETCH(int, newMonth);
    QFETCH(QString, title);
    showMonth(year, month);
    QSignalSpy titles(view(), &CalendarView::setCalendarTitle_s);
    QTest::mouseClick(button(next ? "nextMonthBtn" : "preMonthBtn"), Qt::LeftButton);
    QCOMPARE(titles.count(), 1);
    QCOMPARE(titles.at(0), (QVariantList{newYear, newMonth, false}));
    QCOMPARE(button("dateTitle")->text(), title);
    // the first week row starts at the column of the 1st
    QCOMPARE(weekRow(0).data(CalendarRole::firstDay).toInt(),
             CalendarRules::monthStart(newYear, newMonth).firstColumn);
}

void TstFormCalendarView::weekRowsFollowTheShownMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QList<int>>("firstDays"); // of the six week rows
    QTest::addColumn<int>("days");
    QTest::newRow("Jan 2025, Wednesday") << 2025 << 1 << QList<int>{3, 5, 12, 19, 26, 33} << 31;
    QTest::newRow("Sep 2024, Sunday: row 0 empty")
        << 2024 << 9 << QList<int>{7, 1, 8, 15, 22, 29} << 30;
    QTest::newRow("Feb 2024") << 2024 << 2 << QList<int>{4, 4, 11, 18, 25, 32} << 29;
    QTest::newRow("Feb 2100") << 2100 << 2 << QList<int>{1, 7, 14, 21, 28, 35} << 28;
}

void TstFormCalendarView::weekRowsFollowTheShownMonth()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QList<int>, firstDays);
    QFETCH(int, days);
    showMonth(year, month);
    QCOMPARE(model()->rowCount(), 7);
    QCOMPARE(model()->index(0).data(CalendarRole::rowKind).toInt(), CalendarRowKind::header);
    QList<int> actual;
    for (int r = 0; r < 6; ++r) {
        QCOMPARE(weekRow(r).data(CalendarRole::rowKind).toInt(), CalendarRowKind::week);
        QCOMPARE(weekRow(r).data(CalendarRole::daysInMonth).toInt(), days);
        actual << weekRow(r).data(CalendarRole::firstDay).toInt();
    }
    QCOMPARE(actual, firstDays);
}

void TstFormCalendarView::marksOnlyTheShownMonth()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    // March 2024 starts on a Friday: 5th (0, 2)... no: 5th at (1, 2), 15th (2, 5), 28th (4, 4),
    // 30th (4, 6)
    const QList<int> march = {0, 1 << 2, 1 << 5, 0, (1 << 4) | (1 << 6), 0};
    for (int r = 0; r < 6; ++r)
        QCOMPARE(weekRow(r).data(CalendarRole::dataDayBits).toInt(), march.at(r));
    QCOMPARE(model()->index(0).data(CalendarRole::dataMonthBits).toInt(), 0b1100);
    QCOMPARE(model()->index(2).data(CalendarRole::dataMonthBits).toInt(), 0b1000);

    view()->setNextMonth(); // April starts on a Monday: 2nd (0, 2), 10th (1, 3), 28th (4, 0)
    const QList<int> april = {1 << 2, 1 << 3, 0, 0, 1, 0};
    for (int r = 0; r < 6; ++r)
        QCOMPARE(weekRow(r).data(CalendarRole::dataDayBits).toInt(), april.at(r));

    view()->setNextMonth();
    for (int r = 0; r < 6; ++r)
        QCOMPARE(weekRow(r).data(CalendarRole::dataDayBits).toInt(), 0);

    showMonth(2025, 3); // another year: neither days nor months
    for (int r = 0; r < 6; ++r)
        QCOMPARE(weekRow(r).data(CalendarRole::dataDayBits).toInt(), 0);
    QCOMPARE(model()->index(0).data(CalendarRole::dataMonthBits).toInt(), 0);

    showMonth(2024, 3);
    form_->clearMarks(); // day marks of the shown month go, month marks stay
    QCOMPARE(weekRow(2).data(CalendarRole::dataDayBits).toInt(), 0);
    QCOMPARE(model()->index(0).data(CalendarRole::dataMonthBits).toInt(), 0b1100);
}

void TstFormCalendarView::pressAreasOfDays_data()
{
    QTest::addColumn<QPoint>("offset"); // from the centre of the 15th's press area
    QTest::addColumn<int>("column");    // reported column, -1 none
    // the press area of column c is D x D = 5s - 18 pixels (s = 9 at height 406: 27 pixels)
    QTest::newRow("centre") << QPoint(0, 0) << 5;
    QTest::newRow("left edge inside") << QPoint(-13, 0) << 5;
    QTest::newRow("left of the area") << QPoint(-14, 0) << -1;
    QTest::newRow("right edge inside") << QPoint(13, 0) << 5;
    QTest::newRow("right of the area") << QPoint(14, 0) << -1;
    QTest::newRow("below the area") << QPoint(0, 14) << -1;
}

void TstFormCalendarView::pressAreasOfDays()
{
    QFETCH(QPoint, offset);
    QFETCH(int, column);
    showMonth(2024, 3);
    form_->setDataDays(rides);
    QCOMPARE(CalendarGeometry::dayPressArea(rowRect(3), 5).width(), 27);
    QSignalSpy clicks(model(), &CalendarModel::clickEvent);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, dayPoint(2, 5) + offset);
    if (column < 0) {
        QCOMPARE(clicks.count(), 0);
        return;
    }
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toModelIndex().row(), 3);
    QCOMPARE(clicks.at(0).at(1).toInt(), column);
}

void TstFormCalendarView::dayPressEmitsSelectedDate()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    QSignalSpy dates(form_, &FormCalendarView::clickEvent_trigger);
    pressDay(2, 4); // the 14th: no rides
    pressDay(0, 2); // before the 1st
    QCOMPARE(dates.count(), 0);
    QVERIFY(view()->getSelectedDate().isEmpty());

    pressDay(2, 5);
    QCOMPARE(dates.count(), 1);
    QCOMPARE(dates.at(0).at(0).toString(), QStringLiteral("20240315"));
    QCOMPARE(weekRow(2).data(CalendarRole::selectedDayBits).toInt(), 1 << 5);

    view()->setNextMonth(); // away and back: the selected day is circled again
    QCOMPARE(weekRow(2).data(CalendarRole::selectedDayBits).toInt(), 0);
    view()->setPreMonth();
    QCOMPARE(weekRow(2).data(CalendarRole::selectedDayBits).toInt(), 1 << 5);

    pressDay(4, 4);
    QCOMPARE(dates.count(), 2);
    QCOMPARE(dates.at(1).at(0).toString(), QStringLiteral("20240328"));
    QCOMPARE(weekRow(2).data(CalendarRole::selectedDayBits).toInt(), 0);
    QCOMPARE(weekRow(4).data(CalendarRole::selectedDayBits).toInt(), 1 << 4);
}

void TstFormCalendarView::rangeStateFollowsTheShownMonth()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    form_->setChartPeriod(ChartPeriodType::sevenDays);
    QCOMPARE(form_->getChartPeriod(), ChartPeriodType::sevenDays);
    for (int row = 0; row < 7; ++row)
        QCOMPARE(model()->index(row).data(CalendarRole::rangeState).toString(),
                 CalendarRules::noRange);

    pressDay(2, 5);
    QCOMPARE(weekRow(0).data(CalendarRole::rangeState).toString(),
             QStringLiteral("02050304000020002"));
    pressDay(4, 4);
    const QString march = QStringLiteral("04040500100020003");
    for (int row = 0; row < 7; ++row)
        QCOMPARE(model()->index(row).data(CalendarRole::rangeState).toString(), march);
    view()->setNextMonth();
    QCOMPARE(weekRow(3).data(CalendarRole::rangeState).toString(),
             QStringLiteral("00010003100020003"));
    view()->setNextMonth();
    QCOMPARE(weekRow(3).data(CalendarRole::rangeState).toString(),
             QStringLiteral("FFFFFFFF100020003"));
    form_->setChartPeriod(ChartPeriodType::fourWeeks);
    QCOMPARE(weekRow(3).data(CalendarRole::rangeState).toString(),
             QStringLiteral("FFFFFFFF100020003"));
    showMonth(2024, 4); // 28 days from 28 March run to 24 April (Wednesday of week row 3)
    QCOMPARE(weekRow(3).data(CalendarRole::rangeState).toString(),
             QStringLiteral("00010303100020003"));
    form_->setChartPeriod(ChartPeriodType::none);
    QCOMPARE(form_->getChartPeriod(), ChartPeriodType::none);
}

void TstFormCalendarView::highlightDayRingsItsCell()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    form_->setChartPeriod(ChartPeriodType::sevenDays);
    pressDay(4, 4); // 28 March
    QCOMPARE(weekRow(4).data(CalendarRole::highlightDayBits).toInt(), 1 << 4);

    form_->drawSelectedHighlightCircle(30);
    QCOMPARE(weekRow(4).data(CalendarRole::highlightDayBits).toInt(), 1 << 6);
    form_->drawSelectedHighlightCircle(2); // 2 April: not in March
    for (int r = 0; r < 6; ++r)
        QCOMPARE(weekRow(r).data(CalendarRole::highlightDayBits).toInt(), 0);
    view()->setNextMonth();
    QCOMPARE(weekRow(0).data(CalendarRole::highlightDayBits).toInt(), 1 << 2);
    // the ring is painted: orange inside the 2nd's circle, below its number
    const QPoint ring = CalendarGeometry::dayCentre(rowRect(1), 2) + QPoint(0, 7);
    QVERIFY2(near(pixel(ring), orange), qPrintable(pixel(ring).name()));
    // the highlight month is April, the selected month March
    QCOMPARE(model()->index(0).data(CalendarRole::highlightMonthBits).toInt(), 1 << 3);
    QCOMPARE(model()->index(0).data(CalendarRole::selectedMonthBits).toInt(), 1 << 2);
}

void TstFormCalendarView::yearModeEntersAndLeaves()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    QSignalSpy titles(view(), &CalendarView::setCalendarTitle_s);
    QTest::mouseClick(button("dateTitle"), Qt::LeftButton);
    QVERIFY(view()->isYearMode());
    QCOMPARE(titles.last(), (QVariantList{2024, 3, true}));
    QCOMPARE(button("dateTitle")->text(), QStringLiteral("2024"));
    QCOMPARE(button("dateTitle")->font().pointSize(), 9);
    for (int row = 0; row < 7; ++row) {
        QCOMPARE(model()->index(row).data(CalendarRole::mode).toInt(), CalendarMode::year);
        QCOMPARE(model()->index(row).data(Qt::SizeHintRole).toSize().height(), row < 3 ? 95 : 0);
    }
    QTest::mouseClick(button("dateTitle"), Qt::LeftButton); // stays in the year grid
    QVERIFY(view()->isYearMode());

    // arrows step the year; 2025 has no rides, so its grid cannot be left
    QSignalSpy releases(model(), &CalendarModel::releaseYearModeTriggered);
    QTest::mouseClick(button("nextMonthBtn"), Qt::LeftButton);
    QCOMPARE(titles.last(), (QVariantList{2025, 3, true}));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, monthPoint(0, 2));
    QCOMPARE(releases.count(), 0);
    QVERIFY(view()->isYearMode());
    QTest::mouseClick(button("preMonthBtn"), Qt::LeftButton);

    // a press and release on December (with rides) opens December 2024
    QSignalSpy presses(model(), &CalendarModel::pressYearModeTriggered);
    QTest::mousePress(view()->viewport(), Qt::LeftButton, {}, monthPoint(2, 3));
    QCOMPARE(presses.count(), 1);
    QCOMPARE(presses.at(0).at(1).toInt(), 3);
    QCOMPARE(model()->index(2).data(CalendarRole::pressedMonthBits).toInt(), 1 << 3);
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, monthPoint(2, 3));
    QCOMPARE(releases.count(), 1);
    QVERIFY(!view()->isYearMode());
    QCOMPARE(titles.last(), (QVariantList{2024, 12, false}));
    QCOMPARE(button("dateTitle")->text(), QStringLiteral("2024 December"));
    QCOMPARE(model()->index(3).data(Qt::SizeHintRole).toSize().height(), 43);
    QCOMPARE(model()->index(2).data(CalendarRole::pressedMonthBits).toInt(), 0);
    // December 2024 starts on a Sunday: the 29th and 30th are in week row 5
    QCOMPARE(weekRow(5).data(CalendarRole::dataDayBits).toInt(), 0b11);
}

void TstFormCalendarView::yearModeReleaseOutsideKeepsPressedMonth()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    view()->changeCalendarMode();
    QSignalSpy releases(model(), &CalendarModel::releaseYearModeTriggered);
    QTest::mousePress(view()->viewport(), Qt::LeftButton, {}, monthPoint(0, 3));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, {}, monthPoint(1, 1)); // June
    QCOMPARE(releases.count(), 0);
    QVERIFY(view()->isYearMode());
    QCOMPARE(model()->index(0).data(CalendarRole::pressedMonthBits).toInt(), 1 << 3);
    // "Apr." is drawn light grey: its brightest pixels are #898989, not white
    const QImage image = painted();
    const QRect r = rowRect(0);
    int brightest = 0;
    for (int x = CalendarGeometry::monthTextLeft(r, 3); x < r.right(); ++x)
        for (int y = r.top(); y < r.bottom(); ++y)
            brightest = qMax(brightest, image.pixelColor(x, y).red());
    QVERIFY2(qAbs(brightest - 0x89) <= 4, qPrintable(QString::number(brightest, 16)));
}

void TstFormCalendarView::panelSizes_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("calendarHeight");
    QTest::addColumn<int>("folder");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<QSize>("title");
    QTest::addColumn<int>("monthPoints");
    QTest::addColumn<int>("yearPoints");
    QTest::addColumn<int>("rowHeight");
    QTest::newRow("422") << 422 << 337 << 33 << 8 << QSize(179, 44) << 10 << 10 << 45;
    QTest::newRow("622") << 622 << 497 << 47 << 22 << QSize(264, 51) << 15 << 18 << 65;
}

void TstFormCalendarView::panelSizes()
{
    QFETCH(int, height);
    QFETCH(int, calendarHeight);
    QFETCH(int, folder);
    QFETCH(int, arrow);
    QFETCH(QSize, title);
    QFETCH(int, monthPoints);
    QFETCH(int, yearPoints);
    QFETCH(int, rowHeight);
    showMonth(2024, 3);
    view()->setTitle();
    form_->setSize(456, height);
    auto *calendar = form_->findChild<QWidget *>(QStringLiteral("calendarview"));
    QCOMPARE(calendar->height(), calendarHeight);
    QCOMPARE(calendar->minimumHeight(), calendarHeight);
    QCOMPARE(calendar->contentsMargins().top(), (height - 422) * 365 / 10000 + 15);
    QCOMPARE(button("selectedFolderBtn")->size(), QSize(folder, folder));
    QCOMPARE(button("preMonthBtn")->size(), QSize(arrow, arrow));
    QCOMPARE(button("nextMonthBtn")->iconSize(), QSize(arrow, arrow));
    QCOMPARE(button("dateTitle")->size(), title);
    QCOMPARE(button("dateTitle")->text(), QStringLiteral("2024 March"));
    QCOMPARE(button("dateTitle")->font().pointSize(), monthPoints);
    QCOMPARE(model()->index(4).data(Qt::SizeHintRole).toSize().height(), rowHeight);
    QTest::mouseClick(button("dateTitle"), Qt::LeftButton);
    QCOMPARE(button("dateTitle")->text(), QStringLiteral("2024"));
    QCOMPARE(button("dateTitle")->font().pointSize(), yearPoints);
}

void TstFormCalendarView::resetKeepsSelectedDate()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    pressDay(2, 5);
    form_->drawSelectedHighlightCircle(15);
    form_->resetCalendar();
    QCOMPARE(view()->getSelectedDate(), QStringLiteral("20240315"));
    for (int r = 0; r < 6; ++r) {
        QCOMPARE(weekRow(r).data(CalendarRole::dataDayBits).toInt(), 0);
        QCOMPARE(weekRow(r).data(CalendarRole::selectedDayBits).toInt(), 0);
        QCOMPARE(weekRow(r).data(CalendarRole::highlightDayBits).toInt(), 0);
    }
    QCOMPARE(model()->index(0).data(CalendarRole::dataMonthBits).toInt(), 0);
    QCOMPARE(model()->index(0).data(CalendarRole::selectedMonthBits).toInt(), 0);
    // the names are gone too: a later month step marks nothing
    view()->setNextMonth();
    QCOMPARE(weekRow(0).data(CalendarRole::dataDayBits).toInt(), 0);
}

void TstFormCalendarView::folderButtonHasAFaceAndAsksForTheFolder()
{
    QPushButton *folder = button("selectedFolderBtn");
    QSignalSpy opens(form_, &FormCalendarView::openfile_trigger);
    QTest::mouseClick(folder, Qt::LeftButton);
    QCOMPARE(opens.count(), 1);
    // the folder image is drawn: light grey pixels on the button
    const QImage face = folder->grab().toImage();
    int lit = 0;
    for (int x = 0; x < face.width(); ++x)
        for (int y = 0; y < face.height(); ++y)
            lit += near(face.pixelColor(x, y), QColor(0xc9, 0xca, 0xca)) ? 1 : 0;
    QVERIFY2(lit > face.width() * face.height() / 6, qPrintable(QString::number(lit)));
}

void TstFormCalendarView::paintsMarkedAndSelectedDays()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    view()->setTitle();
    TestSupport::saveScreenshot(host_.get(), QStringLiteral("ridedata-calendar-month-marked"));
    // the 15th's number is white, the 14th's grey, no circle yet
    const QRect row = rowRect(3);
    const QPoint below15 = CalendarGeometry::dayCentre(row, 5) + QPoint(0, 9);
    QVERIFY(near(pixel(below15), background));

    pressDay(2, 5);
    QVERIFY2(near(pixel(below15), blue), qPrintable(pixel(below15).name()));
    // without a chart period the highlight day gets no ring
    form_->drawSelectedHighlightCircle(15);
    QCOMPARE(weekRow(2).data(CalendarRole::highlightDayBits).toInt(), 1 << 5);
    QVERIFY(near(pixel(below15), blue));
    TestSupport::saveScreenshot(host_.get(), QStringLiteral("ridedata-calendar-day-selected"));
}

void TstFormCalendarView::paintsWindowsOverMonthEnd_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("screenshot");
    QTest::newRow("7 days, March") << 1 << 2024 << 3 << "ridedata-calendar-7-days-march";
    QTest::newRow("7 days, April") << 1 << 2024 << 4 << "ridedata-calendar-7-days-april";
    QTest::newRow("28 days, March") << 2 << 2024 << 3 << "ridedata-calendar-28-days-march";
    QTest::newRow("28 days, April") << 2 << 2024 << 4 << "ridedata-calendar-28-days-april";
}

void TstFormCalendarView::paintsWindowsOverMonthEnd()
{
    QFETCH(int, period);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QString, screenshot);
    showMonth(2024, 3);
    form_->setDataDays(rides);
    form_->setChartPeriod(period);
    pressDay(4, 4); // 28 March
    form_->drawSelectedHighlightCircle(period == 1 ? 30 : 10);
    showMonth(year, month);
    view()->setTitle();
    TestSupport::saveScreenshot(host_.get(), screenshot);

    // between two neighbouring window days the band is blue; beside the window it is not
    const auto between = [this](int weekRow, int column) {
        const QRect r = rowRect(weekRow + 1);
        const QPoint a = CalendarGeometry::dayCentre(r, column);
        const QPoint b = CalendarGeometry::dayCentre(r, column + 1);
        return pixel((a + b) / 2);
    };
    if (month == 3) {
        QVERIFY(near(between(4, 4), blue)); // 28th to 29th
        QVERIFY(near(between(4, 5), blue)); // 29th to Saturday the 30th
        QVERIFY(near(between(4, 3), background));
        const QPoint below31 = CalendarGeometry::dayCentre(rowRect(6), 0) + QPoint(0, 9);
        QVERIFY(near(pixel(below31), blue)); // last day of March, opening week row 5
    } else {
        QVERIFY(near(between(0, 1), blue));               // 1st to 2nd April
        QCOMPARE(near(between(1, 0), blue), period == 2); // Sunday joined to Monday
        QCOMPARE(near(between(0, 3), blue), period == 2);
        QCOMPARE(near(between(3, 2), blue), period == 2); // 24th closes the 28-day window
        QVERIFY(near(between(3, 3), background));
    }
}

void TstFormCalendarView::paintsYearGrid()
{
    showMonth(2024, 3);
    form_->setDataDays(rides);
    form_->setChartPeriod(ChartPeriodType::sevenDays);
    pressDay(4, 4);                        // 28 March: the window runs into April
    form_->drawSelectedHighlightCircle(2); // the ring on April
    view()->changeCalendarMode();
    TestSupport::saveScreenshot(host_.get(), QStringLiteral("ridedata-calendar-year"));
    const QRect row = rowRect(0);
    const auto below = [&](int column) {
        return pixel(CalendarGeometry::monthCentre(row, column) + QPoint(0, 20));
    };
    QVERIFY(near(below(2), blue));   // March, the selected month
    QVERIFY(near(below(3), orange)); // April, ringed as the highlight month
    QVERIFY(near(below(1), background));
    // March and April join by a band 70 pixels high
    const QPoint mid =
        (CalendarGeometry::monthCentre(row, 2) + CalendarGeometry::monthCentre(row, 3)) / 2;
    QVERIFY(near(pixel(mid + QPoint(0, 30)), blue));
}

void TstFormCalendarView::paintsYearWindows_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("weekRow"); // of the pressed day
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("month"); // of the pressed day, 2024
    QTest::addColumn<int>("shownYear");
    QTest::addColumn<QString>("blueMonths");   // of the year grid, "x" circled
    QTest::addColumn<QString>("orangeMonths"); // ringed: the pressed day's month
    QTest::addColumn<int>("bandAfter");    // month column joined to the next one in row 0, or -1
    QTest::addColumn<int>("highlightDay"); // a chart bar's day, 0 none
    QTest::newRow("inside March: circle and ring") << 1 << 2 << 5 << 3 << 2024 << "..x./..../...."
                                                   << "..x./..../...." << -1 << 0;
    QTest::newRow("April into May: no band") << 1 << 4 << 0 << 4 << 2024 << "...x/x.../...."
                                             << "...x/..../...." << -1 << 0;
    QTest::newRow("April into May, ringed on May") << 1 << 4 << 0 << 4 << 2024 << "...x/x.../...."
                                                   << "..../x.../...." << -1 << 2;
    QTest::newRow("March into April: band") << 1 << 4 << 4 << 3 << 2024 << "..xx/..../...."
                                            << "..x./..../...." << 2 << 0;
    QTest::newRow("December in its year") << 1 << 5 << 0 << 12 << 2024 << "..../..../...x"
                                          << "..../..../...x" << -1 << 0;
    QTest::newRow("January of the next year") << 1 << 5 << 0 << 12 << 2025 << "x.../..../...."
                                              << "..../..../...." << -1 << 0;
    QTest::newRow("no chart period: the selected month")
        << 0 << 4 << 0 << 4 << 2024 << "...x/..../...."
        << "..../..../...." << -1 << 0;
}

void TstFormCalendarView::paintsYearWindows()
{
    QFETCH(int, period);
    QFETCH(int, weekRow);
    QFETCH(int, column);
    QFETCH(int, month);
    QFETCH(int, shownYear);
    QFETCH(QString, blueMonths);
    QFETCH(QString, orangeMonths);
    QFETCH(int, bandAfter);
    QFETCH(int, highlightDay);
    showMonth(2024, month);
    form_->setDataDays(rides);
    form_->setChartPeriod(period);
    pressDay(weekRow, column);
    if (highlightDay > 0)
        form_->drawSelectedHighlightCircle(highlightDay);
    view()->changeCalendarMode();
    while (view()->shownYear() < shownYear)
        view()->setNextMonth();
    QString blue_;
    QString orange_;
    for (int r = 0; r < 3; ++r) {
        for (int m = 0; m < 4; ++m) {
            const QColor c = pixel(CalendarGeometry::monthCentre(rowRect(r), m) + QPoint(0, 20));
            blue_ += near(c, blue) ? QLatin1Char('x') : QLatin1Char('.');
            orange_ += near(c, orange) ? QLatin1Char('x') : QLatin1Char('.');
        }
        if (r < 2) {
            blue_ += QLatin1Char('/');
            orange_ += QLatin1Char('/');
        }
    }
    // a ring covers its blue circle
    for (int i = 0; i < orangeMonths.size(); ++i) {
        if (orangeMonths.at(i) == QLatin1Char('x'))
            blue_[i] = QLatin1Char('x');
    }
    QCOMPARE(blue_, blueMonths);
    QCOMPARE(orange_, orangeMonths);
    for (int m = 0; m < 3; ++m) {
        const QRect row = rowRect(0);
        const QPoint mid =
            (CalendarGeometry::monthCentre(row, m) + CalendarGeometry::monthCentre(row, m + 1)) / 2;
        QCOMPARE(near(pixel(mid + QPoint(0, 30)), blue), m == bandAfter);
    }
    // rows 3 to 6 paint nothing and take no room
    for (int row = 3; row < 7; ++row)
        QVERIFY(rowRect(row).height() == 0);
}

TALVEX_TEST_MAIN(TstFormCalendarView)
#include "tst_formcalendarview.moc"
