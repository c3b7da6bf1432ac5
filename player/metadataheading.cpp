#include "metadataheading.h"

#include <QtMath>

#include <cmath>

namespace {

bool hasFix(const VideoInfo_t &sample)
{
    return sample.lat != 0.0 || sample.lon != 0.0;
}

// Shared texts of every whole degree: a long track then holds no text of its own for them.
const QString &headingText(int degree)
{
    static const QVector<QString> texts = [] {
        QVector<QString> all;
        for (int i = 0; i < 360; ++i)
            all.append(QString::number(i));
        return all;
    }();
    return texts.at(degree);
}

void setHeading(VideoInfo_t &sample, double headingDeg)
{
    sample.headingText = headingText(qRound(headingDeg) % 360);
    sample.compassText = MetadataHeading::compassPoint(headingDeg);
}

// A fix with the sine and cosine of its latitude, which both formulas take: a track computes
// them once per fix.
struct Point
{
    double lat;
    double lon;
    double sinPhi;
    double cosPhi;
};

Point point(double lat, double lon)
{
    const double phi = qDegreesToRadians(lat);
    return {lat, lon, std::sin(phi), std::cos(phi)};
}

double bearing(const Point &from, const Point &to)
{
    const double dLambda = qDegreesToRadians(to.lon - from.lon);
    const double y = std::sin(dLambda) * to.cosPhi;
    const double x = from.cosPhi * to.sinPhi - from.sinPhi * to.cosPhi * std::cos(dLambda);
    const double deg = qRadiansToDegrees(std::atan2(y, x));
    return deg < 0 ? deg + 360.0 : deg;
}

double distance(const Point &from, const Point &to)
{
    constexpr double earthRadiusMetres = 6371000.0;
    const double halfPhi = std::sin(qDegreesToRadians(to.lat - from.lat) / 2);
    const double halfLambda = std::sin(qDegreesToRadians(to.lon - from.lon) / 2);
    const double a = halfPhi * halfPhi + from.cosPhi * to.cosPhi * halfLambda * halfLambda;
    return 2 * earthRadiusMetres * std::asin(std::sqrt(std::min(1.0, a)));
}

} // namespace

namespace MetadataHeading {

double bearingDegrees(double lat1, double lon1, double lat2, double lon2)
{
    return bearing(point(lat1, lon1), point(lat2, lon2));
}

double distanceMetres(double lat1, double lon1, double lat2, double lon2)
{
    return distance(point(lat1, lon1), point(lat2, lon2));
}

QString compassPoint(double headingDeg)
{
    static const QString points[8] = {
        QStringLiteral("N"), QStringLiteral("NE"), QStringLiteral("E"), QStringLiteral("SE"),
        QStringLiteral("S"), QStringLiteral("SW"), QStringLiteral("W"), QStringLiteral("NW")};
    const double normalised = std::fmod(std::fmod(headingDeg, 360.0) + 360.0, 360.0);
    return points[int((normalised + 22.5) / 45.0) % 8];
}

void fillHeadings(QVector<VideoInfo_t> &samples)
{
    const QString &noHeading = headingText(0);
    int lastFix = -1;
    Point from{};           // lastFix's point
    int firstUnheaded = -1; // first fix that still waits for the first heading
    bool headed = false;
    double heading = 0.0;
    for (int i = 0; i < samples.size(); ++i) {
        VideoInfo_t &sample = samples[i];
        sample.headingText = noHeading;
        sample.compassText.clear();
        if (!hasFix(sample))
            continue;
        const Point here = point(sample.lat, sample.lon);
        if (lastFix < 0) {
            lastFix = i;
            from = here;
        } else if (distance(from, here) >= minMoveMetres) {
            heading = bearing(from, here);
            headed = true;
            lastFix = i;
            from = here;
        }
        if (!headed) {
            if (firstUnheaded < 0)
                firstUnheaded = i;
            continue;
        }
        if (firstUnheaded >= 0) {
            for (int j = firstUnheaded; j < i; ++j) {
                if (hasFix(samples.at(j)))
                    setHeading(samples[j], heading);
            }
            firstUnheaded = -1;
        }
        setHeading(sample, heading);
    }
}

} // namespace MetadataHeading
