// The ride-data page's calendar panel: title button, month arrows, folder button and the
// CalendarView; relays a pressed day as "yyyyMMdd" and the folder button to the page.
#pragma once

#include <QModelIndex>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class FormCalendarView;
}
class CalendarView;

class FormCalendarView : public QWidget
{
    Q_OBJECT

public:
    explicit FormCalendarView(QWidget *parent = nullptr);
    ~FormCalendarView() override;

    CalendarView *calendarView() const { return view_; }

    // Clears the day marks of the shown month (month marks stay).
    void clearMarks();
    // Ride-file names of the data folder: marks their days and months.
    void setDataDays(const QStringList &names);
    // Clears names, highlight, selection and marks; the selected date stays.
    void resetCalendar();
    // 0 none, 1 seven days, 2 twenty-eight days.
    int getChartPeriod() const;
    void setChartPeriod(int period);
    // Sizes the panel for its place in the page (width x height).
    void setSize(int width, int height);

signals:
    void openfile_trigger();
    void clickEvent_trigger(QString curSelectedDate);

private slots:
    void setCalendarTitle(int year, int month, bool onlyYear);
    void clickCurSelectedDate(QModelIndex index, int column);

public slots:
    // Rings a chart bar's day in the calendar (forwarded to the view).
    void drawSelectedHighlightCircle(int day);

private:
    std::unique_ptr<Ui::FormCalendarView> ui;
    CalendarView *view_; // owned by calendarGridLayout's widget
    bool onlyYear_ = false;
    int monthTitlePointSize_ = 0;
    int yearTitlePointSize_ = 0;
};
