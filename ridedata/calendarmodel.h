// List model of the calendar rows; turns the delegate's presses into signals.
#pragma once

#include "calendaritem.h"

#include <QAbstractListModel>

#include <memory>
#include <vector>

class CalendarModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CalendarModel(QObject *parent = nullptr);
    ~CalendarModel() override;

    // Takes ownership of item and appends it as one inserted row; a null item is ignored.
    void addItem(CalendarItem *item);
    // The item of row, or nullptr outside the list.
    CalendarItem *getItem(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // CalendarRole::click, pressYearMode and releaseYearMode emit their signal with the value.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void clickEvent(QModelIndex index, int selected);
    void pressYearModeTriggered(QModelIndex index, int column);
    void releaseYearModeTriggered(QModelIndex index, int column);

private:
    std::vector<std::unique_ptr<CalendarItem>> items_;
};
