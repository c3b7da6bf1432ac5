// List model holding the chart widget's row item; reports clicks on the chart.
#pragma once

#include "chartitem.h"

#include <QAbstractListModel>
#include <QVector>

class ChartModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ChartModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The row's fields by ChartRole (Qt::SizeHintRole gives the size).
    QVariant data(const QModelIndex &index, int role) const override;
    // Only ChartRole::click on a valid index: emits clickEvent with the value.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // Appends one row, announced as one inserted row.
    void append(const ChartItem &item);
    // The item of row, or nullptr; the caller repaints after changing it.
    ChartItem *item(int row);

signals:
    void clickEvent(float index);

private:
    QVector<ChartItem> items_;
};
