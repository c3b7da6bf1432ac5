// The main window: owns every panel, routes files and commands between them and hosts the menus.
#pragma once

#include "sharedtypes.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QSize>
#include <QTime>
#include <QUrl>
#include <QVector>

#include <memory>

class QAction;
class QActionGroup;
class QShortcut;

class Dashcam;
class ExportController;
class ExportHost;
class FFmpeg_editor_p;
class FormControl;
class FormControlSecond;
class FormAbout;
class FormDialog;
class FormFAQ;
class FormShare;
class FormDashcamPreview;
class FormList;
class FormMap;
class FileDialog_C;
class FormPlayer;
class FormPlaybak;
class FormWatermarkView;
class FormVideoSetupWidget;
class PlayerSync;
class FormShowData;
class FormChart;
class FormUpdateWizard;

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
    // the open sharing, instruction and About windows; null when none
    FormShare *shareWindow() const;
    FormFAQ *instructionWindow() const;
    bool isInstructionOpen() const { return instructionOpen_; }
    FormAbout *aboutWindow() const;

    // trip-data band (mainwindow_views.cpp)
    FormShowData *showData() const { return showData_; }
    FormChart *chart() const { return chart_; }
    // The sample shown when playback stops: empty texts, zero numbers.
    static VideoInfo_t getInitVideoInfo();

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
    // Player keys on in player mode, off in calendar mode.
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
    // False, with a notice saying so, when this build's upload service is a placeholder.
    bool shareIsSetUp();
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
    // trip-data band (mainwindow_views.cpp)
    void onInfoChanged(VideoInfo_t vi, bool isValid);
    void onPositionChanged(QTime time, qint64 pos);
    // sharing, instruction and About (mainwindow_online.cpp)
    void showInstruction();
    void closeInstuctionSlot();
    void showAbout();
    // overlays (mainwindow_overlays.cpp)
    void onWatermark();

    // ---- export: single cut and group export (mainwindow_export.cpp) ----
public slots:
    void onEditSpanChanged_left(int lower, int upper);
    void onGetVideoInfo(EditorOutputSetting_t value);
    void onEditorSetting(EditorOutputSetting_t value, bool haveAudioCodec, QSize resSize);
    void onEditorFinished();
    void onEditorError(Editor_e error);
    void onGetVideoGroupInfo(EditorOutputSetting_t value, bool isSubVideo);
    void onGetIndexVideoGroupInfo(int index, bool isSubVideo);
    void onEditorSettingGroup(EditorOutputSetting_t value, bool haveAudioCodec, int audioIndex,
                              QSize resSize, bool isSubVideo);
    void onProcessGroupOutputSetting(int index, EditorOutputSetting_t value, bool haveAudio,
                                     int audioIndex, QSize resSize, bool isSubVideo);
    void onMixtureVideoGroup(EditorOutputSetting_t value, bool haveAudio, int audioIndex,
                             QSize resSize);
    void getGroupOutputSetting();
    // The play bar's edit button: the prompt page first when the second camera cannot be cut.
    void onEditModeRequested();

public:
    bool saveClipList(bool secondCamera);
    FFmpeg_editor_p *exportRunner() const { return editor_; }
    ExportController *exportController() const { return exportController_; }
    // Location code of the Location action that carries the check icon, -1 when none does.
    int checkedLocationCode() const;

signals:
    void getGroupOutputSettingTrigger(GroupOutputSetting_t value);

private:
    void wireExport();
    FFmpeg_editor_p *editor_ = nullptr; // no parent; deleted with the window
    std::unique_ptr<ExportHost> exportHost_;
    ExportController *exportController_ = nullptr; // child of the window
    QString exportedPath_; // the finished export's output until the main player has read it
    // ---- end of export ----

public slots:

signals:
    void clearMapAll();
    void clearPlaybackDataAll();
    void autoCheckMetadataTriggerd();
    // Sent after a language or style change so that open windows re-text and re-skin.
    void languageApplied();
    void styleApplied(int style);
    // trip-data band: playback stopped; carries getInitVideoInfo() as invalid
    void onPlayerStopChanged(VideoInfo_t vi, bool isValid);

