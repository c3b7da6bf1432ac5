// The ride-data folder of the page: the card search and copy on entering the mode, the folder
// button, the folder chooser and the reset after the files were deleted.
#include "formplaybak.h"

#include "appglobals.h"
#include "driveprobe.h"
#include "filedialog.h"
#include "formcalendarview.h"
#include "formfiledatelistview.h"
#include "removabledrives.h"
#include "ridecopyreport.h"
#include "ridedatafolder.h"
#include "ridesummarycache.h"
#include "workerpool.h"

#include <QDir>

void FormPlaybak::setMetadataDefault()
{
    if (!QDir(RideDataFolder::folderPath()).exists())
        QDir::current().mkdir(RideDataFolder::folderName);
    // the rides already copied show at once; the calendar fills again when the copy ends
    markCalendar();
    askForCards(entryCardCheck);
}

void FormPlaybak::onEntryCardCheckAnswered(const QStringList &roots, const QStringList &cardRoots)
{
    onCopyMetadata(onCheckMetadata(roots, cardRoots));
}

void FormPlaybak::markCalendar()
{
    const QStringList rides = rideListing();
    if (rides.isEmpty())
        return;
    calendar()->clearMarks();
    calendar()->setDataDays(rides);
}

bool FormPlaybak::isCheckingCards() const
{
    return entryCardCheck->isAsking() || buttonCardCheck->isAsking();
}

void FormPlaybak::askForCards(DriveProbe *probe)
{
    probe->ask(RemovableDrives::removableRootsForSearch(), &RideDataFolder::holdsCardFolder);
}

int FormPlaybak::onCheckMetadata(const QStringList &roots, const QStringList &cardRoots)
{
    if (roots.isEmpty())
        return 0;
    const RideDataFolder::CardSearch search = RideDataFolder::cardSearchOf(cardRoots);
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
    if (copyWatcher) {
        nextCopySource = source;
        return;
    }
    copyWatcher = new QFutureWatcher<RideDataFolder::CopyResult>(this);
    connect(copyWatcher, &QFutureWatcherBase::finished, this, &FormPlaybak::onCopyFinished);
    // on the drives' pool, where a copy stuck on a card holds one thread of several
    copyWatcher->setFuture(
        WorkerPool::drives().run([source, target = RideDataFolder::folderPath(), stop = copyStop] {
            return RideDataFolder::copyFolder(source, target, false, stop.get());
        }));
}

void FormPlaybak::stopCopy()
{
    // so is a copy asked for whose card check has not answered yet
    entryCardCheck->dropAnswers();
    nextCopySource.clear();
    copyStop->now();
    // forgotten, not waited for: its result no longer matters
    delete copyWatcher;
    copyWatcher = nullptr;
    copyStop = std::make_shared<RideDataFolder::CopyStop>(); // for the next copy
}

void FormPlaybak::onCopyFinished()
{
    const QFuture<RideDataFolder::CopyResult> copy = copyWatcher->future();
    copyWatcher->deleteLater();
    copyWatcher = nullptr;
    markCalendar();
    if (copy.isCanceled())
        emit metadataCopyFailed(RideCopyReport::notStartedText());
    else if (!copy.result().ok())
        emit metadataCopyFailed(RideCopyReport::failureText(copy.result().failed));
    if (!nextCopySource.isEmpty())
        startCopy(std::exchange(nextCopySource, QString()));
}

void FormPlaybak::onUpdateMetadata()
{
    askForCards(buttonCardCheck);
}

void FormPlaybak::onButtonCardCheckAnswered(const QStringList &roots, const QStringList &cardRoots)
{
    if (onCheckMetadata(roots, cardRoots) == 1)
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
