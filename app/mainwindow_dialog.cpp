// Main window and the shared dialog: the one instance, the pages the window opens and the
// window's answers to the dialog's buttons.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "exportcontroller.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "formplaybak.h"
#include "ridedatafolder.h"
#include "ridelog.h"

#include <QDir>

void MainWindow::wireDialog()
{
    // no parent: a window of its own, deleted by the main window's destructor
    dialog_ = new FormDialog;

    // dialog -> main window
    connect(dialog_, &FormDialog::completeFinished, this, &MainWindow::onEditorComplete);
    connect(dialog_, &FormDialog::edit_cancel, this, &MainWindow::onEditCancel);
    connect(dialog_, &FormDialog::deleteMetadataFileOkTriggered, this,
            &MainWindow::onDeleteMetadata);
    connect(dialog_, &FormDialog::closed, this, &MainWindow::onGrabKeyboard);
    connect(this, &MainWindow::languageApplied, dialog_, &FormDialog::applyLanguage);

    // play bar -> dialog
    connect(control_, &FormControl::edit_cancel, this, [this] {
        dialog_->showLeaveWarning();
        showDialog();
    });
    connect(control_, &FormControl::edit_warning, this, [this] {
        dialog_->showCutWarning();
        showDialog();
    });
    dialog_->applyLanguage();
}

void MainWindow::showDialog()
{
    dialog_->applyStyle(gStyle);
    dialog_->show();
}

void MainWindow::onEditOK()
{
    mainDashcam()->pause();
    secondDashcam()->pause();
    dialog_->initOutputSetting(gDisplayMode == 1, list_->isCurrentGroup());
    dialog_->setExportInputs(exportController_->inputFiles());
    dialog_->applyStyle(gStyle);
    dialog_->show();
    connect(dialog_, &FormDialog::mediaFileTriggered, mainDashcam(), &Dashcam::setMedia,
            Qt::UniqueConnection);
}

void MainWindow::onEditorComplete()
{
    onViewSliderCheanged(OP_Play);
    refreshWidgetSize(width(), height());
    if (gDisplayMode == 1)
        onDisplayModeChange();
}

void MainWindow::onEditCancel()
{
    onViewSliderCheanged(OP_Play);
}

void MainWindow::onDeleteMetadata()
{
    // a running copy would bring the rides back
    if (ridePage_)
        ridePage_->stopCopy();
    QDir folder(RideDataFolder::folderPath());
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : files) {
        if (!folder.remove(name))
            qCDebug(lcRideData) << "MainWindow: cannot delete ride file" << folder.filePath(name);
    }
    if (ridePage_) // a page not built yet reads the folder when it is
        ridePage_->initCalendarParameter();
}

void MainWindow::onCheckShare()
{
    if (!shareIsSetUp())
        return;
    if (!gSupportPromptHidden && gDisplayMode == 1)
        onNotSupportSharePromptDialog();
    else
        onShare();
}

void MainWindow::onCut()
{
    onViewSliderCheanged(OP_Edit);
}

void MainWindow::onNotSupportEditPromptDialog()
{
    dialog_->showSupportPrompt(true);
    disconnect(dialog_, &FormDialog::clickSupportPrompt, this, nullptr);
    connect(dialog_, &FormDialog::clickSupportPrompt, this, &MainWindow::onCut);
    showDialog();
}

void MainWindow::onNotSupportSharePromptDialog()
{
    dialog_->showSupportPrompt(false);
    disconnect(dialog_, &FormDialog::clickSupportPrompt, this, nullptr);
    connect(dialog_, &FormDialog::clickSupportPrompt, this, &MainWindow::onShare);
    showDialog();
}

void MainWindow::onUpdateZqPlayer(const QString &version)
{
    dialog_->showUpdate(version);
    showDialog();
}
