// The play list in the main window: files from the list to the players, rows and marks back.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "filedialog.h"
#include "formcontrol.h"
#include "formlist.h"
#include "resizewatcher.h"
#include "settingkeys.h"
#include "ui_mainwindow.h"

#include <QLayout>
#include <QPushButton>

namespace {
constexpr qint64 endOfClipMs = 1000; // a stop this close to the end is the clip's end
const QString noPartner = QStringLiteral("file:///");
} // namespace

void MainWindow::wireList()
{
    list_ = new FormList;
    ui->widgetListArea->layout()->addWidget(list_);
    list_->setLanguageFont();
    list_->retranslateText();
    // the list's new size on every resize
    new ResizeWatcher(list_,
                      [this] { list_->setWindowSize(list_->width(), list_->height(), height()); });

    Dashcam *main = mainDashcam();
    Dashcam *second = secondDashcam();
    // list -> main window
    connect(list_->addButton(), &QPushButton::clicked, this, &MainWindow::onDashCamAddFile_L);
    connect(list_->ungroupButton(), &QPushButton::clicked, this, &MainWindow::onCancelAutoPlay);
    connect(list_, &FormList::mediaFileTriggered, this, &MainWindow::onCellSelectFile);
    connect(list_, &FormList::mediaFileTriggered, this, &MainWindow::onClearZoomValue);
    connect(list_, &FormList::mediaGroupTriggered, this, &MainWindow::onGroupCellSelectFile);
    connect(list_, &FormList::mediaGroupTriggered, this, &MainWindow::onClearZoomValue);
    connect(list_, &FormList::removeListFile, this, &MainWindow::onCancelAutoPlay);
    connect(list_, &FormList::stopMediaTriggerd, this, &MainWindow::stop);
    connect(list_, &FormList::onReleaseMedia, this, &MainWindow::onReleaseMadia);
    connect(list_, &FormList::onReleaseMediaSub, this, &MainWindow::onReleaseRightMadia);
    connect(list_, &FormList::onSubIndexMarkTriggered, this, &MainWindow::onSubIndexMark);
    connect(list_, &FormList::subMediaTriggerd, this, &MainWindow::onSubMedia);
    connect(list_, &FormList::updateResolutionTriggerd, this,
            &MainWindow::updateResolutionTriggerd);
    // list -> players
    connect(list_, &FormList::autoPlayTriggered, main, &Dashcam::hasAutoPlaySignal);
    connect(list_, &FormList::autoPlayTriggered, second, &Dashcam::hasAutoPlaySignal);
    connect(list_, &FormList::groupStopPlay, main, &Dashcam::stop);
    connect(list_, &FormList::mediaGroupTriggeredSub, second, &Dashcam::setGroupMedia);
    // players -> list
    connect(main, &Dashcam::fileInfoChanged, list_, &FormList::onInsertList);
    connect(main, &Dashcam::MediaPathChanged, list_, &FormList::onCurrentPlay);
    connect(main, &Dashcam::MediaPathChanged, this, [this] { subMediaUrl_.clear(); });
    connect(main, &Dashcam::subMediaTriggerd, this, &MainWindow::setSubMedia);
    connect(main, &Dashcam::playStatusChanged, this, &MainWindow::onPlayStatusChanged);
    connect(main, &Dashcam::fileInfoChanged, this, &MainWindow::fillListResolution);
    connect(second, &Dashcam::fileInfoChanged, this, &MainWindow::fillListResolution);
    // play bar <-> list
    connect(control_, &FormControl::next, list_, &FormList::onNextFileTriggered);
    connect(control_, &FormControl::previous, list_, &FormList::onPreviousFileTriggered);
    connect(control_, &FormControl::checkGroupTime, list_, &FormList::checkGroupTime);
    connect(list_, &FormList::checkGroupTimeResult, control_, &FormControl::checkGroupTimeResult);
    // menus, language and skin
    connect(ui->actionAdd_Video, &QAction::triggered, list_, &FormList::onOpenfileBox);
    connect(ui->actionClear_File_List, &QAction::triggered, this, [this] {
        const bool hadRows = list_->rowCount() > 0;
        list_->clearList();
        // nothing listed is left playing or shown in the band and on the map
        if (hadRows)
            onReleaseMadia();
    });
    connect(this, &MainWindow::languageApplied, list_, [this] {
        list_->setLanguageFont();
        list_->retranslateText();
        fitMinimumWidth(); // the list's texts may need another width
        refreshWidgetSize(width(), height());
        if (addFileDialog_)
            addFileDialog_->setMode(FileDialog_C::OpenFiles);
    });
    connect(this, &MainWindow::styleApplied, list_, &FormList::setStyle);
    list_->setStyle(gStyle);
    fitMinimumWidth();
}

