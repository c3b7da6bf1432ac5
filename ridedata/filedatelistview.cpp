#include "filedatelistview.h"

#include "filedatelistdelegate.h"
#include "filedatelistmodel.h"

FileDateListView::FileDateListView(QWidget *parent)
    : QListView(parent), model_(new FileDateListModel(this)),
      delegate_(new FileDateListDelegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
}

FileDateListView::~FileDateListView() = default;

template <typename Change> void FileDateListView::changeRows(Change change)
{
    setUpdatesEnabled(false);
    for (int row = 0; row < model_->rowCount(); ++row)
        change(row, *model_->getItem(row));
    setUpdatesEnabled(true);
}

void FileDateListView::setFileList(const QStringList &fileNames)
{
    setUpdatesEnabled(false);
    const QVector<FileDateListItem> rows =
        FileDateListRows::buildRows(fileNames, selectedFileName_, size());
    for (const FileDateListItem &row : rows)
        model_->addItem(new FileDateListItem(row));
    setUpdatesEnabled(true);
}

void FileDateListView::clearList()
{
    setUpdatesEnabled(false);
    for (int row = model_->rowCount() - 1; row >= 0; --row)
        model_->removeItem(row);
    setUpdatesEnabled(true);
}

void FileDateListView::setItemSize(int width, int height)
{
    changeRows([&](int, FileDateListItem &item) { item.viewSize = QSize(width - 6, height - 6); });
}

void FileDateListView::drawSelectedRow(QModelIndex index)
{
    changeRows([&](int row, FileDateListItem &item) { item.isClicked = row == index.row(); });
}

void FileDateListView::selectedFile(QModelIndex index)
{
    const FileDateListItem *chosen = model_->getItem(index.row());
    if (!chosen)
        return;
    const QString name = chosen->fileName;
    selectedFileName_ = name;
    changeRows([&](int row, FileDateListItem &item) { item.isLoaded = row == index.row(); });
    emit selectedFile_trigger(name);
}

void FileDateListView::clearSelectedFile()
{
    selectedFileName_.clear();
    changeRows([&](int, FileDateListItem &item) { item.isLoaded = false; });
}
