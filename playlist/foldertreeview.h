// List view that shows the chooser's folder tree; owns its model and row painter.
#pragma once

#include <QListView>

#include <memory>
#include <vector>

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
    // Inserts the rows before row, or after the last row for row == count(), in one step.
    void insertItems(int row, std::vector<std::unique_ptr<FileListItem>> rows);
    // Row 0 is never removed; the current index moves to row 0 first, and the view stays where
    // it is scrolled to.
    void removeRow(int row);
    // The same for count rows from first on, in one step.
    void removeRows(int first, int count);
    FileListItem *itemAt(int row) const;
    int count() const;

signals:
    // A press of the mouse button on the view has ended, after the clicked() that it made, if
    // any (a release on another row than the press makes none).
    void pressEnded();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::unique_ptr<FileListModel> model_;
    std::unique_ptr<ListItemDelegate> delegate_;
};
