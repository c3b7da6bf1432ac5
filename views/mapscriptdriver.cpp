#include "mapscriptdriver.h"

#include "mapscripts.h"

#include <utility>

using namespace MapScripts;

namespace {
QString withoutLastCharacter(QString text)
{
    text.chop(1);
    return text;
}

// The position the arrow is drawn at: the default centre for a missing one.
LatLngText arrowPosition(const QString &lat, const QString &lng)
{
    if (isMissingPosition(lat, lng))
        return {defaultLatitude, defaultLongitude};
    return {lat, lng};
}
} // namespace

MapScriptDriver::MapScriptDriver(ScriptSink sink, QString skinFolder)
    : sink_(std::move(sink)), skinFolder_(std::move(skinFolder))
{
}

void MapScriptDriver::send(const QString &script) const
{
    if (sink_)
        sink_(script);
}

void MapScriptDriver::setDarkMode(int dark)
{
    dark_ = dark != 0;
    send(initialize(dark_));
}

void MapScriptDriver::clearMapAll()
{
    send(MapScripts::clearMapAll());
    sendDefaultArrow();
}

void MapScriptDriver::infoChanged(const VideoInfo_t &vi)
{
    if (vi.latDecimalText.isEmpty() || vi.lonDecimalText.isEmpty())
        return;
    const auto [lat, lng] = arrowPosition(vi.latDecimalText, vi.lonDecimalText);
    if (lat == lastLatitude_ && lng == lastLongitude_)
        return;
    // a second without a position leaves the arrow; the next fix animates from the default
    if (lat != defaultLatitude || lng != defaultLongitude)
        send(setArrowAnimation(lastLatitude_, lastLongitude_, lat, lng,
                               headingForScript(vi.headingText)));
    lastLatitude_ = lat;
    lastLongitude_ = lng;
}

void MapScriptDriver::infoPlaybackChanged(const PlaybackInfo_t &point)
{
    if (point.latitude.isEmpty() || point.longitude.isEmpty())
        return;
    const auto [lat, lng] = arrowPosition(point.latitude, point.longitude);
    // the heading ends in a degree sign
    send(setArrow(lat, lng, headingForScript(withoutLastCharacter(point.heading))));
}

void MapScriptDriver::sendEmptyTrack()
{
    send(clearMarker());
    send(deletePolyLines());
    sendDefaultArrow();
}

void MapScriptDriver::sendDefaultArrow()
{
    send(setArrow(defaultLatitude, defaultLongitude, QStringLiteral("0")));
}

void MapScriptDriver::sendTrack(const QVector<LatLngText> &points)
{
    send(setPolyLine(points));
    send(clearMarker());
    send(setMarker(points.first().lat, points.first().lng, iconUrl(skinFolder_, startIconName),
                   false));
    send(setMarker(points.last().lat, points.last().lng, iconUrl(skinFolder_, endIconName), true));
}

std::optional<double> MapScriptDriver::drawTrack(QVector<VideoInfo_t> &samples)
{
    rideTrackPending_ = false;
    if (samples.isEmpty()) {
        pendingTrack_.clear();
        sendEmptyTrack();
        return std::nullopt;
    }
    if (!pageLoaded_) {
        if (&samples != &pendingTrack_)
            pendingTrack_ = samples;
        return std::nullopt;
    }
    const double total = fillTrack(samples);
    QVector<LatLngText> points;
    points.reserve(samples.size());
    for (const VideoInfo_t &s : qAsConst(samples))
        points.append({s.latDecimalText, s.lonDecimalText});
    lastLatitude_ = samples.first().latDecimalText;
    lastLongitude_ = samples.first().lonDecimalText;
    sendTrack(points);
    return total;
}

void MapScriptDriver::setPlaybackData(QVector<PlaybackInfo_t> &points)
{
    rideTrackPending_ = true;
    if (points.isEmpty()) {
        pendingRideTrack_.clear();
        sendEmptyTrack();
        return;
    }
    if (!pageLoaded_) {
        if (&points != &pendingRideTrack_)
            pendingRideTrack_ = points;
        return;
    }
    fillRideTrack(points);
    QVector<LatLngText> texts;
    texts.reserve(points.size());
    for (const PlaybackInfo_t &p : qAsConst(points))
        texts.append({p.latitude, p.longitude});
    sendTrack(texts);
}

void MapScriptDriver::onLoadStarted()
{
    pageLoaded_ = false;
}

std::optional<double> MapScriptDriver::onLoadFinished(bool ok)
{
    pageLoaded_ = ok;
    if (!ok)
        return std::nullopt;
    if (rideTrackPending_) {
        setPlaybackData(pendingRideTrack_);
        return std::nullopt;
    }
    return drawTrack(pendingTrack_);
}
