// Paints the whole chart in the model's one row and turns a press into a click value.
#pragma once

#include "chartitem.h"

#include <QStyledItemDelegate>

class ChartDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    static ChartItem readItem(const QModelIndex &index);
    static void drawAxisLabels(QPainter *painter, const ChartItem &item);
    static void drawPlayedShare(QPainter *painter, const ChartItem &item);
    static void drawLineChart(QPainter *painter, const ChartItem &item);
    static void drawBarChart(QPainter *painter, const ChartItem &item);
    static void drawAverage(QPainter *painter, const ChartItem &item, int y);
};
