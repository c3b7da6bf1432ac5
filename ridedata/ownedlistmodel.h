// List model base that owns one item per row; the derived model maps the item's fields to roles.
#pragma once

#include <QAbstractListModel>

#include <memory>
#include <vector>

template <typename Item> class OwnedListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    // Takes ownership of item and appends it as one inserted row; a null item is ignored.
    void addItem(Item *item)
    {
        if (!item)
            return;
        const int row = count();
        beginInsertRows(QModelIndex(), row, row);
        items_.emplace_back(item);
        endInsertRows();
    }

    // The item of row, or nullptr outside the list.
    Item *getItem(int row) const
    {
        if (row < 0 || row >= count())
            return nullptr;
        return items_[static_cast<size_t>(row)].get();
    }

    // Removes the row (announced to the views) and releases its item.
    void removeItem(int row)
    {
        if (!getItem(row))
            return;
        beginRemoveRows(QModelIndex(), row, row);
        items_.erase(items_.begin() + row);
        endRemoveRows();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : count();
    }

private:
    int count() const { return static_cast<int>(items_.size()); }

    std::vector<std::unique_ptr<Item>> items_;
};
