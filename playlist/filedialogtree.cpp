// Folder tree of the chooser: root rows, row paths, selection, expansion and the start folder.
#include "filedialog.h"

#include "ui_filedialog.h"

#include "appglobals.h"
#include "driveprobe.h"
#include "filedialogpaintpause.h"
#include "foldertreemodel.h"
#include "foldertreepaths.h"
#include "foldertreeview.h"
#include "removabledrives.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr int indentPerLevelPx = 32;
const QString selectState = QStringLiteral("Select");

// Folders of the program's own plugins, never offered in the tree.
const QStringList &pluginFolderNames()
{
    static const QStringList names{
        QStringLiteral("bearer"),       QStringLiteral("iconengines"),
        QStringLiteral("imageformats"), QStringLiteral("platforminputcontexts"),
        QStringLiteral("platforms"),    QStringLiteral("position"),
        QStringLiteral("printsupport"), QStringLiteral("qmltooling"),
        QStringLiteral("resources"),    QStringLiteral("scenegraph"),
        QStringLiteral("translations")};
    return names;
}

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
    if (hasDesktopRow) {
        auto desktop = std::make_unique<FileListItem>();
        desktop->name = gLangFileDialog.value(textDesktop);
        desktop->expanderImage = collapsedArrowImage;
        fillTreeItem(std::move(desktop), 0);
    }

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
    auto item = std::make_unique<FileListItem>();
    item->name = root;
    item->expanderImage = collapsedArrowImage;
    fillTreeItem(std::move(item), 0);
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

void FileDialog_C::fillTreeItem(std::unique_ptr<FileListItem> item, int level)
{
    item->folderIcon = folderImage;
    item->indent = level * indentPerLevelPx;
    tree->appendItem(std::move(item));
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
    startWaitsForDrives = false; // a folder chosen before the drives answered stays chosen
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
            FileDialogPaintPause pause{tree};
            expandFolder(treeItemPath(row, levelOf(row)), row + 1, levelOf(row) + 1);
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
    if (selectedRow > last)
        selectedRow -= last - row;
    {
        FileDialogPaintPause pause{tree};
        for (int removed = last; removed > row; --removed)
            tree->removeRow(removed);
    }
    if (selectedInside) {
        // the selected folder went out of sight: its parent takes over
        selectedRow = -1;
        suppressNextClick = false;
        diskDirList_itemClicked(row);
    }
}

void FileDialog_C::expandFolder(const QString &folder, int row, int level)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                             QDir::Name | QDir::IgnoreCase);
    const int selectedBefore = selectedRow;
    int inserted = 0;
    // back to front, each at row, so the rows end up in listing order
    for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry) {
        const QString name = entry->fileName();
        if (pluginFolderNames().contains(name) || !entry->exists() || !entry->isDir())
            continue;
        auto item = std::make_unique<FileListItem>();
        item->name = name;
        item->expanderImage =
            hasSubDirectories(entry->absoluteFilePath()) ? collapsedArrowImage : QString();
        if (selectedBefore >= row)
            ++selectedRow;
        if (tree->count() > row) {
            item->folderIcon = folderImage;
            item->indent = level * indentPerLevelPx;
            tree->insertItem(row, std::move(item));
        } else {
            fillTreeItem(std::move(item), level);
        }
        ++inserted;
    }
    FileListItem *parent = tree->itemAt(row - 1);
    if (!parent)
        return;
    if (inserted > 0) {
        parent->expanderImage = expandedArrowImage;
        parent->folderIcon = openFolderImage;
    } else if (parent->expanderImage == collapsedArrowImage) {
        parent->expanderImage.clear();
    }
}

bool FileDialog_C::hasSubDirectories(const QString &path)
{
    QDirIterator entries(path, QDir::Dirs | QDir::NoDotAndDotDot);
    return entries.hasNext();
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

int FileDialog_C::expandToPath(const QString &path)
{
    QStringList rootPaths;
    QVector<int> rootRows;
    for (int row = 0; row < tree->count(); ++row) {
        if (levelOf(row) != 0)
            continue;
        rootRows << row;
        rootPaths << withSlash(isDesktopRow(row) ? desktopPath : tree->itemAt(row)->name);
    }
    const FolderTreePaths::Location location = FolderTreePaths::locate(rootPaths, path);
    if (location.root < 0) {
        markSelected(-1);
        return -1;
    }
    int row = rootRows.at(location.root);
    for (const QString &component : location.components) {
        if (tree->itemAt(row)->expanderImage == collapsedArrowImage)
            expandFolder(treeItemPath(row, levelOf(row)), row + 1, levelOf(row) + 1);
        row = childRowNamed(row, component);
        if (row < 0) {
            // hidden or skipped folder: the tree cannot show it, so nothing is marked
            markSelected(-1);
            return -1;
        }
    }
    markSelected(row);
    tree->scrollTo(tree->treeModel()->index(row));
    return row;
}

void FileDialog_C::listVideoFilesAfterCd()
{
    FileDialogPaintPause pause{tree};
    const QString remembered = gFileDialogPath;
    // a folder on a removable drive is looked at only once the drive has answered
    const int drive = FolderTreePaths::locate(driveRoots, remembered).root;
    startWaitsForDrives = drive >= 0 && drives->isAsking();
    if (startWaitsForDrives)
        return;
    const bool driveAbsent = drive >= 0 && !answeringDrives.contains(driveRoots.at(drive));
    if (remembered.isEmpty() || driveAbsent || !QFileInfo(remembered).isDir()) {
        // row 0: the Desktop when it exists, else the first root
        suppressNextClick = false;
        diskDirList_itemClicked(0);
        return;
    }
    const int row = expandToPath(remembered);
    showFolder(row >= 0 ? treeItemPath(row, levelOf(row)) : QDir::cleanPath(remembered));
    listVideoFiles();
}
