#include "calendarmodel.h"

CalendarModel::CalendarModel(QObject *parent) : OwnedListModel<CalendarItem>(parent) {}

QVariant CalendarModel::data(const QModelIndex &index, int role) const
{
    const CalendarItem *item = getItem(index.row());
    if (!index.isValid() || !item)
        return QVariant();
    switch (role) {
    case Qt::SizeHintRole:
        return item->sizeHint;
    case CalendarRole::rowKind:
        return item->rowKind;
    case CalendarRole::mode:
        return item->mode;
    case CalendarRole::chartPeriod:
        return item->chartPeriod;
    case CalendarRole::rangeState:
        return item->rangeState;
    case CalendarRole::firstDay:
        return item->firstDay;
    case CalendarRole::selectedDayBits:
        return item->selectedDayBits;
    case CalendarRole::highlightDayBits:
        return item->highlightDayBits;
    case CalendarRole::highlightMonthBits:
        return item->highlightMonthBits;
    case CalendarRole::selectedMonthBits:
        return item->selectedMonthBits;
    case CalendarRole::dataDayBits:
        return item->dataDayBits;
    case CalendarRole::dataMonthBits:
        return item->dataMonthBits;
    case CalendarRole::daysInMonth:
        return item->daysInMonth;
    case CalendarRole::pressedMonthBits:
        return item->pressedMonthBits;
    default:
        return QVariant();
    }
}

bool CalendarModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    switch (role) {
    case CalendarRole::click:
        emit clickEvent(index, value.toInt());
        return true;
    case CalendarRole::pressYearMode:
        emit pressYearModeTriggered(index, value.toInt());
        return true;
    case CalendarRole::releaseYearMode:
        emit releaseYearModeTriggered(index, value.toInt());
        return true;
    default:
        return false;
    }
}
