// List model of the day file list; turns the delegate's press and double-click reports into
// signals.
#pragma once

#include "filedatelistitem.h"

#include <QAbstractListModel>

#include <memory>
#include <vector>

class FileDateListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit FileDateListModel(QObject *parent = nullptr);
    ~FileDateListModel() override;

    // Takes ownership and appends one row; a null item is ignored.
    void addItem(FileDateListItem *item);
    // The item of row, or nullptr outside the list.
    FileDateListItem *getItem(int row) const;
    // Removes the row (announced to the views) and releases its item.
    void removeItem(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // FileDateListRole::click emits clickEvent, doubleClick emits clickDoubleEvent.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void clickEvent(QModelIndex index);
    void clickDoubleEvent(QModelIndex index);

private:
    std::vector<std::unique_ptr<FileDateListItem>> items_;
};
