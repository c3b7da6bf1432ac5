#include "chartmodel.h"

ChartModel::ChartModel(QObject *parent) : OwnedListModel<ChartItem>(parent) {}

QVariant ChartModel::data(const QModelIndex &index, int role) const
{
    const ChartItem *item = getItem(index.row());
    if (!index.isValid() || !item)
        return QVariant();
    switch (role) {
    case Qt::SizeHintRole:
    case ChartRole::size:
        return item->size;
    case ChartRole::chartType:
        return item->chartType;
    case ChartRole::periodType:
        return item->periodType;
    case ChartRole::min:
        return item->min;
    case ChartRole::max:
        return item->max;
    case ChartRole::average:
        return item->average;
    case ChartRole::values:
        return item->values;
    case ChartRole::position:
        return item->position;
    case ChartRole::averageVisible:
        return item->averageVisible;
    case ChartRole::lineVisible:
        return item->lineVisible;
    case ChartRole::leftMargin:
        return item->leftMargin;
    case ChartRole::rightMargin:
        return item->rightMargin;
    case ChartRole::axisFontSize:
        return item->axisFontSize;
    case ChartRole::averageFontSize:
        return item->averageFontSize;
    case ChartRole::date:
        return item->date;
    case ChartRole::bottomMargin:
        return item->bottomMargin;
    default:
        return QVariant();
    }
}

bool ChartModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !getItem(index.row()) || role != ChartRole::click)
        return false;
    emit clickEvent(value.toFloat());
    return true;
}
