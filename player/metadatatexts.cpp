#include "metadatatexts.h"

#include <cmath>

// Texts are built by hand in small buffers: this runs for every second of a recording, and
// printf-style and locale-aware formatting dominated the load time of long trailers.
namespace {

// Writes value with at least width digits, zero-filled; returns the end.
char *putNumber(char *out, long long value, int width)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = count; i < width; ++i)
        *out++ = '0';
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

QString degreesMinutesSeconds(double deg, char positive, char negative, int degreeDigits)
{
    // Hundredths of an arc second, so that rounding carries into minutes and degrees.
    const long long hundredths = std::llround(std::fabs(deg) * 360000.0);
    const long long seconds = hundredths % 6000;
    char text[48];
    char *out = text;
    *out++ = deg < 0 ? negative : positive;
    out = putNumber(out, hundredths / 360000, degreeDigits);
    *out++ = '\xb0'; // degree sign in Latin-1
    out = putNumber(out, hundredths / 6000 % 60, 2);
    *out++ = '\'';
    if (seconds < 1000)
        *out++ = ' '; // seconds take five places: " 7.68", "58.80"
    out = putNumber(out, seconds / 100, 1);
    *out++ = '.';
    out = putNumber(out, seconds % 100, 2);
    *out++ = '"';
    return QString::fromLatin1(text, int(out - text));
}

// A day of the Gregorian calendar; years have four digits here.
bool isDate(int year, int month, int day)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

} // namespace

namespace MetadataTexts {

QString latitudeText(double latDeg)
{
    return degreesMinutesSeconds(latDeg, 'N', 'S', 2);
}

QString longitudeText(double lonDeg)
{
    return degreesMinutesSeconds(lonDeg, 'E', 'W', 3);
}

QString decimalText(double deg)
{
    const long long millionths = std::llround(std::fabs(deg) * 1e6);
    if (millionths == 0)
        return QStringLiteral("0");
    char text[32];
    char *out = text;
    if (deg < 0)
        *out++ = '-';
    out = putNumber(out, millionths / 1000000, 1);
    *out++ = '.';
    out = putNumber(out, millionths % 1000000, 6);
    return QString::fromLatin1(text, int(out - text));
}

QString clockText(const char *timeField)
{
    const int widths[6] = {4, 2, 2, 2, 2, 2}; // year, month, day, hours, minutes, seconds
    int value[6];
    int pos = 0;
    for (int part = 0; part < 6; ++part) {
        value[part] = 0;
        for (int i = 0; i < widths[part]; ++i, ++pos) {
            const char c = timeField[pos];
            if (c < '0' || c > '9')
                return QString();
            value[part] = value[part] * 10 + (c - '0');
        }
    }
    if (!isDate(value[0], value[1], value[2]) || value[3] > 23 || value[4] > 59 || value[5] > 59)
        return QString();
    // "hh:mm:ss  dd/MM/yyyy": the field's digits in another order
    const char *f = timeField;
    const char text[20] = {f[8], f[9], ':', f[10], f[11], ':', f[12], f[13], ' ',  ' ',
                           f[6], f[7], '/', f[4],  f[5],  '/', f[0],  f[1],  f[2], f[3]};
    return QString::fromLatin1(text, int(sizeof text));
}

QString elapsedText(int second)
{
    char text[32];
    char *out = putNumber(text, second / 3600, 2);
    *out++ = ':';
    out = putNumber(out, second / 60 % 60, 2);
    *out++ = ':';
    out = putNumber(out, second % 60, 2);
    return QString::fromLatin1(text, int(out - text));
}

double mphFromKmh(double kmh)
{
    return kmh / kmPerMile;
}

} // namespace MetadataTexts
