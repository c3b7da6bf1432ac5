// Main window and the export: the runner, the controller that chains its steps, the play bar's
// cut editor and the dialog pages of an export's progress, end and failure.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "exportcontroller.h"
#include "ffmpeg_editor_p.h"
#include "formcontrol.h"
#include "formdialog.h"
#include "formlist.h"
#include "formvideosetupwidget.h"
#include "sliderstyle.h"
#include "videowidget.h"

#include <QAction>
#include <QIcon>
#include <QImage>

namespace {

// An icon drawn as an image at its own size within 32 x 32, for comparing menu icons.
QImage iconImage(const QIcon &icon)
{
    const QSize size = icon.actualSize(QSize(32, 32), QIcon::Normal, QIcon::Off);
    return icon.pixmap(size, QIcon::Normal, QIcon::Off).toImage();
}

// What the export reads of the window: players, play bar, list, settings and menus.
class WindowExportHost : public ExportHost
{
public:
    explicit WindowExportHost(MainWindow *window) : window(window) {}

    int displayMode() const override { return gDisplayMode; }
    int pipSwap() const override { return gPipSwap; }
    QString editTimeRangeText() const override
    {
        return window->control()->getEditTimeRangeLeftText();
    }
    QString mediaPath(bool mainCamera) const override { return player(mainCamera)->getMediaPath(); }
    QSize videoSize(bool mainCamera) const override
    {
        const DashcamStatistics stats = player(mainCamera)->statistics();
        return QSize(stats.width, stats.height);
    }
    int viewHeight(bool mainCamera) const override
    {
        return player(mainCamera)->getVideoWidget()->height();
    }
    CameraPicture cameraPicture(bool mainCamera) const override
    {
        const VideoWidget *view = player(mainCamera)->getVideoWidget();
        return CameraPicture{view->brightness(), view->saturation(),
                             window->getVerticalFlip(mainCamera)};
    }
    int locationCode() const override { return window->checkedLocationCode(); }
    bool hasPartner() const override { return window->formList()->checkSubGroupFile(); }
    QString groupPathCell(bool secondRow) const override
    {
        return secondRow ? window->formList()->currentSubFilePath()
                         : window->formList()->currentFilePath();
    }
    QString groupSizeCell() const override { return window->formList()->currentFileSize(); }
    QString clipDuration(const QString &path) const override
    {
        const FormList *list = window->formList();
        return list->fileDuration(list->findRowByPath(path));
    }

private:
    Dashcam *player(bool mainCamera) const
    {
        return mainCamera ? window->mainDashcam() : window->secondDashcam();
    }

    MainWindow *window;
};

} // namespace

void MainWindow::wireExport()
{
    // no parent: deleted by the destructor
    editor_ = new FFmpeg_editor_p;
    exportHost_ = std::make_unique<WindowExportHost>(this);
    exportController_ = new ExportController(exportHost_.get(), editor_, this);

    // play bar -> export
    connect(control_, &FormControl::editOk, this, &MainWindow::onEditOK);
    connect(control_->editSlider(), &SliderStyle::spanChanged, this,
            &MainWindow::onEditSpanChanged_left);

    // dialog -> export
    connect(dialog_, &FormDialog::settingFinished, this, &MainWindow::onGetVideoInfo);
    connect(dialog_, &FormDialog::settingFinishedGroup, this, &MainWindow::onGetVideoGroupInfo);

    // runner -> main window and dialog
    connect(editor_, &FFmpeg_editor_p::progressChanged, dialog_, &FormDialog::onProgressChanged);
    connect(editor_, &FFmpeg_editor_p::finished, this, &MainWindow::onEditorFinished);
    connect(editor_, &FFmpeg_editor_p::editorErrorTriggered, this, &MainWindow::onEditorError);
    connect(editor_, &FFmpeg_editor_p::cutVideoTriggered, this, &MainWindow::onEditorSetting);
    connect(editor_, &FFmpeg_editor_p::processSubVideo, this, &MainWindow::onGetVideoGroupInfo);
    connect(editor_, &FFmpeg_editor_p::processEnd, this, &MainWindow::onProcessGroupOutputSetting);
    connect(editor_, &FFmpeg_editor_p::mixtureVideoGroup, this, &MainWindow::onMixtureVideoGroup);
    connect(editor_, &FFmpeg_editor_p::cutVideoGroupTriggered, this,
            &MainWindow::onEditorSettingGroup);
    connect(editor_, &FFmpeg_editor_p::videoIndexInfoTriggered, this,
            &MainWindow::onGetIndexVideoGroupInfo);
    // answered before the runner's emit returns
    connect(editor_, &FFmpeg_editor_p::getGroupOutputSetting, this,
            &MainWindow::getGroupOutputSetting);
    connect(this, &MainWindow::getGroupOutputSettingTrigger, editor_,
            &FFmpeg_editor_p::onGetGroupOutputSetting);

    // dialog and main player -> list: the output goes to the main player; a listed file that it
    // replaced shows the new file's figures once the player has read them
    connect(dialog_, &FormDialog::mediaFileTriggered, this,
            [this](const QList<QUrl> &urls) { exportedPath_ = urls.value(0).toLocalFile(); });
    connect(mainDashcam(), &Dashcam::fileInfoChanged, this, [this](const FileInfo_t &info) {
        if (exportedPath_.isEmpty() || info.filePath != exportedPath_)
            return;
        exportedPath_.clear();
        list_->refreshFile(info);
    });

    // the controller's own checks end like a failed step
    connect(exportController_, &ExportController::exportError, this, &MainWindow::onEditorError);
    connect(exportController_, &ExportController::cutTooShort, this, [this] {
        dialog_->showCutWarning();
        showDialog();
    });
}

