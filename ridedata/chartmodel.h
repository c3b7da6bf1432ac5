// List model holding the chart widget's row item; reports clicks on the chart.
#pragma once

#include "chartitem.h"
#include "ownedlistmodel.h"

class ChartModel : public OwnedListModel<ChartItem>
{
    Q_OBJECT

public:
    explicit ChartModel(QObject *parent = nullptr);

    // The row's fields by ChartRole (Qt::SizeHintRole gives the size).
    QVariant data(const QModelIndex &index, int role) const override;
    // Only ChartRole::click on a valid index: emits clickEvent with the value.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void clickEvent(float index);
};
