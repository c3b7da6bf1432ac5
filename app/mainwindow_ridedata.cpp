// Calendar (ride-data) mode of the main window: the ride-data page in the page area, the map
// lent to it, the shared dialog's ride-data pages and the settings that reach the page.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formdialog.h"
#include "formmap.h"
#include "formplaybak.h"
#include "resizewatcher.h"
#include "ui_mainwindow.h"

#include <QLayout>
#include <QMessageBox>

FormPlaybak *MainWindow::ridePage()
{
    if (!ridePage_)
        initRideDataPage();
    return ridePage_;
}

void MainWindow::initRideDataPage()
{
    // built on first use: the window starts in player mode
    ridePage_ = new FormPlaybak;
    ui->widgetPlaybackArea->layout()->addWidget(ridePage_);
    new ResizeWatcher(ui->widgetPlaybackArea, [this] { refreshRidePageSize(); });
    // main window -> page
    connect(this, &MainWindow::autoCheckMetadataTriggerd, ridePage_,
            &FormPlaybak::setMetadataDefault);
    connect(this, &MainWindow::clearPlaybackDataAll, ridePage_,
            &FormPlaybak::onClearPlaybackDataAll);
    connect(this, &MainWindow::styleApplied, ridePage_, &FormPlaybak::applyStyle);
    connect(this, &MainWindow::languageApplied, ridePage_, &FormPlaybak::applyLanguage);
    // page -> main window: the shared dialog's ride-data pages
    connect(ridePage_, &FormPlaybak::downloadDialogTirggerd, this,
            &MainWindow::onDownloadMetadataWarning);
    connect(ridePage_, &FormPlaybak::selectedSourceFolderDialogTirggerd, this,
            &MainWindow::onSelectedMetadataFolderWarning);
    connect(ridePage_, &FormPlaybak::metadataCopyFailed, this, &MainWindow::onMetadataCopyFailed);
    applyRideDataSettings();
}

void MainWindow::wireRideData()
{
    connect(ui->actionDelete_Ride_Data, &QAction::triggered, this,
            &MainWindow::onDeleterMetadataFilesWarning);
    // the clip's track, drawn again when the map comes back from the page
    connect(mainDashcam(), &Dashcam::MediaChanged, this,
            [this](QVector<VideoInfo_t> &samples) { clipSamples_ = samples; });
}

void MainWindow::applyRideDataSettings()
{
    if (!ridePage_)
        return;
    ridePage_->setDateFormat(gDateFormat);
    ridePage_->setUnitSystem(currentSpeedUnit());
}

void MainWindow::refreshRidePageSize()
{
    if (gMode == 1 && ridePage_)
        ridePage_->setPageSize(ui->widgetPlaybackArea->width(), ui->widgetPlaybackArea->height());
}

void MainWindow::enterRideDataMode()
{
    rideModeShown_ = true;
    if (map_) {
        // the page sizes the map: no fixed size or rounded mask of the map area
        map_->setMinimumSize(0, 0);
        map_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        map_->clearMask();
        ridePage()->setMapWidget(map_);
        clipTrackPending_ = true;
    }
    refreshRidePageSize();
    // nothing plays behind the page
    mainDashcam()->pause();
    secondDashcam()->pause();
    enablePlayerKeys(false);
}

void MainWindow::leaveRideDataMode()
{
    if (!rideModeShown_)
        return;
    rideModeShown_ = false;
    ridePage_->changeMapMode();
    // a ride never moves the arrow in player mode
    ridePage_->stopRidePlayback();
}

void MainWindow::finishLeavingRideDataMode()
{
    // clearMapAll() has emptied the map: the paused clip's own track comes back
    if (clipTrackPending_ && !clipSamples_.isEmpty() && !mainDashcam()->getMediaPath().isEmpty()) {
        map_->setData(clipSamples_);
        const int second = int(mainDashcam()->positionMs() / 1000);
        if (second >= 0 && second < clipSamples_.size())
            map_->infoChanged(clipSamples_.at(second), true);
    }
    clipTrackPending_ = false;
    onGrabKeyboard();
}

void MainWindow::onDownloadMetadataWarning()
{
    dialog_->showDownloadMetadata();
    // the dialog is shared: one connection however often the page asks
    connect(dialog_, &FormDialog::downloadOkTriggered, ridePage_, &FormPlaybak::setMetadataDefault,
            Qt::UniqueConnection);
    showDialog();
}

void MainWindow::onSelectedMetadataFolderWarning()
{
    dialog_->showSelectMetadataFolder();
    connect(dialog_, &FormDialog::selectedSourceOkTriggered, ridePage_,
            &FormPlaybak::onFileOpenDialog, Qt::UniqueConnection);
    showDialog();
}

void MainWindow::onDeleterMetadataFilesWarning()
{
    dialog_->showDeleteMetadataFile();
    showDialog();
}

void MainWindow::onMetadataCopyFailed(const QString &message)
{
    auto *box =
        new QMessageBox(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
