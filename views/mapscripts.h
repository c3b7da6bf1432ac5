// Script texts of the map page and the position rules of tracks sent to it. No widgets.
#pragma once

#include "sharedtypes.h"

#include <QString>
#include <QVector>

namespace MapScripts {

// The page's initial centre; it also stands for every missing position.
inline const QString defaultLatitude = QStringLiteral("34.146343");
inline const QString defaultLongitude = QStringLiteral("-118.145064");
inline const QString startIconName = QStringLiteral("map_start.svg");
inline const QString endIconName = QStringLiteral("map_final.svg");

// A decimal number ("-25.5", "1e3") of finite value: only such texts enter a script.
bool isNumberText(const QString &text);
// The text's value when it is a number text, else 0.
double numberOf(const QString &text);
// No position: a text that is no number, or both texts reading as 0.
bool isMissingPosition(const QString &lat, const QString &lng);
// A position whose two texts are numbers other than 0.
bool hasFullFix(const QString &lat, const QString &lng);
// The heading as it may enter a script: itself when it is a number text, else empty.
QString headingForScript(const QString &heading);

// Great-circle step between two fixes in degrees, in metres (earth radius 6378137 m).
double stepMetres(double latFrom, double lonFrom, double latTo, double lonTo);

// Fills the missing positions of a video track in place and returns its length in metres.
double fillTrack(QVector<VideoInfo_t> &samples);
// Fills the missing positions of a ride track in place (texts only).
void fillRideTrack(QVector<PlaybackInfo_t> &points);

struct LatLngText
{
    QString lat;
    QString lng;
};

QString initialize(bool dark);
QString clearMapAll();
QString clearMarker();
QString deletePolyLines();
QString setArrow(const QString &lat, const QString &lng, const QString &heading);
QString setArrowAnimation(const QString &fromLat, const QString &fromLng, const QString &toLat,
                          const QString &toLng, const QString &heading);
QString setPolyLine(const QVector<LatLngText> &points);
// iconUrl is the page address of the image; the script quotes it.
QString setMarker(const QString &lat, const QString &lng, const QString &iconUrl, bool isEnd);
// "qrc" + skin folder + image name: the address the page loads a skin image from.
QString iconUrl(const QString &skinFolder, const QString &imageName);

} // namespace MapScripts
