// The main window: owns every panel, routes files and commands between them and hosts the menus.
#pragma once

#include "sharedtypes.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTime>
#include <QUrl>
#include <QVector>

#include <memory>

class QAction;
class QActionGroup;

class Dashcam;
class FormControl;
class FormControlSecond;
class FormDialog;
class FormDashcamPreview;
class FormList;
class FileDialog_C;
class FormPlayer;
class FormVideoSetupWidget;
class PlayerSync;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Vertical flip setting of a camera (0 or 1), -1 when absent or out of range.
    int getVerticalFlip(bool mainCamera) const;
    OP_Mode opMode() const { return opMode_; }
    int recordedHeight() const { return recordedHeight_; }

    // The second camera's Location actions in form order, and the code each stands for.
    QVector<QAction *> locationActions() const;
    static int locationCode(int formIndex);

    Dashcam *mainDashcam() const;
    Dashcam *secondDashcam() const;
    FormControl *control() const { return control_; }
    bool isPipMode() const { return pipMode_; }
    FormDialog *formDialog() const { return dialog_; }
    FormList *formList() const { return list_; }

public slots:
    void refreshWidgetSize(int w, int h);
    void onViewSliderCheanged(OP_Mode mode);
    void onDisplayModeChange();
    void onPIPChange();
    void setDateFormat(int format);
    void setMaps(int v);
    void setVerticalFlip(int camera, bool on);
    void setLanguage(int language);
    void setStyle(int style);
    void setSpeedUnit(int unit);
    void setLocation(int code);
    void setUiLayout(int mode);
    void triggerMenu(QAction *act);
    void onGrabKeyboard();
    void onRestoreFactorySettings();
    void onPlayPause();
    void onPipModeChange();
    void onSnapshot();
    void toggleFullScreen();
    void onClearZoomValue();
    // shared dialog
    void onEditOK();
    void onEditorComplete();
    void onEditCancel();
    void onDeleteMetadata();
    void onCheckShare();
    void onShare();
    void onCut();
    void onNotSupportEditPromptDialog();
    void onNotSupportSharePromptDialog();
    void onUpdateZqPlayer(const QString &version);
    // play list (mainwindow_list.cpp)
    void onCellSelectFile(QList<QUrl> urls);
    void onGroupCellSelectFile(QVector<QUrl> urls, QVector<QTime> durtions);
    void onPlayStatusChanged(MediaPlayerStatus state);
    void setSubMedia(QUrl url);
    void onSubMedia();
    void onSubIndexMark();
    void updateResolutionTriggerd(int row);
    void stop();
    void onReleaseMadia();
    void onReleaseRightMadia();
    void onCancelAutoPlay();
    void onDashCamAddFile_L();
    void onOpenFile_L(QList<QUrl> urls);

signals:
    void clearMapAll();
    void clearPlaybackDataAll();
    void autoCheckMetadataTriggerd();
    // Sent after a language or style change so that open windows re-text and re-skin.
    void languageApplied();
    void styleApplied(int style);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void initWidgets();
    void initStatus();
    void initMenus();
    void loadLanguage(int language);
    void applyParameters(LoadParameterMode mode);
    void applySkin();
    void retranslateMenus();
    void updateMenuChecks();
    void storeSetting(const QString &key, int value);
    void initPlayers();
    void wirePlayers();
    void wireControl();
    void layoutPlayers();
    void applyVerticalFlips();
    void wireDialog();
    void showDialog();
    void wireList();
    // A player opened a file: its row gets the picture size while it still reads "0x0".
    void fillListResolution(const FileInfo_t &info);

    std::unique_ptr<Ui::MainWindow> ui;
    QVector<QAction *> languageActions_;
    // panels: owned by the layouts or widgets that hold them
    FormPlayer *playerForm_ = nullptr;
    FormDashcamPreview *mainPreview_ = nullptr;
    FormDashcamPreview *secondPreview_ = nullptr;
    FormControl *control_ = nullptr;
    FormControlSecond *controlSecond_ = nullptr;
    FormVideoSetupWidget *videoSetup_ = nullptr; // tool window, deleted by the destructor
    PlayerSync *sync_ = nullptr;
    FormDialog *dialog_ = nullptr; // no parent; deleted with the window
    bool pipMode_ = false;
    FormList *list_ = nullptr;                  // owned by the list area's layout
    QPointer<FileDialog_C> addFileDialog_;      // deletes itself when closed
    QUrl subMediaUrl_;                          // partner of the main player's file
    bool autoPlayCancelled_ = false;            // the next stop is no clip end

    OP_Mode opMode_ = OP_Play;
    int recordedHeight_ = 0;

    // notices of failed operations (mainwindow_notices.cpp)
public:
    // The window's notice box while one is shown or was shown; null before the first notice.
    QMessageBox *noticeBox() const { return noticeBox_; }

private:
    void wireNotices();
    // Shows text in the non-modal notice box; a box still open gets it as a further line.
    void showNotice(const QString &text);
    void onMainMediaError(const QString &path);
    void onSecondMediaError(const QString &path);
    void reportSettingsNotSaved();
    // the list's "now playing" marks follow the players (mainwindow_marks.cpp)
    void wireMarks();
    void scheduleMarks();
    bool marksScheduled_ = false;
    QPointer<QMessageBox> noticeBox_;
    bool settingsNotSavedReported_ = false; // said once per run
};
