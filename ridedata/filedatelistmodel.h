// List model of the day file list; turns the delegate's press and double-click reports into
// signals.
#pragma once

#include "filedatelistitem.h"
#include "ownedlistmodel.h"

class FileDateListModel : public OwnedListModel<FileDateListItem>
{
    Q_OBJECT

public:
    explicit FileDateListModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    // FileDateListRole::click emits clickEvent, doubleClick emits clickDoubleEvent.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void clickEvent(QModelIndex index);
    void clickDoubleEvent(QModelIndex index);
};
