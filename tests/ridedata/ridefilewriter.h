// Encoder of ride-data records for tests and benchmarks (the camera's 29-byte format).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cmath>
#include <cstdio>

namespace RideFileWriter {

// The fields of one record as stored: letters and signs before their +3 shift, groups verbatim.
struct RawRecord
{
    char latHemisphere = 'N';
    QByteArray latGroups = "00000000"; // four groups of two hexadecimal characters
    char lngHemisphere = 'E';
    QByteArray lngGroups = "0000000000"; // five groups
    char altitudeSign = '+';
    QByteArray altitudeGroups = "0000"; // two groups
    QByteArray speedGroups = "0000";    // two groups

    QByteArray bytes() const
    {
        QByteArray out;
        out.append(static_cast<char>(latHemisphere + 3)).append(latGroups.left(8));
        out.append(static_cast<char>(lngHemisphere + 3)).append(lngGroups.left(10));
        out.append(static_cast<char>(altitudeSign + 3)).append(altitudeGroups.left(4));
        out.append(speedGroups.left(4));
        return out;
    }
};

// Each decimal digit pair of digits as one two-character hexadecimal group; a lone last digit
// makes a group of its own.
inline QByteArray hexGroups(const QByteArray &digits)
{
    QByteArray out;
    for (int i = 0; i < digits.size(); i += 2) {
        char group[3];
        std::snprintf(group, sizeof group, "%02X", digits.mid(i, 2).toInt());
        out.append(group, 2);
    }
    return out;
}

// degrees as degreeDigits whole degrees, two whole minutes and four minute decimals.
inline QByteArray coordinateDigits(double degrees, int degreeDigits)
{
    const double magnitude = std::fabs(degrees);
    auto whole = static_cast<long>(magnitude);
    long minutes = std::lround((magnitude - whole) * 60.0 * 10000.0);
    if (minutes >= 600000) {
        minutes -= 600000;
        ++whole;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%0*ld%06ld", degreeDigits, whole, minutes);
    return QByteArray(text);
}

// One record of a point: signed decimal degrees, metres (one decimal) and whole km/h.
inline QByteArray encodePoint(double latitude, double longitude, double altitude, int speedKmh)
{
    RawRecord r;
    r.latHemisphere = latitude < 0 ? 'S' : 'N';
    r.latGroups = hexGroups(coordinateDigits(latitude, 2));
    r.lngHemisphere = longitude < 0 ? 'W' : 'E';
    r.lngGroups = hexGroups(coordinateDigits(longitude, 3));
    r.altitudeSign = altitude < 0 ? '-' : '+';
    char text[48];
    std::snprintf(text, sizeof text, "%04ld", std::lround(std::fabs(altitude) * 10.0));
    r.altitudeGroups = hexGroups(QByteArray(text));
    std::snprintf(text, sizeof text, "%03d", speedKmh);
    r.speedGroups = hexGroups(QByteArray(text));
    return r.bytes();
}

// A ride of records records heading north-east from (latitude, longitude), one per 5 seconds,
// with a gently rolling altitude and speeds cycling through 15..34 km/h.
inline QByteArray encodeRide(int records, double latitude = 34.1, double longitude = -118.1)
{
    QByteArray out;
    out.reserve(records * 29);
    for (int i = 0; i < records; ++i)
        out.append(encodePoint(latitude + i * 0.0003, longitude + i * 0.0002,
                               100.0 + 20.0 * std::sin(i / 30.0), 15 + i % 20));
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace RideFileWriter
