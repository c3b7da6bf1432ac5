// Paints the calendar rows from the model's roles and turns presses on data days and months
// into the model's click, press and release calls.
#pragma once

#include <QStyledItemDelegate>

class CalendarDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