void MainWindow::onEditSpanChanged_left(int lower, int upper)
{
    // the bar's own texts of the span (it also follows its slider; writing them twice is harmless)
    control_->onEditSpanChanged(lower, upper);
}

void MainWindow::onEditModeRequested()
{
    // both cameras asked for, but the main row has no second-camera partner: only the main
    // video can be cut
    if (gDisplayMode == 1 && !list_->checkSubGroupFile() && !gSupportPromptHidden)
        onNotSupportEditPromptDialog();
    else
        onCut();
}

int MainWindow::checkedLocationCode() const
{
    const QImage mark = iconImage(QIcon(QStringLiteral(":/image/menubarMark")));
    const QVector<QAction *> actions = locationActions();
    for (int i = 0; i < actions.size(); ++i) {
        if (iconImage(actions.at(i)->icon()) == mark)
            return locationCode(i);
    }
    return -1;
}

void MainWindow::onGetVideoInfo(EditorOutputSetting_t value)
{
    exportController_->onGetVideoInfo(value);
}

void MainWindow::onEditorSetting(EditorOutputSetting_t value, bool haveAudioCodec, QSize resSize)
{
    exportController_->onEditorSetting(value, haveAudioCodec, resSize);
}

void MainWindow::onEditorFinished()
{
    exportController_->cleanUp();
    dialog_->showProcessState(FormDialog::ProcessFinished);
    // the picture settings of the export are spent
    videoSetup_->onResetVideoSetupTriggered();
    setVerticalFlip(0, false);
    setVerticalFlip(1, false);
    for (Dashcam *player : {mainDashcam(), secondDashcam()}) {
        player->getVideoWidget()->onSetBrightness(0.0);
        player->getVideoWidget()->setSaturation(0.0);
    }
}

void MainWindow::onEditorError(Editor_e error)
{
    exportController_->cleanUp();
    const ExportFailure failure = exportController_->failure();
    if (error == EditorFailed)
        dialog_->showProcessFailure(ExportFailures::pageText(failure, gLangEditDialog));
    else
        dialog_->showProcessError(error);
    if (!dialog_->isVisible())
        showDialog();
}

void MainWindow::onGetVideoGroupInfo(EditorOutputSetting_t value, bool isSubVideo)
{
    exportController_->onGetVideoGroupInfo(value, isSubVideo);
}

void MainWindow::onGetIndexVideoGroupInfo(int index, bool isSubVideo)
{
    exportController_->onGetIndexVideoGroupInfo(index, isSubVideo);
}

void MainWindow::onEditorSettingGroup(EditorOutputSetting_t value, bool haveAudioCodec,
                                      int audioIndex, QSize resSize, bool isSubVideo)
{
    exportController_->onEditorSettingGroup(value, haveAudioCodec, audioIndex, resSize, isSubVideo);
}

void MainWindow::onProcessGroupOutputSetting(int index, EditorOutputSetting_t value, bool haveAudio,
                                             int audioIndex, QSize resSize, bool isSubVideo)
{
    exportController_->onProcessGroupOutputSetting(index, value, haveAudio, audioIndex, resSize,
                                                   isSubVideo);
}

void MainWindow::onMixtureVideoGroup(EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                                     QSize resSize)
{
    exportController_->onMixtureVideoGroup(value, haveAudio, audioIndex, resSize);
}

void MainWindow::getGroupOutputSetting()
{
    emit getGroupOutputSettingTrigger(exportController_->groupOutputSetting());
}

bool MainWindow::saveClipList(bool secondCamera)
{
    return exportController_->saveClipList(secondCamera);
}
