// The ride-data page of calendar mode: calendar, day file list, ride information and period
// charts around the map that the main window lends it, with the ride playback bar.
#pragma once

#include "filedialog.h"
#include "ridedatafolder.h"
#include "rideload.h"
#include "rideplayback.h"
#include "sharedtypes.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class FormPlaybak;
}
class DriveProbe;
class FormCalendarView;
class FormChartDataView;
class FormFileDateListView;
class FormMap;
class FormPlaybackData;
class PlaybackDataParser;
class RideSummaryCache;
class QLabel;
class QPushButton;
class QTimer;

class FormPlaybak : public QWidget
{
    Q_OBJECT

public:
    explicit FormPlaybak(QWidget *parent = nullptr);
    ~FormPlaybak() override;

    // 0 DD/MM/YYYY, 1 MM/DD/YYYY, 2 YYYY/MM/DD.
    void setDateFormat(int format);
    void setPageSize(int width, int height);
    // Takes the main window's map into the map area.
    void setMapWidget(FormMap *map);
    // The speed-unit setting (1 metric, 0 imperial) for both ride panels.
    void setUnitSystem(int unitSystem);
    // Re-applies the page's skin images.
    void applyStyle();
    // Fonts that follow the application font of the language (date label, period charts).
    void applyLanguage();
    // Leaving calendar mode: playback stops and the ride is forgotten.
    void stopRidePlayback();
    // Before the ride-data folder is emptied: once this returns the running copy writes nothing
    // more into it (the file it was copying is not kept), and a copy asked for meanwhile is
    // dropped, also one whose card check has not answered yet. Nothing waits for the copy, which
    // may hang on a card that stopped answering: it ends by itself. GUI thread only.
    void stopCopy();

    // Work that runs off the GUI thread and ends on it: the card checks (entering the mode, the
    // folder button), the card copy, reading a chosen ride and the period charts' window.
    bool isCheckingCards() const;
    bool isCopying() const { return copyWatcher != nullptr; }
    bool isReadingRide() const { return readingRide_; }
    bool isBuildingWindow() const { return buildingWindow_; }
    const RideSummaryCache &summaryCache() const { return *summaryCache_; }

    FormCalendarView *calendar() const;
    FormFileDateListView *fileList() const;
    FormPlaybackData *rideData() const;
    FormChartDataView *chartPanel() const { return chartView; }
    QLabel *dateLabel() const { return curDateLabel; }
    QTimer *playbackTimer() const { return timer; }
    const RidePlayback &playback() const { return ride; }
    QString currentFile() const { return curFile; }
    QString sourceFolder() const { return srcFolder; }
    QString selectedDay() const { return curSelectedDay; }
    int chartMode() const { return chartMode_; }
    FileDialog_C *folderChooser() const { return fileDialog; }

signals:
    void downloadDialogTirggerd();
    void selectedSourceFolderDialogTirggerd();
    void continuousMetadataTriggered(QVector<PlaybackInfo2_t> info, int type);
    void setCalendarHighlightDayTriggered(int day);
    // Some files of the card could not be copied (no partial file was left): message says how
    // many, why and names a few.
    void metadataCopyFailed(const QString &message);

private slots:
    void onGetFolderName(QString folderPath);
    void onScheduleClick(QString curSelected);
    void onSelectedFile(QString curSelected);
    void onMapUpdateData();
    void onPlay();
    void onStop();
    void onStep_n();
    void onStep_p();
    void onUpdateMetadata();
    void onEntryCardCheckAnswered(const QStringList &roots, const QStringList &cardRoots);
    void onButtonCardCheckAnswered(const QStringList &roots, const QStringList &cardRoots);
    void setPosition(int position);
    void sliderActionTriggered(int position);
    void sliderReleased();
    void setSliderValue(float processing);
    void changeChartMode();
    void setSevenDaysType();
    void setFourWeeksType();

public slots:
    void onClearPlaybackDataAll();
    void setCurDate(QString text);
    // The card check's answer: the removable roots asked and those holding a "Metadata" folder
    // (a root that did not answer in time counts as holding none). Sets the source folder when
    // there were roots; returns the number of cards.
    int onCheckMetadata(const QStringList &roots, const QStringList &cardRoots);
    void onCopyMetadata(int diskCount);
    void setMetadataDefault();
    void onFileOpenDialog();
    void changeMapMode();
    void setClickDate(float position);
    void initCalendarParameter();

private:
    void connectSignals();
    void initStyle();
    // The period charts' window of the selected day, built off the GUI thread from rides
    // (rideListing()).
    void emitContinuousMetadata(const QStringList &rides);
    // Clears and marks the calendar when the ride-data folder holds ride files.
    void markCalendar();
    void setPlayButton(bool pauseImage);
    void setModeButtons(bool chartSelected);
    // The map (with its date label) or the period charts in the map area, with their buttons.
    void showMode(bool chart);
    void applyDateLabelFont();
    void restartTimer(int intervalMs);
    // The rides of the ride-data folder (RideDataFolder::listRides).
    QStringList rideListing() const;
    // Asks every removable root, off the GUI thread, whether it holds a "Metadata" folder; the
    // probe answers within its bound.
    void askForCards(DriveProbe *probe);
    // Starts copying source's ride files into the ride-data folder off the GUI thread; a copy
    // asked for while one runs follows it, so two copies never write at once (one that
    // stopCopy() forgot writes nothing more).
    void startCopy(const QString &source);
    void onCopyFinished();
    void onRideRead();
    void onWindowBuilt();
    // No ride: time labels, slider, ride panel, date label and the lent map empty.
    void showNoRide();
    void clearDateLabel();

    std::unique_ptr<Ui::FormPlaybak> ui;
    QPointer<FileDialog_C> fileDialog;      // deletes itself on close
    FormChartDataView *chartView = nullptr; // in the map area once the map is lent
    QString curSelectedDay;                 // "yyyyMMdd", also the chart window's first day
    QString srcFolder;
    std::shared_ptr<PlaybackDataParser> reader;
    QVector<PlaybackInfo_t> ridePoints; // the reader's points, coordinates filled
    RidePlayback ride;
    QString curFile;                // full path of the loaded ride; "" when none
    QLabel *curDateLabel = nullptr; // over the map, top right
    int dateFormat = 0;
    QPointer<FormMap> map; // owned by the main window
    int chartMode_ = 0;    // 0 map, 1 period charts
    QSize pageSize;        // the last setPageSize, empty before
    QTimer *timer = nullptr;
    DriveProbe *entryCardCheck = nullptr;  // a child; its answer leads to the copy
    DriveProbe *buttonCardCheck = nullptr; // a child; its answer leads to a dialog
    // the running copy's, a child; null when none. A copy stopped by stopCopy() is forgotten.
    QFutureWatcher<RideDataFolder::CopyResult> *copyWatcher = nullptr;
    std::shared_ptr<RideDataFolder::CopyStop> copyStop =
        std::make_shared<RideDataFolder::CopyStop>();
    QString nextCopySource;               // a copy asked for while one ran; "" when none
    QFutureWatcher<RideLoad> rideWatcher; // the last chosen ride only
    QString readingName;                  // its file name
    bool readingRide_ = false;
    std::shared_ptr<RideSummaryCache> summaryCache_;
    QFutureWatcher<QVector<PlaybackInfo2_t>> windowWatcher; // the last window only
    int windowPeriod = 0;
    bool buildingWindow_ = false;
};
