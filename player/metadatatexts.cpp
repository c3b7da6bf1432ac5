#include "metadatatexts.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <cstdio>

namespace {

QString degreesMinutesSeconds(double deg, char positive, char negative, int degreeDigits)
{
    const char hemisphere = deg < 0 ? negative : positive;
    // Work in hundredths of an arc second so that rounding carries into minutes and degrees.
    const long long hundredths = std::llround(std::fabs(deg) * 360000.0);
    const long long degrees = hundredths / 360000;
    const long long minutes = hundredths / 6000 % 60;
    const double seconds = double(hundredths % 6000) / 100.0;
    char text[48];
    std::snprintf(text, sizeof text, "%c%0*lld\xc2\xb0%02lld'%5.2f\"", hemisphere, degreeDigits,
                  degrees, minutes, seconds);
    return QString::fromUtf8(text);
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
    if (deg == 0.0)
        return QStringLiteral("0");
    return QString::number(deg, 'f', 6);
}

QString clockText(const QByteArray &timeField)
{
    // Parsed by hand: this runs once per record and the date-time parser is slow.
    if (timeField.size() != 14)
        return QString();
    const int widths[6] = {4, 2, 2, 2, 2, 2}; // year, month, day, hours, minutes, seconds
    int value[6];
    int pos = 0;
    for (int part = 0; part < 6; ++part) {
        value[part] = 0;
        for (int i = 0; i < widths[part]; ++i, ++pos) {
            const char c = timeField.at(pos);
            if (c < '0' || c > '9')
                return QString();
            value[part] = value[part] * 10 + (c - '0');
        }
    }
    if (!QDate(value[0], value[1], value[2]).isValid() ||
        !QTime(value[3], value[4], value[5]).isValid())
        return QString();
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d  %02d/%02d/%04d", value[3], value[4], value[5],
                  value[2], value[1], value[0]);
    return QString::fromLatin1(text);
}

QString elapsedText(int second)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    return QString::fromLatin1(text);
}

double mphFromKmh(double kmh)
{
    return kmh / kmPerMile;
}

} // namespace MetadataTexts
