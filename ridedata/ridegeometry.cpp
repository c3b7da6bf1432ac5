#include "ridegeometry.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr double radiansPerDegree = 0.017453292519943295;
constexpr double degreesPerRadian = 57.29577951308232;
constexpr double earthRadiusMetres = 6378137.0;
constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr double largestExactUnits = 4.0e15; // below 2^52: floor(p) + 0.5 is representable
const QChar degreeSign(0x00B0);

// The same rounding through printf and strtod, for values beyond the fast path.
double roundThroughPrintf(double value, int decimals)
{
    char text[400]; // wide enough for any finite double in fixed notation
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}
} // namespace

bool decimalUnits(double value, int decimals, qint64 &units)
{
    if (decimals < 0 || decimals > 9)
        return false;
    const double scale = powersOfTen[decimals];
    const double product = value * scale;
    if (!(std::fabs(product) < largestExactUnits))
        return false; // also NaN
    // The exact product is product + error; floor + 0.5 is representable, so comparing the
    // rounded product with it decides the rounding except on an exact tie of the rounded value.
    const double error = std::fma(value, scale, -product);
    const double floorValue = std::floor(product);
    const double fraction = product - floorValue;
    auto result = static_cast<qint64>(floorValue);
    if (fraction > 0.5 || (fraction == 0.5 && (error > 0.0 || (error == 0.0 && (result & 1)))))
        ++result;
    units = result;
    return true;
}

double roundThroughText(double value, int decimals)
{
    qint64 units = 0;
    if (!decimalUnits(value, decimals, units))
        return std::isfinite(value) ? roundThroughPrintf(value, decimals) : value;
    // A correctly rounded quotient is the double nearest to the decimal text, as strtod reads it.
    return std::copysign(static_cast<double>(units) / powersOfTen[decimals], value);
}

QString fixedText(qint64 units, int decimals)
{
    char text[32];
    int length = 0;
    quint64 magnitude = units < 0 ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count <= decimals)
        digits[count++] = '0';
    if (units < 0)
        text[length++] = '-';
    while (count > decimals)
        text[length++] = digits[--count];
    if (decimals > 0)
        text[length++] = '.';
    while (count > 0)
        text[length++] = digits[--count];
    return QString::fromLatin1(text, length);
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
    // Rounded half up to tenths; the shortest text of a value 0..360 in tenths ("45.3", "180").
    const auto tenths = static_cast<qint64>(std::floor(heading * 10.0 + 0.5));
    return (tenths % 10 == 0 ? QString::number(tenths / 10) : fixedText(tenths, 1)) + degreeSign;
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