void MainWindow::onCellSelectFile(QList<QUrl> urls)
{
    if (gPipSwap == 1)
        onPIPChange(); // a new file starts with the main camera big
    mainDashcam()->setMedia(urls);
}

void MainWindow::onGroupCellSelectFile(QVector<QUrl> urls, QVector<QTime> durtions)
{
    if (gPipSwap != 0 && gPipSwap != 1)
        return;
    if (gPipSwap == 1)
        onPIPChange();
    mainDashcam()->setGroupMedia(urls, durtions);
}

void MainWindow::onPlayStatusChanged(MediaPlayerStatus state)
{
    if (state == PlayingState) {
        list_->resetCellSelectedFlag();
        autoPlayCancelled_ = false;
    } else if (state == StoppedState) {
        // only the end of a clip moves on; Stop, removals, ungrouping and B/N do not
        const Dashcam *main = mainDashcam();
        const bool atEnd =
            main->durationMs() > 0 && main->positionMs() >= main->durationMs() - endOfClipMs;
        if (atEnd && !autoPlayCancelled_ && parameterValue(SettingKeys::automatically) == 1)
            list_->setNextFileMedia();
    }
    list_->setMainPlayState(state);
}

void MainWindow::setSubMedia(QUrl url)
{
    if (url.toString() != noPartner)
        list_->onSubIndex();
    else
        list_->clearSubIndexMark();
    subMediaUrl_ = url;
    if (!list_->checkSubGroupFile()) {
        onReleaseRightMadia();
        return;
    }
    secondDashcam()->setMedia2(url); // its row's resolution follows when the file is open
}

void MainWindow::onSubMedia()
{
    if (list_->checkSubGroupFile() && subMediaUrl_.isValid() &&
        subMediaUrl_.toString() != noPartner)
        secondDashcam()->setMedia2(subMediaUrl_);
    subMediaUrl_.clear();
}

void MainWindow::onSubIndexMark()
{
    if (gDisplayMode == 1)
        list_->setSubIndexMark();
    else
        list_->clearSubIndexMark();
}

void MainWindow::updateResolutionTriggerd(int row)
{
    // the file may still be opening; fillListResolution writes it once it is open
    const Dashcam *main = mainDashcam();
    if (main->getMediaPath() == list_->filePath(row) &&
        main->getResolution() != QLatin1String("0x0"))
        list_->setResolution(row, main->getResolution());
}

void MainWindow::fillListResolution(const FileInfo_t &info)
{
    const int row = list_->findRowByPath(info.filePath);
    if (list_->filePath(row) == info.filePath && info.resolution != QLatin1String("0x0"))
        list_->setResolution(row, info.resolution);
}

void MainWindow::stop()
{
    mainDashcam()->stop();
    secondDashcam()->stop();
}

void MainWindow::onReleaseMadia()
{
    mainDashcam()->release();
    list_->clearMainIndexMark();
    onReleaseRightMadia();
    emit clearMapAll(); // the released file's track goes with it
}

void MainWindow::onReleaseRightMadia()
{
    secondDashcam()->release();
    list_->clearSubIndexMark();
    layoutPlayers(); // a view without media is hidden
}

void MainWindow::onCancelAutoPlay()
{
    autoPlayCancelled_ = true;
}

void MainWindow::onDashCamAddFile_L()
{
    addFileDialog_ = new FileDialog_C;
    addFileDialog_->applyStyle(gStyle);
    connect(addFileDialog_, &FileDialog_C::openFileList, this, &MainWindow::onOpenFile_L);
    addFileDialog_->setAttribute(Qt::WA_DeleteOnClose);
    addFileDialog_->setMode(FileDialog_C::OpenFiles);
    addFileDialog_->show();
}

void MainWindow::onOpenFile_L(QList<QUrl> urls)
{
    if (!urls.isEmpty())
        mainDashcam()->setMedia(urls);
}
