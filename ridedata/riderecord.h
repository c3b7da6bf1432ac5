// One 29-byte record of a ride-data file, decoded byte by byte.
#pragma once

#include <QString>

namespace RideFormat {
constexpr int recordBytes = 29;  // one record per 5 seconds of ride
constexpr int blockBytes = 2900; // files are read 100 records at a time
constexpr int secondsPerRecord = 5;
// A file above this size is no ride (a day of one record a second is about 2.5 MB).
constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
// A file of bytes can be a ride: the reader neither finds it empty nor refuses it as too large.
constexpr bool isRideSize(qint64 bytes)
{
    return bytes > 0 && bytes <= maxFileBytes;
}
constexpr double maxLatitude = 90.0; // a coordinate beyond these bounds is no fix
constexpr double maxLongitude = 180.0;
constexpr int latitudeDecimals = 7;
constexpr int longitudeDecimals = 6;
} // namespace RideFormat

struct RideRecord
{
    uchar latHemisphereCode = 0; // decoded letter, 'N' or 'S' from a sound camera
    uchar lngHemisphereCode = 0;
    qint64 latitudeUnits = 0;   // signed latitude in 10^-7 degrees: the digits of its text
    qint64 longitudeUnits = 0;  // signed longitude in 10^-6 degrees
    double latitudeValue = 0.0; // the two texts read back
    double longitudeValue = 0.0;
    double altitude = 0.0; // metres, single-precision value
    double speedKmh = 0.0;
    double speedMph = 0.0; // 6 decimals

    // Both coordinates non-zero: the camera had a fix.
    bool located() const { return latitudeUnits != 0 && longitudeUnits != 0; }
    QString latHemisphere() const;
    QString lngHemisphere() const;
    QString latitude() const;  // 7 decimals
    QString longitude() const; // 6 decimals
};

// Decodes RideFormat::recordBytes bytes at record. Malformed bytes never fail: a group that is
// not two hexadecimal digits reads as 0, an altitude whose sign is not '+', '-' or a digit as 0,
// an unknown hemisphere letter as north/east, and a coordinate outside +-90 / +-180 leaves the
// record without a fix (both coordinates 0).
RideRecord decodeRideRecord(const char *record);
