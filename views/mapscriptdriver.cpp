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
    send(setArrow(defaultLatitude, defaultLongitude, QStringLiteral("0")));
}

void MapScriptDriver::infoChanged(const VideoInfo_t &vi)
{
    if (vi.latDecimalText.isEmpty() || vi.lonDecimalText.isEmpty())
        return;
    QString lat = vi.latDecimalText;
    QString lng = vi.lonDecimalText;
    if (isMissingPosition(lat, lng)) {
        lat = defaultLatitude;
        lng = defaultLongitude;
    }
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
    QString lat = point.latitude;
    QString lng = point.longitude;
    if (isMissingPosition(lat, lng)) {
        lat = defaultLatitude;
        lng = defaultLongitude;
    }
    // the heading ends in a degree sign
    send(setArrow(lat, lng, headingForScript(withoutLastCharacter(point.heading))));
}

void MapScriptDriver::sendEmptyTrack()
{
    send(clearMarker());
    send(deletePolyLines());
    send(setArrow(defaultLatitude, defaultLongitude, QStringLiteral("0")));
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
    send(setPolyLine(points));
    send(clearMarker());
    const VideoInfo_t &first = samples.first();
    const VideoInfo_t &last = samples.last();
    send(setMarker(first.latDecimalText, first.lonDecimalText, iconUrl(skinFolder_, startIconName),
                   false));
    send(setMarker(last.latDecimalText, last.lonDecimalText, iconUrl(skinFolder_, endIconName),
                   true));
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
    send(setPolyLine(texts));
    send(clearMarker());
    const PlaybackInfo_t &first = points.first();
    const PlaybackInfo_t &last = points.last();
    send(setMarker(first.latitude, first.longitude, iconUrl(skinFolder_, startIconName), false));
    send(setMarker(last.latitude, last.longitude, iconUrl(skinFolder_, endIconName), true));
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
