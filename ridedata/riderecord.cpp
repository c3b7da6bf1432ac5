#include "riderecord.h"

#include "ridegeometry.h"
#include "rideunits.h"

#include <array>
#include <cmath>

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

// Decimal digits of the groups of one field. Each group's value is written with at least its
// width in digits; a wider value keeps all its digits and moves the later ones along.
class Digits
{
public:
    void appendGroup(const char *p, int width)
    {
        int value = hexGroup(p);
        char reversed[3];
        int count = 0;
        do {
            reversed[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count < width)
            reversed[count++] = '0';
        while (count > 0)
            digits_[length_++] = reversed[--count];
    }
    // The number written by count digits from first (all present: every field has enough).
    int number(int first, int count) const
    {
        int value = 0;
        for (int i = first; i < first + count; ++i)
            value = value * 10 + (digits_[i] - '0');
        return value;
    }

private:
    std::array<char, 16> digits_{}; // at most five groups of three digits
    int length_ = 0;
};

// Degrees from degreeDigits whole degrees and minutes "MM.mmmm" (four decimals).
double degreesFrom(const Digits &digits, int degreeDigits)
{
    const int minuteUnits = digits.number(degreeDigits, 6);
    return digits.number(0, degreeDigits) + minuteUnits / 10000.0 / 60.0;
}

// "<sign><4 digits>" read as a number with one decimal; 0 when the sign makes it unreadable.
double altitudeFrom(char sign, const Digits &digits)
{
    const double magnitude = digits.number(0, 4) / 10.0;
    if (sign == '+')
        return magnitude;
    if (sign == '-')
        return -magnitude;
    if (sign >= '0' && sign <= '9')
        return ((sign - '0') * 10000 + digits.number(0, 4)) / 10.0;
    return 0.0;
}

const QString &letterText(uchar code)
{
    static const std::array<QString, 256> letters = [] {
        std::array<QString, 256> all;
        for (int i = 0; i < 256; ++i)
            all[i] = QString(QChar(i));
        return all;
    }();
    return letters[code];
}

// Signed coordinate from its magnitude: units of 10^-decimals and the value they stand for.
void setCoordinate(double magnitude, bool negative, int decimals, qint64 &units, double &value)
{
    decimalUnits(magnitude, decimals, units); // magnitude < 1000, always representable
    if (negative)
        units = -units;
    // The correctly rounded quotient is the value the coordinate's text reads as.
    value = static_cast<double>(units) / std::pow(10.0, decimals);
}

} // namespace

QString RideRecord::latHemisphere() const
{
    return letterText(latHemisphereCode);
}

QString RideRecord::lngHemisphere() const
{
    return letterText(lngHemisphereCode);
}

QString RideRecord::latitude() const
{
    return fixedText(latitudeUnits, RideFormat::latitudeDecimals);
}

QString RideRecord::longitude() const
{
    return fixedText(longitudeUnits, RideFormat::longitudeDecimals);
}

RideRecord decodeRideRecord(const char *record)
{
    RideRecord r;
    // The letters and the sign are stored as their byte value + 3.
    r.latHemisphereCode = static_cast<uchar>(static_cast<uchar>(record[0]) - 3);
    r.lngHemisphereCode = static_cast<uchar>(static_cast<uchar>(record[9]) - 3);

    Digits latitude;
    for (int offset = 1; offset <= 7; offset += 2)
        latitude.appendGroup(record + offset, 2);
    setCoordinate(degreesFrom(latitude, 2), r.latHemisphereCode == 'S',
                  RideFormat::latitudeDecimals, r.latitudeUnits, r.latitudeValue);

    Digits longitude;
    for (int offset = 10; offset <= 16; offset += 2)
        longitude.appendGroup(record + offset, 2);
    longitude.appendGroup(record + 18, 1);
    setCoordinate(degreesFrom(longitude, 3), r.lngHemisphereCode == 'W',
                  RideFormat::longitudeDecimals, r.longitudeUnits, r.longitudeValue);

    if (std::fabs(r.latitudeValue) > RideFormat::maxLatitude ||
        std::fabs(r.longitudeValue) > RideFormat::maxLongitude) {
        r.latitudeUnits = r.longitudeUnits = 0;
        r.latitudeValue = r.longitudeValue = 0.0;
    }

    Digits altitude;
    altitude.appendGroup(record + 21, 2);
    altitude.appendGroup(record + 23, 2);
    const char sign = static_cast<char>(static_cast<uchar>(record[20]) - 3);
    r.altitude = static_cast<float>(altitudeFrom(sign, altitude));

    Digits speed;
    speed.appendGroup(record + 25, 2);
    speed.appendGroup(record + 27, 1);
    r.speedKmh = speed.number(0, 3);
    r.speedMph = roundThroughText(r.speedKmh * RideUnits::mphPerKmh, 6);
    return r;
}
