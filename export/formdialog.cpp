#include "formdialog.h"

#include "appglobals.h"
#include "desktopservices.h"
#include "dialoglook.h"
#include "exportlog.h"
#include "filedialog.h"
#include "framelesshelper.h"
#include "skin.h"
#include "ui_formdialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

namespace {

using DialogLook::backgroundSheet;
using DialogLook::titleHeight;

constexpr int mediaHandOverMs = 800; // the player opens the output once ffmpeg has let go of it

struct PageLook
{
    int width;
    int height;
    int background; // 1 or 2: the "01" or "02" title and body images; 0: body-data colours
};

// Size and background per page, indexed by FormDialog::Page.
constexpr PageLook pageLooks[FormDialog::PageCount] = {
    {456, 469, 1}, {700, 350, 1}, {700, 350, 1}, {513, 469, 1}, {700, 350, 2},
    {700, 350, 2}, {700, 350, 2}, {469, 463, 0}, {700, 350, 2}, {700, 350, 2},
    {700, 350, 2}, {700, 350, 2}, {700, 350, 2}, {700, 350, 2},
};

QString editDialogText(int index)
{
    return gLangEditDialog.value(index);
}

QString noticeTitle()
{
    return gLangExitEditMode.value(1);
}

} // namespace

FormDialog::FormDialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::FormDialog>())
{
    ui->setupUi(this);
    setFixedSize(pageLooks[PageProcess].width, pageLooks[PageProcess].height);
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    pageRect = QRect(0, titleHeight, width(), height());
    FramelessHelper::install(this);

    connectButtons();
    setupBodyDataPage();

    setupOutputPage();
    initOutputSetting(false, false);
}

FormDialog::~FormDialog()
{
    delete folderChooser; // an open chooser would outlive its answer's receiver
}

int FormDialog::processCodeForError(Editor_e error)
{
    switch (error) {
    case EditorNoDiskSpace:
        return ProcessNoDiskSpace;
    case EditorDifferentDevices:
        return ProcessDifferentDevices;
    default:
        return ProcessFailed;
    }
}

void FormDialog::connectButtons()
{
    // order of connection = order of the effects of one click
    connect(ui->pv_btn_ok, &QPushButton::clicked, this, &FormDialog::completeFinished);
    connect(ui->pv_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->pv_btn_open, &QPushButton::clicked, this, &FormDialog::onOpenFolder);
    connect(ui->pvErr_btn_retry, &QPushButton::clicked, this, &FormDialog::onClose2);

    connect(ui->os_btn_ok, &QPushButton::clicked, this, &FormDialog::onSettingFinished);
    connect(ui->os_btn_open, &QPushButton::clicked, this, &FormDialog::onSettingSelectFolder);
    connect(ui->os_btn_cancel, &QPushButton::clicked, this, &FormDialog::onClose2);
    connect(ui->btn_close, &QPushButton::clicked, this, &FormDialog::onClose2);

    connect(ui->msLeave_btn_ok, &QPushButton::clicked, this, &FormDialog::edit_cancel);
    connect(ui->msLeave_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->msLeave_btn_cancel, &QPushButton::clicked, this, &FormDialog::onClose2);
    connect(ui->groupEdit_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);

    connect(ui->downloadMetadata_btn_ok, &QPushButton::clicked, this,
            &FormDialog::downloadOkTriggered);
    connect(ui->downloadMetadata_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->downloadMetadata_btn_cancel, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->selectedMetadataFolder_btn_ok, &QPushButton::clicked, this,
            &FormDialog::selectedSourceOkTriggered);
    connect(ui->selectedMetadataFolder_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->selectedMetadataFolder_btn_cancel, &QPushButton::clicked, this,
            &FormDialog::onClose);
    connect(ui->deleteMetadataFile_btn_ok, &QPushButton::clicked, this,
            &FormDialog::deleteMetadataFileOkTriggered);
    connect(ui->deleteMetadataFile_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->deleteMetadataFile_btn_cancel, &QPushButton::clicked, this, &FormDialog::onClose);

    connect(ui->networkError_btn_ok, &QPushButton::clicked, this,
            &FormDialog::networkErrorOkTriggered);
    connect(ui->networkError_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose);
    connect(ui->networkError_btn_cancel, &QPushButton::clicked, this,
            &FormDialog::networkErrorCancelTriggered);
    connect(ui->networkError_btn_cancel, &QPushButton::clicked, this, &FormDialog::onClose);

    connect(ui->cutwarning_btn_ok, &QPushButton::clicked, this, &FormDialog::onClose2);
    connect(ui->cutwarning_btn_cancel, &QPushButton::clicked, this, &FormDialog::onClose2);
    connect(ui->supportPrompt_okbtn, &QPushButton::clicked, this,
            &FormDialog::onCloseSupportPrompt);
}

