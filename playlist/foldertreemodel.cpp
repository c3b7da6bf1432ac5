#include "foldertreemodel.h"

#include <QSize>

#include <algorithm>
#include <iterator>

namespace {
constexpr int charWidthPx = 12;
constexpr int rowHeightPx = 40;
} // namespace

FileListModel::FileListModel() = default;

FileListModel::~FileListModel() = default;

int FileListModel::rowCount(const QModelIndex &) const
{
    return static_cast<int>(items.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    const FileListItem *item = itemAt(index.row());
    if (!index.isValid() || !item)
        return QVariant();
    switch (role) {
    case Qt::SizeHintRole:
        return QSize(charWidthPx * item->name.size(), rowHeightPx);
    case FolderTreeRole::FolderIcon:
        return item->folderIcon;
    case FolderTreeRole::ExpanderImage:
        return item->expanderImage;
    case FolderTreeRole::Indent:
        return item->indent;
    case FolderTreeRole::Name:
        return item->name;
    case FolderTreeRole::State:
        return item->state;
    default:
        return QVariant();
    }
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &, int role)
{
    if (role != FolderTreeRole::ExpanderPress || !index.isValid() || !itemAt(index.row()))
        return false;
    emit clickEvent(index);
    return true;
}

void FileListModel::appendItem(std::unique_ptr<FileListItem> item)
{
    insertItem(rowCount(), std::move(item));
}

void FileListModel::insertItem(int row, std::unique_ptr<FileListItem> item)
{
    std::vector<std::unique_ptr<FileListItem>> rows;
    rows.push_back(std::move(item));
    insertItems(row, std::move(rows));
}

void FileListModel::insertItems(int row, std::vector<std::unique_ptr<FileListItem>> rows)
{
    rows.erase(std::remove(rows.begin(), rows.end(), nullptr), rows.end());
    if (rows.empty() || row < 0 || row > rowCount())
        return;
    beginInsertRows(QModelIndex(), row, row + int(rows.size()) - 1);
    items.insert(items.begin() + row, std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    endInsertRows();
}

void FileListModel::removeItem(int row)
{
    removeItems(row, 1);
}

void FileListModel::removeItems(int first, int count)
{
    count = std::min(count, rowCount() - first);
    if (first < 0 || count <= 0)
        return;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    items.erase(items.begin() + first, items.begin() + first + count);
    endRemoveRows();
}

FileListItem *FileListModel::itemAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return items[static_cast<size_t>(row)].get();
}
