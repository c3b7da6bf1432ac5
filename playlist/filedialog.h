// The program's own chooser for video files (mode 0) and folders (modes 1 and 2): a folder tree,
// the video files of the current folder, and a result signal per mode.
#pragma once

#include "filedialogfiles.h"
#include "folderlisting.h"

#include <QDialog>
#include <QList>
#include <QModelIndex>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

struct FileListItem;
class DriveProbe;
class FileListView_C;
class QLabel;
class QTableWidgetItem;

namespace Ui {
class FileDialog_C;
}

class FileDialog_C : public QDialog
{
    Q_OBJECT
public:
    enum FileDialogMode
    {
        OpenFiles = 0,
        SelectSaveFolder = 1,
        SelectFolder = 2
    };

    explicit FileDialog_C(QWidget *parent = nullptr);
    ~FileDialog_C() override;

    // Texts, fonts and mode; mode 0 also opens the start folder. Safe to call again.
    void setMode(int mode);
    // One look for every style index.
    void applyStyle(int style);

    // Full folder path of a tree row at level: a root row's path ends in "/".
    QString treeItemPath(int row, int level) const;
    // The folder whose files are listed and that the path line names.
    QString currentFolder() const { return currentPath; }
    int selectedTreeRow() const { return selectedRow; }
    // A folder or drive has been asked and has neither answered nor passed the drives' bound.
    bool isReading() const;

signals:
    // Mode 0 Open: the chosen files, each followed by its existing partner-camera file.
    // Cancel in any mode: an empty list.
    void openFileList(QList<QUrl> dir);
    // Modes 1 and 2 Open: the folder named by the path line.
    void openFolderName(QString folderName);

public slots:
    void chooseNewDir();
    void cancleChoose();
    void abstractItemView_clicked(const QModelIndex &index);
    void diskDirList_itemClicked(int row);
    void displayDirClicked(const QModelIndex &index);
    void fileItemPressed();
    void fileitemDoubleClicked(QTableWidgetItem *item);
    void setScrollBarValue();
    void setTabelWidgetWidth();

protected:
    // Escape and close go through Cancel, so the opener always hears a result.
    void reject() override;

private:
    static constexpr int textDesktop = 7; // "File Dialog" text naming the Desktop row

    // tree (filedialogtree.cpp); every look at a folder runs off this thread and answers here
    void buildDriveTree();
    // A level-0 row for root (a path ending in "/") after the others, unless one names it.
    void appendRootRow(const QString &root);
    // The removable drives that answered, after the other roots; then the start folder when it
    // waited for them.
    void onDrivesAnswered(const QStringList &asked, const QStringList &answering);
    // Asks for the sub-folders of row's folder, unless they are asked for already.
    void requestExpansion(int row);
    void onFolderListed(const QString &folder, const QVariant &value);
    void onFolderNotListedInTime(const QString &folder);
    // The answer for row, whose folder is folder.
    void fillFolder(int row, const QString &folder, const QVector<FolderListing::Entry> &entries);
    // A link or mount point shown below an opened folder turned out to be kind; applied with the
    // others that came in the same turn (applyEntryKinds).
    void onEntryKnown(const QString &path, const QVariant &kind);
    void applyEntryKinds();
    // Calls visit(row, folder of the row) for every row, in row order.
    void walkRowPaths(const std::function<void(int, const QString &)> &visit) const;
    // The rows whose folder is path (the Desktop may show twice), in row order.
    QVector<int> rowsOfPath(const QString &path) const;
    void removeTreeRows(int first, int count);
    void collapseFolder(int row);
    // Mode 0's start: the remembered folder once it answers, else the first row.
    void listVideoFilesAfterCd();
    void startOnFirstRow();
    // Opens the tree down to folder, one answer at a time, and selects its row.
    void revealFolder(const QString &folder);
    void continueReveal();
    int childRowNamed(int parentRow, const QString &name) const;
    // Appends a closed folder row of level named name, with its arrow.
    void fillTreeItem(const QString &name, int level);
    // A folder row of level, not yet open.
    std::unique_ptr<FileListItem> treeItem(const QString &name, bool withArrow, int level) const;
    void markSelected(int row);
    int levelOf(int row) const;
    bool isDesktopRow(int row) const;

    // file table and path line (filedialog.cpp)
    void setupTables();
    void showFolder(const QString &folder);
    // Empties the table, then lists the current folder's videos once they come.
    void listVideoFiles();
    void askVideos(const QString &folder);
    void onVideosListed(const QString &folder, const QVariant &value);
    void onVideosNotListedInTime(const QString &folder);
    void fillVideoTable(const QVector<FileDialogFiles::Row> &rows);
    void restyleHeaderMask(int widthPx);

    std::unique_ptr<Ui::FileDialog_C> ui;
    FileListView_C *tree; // owned by the form

    QString currentPath;
    QString desktopPath; // the Desktop location, without a trailing "/"
    bool hasDesktopRow = false;
    DriveProbe *drives;               // a child; asks the removable drives once, at construction
    DriveProbe *folderReads;          // children: sub-folders of opened folders,
    DriveProbe *entryReads;           // what links and mount points among them are,
    DriveProbe *videoReads;           // and the videos of the current or start folder
    QStringList driveRoots;           // the removable roots asked, each ending in "/"
    QStringList answeringDrives;      // those that answered in time
    bool startWaitsForDrives = false; // mode 0's remembered folder lies on a drive not answered
    QString startFolder;              // mode 0's remembered folder, until its videos come
    QString revealedFolder;           // the folder the tree is being opened down to
    QVector<QPair<QString, FolderListing::Kind>> pendingKinds; // onEntryKnown's, not yet applied
    bool videosPending = false; // the current folder's videos have not come yet
    QStringList selectedNames;
    QString selectionText;
    QList<QUrl> resultUrls;
    bool suppressNextClick = false;
    int selectedRow = -1;
    int mode = OpenFiles;
    bool closing = false; // a result has been emitted; close() must not emit another

    QString expandedArrowImage;
    QString collapsedArrowImage;
    QString folderImage;
    QString openFolderImage;

    QLabel *headerMask; // owned by the layout
    int headerAreaWidth = 627;
    int spareWidth = 0;
    int scrolledRoom = 0;
    int scrolledColumnWidth = 0;
    bool atRightEnd = false;
};
