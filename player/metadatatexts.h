// Display and decimal texts of the values in a per-second metadata sample.
#pragma once

#include <QString>

namespace MetadataTexts {

constexpr double kmPerMile = 1.609344;

// Degrees, minutes and seconds with the hemisphere letter first, "N25°01'58.80\"";
// a fix at 0 reads "N00°00' 0.00\"" (latitude) and "E000°00' 0.00\"" (longitude).
QString latitudeText(double latDeg);
QString longitudeText(double lonDeg);

// Signed decimal degrees with 6 decimals; exactly "0" for no position.
QString decimalText(double deg);

// "hh:mm:ss  dd/MM/yyyy" from the 14 bytes "yyyyMMddhhmmss" at timeField; empty when they are
// no valid time.
QString clockText(const char *timeField);

// Elapsed playback time of a second, "hh:mm:ss" (hours keep counting past 24).
QString elapsedText(int second);

double mphFromKmh(double kmh);

} // namespace MetadataTexts
