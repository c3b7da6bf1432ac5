// Title text and panel sizes of the calendar panel for a panel height.
#pragma once

#include <QSize>
#include <QString>

namespace CalendarSizes {

struct PanelSizes
{
    int calendarHeight;
    int calendarSideMargin;
    int calendarTopMargin;
    int folderLeftMargin;
    int folderButton; // square side
    int arrowButton;  // square side
    int monthTitlePointSize;
    int yearTitlePointSize;
    QSize titleSize;
};

PanelSizes panelSizes(int height);

// "yyyy" alone, or "yyyy Month" with the English month name; the year blank-filled to width 4.
QString titleText(int year, int month, bool onlyYear);

} // namespace CalendarSizes
