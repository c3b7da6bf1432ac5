// List view that shows the chooser's folder tree; owns its model and row painter.
#pragma once

#include <QListView>

#include <memory>

class FileListModel;
class ListItemDelegate;
struct FileListItem;

class FileListView_C : public QListView
{
    Q_OBJECT
public:
    explicit FileListView_C(QWidget *parent = nullptr);
    ~FileListView_C() override;

    FileListModel *treeModel() const { return model_.get(); }

    void appendItem(std::unique_ptr<FileListItem> item);
    // Inserts before row while row is an existing row; otherwise does nothing.
    void insertItem(int row, std::unique_ptr<FileListItem> item);
    // Row 0 is never removed; the current index moves to row 0 first.
    void removeRow(int row);
    FileListItem *itemAt(int row) const;
    int count() const;

private:
    std::unique_ptr<FileListModel> model_;
    std::unique_ptr<ListItemDelegate> delegate_;
};
