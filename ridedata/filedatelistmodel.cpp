#include "filedatelistmodel.h"

FileDateListModel::FileDateListModel(QObject *parent) : QAbstractListModel(parent) {}

FileDateListModel::~FileDateListModel() = default;

void FileDateListModel::addItem(FileDateListItem *item)
{
    if (!item)
        return;
    const int row = static_cast<int>(items_.size());
    beginInsertRows(QModelIndex(), row, row);
    items_.emplace_back(item);
    endInsertRows();
}

FileDateListItem *FileDateListModel::getItem(int row) const
{
    if (row < 0 || row >= static_cast<int>(items_.size()))
        return nullptr;
    return items_[static_cast<size_t>(row)].get();
}

void FileDateListModel::removeItem(int row)
{
    if (!getItem(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    items_.erase(items_.begin() + row);
    endRemoveRows();
}

int FileDateListModel::rowCount(const QModelIndex &) const
{
    return static_cast<int>(items_.size());
}

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
