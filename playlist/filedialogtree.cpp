// Folder tree of the chooser: root rows, row paths, selection, expansion and the start folder.
#include "filedialog.h"

#include "ui_filedialog.h"

#include "appglobals.h"
#include "driveprobe.h"
#include "filedialogpaintpause.h"
#include "folderlisting.h"
#include "foldertreemodel.h"
#include "foldertreepaths.h"
#include "foldertreeview.h"
#include "removabledrives.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {

constexpr int indentPerLevelPx = 32;
const QString selectState = QStringLiteral("Select");

QString withSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

int FileDialog_C::levelOf(int row) const
{
    const FileListItem *item = tree->itemAt(row);
    return item ? item->indent / indentPerLevelPx : -1;
}

bool FileDialog_C::isDesktopRow(int row) const
{
    return hasDesktopRow && row == 0;
}

void FileDialog_C::buildDriveTree()
{
    FileDialogPaintPause pause{tree};
    desktopPath =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    hasDesktopRow = !desktopPath.isEmpty() && QFileInfo(desktopPath).isDir();
    if (hasDesktopRow)
        fillTreeItem(gLangFileDialog.value(textDesktop), 0);

    for (const QString &root : {withSlash(QDir::homePath()), QStringLiteral("/")}) {
        if (!QFileInfo(root).isDir())
            continue;
        appendRootRow(root);
        if (currentPath.isEmpty()) {
            // the first root is where the folder modes start
            selectedRow = tree->count() - 1;
            tree->itemAt(selectedRow)->state = selectState;
            currentPath = root;
        }
    }
    // the removable drives follow once they answer: a card that hangs must not hold the window
    for (const QString &root : RemovableDrives::removableRootsForSearch())
        driveRoots << withSlash(root);
    drives->ask(driveRoots, &DriveProbe::isFolder);
}

void FileDialog_C::appendRootRow(const QString &root)
{
    for (int row = 0; row < tree->count(); ++row) {
        if (levelOf(row) == 0 && !isDesktopRow(row) && tree->itemAt(row)->name == root)
            return;
    }
    fillTreeItem(root, 0);
}

void FileDialog_C::onDrivesAnswered(const QStringList &, const QStringList &answering)
{
    answeringDrives = answering;
    {
        FileDialogPaintPause pause{tree};
        for (const QString &root : answering)
            appendRootRow(root);
    }
    if (std::exchange(startWaitsForDrives, false))
        listVideoFilesAfterCd();
}

std::unique_ptr<FileListItem> FileDialog_C::treeItem(const QString &name, bool withArrow,
                                                     int level) const
{
    auto item = std::make_unique<FileListItem>();
    item->name = name;
    item->expanderImage = withArrow ? collapsedArrowImage : QString();
    item->folderIcon = folderImage;
    item->indent = level * indentPerLevelPx;
    return item;
}

void FileDialog_C::fillTreeItem(const QString &name, int level)
{
    tree->appendItem(treeItem(name, true, level));
}

QString FileDialog_C::treeItemPath(int row, int level) const
{
    const FileListItem *item = tree->itemAt(row);
    if (!item)
        return QString();
    QString result = isDesktopRow(row) ? desktopPath : item->name;
    int sought = level;
    for (int above = row - 1; above >= 0 && sought > 0; --above) {
        const int aboveLevel = levelOf(above);
        if (aboveLevel >= sought)
            continue;
        sought = aboveLevel;
        const QString &name = tree->itemAt(above)->name;
        if (isDesktopRow(above))
            result = desktopPath + QLatin1Char('/') + result;
        else if (aboveLevel == 0)
            result = withSlash(name) + result;
        else
            result = name + QLatin1Char('/') + result;
    }
    return result;
}

void FileDialog_C::markSelected(int row)
{
    if (FileListItem *old = tree->itemAt(selectedRow))
        old->state.clear();
    FileListItem *item = tree->itemAt(row);
    selectedRow = item ? row : -1;
    if (item)
        item->state = selectState;
    tree->viewport()->update();
}

void FileDialog_C::abstractItemView_clicked(const QModelIndex &index)
{
    diskDirList_itemClicked(index.row());
}

void FileDialog_C::diskDirList_itemClicked(int row)
{
    if (suppressNextClick) {
        suppressNextClick = false;
        return;
    }
    if (!tree->itemAt(row))
        return;
    // a folder chosen before the start folder was found stays chosen
    startWaitsForDrives = false;
    startFolder.clear();
    revealedFolder.clear();
    FileDialogPaintPause pause{ui->diskFileList, tree};
    markSelected(row);
    showFolder(treeItemPath(row, levelOf(row)));
    gFileDialogPath = currentPath;
    if (mode == OpenFiles)
        listVideoFiles();
    else
        ui->chooseFileName->setText(QLatin1Char('"') + currentPath + QLatin1Char('"'));
}