void FormDialog::showPage(int page)
{
    QFrame *const frames[PageCount] = {
        ui->f_pv,
        ui->f_pvErr,
        ui->f_pvErr,
        ui->f_os,
        ui->f_msLeave,
        ui->f_groupEdit,
        ui->f_dialog_update,
        ui->f_dialog_bodydata,
        ui->f_downloadMetadata,
        ui->f_selectedMetadataFolder,
        ui->f_deleteMetadataFile,
        ui->f_networkError,
        ui->f_cutwarning,
        ui->f_supportPrompt,
    };
    for (QFrame *frame : frames)
        frame->hide();
    ui->titleIcon->hide();
    ui->btn_close->hide();
    if (page < 0 || page >= PageCount) {
        update();
        return;
    }

    const PageLook &look = pageLooks[page];
    QFrame *frame = frames[page];
    if (look.background == 0) {
        // the title bar keeps the images of the page shown before
        frame->setStyleSheet(
            QStringLiteral("QFrame#f_dialog_bodydata{border:none;background-color:#2D2D2D}"));
    } else {
        const QString set = QStringLiteral("0%1.svg").arg(look.background);
        ui->frame->setStyleSheet(backgroundSheet(QStringLiteral("frame"), "bg_title" + set));
        frame->setStyleSheet(backgroundSheet(frame->objectName(), "bg_body" + set));
    }
    ui->frame->setMinimumWidth(look.width);
    ui->la_title->setFixedWidth(look.width);
    if (page == PageBodyData)
        ui->la_title->setGeometry(50, 0, look.width, titleHeight);
    else
        ui->la_title->setGeometry(40, -3, look.width, 51);
    setFixedSize(look.width, look.height);
    pageRect = QRect(0, titleHeight, look.width, look.height);
    frame->setGeometry(pageRect);
    frame->show();

    if (page == PageProcess) {
        ui->btn_close->move(405, ui->btn_close->y());
    } else if (page == PageOutputSetting) {
        ui->btn_close->move(460, ui->btn_close->y());
        ui->btn_close->show();
    } else if (page == PageBodyData) {
        ui->titleIcon->show();
    } else if (page == PageDifferentDevices || page == PageNoDiskSpace) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    }
    update();
}

void FormDialog::setTitle(const QString &title)
{
    ui->la_title->setText(title);
}

void FormDialog::setProcessValue(int percent)
{
    const int value = qBound(0, percent, 100);
    // one repaint for label and bar: progress arrives often
    ui->pv_pd->setUpdatesEnabled(false);
    ui->pv_la_progress->setText(QStringLiteral("%1%").arg(value));
    ui->pv_pd->setValue(value);
    ui->pv_pd->setUpdatesEnabled(true);
    ui->pv_pd->update();
}

void FormDialog::showProcessState(int code)
{
    setTitle(editDialogText(12));
    ui->loading_icon->hide();
    switch (code) {
    case ProcessRunning:
        processing = true;
        ui->pv_btn_ok->hide();
        ui->pv_btn_open->hide();
        ui->btn_close->hide();
        setProcessValue(0);
        ui->pv_la_msg->setText(
            formatMultilineText(editDialogText(13) + QLatin1Char('\n') + editDialogText(14)));
        showPage(PageProcess);
        ui->loading_icon->show();
        ui->loading_icon->setRunning(true);
        break;
    case ProcessFinished:
        processing = false;
        ui->pv_btn_ok->show();
        ui->pv_btn_open->show();
        ui->btn_close->hide();
        setProcessValue(100);
        ui->pv_la_msg->setText(editDialogText(15));
        ++outputFileCounter;
        outputUrls.clear();
        if (const QString path =
                ui->os_le->text().replace(QStringLiteral("//"), QStringLiteral("/"));
            !path.isEmpty()) {
            outputUrls << QUrl::fromLocalFile(path);
            QTimer::singleShot(mediaHandOverMs, this, &FormDialog::mediaFileTriggeredFunction);
        }
        showPage(PageProcess);
        ui->loading_icon->setRunning(false);
        break;
    case ProcessNoDiskSpace:
        processing = false;
        ui->pvErr_la_msg->setText(formatMultilineText(editDialogText(30)));
        showPage(PageNoDiskSpace);
        ui->loading_icon->setRunning(false);
        break;
    case ProcessDifferentDevices:
        processing = false;
        ui->pvErr_la_msg->setText(editDialogText(31) + formatMultilineText(editDialogText(32)) +
                                  QLatin1Char('\n') + formatMultilineText(editDialogText(33)));
        showPage(PageDifferentDevices);
        ui->loading_icon->setRunning(false);
        break;
    case ProcessFailed:
        processing = false;
        ui->pvErr_la_msg->setText(editDialogText(31));
        showPage(PageDifferentDevices);
        ui->loading_icon->setRunning(false);
        break;
    default:
        break;
    }
}

