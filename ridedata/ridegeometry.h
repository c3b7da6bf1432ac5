// Distance, heading and the decimal rounding rules of ride data.
#pragma once

#include <QString>

// value rounded to decimals decimals (0..9) as a count of 10^-decimals units, exactly the digits
// printf("%.*f") writes (ties of the binary value go to even). False when the count would not
// fit in 53 bits or value is not finite.
bool decimalUnits(double value, int decimals, qint64 &units);

// value written with decimals decimals and read back (the rounding of its text form).
double roundThroughText(double value, int decimals);

// units of 10^-decimals as fixed-point text with decimals decimals, as QString::number(v, 'f')
// writes the value.
QString fixedText(qint64 units, int decimals);

// Great-circle distance in metres between two points in decimal degrees; every intermediate is
// kept with 7 decimals, so results are multiples of about 0.64 m.
double rideDistanceMetres(double lat1, double lng1, double lat2, double lng2);

// Direction of travel from the previous to the current point, degrees clockwise from north with
// one decimal at most, followed by a degree sign. When the points share a latitude or a
// longitude the previous heading text is returned.
QString headingText(float latitude, float longitude, float previousLatitude,
                    float previousLongitude, const QString &previousHeading);

// The first point's heading: "0" and a degree sign.
QString initialHeadingText();

// seconds as "hh:mm:ss" (hours keep all their digits).
QString durationText(int seconds);
