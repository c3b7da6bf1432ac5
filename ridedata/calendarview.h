// The ride-data calendar: a month grid (week-day header and six week rows) or a year grid that
// marks the days and months with ride files and shades the chart window from the selected date.
#pragma once

#include "calendarrules.h"

#include <QListView>
#include <QStringList>

class CalendarDelegate;
class CalendarModel;

class CalendarView : public QListView
{
    Q_OBJECT

public:
    explicit CalendarView(QWidget *parent = nullptr);
    ~CalendarView() override;

    CalendarModel *calendarModel() const { return model_; }

    // Clears the day marks of the shown month (month marks stay).
    void clearMarks();
    // Marks the days and months of ride-file names "yyyyMMddhhmmss..."; marks are only added.
    void setDataDays(const QStringList &names);
    int getChartPeriod() const;
    void setChartPeriod(int period);
    // Row heights from the page height (the width is not used).
    void setSize(int width, int height);
    // "yyyyMMdd" of the last pressed data day, empty before the first.
    QString getSelectedDate() const { return selectedDate_; }

    // Reset steps, run in this order by the panel: names, highlight and selected cells, day and
    // month marks, selected month. The selected date stays.
    void clearDataDays();
    void clearHighlightCell();
    void clearSelectedCell();
    void resetMonthMarks();
    void clearSelectedMonth();

    int shownYear() const { return shownYear_; }
    int shownMonth() const { return shownMonth_; }
    bool isYearMode() const { return yearMode_; }

signals:
    void setCalendarTitle_s(int year, int month, bool onlyYear);

public slots:
    void setTitle();
    void setPreMonth();
    void setNextMonth();
    // A press on a data day: index is the week row's model row, selected its column.
    void drawSelectedCircle(QModelIndex index, int selected);
    // A chart bar's day of the chart window: rings it where the shown month holds it.
    void drawSelectedHighlightCircle(int day);
    // Enters the year grid (also when already there).
    void changeCalendarMode();
    void pressCalendarMode(QModelIndex index, int column);
    // Leaves the year grid for the released month.
    void releaseCalendarMode(QModelIndex index, int column);

private:
    using Cell = CalendarRules::Cell;

    void calcFirstWeekday(int year, int month);
    void buildMonthGrid(int year, int month);
    int dayAt(int row, int column) const;
    QString getRangeState(int length);
    void applyDayMarks(const Cell &selected, const Cell &highlight);
    void applyMonthMarks(const Cell &selectedMonth);
    void remarkDataDays();
    // The highlight cell and the data days of the shown month again, then the day marks drawn.
    void remarkShownDays();
    void markSelectedMonth();
    // The highlight cell of the highlight day in the shown month, or none.
    void recomputeHighlightCell();
    void clearDayMarks();
    void stepMonth(int delta);
    int monthRowHeight() const;
    int yearRowHeight() const;
    // Runs change on every row with updates off, then repaints once.
    template <typename Change> void changeRows(Change change);

    CalendarModel *model_;       // owned
    CalendarDelegate *delegate_; // owned
    CalendarRules::Marks marks_;
    Cell highlightMonthCell_;
    Cell highlightCell_;
    Cell selectedCell_;
    Cell selectedMonthCell_;
    int shownYear_ = 0;
    int shownMonth_ = 0;
    bool yearMode_ = false;
    int highlightYear_ = -1;
    int highlightMonth_ = -1;
    int highlightDay_ = 0;
    int spillDays_ = 0;
    int firstRow_ = 1;
    int firstColumn_ = 7;
    QStringList dataNames_;
    QString selectedDate_;
    int pageHeight_ = 422;
};
