// The ride-data folder of the page: the card search and copy on entering the mode, the folder
// button, the folder chooser and the reset after the files were deleted.
#include "formplaybak.h"

#include "appglobals.h"
#include "filedialog.h"
#include "formcalendarview.h"
#include "formfiledatelistview.h"
#include "removabledrives.h"
#include "ridecopyreport.h"
#include "ridedatafolder.h"
#include "ridesummarycache.h"

#include <QDir>
#include <QtConcurrent>

void FormPlaybak::setMetadataDefault()
{
    if (!QDir(RideDataFolder::folderPath()).exists())
        QDir::current().mkdir(RideDataFolder::folderName);
    // the rides already copied show at once; the calendar fills again when the copy ends
    markCalendar();
    onCopyMetadata(onCheckMetadata());
}

void FormPlaybak::markCalendar()
{
    const QStringList rides = rideListing();
    if (rides.isEmpty())
        return;
    calendar()->clearMarks();
    calendar()->setDataDays(rides);
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
    startCopy(srcFolder);
}

void FormPlaybak::startCopy(const QString &source)
{
    if (copying_) {
        nextCopySource = source;
        return;
    }
    copying_ = true;
    copyWatcher.setFuture(
        QtConcurrent::run([source, target = RideDataFolder::folderPath(), cancel = copyCancel] {
            return RideDataFolder::copyFolder(source, target, false, cancel.get());
        }));
}

void FormPlaybak::stopCopy()
{
    nextCopySource.clear();
    copyCancel->store(true);
    copyWatcher.waitForFinished();
    copyCancel = std::make_shared<std::atomic_bool>(false); // for the next copy
}

void FormPlaybak::onCopyFinished()
{
    copying_ = false;
    const RideDataFolder::CopyResult result = copyWatcher.result();
    markCalendar();
    if (!result.ok())
        emit metadataCopyFailed(RideCopyReport::failureText(result.failed));
    if (!nextCopySource.isEmpty())
        startCopy(std::exchange(nextCopySource, QString()));
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
}

void FormPlaybak::initCalendarParameter()
{
    calendar()->resetCalendar();
    summaryCache_->clear();
    // the listed rides are gone: empty the list and stop a playing one
    fileList()->setFileList({});
    stopRidePlayback();
}
