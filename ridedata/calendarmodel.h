// List model of the calendar rows; turns the delegate's presses into signals.
#pragma once

#include "calendaritem.h"
#include "ownedlistmodel.h"

class CalendarModel : public OwnedListModel<CalendarItem>
{
    Q_OBJECT

public:
    explicit CalendarModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    // CalendarRole::click, pressYearMode and releaseYearMode emit their signal with the value.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void clickEvent(QModelIndex index, int selected);
    void pressYearModeTriggered(QModelIndex index, int column);
    void releaseYearModeTriggered(QModelIndex index, int column);
};
