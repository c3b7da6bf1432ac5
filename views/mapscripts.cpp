#include "mapscripts.h"

#include <cmath>

namespace {
constexpr double radiansPerDegree = 0.017453292519943295;
constexpr double earthRadiusMetres = 6378137.0;

bool readsAsZero(const QString &text)
{
    return MapScripts::numberOf(text) == 0.0;
}

// The decimal position texts of both kinds of track point.
const QString &latOf(const VideoInfo_t &p)
{
    return p.latDecimalText;
}
const QString &lngOf(const VideoInfo_t &p)
{
    return p.lonDecimalText;
}
const QString &latOf(const PlaybackInfo_t &p)
{
    return p.latitude;
}
const QString &lngOf(const PlaybackInfo_t &p)
{
    return p.longitude;
}

void setDefaultPosition(VideoInfo_t &p)
{
    p.latDecimalText = MapScripts::defaultLatitude;
    p.lonDecimalText = MapScripts::defaultLongitude;
}

void setDefaultPosition(PlaybackInfo_t &p)
{
    p.latitude = MapScripts::defaultLatitude;
    p.longitude = MapScripts::defaultLongitude;
}

void copyPosition(VideoInfo_t &to, const VideoInfo_t &from)
{
    to.latDecimalText = from.latDecimalText;
    to.lonDecimalText = from.lonDecimalText;
    to.lat = from.lat;
    to.lon = from.lon;
}

void copyPosition(PlaybackInfo_t &to, const PlaybackInfo_t &from)
{
    to.latitude = from.latitude;
    to.longitude = from.longitude;
}

// A track's missing positions: the first takes the first full fix of the track, every later
// one its predecessor's; without any fix they take the default position (numbers unchanged).
template <typename Point> void fillPositions(QVector<Point> &points)
{
    using namespace MapScripts;
    if (points.isEmpty())
        return;
    Point &first = points[0];
    if (isMissingPosition(latOf(first), lngOf(first))) {
        for (int i = 1; i < points.size(); ++i) {
            if (hasFullFix(latOf(points[i]), lngOf(points[i]))) {
                copyPosition(first, points.at(i));
                break;
            }
        }
    }
    for (int i = 0; i < points.size(); ++i) {
        Point &p = points[i];
        if (!isMissingPosition(latOf(p), lngOf(p)))
            continue;
        if (i > 0 && !isMissingPosition(latOf(points[i - 1]), lngOf(points[i - 1]))) {
            copyPosition(p, points.at(i - 1));
        } else {
            setDefaultPosition(p);
        }
    }
}
} // namespace

namespace MapScripts {

bool isNumberText(const QString &text)
{
    // QString::toDouble reads only plain C-locale numbers: no names, calls or separators
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

double numberOf(const QString &text)
{
    return isNumberText(text) ? text.toDouble() : 0.0;
}

bool isMissingPosition(const QString &lat, const QString &lng)
{
    if (!isNumberText(lat) || !isNumberText(lng))
        return true;
    return readsAsZero(lat) && readsAsZero(lng);
}

bool hasFullFix(const QString &lat, const QString &lng)
{
    return numberOf(lat) != 0.0 && numberOf(lng) != 0.0;
}

QString headingForScript(const QString &heading)
{
    return isNumberText(heading) ? heading : QString();
}

double stepMetres(double latFrom, double lonFrom, double latTo, double lonTo)
{
    const double latP = latFrom * radiansPerDegree;
    const double latC = latTo * radiansPerDegree;
    const double lonP = lonFrom * radiansPerDegree;
    const double lonC = lonTo * radiansPerDegree;
    const double a =
        std::pow(std::sin(std::fabs(latC - latP) * 0.5), 2.0) +
        std::cos(latC) * std::cos(latP) * std::pow(std::sin(std::fabs(lonC - lonP) * 0.5), 2.0);
    return 2.0 * std::asin(std::sqrt(a)) * earthRadiusMetres;
}

double fillTrack(QVector<VideoInfo_t> &samples)
{
    fillPositions(samples);
    double total = 0.0;
    for (int i = 1; i < samples.size(); ++i) {
        const VideoInfo_t &p = samples.at(i - 1);
        const VideoInfo_t &c = samples.at(i);
        total += stepMetres(p.lat, p.lon, c.lat, c.lon);
    }
    return total;
}

void fillRideTrack(QVector<PlaybackInfo_t> &points)
{
    fillPositions(points);
}

QString initialize(bool dark)
{
    return QStringLiteral(" initialize(%1); ").arg(dark ? QLatin1Char('1') : QLatin1Char('0'));
}

QString clearMapAll()
{
    return QStringLiteral(" clearMapAll(); ");
}

QString clearMarker()
{
    return QStringLiteral(" clearMarker(); ");
}

QString deletePolyLines()
{
    return QStringLiteral(" deletePolyLines()");
}

QString setArrow(const QString &lat, const QString &lng, const QString &heading)
{
    return QStringLiteral(" setArrow({lat: %1, lng: %2},%3); ").arg(lat, lng, heading);
}

QString setArrowAnimation(const QString &fromLat, const QString &fromLng, const QString &toLat,
                          const QString &toLng, const QString &heading)
{
    return QStringLiteral(" setArrowAnimation({lat: %1, lng: %2},{lat: %3, lng: %4},%5); ")
        .arg(fromLat, fromLng, toLat, toLng, heading);
}

QString setPolyLine(const QVector<LatLngText> &points)
{
    QString script = QStringLiteral("var points = [");
    for (const LatLngText &p : points)
        script += QStringLiteral("{lat: %1, lng: %2},").arg(p.lat, p.lng);
    if (!points.isEmpty())
        script.chop(1); // the comma after the last point
    return script + QStringLiteral("]; ") + QStringLiteral(" setPolyLine(points); ");
}

QString setMarker(const QString &lat, const QString &lng, const QString &iconUrl, bool isEnd)
{
    const QString quoted = QLatin1Char('"') + iconUrl + QLatin1Char('"');
    return (isEnd ? QStringLiteral(" setEndMarker({lat: %1, lng: %2},%3); ")
                  : QStringLiteral(" setStartMarker({lat: %1, lng: %2},%3); "))
        .arg(lat, lng, quoted);
}

QString iconUrl(const QString &skinFolder, const QString &imageName)
{
    return QStringLiteral("qrc") + skinFolder + imageName;
}

} // namespace MapScripts
