#include "riderecord.h"

#include "ridegeometry.h"

#include <QByteArray>

#include <cstdio>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Two hexadecimal characters as 0..255; anything else reads as 0.
int hexGroup(const char *p)
{
    const int high = hexDigit(p[0]);
    const int low = hexDigit(p[1]);
    return high < 0 || low < 0 ? 0 : high * 16 + low;
}

// Appends the group's value in decimal, at least width digits; a wider value keeps all its digits.
void appendGroup(QByteArray &digits, const char *p, int width)
{
    char text[8];
    const int length = std::snprintf(text, sizeof text, "%0*d", width, hexGroup(p));
    digits.append(text, length);
}

QString hemisphereLetter(char stored)
{
    return QString(QChar(static_cast<uchar>(static_cast<uchar>(stored) - 3)));
}

// degreeDigits whole degrees, then minutes with two whole digits and four decimals.
double degreesFromDigits(const QByteArray &digits, int degreeDigits)
{
    const int degrees = digits.left(degreeDigits).toInt();
    QByteArray minutes = digits.mid(degreeDigits, 6);
    minutes.insert(2, '.');
    return degrees + minutes.toDouble() / 60.0;
}

} // namespace

RideRecord decodeRideRecord(const char *record)
{
    RideRecord r;
    r.latHemisphere = hemisphereLetter(record[0]);
    r.lngHemisphere = hemisphereLetter(record[9]);

    QByteArray digits;
    digits.reserve(16);
    for (int offset = 1; offset <= 7; offset += 2)
        appendGroup(digits, record + offset, 2);
    double latitude = roundThroughText(degreesFromDigits(digits, 2), 7);

    digits.clear();
    for (int offset = 10; offset <= 16; offset += 2)
        appendGroup(digits, record + offset, 2);
    appendGroup(digits, record + 18, 1);
    double longitude = roundThroughText(degreesFromDigits(digits, 3), 6);

    digits.clear();
    digits.append(static_cast<char>(static_cast<uchar>(record[20]) - 3));
    appendGroup(digits, record + 21, 2);
    appendGroup(digits, record + 23, 2);
    digits.truncate(5);
    digits.insert(4, '.');
    r.altitude = digits.toFloat(); // 0 when the sign character makes it unreadable

    digits.clear();
    appendGroup(digits, record + 25, 2);
    appendGroup(digits, record + 27, 1);
    r.speedKmh = digits.left(3).toDouble();
    r.speedMph = roundThroughText(r.speedKmh * RideFormat::mphPerKmh, 6);

    if (r.latHemisphere == QLatin1String("S"))
        latitude = 0.0 - latitude;
    if (r.lngHemisphere == QLatin1String("W"))
        longitude = 0.0 - longitude;
    if (qAbs(latitude) > RideFormat::maxLatitude || qAbs(longitude) > RideFormat::maxLongitude) {
        latitude = 0.0;
        longitude = 0.0;
    }
    r.latitudeValue = latitude;
    r.longitudeValue = longitude;
    r.latitude = QString::number(latitude, 'f', 7);
    r.longitude = QString::number(longitude, 'f', 6);
    return r;
}
