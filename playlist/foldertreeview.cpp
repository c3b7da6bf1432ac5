#include "foldertreeview.h"

#include "foldertreedelegate.h"
#include "foldertreemodel.h"

FileListView_C::FileListView_C(QWidget *parent)
    : QListView(parent), model_(std::make_unique<FileListModel>()),
      delegate_(std::make_unique<ListItemDelegate>())
{
    setModel(model_.get());
    setItemDelegate(delegate_.get());
}

FileListView_C::~FileListView_C()
{
    // detach before the members go, so the base class never sees a dead model or painter
    setItemDelegate(nullptr);
    setModel(nullptr);
}

void FileListView_C::appendItem(std::unique_ptr<FileListItem> item)
{
    model_->appendItem(std::move(item));
}

void FileListView_C::insertItem(int row, std::unique_ptr<FileListItem> item)
{
    if (count() > 0 && row < count())
        model_->insertItem(row, std::move(item));
}

void FileListView_C::insertItems(int row, std::vector<std::unique_ptr<FileListItem>> rows)
{
    model_->insertItems(row, std::move(rows));
}

void FileListView_C::removeRow(int row)
{
    removeRows(row, 1);
}

void FileListView_C::removeRows(int first, int count)
{
    if (first <= 0 || count <= 0 || first >= this->count())
        return;
    // a view scrolls to its new current row: the user's place in the tree would go
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    setCurrentIndex(model_->index(0));
    setAutoScroll(scrolls);
    model_->removeItems(first, count);
}

void FileListView_C::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    emit pressEnded();
}

FileListItem *FileListView_C::itemAt(int row) const
{
    return count() == 0 ? nullptr : model_->itemAt(row);
}

int FileListView_C::count() const
{
    return model_->rowCount();
}
