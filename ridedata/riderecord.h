// One 29-byte record of a ride-data file, decoded byte by byte.
#pragma once

#include <QString>

namespace RideFormat {
constexpr int recordBytes = 29;  // one record per 5 seconds of ride
constexpr int blockBytes = 2900; // files are read 100 records at a time
constexpr int secondsPerRecord = 5;
constexpr double mphPerKmh = 0.62137;
constexpr double maxLatitude = 90.0; // a coordinate beyond these bounds is no fix
constexpr double maxLongitude = 180.0;
} // namespace RideFormat

struct RideRecord
{
    QString latHemisphere; // decoded letter, 'N' or 'S' from a sound camera
    QString lngHemisphere;
    QString latitude;           // signed decimal degrees, 7 decimals
    QString longitude;          // signed decimal degrees, 6 decimals
    double latitudeValue = 0.0; // the two texts read back
    double longitudeValue = 0.0;
    double altitude = 0.0; // metres, single-precision value
    double speedKmh = 0.0;
    double speedMph = 0.0; // 6 decimals

    // Both coordinates non-zero: the camera had a fix.
    bool located() const { return latitudeValue != 0.0 && longitudeValue != 0.0; }
};

// Decodes RideFormat::recordBytes bytes at record. Malformed bytes never fail: a group that is
// not two hexadecimal digits reads as 0, an unreadable altitude as 0, an unknown hemisphere letter
// as north/east, and a coordinate outside +-90 / +-180 leaves the record without a fix.
RideRecord decodeRideRecord(const char *record);