void FileDialog_C::displayDirClicked(const QModelIndex &index)
{
    const int row = index.row();
    if (FileListItem *item = tree->itemAt(row)) {
        if (item->expanderImage == expandedArrowImage) {
            collapseFolder(row);
        } else if (item->expanderImage == collapsedArrowImage) {
            revealedFolder.clear(); // the user opens the tree now
            requestExpansion(row);
        }
    }
    // the view's clicked() that ends this press must not select the row
    suppressNextClick = true;
}

void FileDialog_C::collapseFolder(int row)
{
    FileListItem *item = tree->itemAt(row);
    const int level = levelOf(row);
    int last = row;
    while (levelOf(last + 1) > level)
        ++last;
    if (last == row)
        return;
    item->expanderImage = collapsedArrowImage;
    item->folderIcon = folderImage;
    const bool selectedInside = selectedRow > row && selectedRow <= last;
    {
        FileDialogPaintPause pause{tree};
        removeTreeRows(row + 1, last - row);
    }
    if (selectedInside) {
        // the selected folder went out of sight: its parent takes over
        selectedRow = -1;
        suppressNextClick = false;
        diskDirList_itemClicked(row);
    }
}

void FileDialog_C::requestExpansion(int row)
{
    FileListItem *item = tree->itemAt(row);
    if (!item || item->awaitingListing)
        return;
    item->awaitingListing = true;
    folderReads->read(treeItemPath(row, levelOf(row)), [](const QString &folder) {
        return QVariant::fromValue(FolderListing::entries(folder, FolderListing::mountPoints()));
    });
}

void FileDialog_C::onFolderListed(const QString &folder, const QVariant &value)
{
    const auto entries = value.value<QVector<FolderListing::Entry>>();
    {
        FileDialogPaintPause pause{tree};
        const QVector<int> rows = rowsOfPath(folder);
        // from the last, so that the rows filled in do not move those still to fill
        for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
            if (tree->itemAt(*row)->awaitingListing)
                fillFolder(*row, folder, entries);
        }
    }
    continueReveal();
}

void FileDialog_C::onFolderNotListedInTime(const QString &folder)
{
    // shown as an empty folder until its answer comes
    for (int row : rowsOfPath(folder)) {
        FileListItem *item = tree->itemAt(row);
        if (item->awaitingListing && item->expanderImage == collapsedArrowImage)
            item->expanderImage.clear();
    }
    tree->viewport()->update();
    continueReveal();
}

void FileDialog_C::fillFolder(int row, const QString &folder,
                              const QVector<FolderListing::Entry> &entries)
{
    FileListItem *parent = tree->itemAt(row);
    parent->awaitingListing = false;
    const int level = levelOf(row) + 1;
    const QString prefix = withSlash(folder);
    std::vector<std::unique_ptr<FileListItem>> rows;
    rows.reserve(size_t(entries.size()));
    for (const FolderListing::Entry &entry : entries) {
        rows.push_back(treeItem(entry.name, entry.hasSubfolders, level));
        if (entry.separate) {
            const auto kind = [](const QString &path) {
                return QVariant::fromValue(FolderListing::kindOf(path));
            };
            entryReads->read(prefix + entry.name, kind, DriveProbe::answerBoundMs, entry.place);
        }
    }
    if (selectedRow > row)
        selectedRow += int(rows.size());
    // all at once right below the folder, in listing order
    tree->insertItems(row + 1, std::move(rows));
    if (!entries.isEmpty()) {
        parent->expanderImage = expandedArrowImage;
        parent->folderIcon = openFolderImage;
    } else if (parent->expanderImage == collapsedArrowImage) {
        parent->expanderImage.clear();
    }
}

void FileDialog_C::onEntryKnown(const QString &path, const QVariant &value)
{
    pendingKinds.append({path, value.value<FolderListing::Kind>()});
    // the answers delivered in this turn come first, then they are applied together
    if (pendingKinds.size() == 1)
        QMetaObject::invokeMethod(this, &FileDialog_C::applyEntryKinds, Qt::QueuedConnection);
}

