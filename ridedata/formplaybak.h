// The ride-data page of calendar mode: calendar, day file list, ride information and period
// charts around the map that the main window lends it, with the ride playback bar.
#pragma once

#include "filedialog.h"
#include "rideplayback.h"
#include "sharedtypes.h"

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
class FormCalendarView;
class FormChartDataView;
class FormFileDateListView;
class FormMap;
class FormPlaybackData;
class PlaybackDataParser;
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
    // Files of the card that could not be copied (no partial file was left).
    void metadataCopyFailed(const QStringList &names);

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
    int onCheckMetadata();
    void onCopyMetadata(int diskCount);
    void setMetadataDefault();
    void onFileOpenDialog();
    void changeMapMode();
    void setClickDate(float position);
    void initCalendarParameter();

private:
    void connectSignals();
    void initStyle();
    void emitContinuousMetadata();
    // Clears and marks the calendar when the ride-data folder holds ride files.
    void markCalendar();
    void setPlayButton(bool pauseImage);
    void setModeButtons(bool chartSelected);
    // The map (with its date label) or the period charts in the map area, with their buttons.
    void showMode(bool chart);
    void applyDateLabelFont();
    void restartTimer(int intervalMs);
    QStringList folderListing() const;

    std::unique_ptr<Ui::FormPlaybak> ui;
    QPointer<FileDialog_C> fileDialog;      // deletes itself on close
    FormChartDataView *chartView = nullptr; // in the map area once the map is lent
    QString curSelectedDay;                 // "yyyyMMdd", also the chart window's first day
    QString metadataFolder;
    QString srcFolder;
    std::unique_ptr<PlaybackDataParser> reader;
    QVector<PlaybackInfo_t> ridePoints; // the reader's points, coordinates filled
    RidePlayback ride;
    QString curFile;                // full path of the loaded ride; "" when none
    QLabel *curDateLabel = nullptr; // over the map, top right
    int dateFormat = 0;
    QPointer<FormMap> map; // owned by the main window
    int chartMode_ = 0;    // 0 map, 1 period charts
    QSize pageSize;        // the last setPageSize, empty before
    QTimer *timer = nullptr;
};
