// The map panel: shows the trip's GPS track and the moving arrow on the web map page and drives
// that page only through script texts (see MapScriptDriver).
#pragma once

#include "mapscriptdriver.h"
#include "sharedtypes.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class QWebEnginePage;
class QWebEngineView;

namespace Ui {
class FormMap;
}

class FormMap : public QWidget
{
    Q_OBJECT
public:
    explicit FormMap(QWidget *parent = nullptr);
    ~FormMap() override;

    // Styles the map: 1 dark, any other value light. Keeps what the map shows.
    void setDarkMode(int dark);
    Map_e getMapType() const { return mapType_; }
    // Draws a ride's track with start and end markers; fills its missing positions in place.
    void setPlaybackData(QVector<PlaybackInfo_t> &points);

    // The view whose loadFinished tells that the page is ready; owned by this panel.
    QWebEngineView *webView() const { return view_; }
    bool isPageLoaded() const { return driver_.isPageLoaded(); }

public slots:
    // A video's per-second samples: draws its track; missing positions are filled in place.
    void setData(QVector<VideoInfo_t> &samples);
    // The sample of the current second: the arrow moves to it (isValid is not used).
    void infoChanged(VideoInfo_t vi, bool isValid);
    // One ride point: the arrow is put on it.
    void infoPlaybackChanged(PlaybackInfo_t vi);
    void changeMap(Map_e map);
    // Clears tracks and markers; the arrow goes back to the default position.
    void clearMapAll();

signals:
    // Length of the drawn video track in metres.
    void distanceTotalLengthTrigger(double distance);

private slots:
    void onGoogleLoadStarted();
    void onGoogleLoadFinished(bool ok);

private:
    void drawTrack(QVector<VideoInfo_t> &samples);
    // Every script reaches the page here, without a result callback; scripts given before the
    // page has loaded wait for it and then run in the order given.
    void runScript(const QString &script);

    QStringList waitingScripts_;

    std::unique_ptr<Ui::FormMap> ui;
    QWebEngineView *view_ = nullptr; // owned by the layout
    QWebEnginePage *page_ = nullptr; // child of this panel
    Map_e mapType_ = MapWebPage;
    MapScriptDriver driver_;
};