void FileDialog_C::applyEntryKinds()
{
    const auto kinds = std::exchange(pendingKinds, {});
    QHash<QString, QVector<int>> rowsByPath;
    walkRowPaths([&rowsByPath](int row, const QString &path) { rowsByPath[path] << row; });
    QVector<int> notFolders;
    for (const auto &known : kinds) {
        for (int row : rowsByPath.value(known.first)) {
            FileListItem *item = tree->itemAt(row);
            // a root row of the same folder (the Desktop) was shown without asking
            if (levelOf(row) == 0 || !item->expanderImage.isEmpty() || item->awaitingListing)
                continue;
            if (known.second == FolderListing::Kind::NotFolder)
                notFolders << row;
            else if (known.second == FolderListing::Kind::WithSubfolders)
                item->expanderImage = collapsedArrowImage;
        }
    }
    std::sort(notFolders.begin(), notFolders.end());
    notFolders.erase(std::unique(notFolders.begin(), notFolders.end()), notFolders.end());
    FileDialogPaintPause pause{tree};
    // from the last, a run of neighbours at a time, so that the rows still to go stay where they
    // are
    for (int end = notFolders.size(); end > 0;) {
        int start = end - 1;
        while (start > 0 && notFolders.at(start - 1) == notFolders.at(start) - 1)
            --start;
        removeTreeRows(notFolders.at(start), end - start);
        end = start;
    }
}

void FileDialog_C::walkRowPaths(const std::function<void(int, const QString &)> &visit) const
{
    QStringList pathAtLevel; // of the last row seen at each level above the current row
    for (int row = 0; row < tree->count(); ++row) {
        const int level = levelOf(row);
        pathAtLevel.erase(pathAtLevel.begin() + std::min(level, int(pathAtLevel.size())),
                          pathAtLevel.end());
        const QString &name = tree->itemAt(row)->name;
        const QString rowPath = level == 0 ? (isDesktopRow(row) ? desktopPath : name)
                                           : withSlash(pathAtLevel.value(level - 1)) + name;
        pathAtLevel << rowPath;
        visit(row, rowPath);
    }
}

QVector<int> FileDialog_C::rowsOfPath(const QString &path) const
{
    QVector<int> rows;
    walkRowPaths([&rows, &path](int row, const QString &rowPath) {
        if (rowPath == path)
            rows << row;
    });
    return rows;
}

void FileDialog_C::removeTreeRows(int first, int count)
{
    if (selectedRow >= first + count)
        selectedRow -= count;
    else if (selectedRow >= first)
        selectedRow = -1;
    tree->removeRows(first, count);
}

int FileDialog_C::childRowNamed(int parentRow, const QString &name) const
{
    const int childLevel = levelOf(parentRow) + 1;
    for (int row = parentRow + 1; levelOf(row) >= childLevel; ++row) {
        if (levelOf(row) == childLevel && tree->itemAt(row)->name == name)
            return row;
    }
    return -1;
}

void FileDialog_C::revealFolder(const QString &folder)
{
    revealedFolder = folder;
    continueReveal();
}

void FileDialog_C::continueReveal()
{
    if (revealedFolder.isEmpty())
        return;
    QStringList rootPaths;
    QVector<int> rootRows;
    for (int row = 0; row < tree->count(); ++row) {
        if (levelOf(row) != 0)
            continue;
        rootRows << row;
        rootPaths << withSlash(isDesktopRow(row) ? desktopPath : tree->itemAt(row)->name);
    }
    const FolderTreePaths::Location location = FolderTreePaths::locate(rootPaths, revealedFolder);
    int row = location.root < 0 ? -1 : rootRows.at(location.root);
    for (const QString &component : location.components) {
        if (row < 0)
            break;
        if (tree->itemAt(row)->expanderImage == collapsedArrowImage) {
            requestExpansion(row);
            return; // on with the folder's answer
        }
        // hidden or skipped folders, and those that did not answer, have no row
        row = childRowNamed(row, component);
    }
    revealedFolder.clear();
    markSelected(row);
    if (row < 0)
        return;
    tree->scrollTo(tree->treeModel()->index(row));
    showFolder(treeItemPath(row, levelOf(row)));
}

void FileDialog_C::listVideoFilesAfterCd()
{
    startFolder.clear();
    revealedFolder.clear();
    const QString remembered = gFileDialogPath;
    // a folder on a removable drive is looked at only once the drive has answered
    const int drive = FolderTreePaths::locate(driveRoots, remembered).root;
    startWaitsForDrives = drive >= 0 && drives->isAsking();
    if (startWaitsForDrives)
        return;
    const bool driveAbsent = drive >= 0 && !answeringDrives.contains(driveRoots.at(drive));
    if (remembered.isEmpty() || driveAbsent) {
        startOnFirstRow();
        return;
    }
    startFolder = remembered;
    askVideos(remembered);
}

void FileDialog_C::startOnFirstRow()
{
    // row 0: the Desktop when it exists, else the first root
    suppressNextClick = false;
    diskDirList_itemClicked(0);
}