void FormDialog::showProcessError(Editor_e error)
{
    showProcessState(processCodeForError(error));
}

void FormDialog::showProcessFailure(const QString &text)
{
    showProcessState(ProcessFailed);
    ui->pvErr_la_msg->setText(text);
}

void FormDialog::mediaFileTriggeredFunction()
{
    emit mediaFileTriggered(outputUrls);
}

void FormDialog::onProgressChanged(int value)
{
    setProcessValue(value);
}

void FormDialog::keyPressEvent(QKeyEvent *event)
{
    if (processing && event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormDialog::closeEvent(QCloseEvent *event)
{
    // a close the window system delivers comes as a spontaneous event; the program's own do not
    if (processing && event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FormDialog::onOpenFolder()
{
    if (!DesktopServices::openFolder(outputFolder))
        qCDebug(lcExport) << "FormDialog: cannot show the output folder" << outputFolder;
}

void FormDialog::showLeaveWarning()
{
    setTitle(noticeTitle());
    ui->msLeaver_la_msg->setText(gLangExitEditMode.value(2) + QLatin1Char('\n') +
                                 formatMultilineText(gLangExitEditMode.value(3)));
    showPage(PageLeaveWarning);
}

void FormDialog::showGroupEdit()
{
    setTitle(noticeTitle());
    ui->groupEdit_tv->setText(formatMultilineText(editDialogText(17)));
    showPage(PageGroupEdit);
}

void FormDialog::showUpdate(const QString &fileName)
{
    setTitle(QStringLiteral("Update Version: ") + fileName.left(qMax(0, fileName.size() - 4)));
    showPage(PageUpdate);
}

void FormDialog::updateProgress(qlonglong p1, qlonglong p2)
{
    const int percent = p2 > 0 ? int(qBound(0.0, double(p1) / double(p2) * 100.0, 100.0)) : 0;
    ui->update_progress->setUpdatesEnabled(false);
    ui->update_progress->setValue(percent);
    ui->update_progress->setUpdatesEnabled(true);
}

void FormDialog::downloadCount(signed char count, signed char total)
{
    ui->update_tv->setText(QStringLiteral("%1 / %2").arg(int(total) - int(count)).arg(int(total)));
}

void FormDialog::showDownloadMetadata()
{
    setTitle(noticeTitle());
    showPage(PageDownloadMetadata);
}

void FormDialog::showSelectMetadataFolder()
{
    setTitle(noticeTitle());
    ui->selectedMetadataForder_tv->setText(
        formatMultilineText(editDialogText(20) + QLatin1Char('\n') + editDialogText(21) +
                            QLatin1Char('\n') + editDialogText(22)));
    showPage(PageSelectMetadataFolder);
}

void FormDialog::showDeleteMetadataFile()
{
    setTitle(noticeTitle());
    ui->deleteMetadataFile_tv->setText(formatMultilineText(editDialogText(19)));
    showPage(PageDeleteMetadataFile);
}

void FormDialog::showNetworkError(int code)
{
    showUploadFailure(editDialogText(23) + QLatin1Char('\n') + QStringLiteral("Error:") +
                      QString::number(code));
}

void FormDialog::showUploadFailure(const QString &text)
{
    setTitle(noticeTitle());
    ui->networkError_tv->setText(formatMultilineText(text + QLatin1Char('\n') + editDialogText(24) +
                                                     QLatin1Char('\n') + editDialogText(25)));
    showPage(PageNetworkError);
}

void FormDialog::showCutWarning()
{
    setTitle(noticeTitle());
    ui->cutwarning_tv->setText(editDialogText(26));
    showPage(PageCutWarning);
}

void FormDialog::showSupportPrompt(bool isEdit)
{
    setTitle(noticeTitle());
    ui->supportPrompt_comtent->setText(editDialogText(isEdit ? 28 : 27));
    ui->supportPrompt_checkbox_tv->setText(editDialogText(29));
    showPage(PageSupportPrompt);
}

void FormDialog::onClose()
{
    emit closed();
    close();
}

void FormDialog::onClose2()
{
    close();
}

void FormDialog::onCloseSupportPrompt()
{
    close();
    if (ui->supportPrompt_checkbox_tv->isChecked())
        gSupportPromptHidden = true;
    emit clickSupportPrompt();
}