protected:
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
    // File entries that act on the player or the list: off in calendar mode, on in player mode.
    void enableFileActions(bool playerMode);
    void storeSetting(const QString &key, int value);
    // player keys (mainwindow_keys.cpp)
    void wireKeys();
    void enablePlayerKeys(bool on);
    void initPlayers();
    void wirePlayers();
    void wireControl();
    void layoutPlayers();
    void applyVerticalFlips();
    void wireDialog();
    void showDialog();
    void wireList();
    // Minimum width: the screen's share, widened until the play bar and the list's texts fit.
    void fitMinimumWidth();
    // A player opened a file: its row gets the picture size while it still reads "0x0".
    void fillListResolution(const FileInfo_t &info);
    // trip-data band (mainwindow_views.cpp)
    void wireTripBand();
    void refreshTripBandSize(int w, int h);
    // The speed unit or date format changed: the panel shows the last sample again at once.
    void applyTripBandSettings();
    void onTripBandPlayStatus(MediaPlayerStatus state);

    // map (mainwindow_map.cpp)
public:
    FormMap *formMap() const { return map_; }
public slots:
    // The map page has loaded: the stored settings reach the panels, then the map is styled.
    void onInitParameter(bool ok);

private:
    void wireMap();
    // Puts the map back into its area above the list when another page has borrowed it.
    void placeMap();
    // Fixed size and rounded mask of the map while it sits in its area.
    void refreshMapSize(int width, int height);
    FormMap *map_ = nullptr; // owned by the layout that holds it
    // end of map
    // sharing, instruction and About (mainwindow_online.cpp)
    void wireOnline();
    void refreshInstruction();
    // update wizards (mainwindow_updates.cpp)
    void openUpdateWizard(bool firmware);
    // overlays (mainwindow_overlays.cpp)
    void wireOverlays();

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
    FormList *list_ = nullptr;             // owned by the list area's layout
    QPointer<FileDialog_C> addFileDialog_; // deletes itself when closed
    QUrl subMediaUrl_;                     // partner of the main player's file
    bool autoPlayCancelled_ = false;       // the next stop is no clip end

    // trip-data band: owned by the band's area layout
    FormShowData *showData_ = nullptr;
    FormChart *chart_ = nullptr; // inside the panel's G-sensor readout
    VideoInfo_t lastInfo_;       // the sample the panel shows
    bool lastInfoValid_ = false;
    // sharing, instruction and About: windows of their own, deleted after they close
    QPointer<FormShare> share_;
    QPointer<FormFAQ> instruction_;
    bool instructionOpen_ = false;
    QPointer<FormAbout> about_;
    // the last update wizard of each kind; each deletes itself when closed
    QPointer<FormUpdateWizard> firmwareWizard_;
    QPointer<FormUpdateWizard> applicationWizard_;
    // overlays
    QVector<VideoInfo_t> overlaySamples_;       // last MediaChanged samples of the main camera
    QPointer<FormWatermarkView> watermarkView_; // deletes itself when closed
    QMetaObject::Connection watermarkSamples_;  // main player -> open editor

    OP_Mode opMode_ = OP_Play;
    QVector<QShortcut *> playerKeys_; // children of the window
    int recordedHeight_ = 0;

    // ---- ride-data mode (mainwindow_ridedata.cpp) ----
public:
    // The ride-data page, built on first use.
    FormPlaybak *ridePage();

public slots:
    void onDownloadMetadataWarning();
    void onSelectedMetadataFolderWarning();
    void onDeleterMetadataFilesWarning();

private:
    void initRideDataPage();
    void wireRideData();
    // Calendar mode in: page laid out with the map, players paused, player keys off.
    void enterRideDataMode();
    // Calendar mode out: ride playback stopped, the map handed back (placeMap puts it back).
    void leaveRideDataMode();
    // After player mode's clearMapAll(): the clip's track again, the player keys on.
    void finishLeavingRideDataMode();
    // Date format and speed unit of the settings to the page and its panels.
    void applyRideDataSettings();
    void refreshRidePageSize();
    void onMetadataCopyFailed(const QString &message);
    FormPlaybak *ridePage_ = nullptr;  // owned by the page area's layout; null until first used
    QVector<VideoInfo_t> clipSamples_; // the main clip's track, drawn again after the mode
    bool rideModeShown_ = false;
    bool clipTrackPending_ = false; // the map was lent: the clip's track is drawn again
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
