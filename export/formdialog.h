// The shared frameless, application-modal dialog of fourteen pages: export progress and result,
// output settings, warnings and prompts, ride-data questions, update progress and body data.
// Each opener fills one page; the caller then applies the style and shows the dialog.
#pragma once

#include "bodydatainput.h"
#include "sharedtypes.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QUrl>

#include <memory>

class FileDialog_C;
class QPushButton;
class ReplaceQuestion;

namespace Ui {
class FormDialog;
}

class FormDialog : public QDialog
{
    Q_OBJECT
public:
    // The argument of showPage.
    enum Page
    {
        PageProcess = 0,
        PageDifferentDevices = 1,
        PageNoDiskSpace = 2,
        PageOutputSetting = 3,
        PageLeaveWarning = 4,
        PageGroupEdit = 5,
        PageUpdate = 6,
        PageBodyData = 7,
        PageDownloadMetadata = 8,
        PageSelectMetadataFolder = 9,
        PageDeleteMetadataFile = 10,
        PageNetworkError = 11,
        PageCutWarning = 12,
        PageSupportPrompt = 13,
        PageCount = 14
    };

    // Codes of showProcessState:
    //   0 processing (page 0, progress from 0), 1 finished (page 0; the output goes to the
    //   player 800 ms later), 2 not enough disk space (page 2), 3 group clips from different
    //   devices (page 1), 4 the export failed (page 1 with "Unable to edit." only).
    // Editor_e values reach it through processCodeForError: EditorNoDiskSpace and
    // EditorDifferentDevices keep their number; EditorFailed (1, which would read as
    // "finished") and any unknown error become ProcessFailed.
    enum ProcessCode
    {
        ProcessRunning = 0,
        ProcessFinished = 1,
        ProcessNoDiskSpace = 2,
        ProcessDifferentDevices = 3,
        ProcessFailed = 4
    };
    static int processCodeForError(Editor_e error);

    explicit FormDialog(QWidget *parent = nullptr);
    ~FormDialog() override;

    // Shows one page and sizes the dialog for it; a page outside 0..13 leaves only the title bar.
    void showPage(int page);

    void showProcessState(int code);
    // showProcessState for an export error.
    void showProcessError(Editor_e error);
    // Page 1 for an export that failed, with the text that says why.
    void showProcessFailure(const QString &text);
    // Page 3 with a new output name in the output folder; "Picture in Picture" only when dual.
    void initOutputSetting(bool dual, bool isGroup);
    // The files the next export reads; page 3 refuses an output that is one of them.
    void setExportInputs(const QStringList &files);
    QString makeOutputFileName() const;
    void showLeaveWarning();
    void showGroupEdit();
    void showUpdate(const QString &fileName);
    void showBodyData(int age, int heightFt, int heightIn, int weight, int gender);
    void showDownloadMetadata();
    void showSelectMetadataFolder();
    void showDeleteMetadataFile();
    void showNetworkError(int code);
    // The network-error page for an upload that failed for another reason, with the text that
    // says why in place of the connection hint and the code.
    void showUploadFailure(const QString &text);
    void showCutWarning();
    void showSupportPrompt(bool isEdit);

    // Fonts and texts of every page in the current language.
    void applyLanguage();
    // Colours and images; the look is the same for both styles (0 white, 1 black).
    void applyStyle(int style);

public slots:
    // Export progress in percent, shown clamped to 0..100.
    void onProgressChanged(int value);
    // Emits closed(), then closes.
    void onClose();
    // Closes without a signal.
    void onClose2();
    void onCloseSupportPrompt();
    // Page 6: p1 of p2 bytes, in percent (0 while the total is unknown).
    void updateProgress(qlonglong p1, qlonglong p2);
    // Page 6: "<done> / <total>" files.
    void downloadCount(signed char count, signed char total);
    void onSaveBodyData();

signals:
    void settingFinished(EditorOutputSetting_t value);
    void settingFinishedGroup(EditorOutputSetting_t value, bool isSubVideo);
    void completeFinished();
    void edit_cancel();
    void closed();
    void mediaFileTriggered(QList<QUrl> urls);
    void saveBodyDataTriggered(int age, int heightFt, int heightIn, int weight, int gender);
    void downloadOkTriggered();
    void selectedSourceOkTriggered();
    void deleteMetadataFileOkTriggered();
    void networkErrorOkTriggered();
    void networkErrorCancelTriggered();
    void clickSupportPrompt();

protected:
    // Neither Escape nor the window manager's close (Alt+F4, a title bar's or a task list's
    // close) takes the processing page away: the export's end must reach it. The program's own
    // closes (the main window's end) still close it.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connectButtons();
    void setTitle(const QString &title);
    void setProcessValue(int percent);
    // output settings page (formdialog_output.cpp)
    void setupOutputPage();
    // The output folder and a new name, with a later number where that name is taken.
    QString proposedOutputPath() const;
    void onSettingFinished();
    // The question whether the export may replace the existing file path; Replace starts it.
    void askToReplace(const QString &path);
    // Page 0 and the output settings to the main window.
    void startExport(const QString &outputPath);
    void onSettingSelectFolder();
    void onGetFolderName(const QString &folderName);
    void showOutputProblem(const QString &text);
    void onOpenFolder();
    void mediaFileTriggeredFunction();

    // body-data page
    void setupBodyDataPage();
    void styleBodyDataPage();
    void onBodyFieldEdited(BodyDataInput::Field field);
    void onGenderMale();
    void onGenderFemale();
    void showGender();

    QString outputFolder;
    std::unique_ptr<Ui::FormDialog> ui;
    QRect pageRect;
    quint32 outputFileCounter = 1;
    QPointer<FileDialog_C> folderChooser; // the last folder chooser of page 3; deletes itself
    int currentStyle = 0;
    bool processing = false; // page 0 is waiting for the export's end
    BodyDataInput bodyData;
    QList<QUrl> outputUrls;
    bool groupMode = false;
    QStringList exportInputs;
    ReplaceQuestion *replaceQuestion = nullptr; // owned as a child window
};
