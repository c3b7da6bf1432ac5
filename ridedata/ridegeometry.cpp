#include "ridegeometry.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr double radiansPerDegree = 0.017453292519943295;
constexpr double degreesPerRadian = 57.29577951308232;
constexpr double earthRadiusMetres = 6378137.0;
const QChar degreeSign(0x00B0);
} // namespace

double roundThroughText(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    char text[400]; // wide enough for any finite double in fixed notation
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}

double rideDistanceMetres(double lat1, double lng1, double lat2, double lng2)
{
    const double radLat1 = roundThroughText(lat1 * radiansPerDegree, 7);
    const double radLng1 = roundThroughText(lng1 * radiansPerDegree, 7);
    const double radLat2 = roundThroughText(lat2 * radiansPerDegree, 7);
    const double radLng2 = roundThroughText(lng2 * radiansPerDegree, 7);
    const double dLng = roundThroughText(std::fabs(radLng1 - radLng2), 7);
    const double dLat = roundThroughText(std::fabs(radLat1 - radLat2), 7);
    const double sinLat = std::sin(dLat / 2.0);
    const double sinLng = std::sin(dLng / 2.0);
    const double a = sinLat * sinLat + std::cos(radLat1) * std::cos(radLat2) * sinLng * sinLng;
    const double c = roundThroughText(2.0 * std::asin(std::sqrt(qBound(0.0, a, 1.0))), 7);
    return roundThroughText(c * earthRadiusMetres, 7);
}

QString headingText(float latitude, float longitude, float previousLatitude,
                    float previousLongitude, const QString &previousHeading)
{
    const float dLng = longitude - previousLongitude;
    const float dLat = latitude - previousLatitude;
    if (dLng == 0.0f || dLat == 0.0f)
        return previousHeading;
    const float a = std::atan(std::fabs(dLng) / std::fabs(dLat)) * degreesPerRadian;
    float heading = a;
    if (dLng > 0.0f && dLat < 0.0f)
        heading = 180.0f - a;
    else if (dLng < 0.0f && dLat < 0.0f)
        heading = a + 180.0f;
    else if (dLng < 0.0f && dLat > 0.0f)
        heading = 360.0f - a;
    const double rounded = std::floor(heading * 10.0 + 0.5) / 10.0;
    return QString::number(rounded, 'g', 6) + degreeSign;
}

QString initialHeadingText()
{
    return QStringLiteral("0") + degreeSign;
}

QString durationText(int seconds)
{
    const QChar zero(QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, zero)
        .arg(seconds % 3600 / 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}
