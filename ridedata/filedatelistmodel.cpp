#include "filedatelistmodel.h"

FileDateListModel::FileDateListModel(QObject *parent) : OwnedListModel<FileDateListItem>(parent) {}

QVariant FileDateListModel::data(const QModelIndex &index, int role) const
{
    const FileDateListItem *item = getItem(index.row());
    if (!index.isValid() || !item)
        return QVariant();
    switch (role) {
    case Qt::SizeHintRole:
        return item->sizeHint;
    case FileDateListRole::isHeader:
        return item->isHeader;
    case FileDateListRole::fileName:
        return item->fileName;
    case FileDateListRole::timeText:
        return item->timeText;
    case FileDateListRole::isClicked:
        return item->isClicked;
    case FileDateListRole::isLoaded:
        return item->isLoaded;
    case FileDateListRole::viewSize:
        return item->viewSize;
    default:
        return QVariant();
    }
}

bool FileDateListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Q_UNUSED(value)
    if (!index.isValid())
        return false;
    if (role == FileDateListRole::click) {
        emit clickEvent(index);
        return true;
    }
    if (role == FileDateListRole::doubleClick) {
        emit clickDoubleEvent(index);
        return true;
    }
    return false;
}
