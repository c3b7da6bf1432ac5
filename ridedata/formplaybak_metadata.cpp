// The ride-data folder of the page: the card search and copy on entering the mode, the folder
// button, the folder chooser and the reset after the files were deleted.
#include "formplaybak.h"

#include "appglobals.h"
#include "filedialog.h"
#include "formcalendarview.h"
#include "formfiledatelistview.h"
#include "removabledrives.h"
#include "ridedatafolder.h"

#include <QDir>

void FormPlaybak::setMetadataDefault()
{
    metadataFolder = RideDataFolder::folderPath();
    if (!QDir(metadataFolder).exists())
        QDir::current().mkdir(RideDataFolder::folderName);
    onCopyMetadata(onCheckMetadata());
    markCalendar();
}

void FormPlaybak::markCalendar()
{
    const QStringList listing = folderListing();
    if (!RideDataFolder::hasRideFile(listing))
        return;
    calendar()->clearMarks();
    calendar()->setDataDays(listing);
}

int FormPlaybak::onCheckMetadata()
{
    const QStringList roots = RemovableDrives::removableRootsForSearch();
    if (roots.isEmpty())
        return 0;
    const RideDataFolder::CardSearch search = RideDataFolder::findCardFolders(roots);
    srcFolder = search.found;
    return search.count;
}

void FormPlaybak::onCopyMetadata(int diskCount)
{
    // with no card or with two cards it is unclear what to copy
    if (diskCount != 1)
        return;
    const RideDataFolder::CopyResult result =
        RideDataFolder::copyFolder(srcFolder, RideDataFolder::folderPath(), false);
    if (!result.ok())
        emit metadataCopyFailed(result.failed);
}

void FormPlaybak::onUpdateMetadata()
{
    if (onCheckMetadata() == 1)
        emit downloadDialogTirggerd();
    else
        emit selectedSourceFolderDialogTirggerd();
}

void FormPlaybak::onFileOpenDialog()
{
    fileDialog = new FileDialog_C;
    fileDialog->applyStyle(gStyle);
    connect(fileDialog, &FileDialog_C::openFolderName, this, &FormPlaybak::onGetFolderName);
    fileDialog->setAttribute(Qt::WA_DeleteOnClose);
    fileDialog->setMode(2);
    fileDialog->show();
}

void FormPlaybak::onGetFolderName(QString folderPath)
{
    if (folderPath.isEmpty())
        return;
    srcFolder = folderPath;
    onCopyMetadata(1);
    markCalendar();
}

void FormPlaybak::initCalendarParameter()
{
    calendar()->resetCalendar();
    // the listed rides are gone: empty the list and stop a playing one
    fileList()->setFileList({});
    stopRidePlayback();
}
