// Flat list model of the chooser's folder tree: one record per visible row, indented by level.
#pragma once

#include <QAbstractListModel>
#include <QString>

#include <memory>
#include <vector>

// One row of the folder tree; edited in place by the chooser, shown on the next repaint.
struct FileListItem
{
    int indent = 0;        // nesting level x 32, in pixels
    QString folderIcon;    // closed or open folder image
    QString expanderImage; // collapsed or expanded arrow; empty for a folder without sub-folders
    QString name;          // folder name, root path ending in "/", or the Desktop text
    QString state;         // "Select" on the one selected row, else empty
    bool awaitingListing = false; // its sub-folders were asked for and have not come yet
};

namespace FolderTreeRole {
constexpr int FolderIcon = Qt::UserRole + 1;    // 257
constexpr int ExpanderImage = Qt::UserRole + 2; // 258
constexpr int Indent = Qt::UserRole + 3;        // 259
constexpr int Name = Qt::UserRole + 4;          // 260
constexpr int State = Qt::UserRole + 5;         // 261
constexpr int ExpanderPress = Qt::UserRole + 7; // 263, setData only
} // namespace FolderTreeRole

class FileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    FileListModel();
    ~FileListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // Only ExpanderPress on a valid index: emits clickEvent and returns true.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // The model takes ownership; a null record is ignored.
    void appendItem(std::unique_ptr<FileListItem> item);
    void insertItem(int row, std::unique_ptr<FileListItem> item);
    // Inserts the records before row (at the end for row == count) in one step, as a folder's
    // rows come; null records are left out.
    void insertItems(int row, std::vector<std::unique_ptr<FileListItem>> rows);
    // Removes and frees the record of row; an invalid row does nothing.
    void removeItem(int row);
    // Removes and frees count records from first on in one step; rows past the end are left.
    void removeItems(int first, int count);
    // The record of row, owned by the model; null outside 0 .. count - 1.
    FileListItem *itemAt(int row) const;

signals:
    // A press on the row's expander arrow.
    void clickEvent(const QModelIndex &index);

private:
    std::vector<std::unique_ptr<FileListItem>> items;
};
