// What the map panel sends to its page: tracks, arrow moves, markers and styling, as script
// texts handed to one sink in the order they must run. Keeps the page-loaded state and the
// tracks that wait for the page. No widgets; GUI thread only.
#pragma once

#include "mapscripts.h"
#include "sharedtypes.h"

#include <QString>
#include <QVector>

#include <functional>
#include <optional>

class MapScriptDriver
{
public:
    using ScriptSink = std::function<void(const QString &script)>;

    // skinFolder: the image folder of the running skin, ending in "/".
    MapScriptDriver(ScriptSink sink, QString skinFolder);

    void setDarkMode(int dark);
    void clearMapAll();
    void infoChanged(const VideoInfo_t &vi);
    void infoPlaybackChanged(const PlaybackInfo_t &point);
    // Rewrites the samples' missing positions in place; returns the track length in metres when
    // a track was drawn.
    std::optional<double> drawTrack(QVector<VideoInfo_t> &samples);
    // Rewrites the points' missing positions in place.
    void setPlaybackData(QVector<PlaybackInfo_t> &points);

    void onLoadStarted();
    // Draws the track that waited for the page; its length when it was a video track.
    std::optional<double> onLoadFinished(bool ok);

    bool isPageLoaded() const { return pageLoaded_; }
    bool isDark() const { return dark_; }
    QString lastLatitude() const { return lastLatitude_; }
    QString lastLongitude() const { return lastLongitude_; }

private:
    void send(const QString &script) const;
    void sendEmptyTrack();
    void sendDefaultArrow();
    // The track line with its start and end markers; points is not empty.
    void sendTrack(const QVector<MapScripts::LatLngText> &points);

    ScriptSink sink_;
    QString skinFolder_;
    bool pageLoaded_ = false;
    bool dark_ = false;
    QVector<VideoInfo_t> pendingTrack_;
    QVector<PlaybackInfo_t> pendingRideTrack_;
    bool rideTrackPending_ = false; // the last track given was a ride's: the load draws it
    QString lastLatitude_ = QStringLiteral("0.0");
    QString lastLongitude_ = QStringLiteral("0.0");
};
