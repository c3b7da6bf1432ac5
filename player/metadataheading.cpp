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

} // namespace

namespace MetadataHeading {

double bearingDegrees(double lat1, double lon1, double lat2, double lon2)
{
    const double phi1 = qDegreesToRadians(lat1);
    const double phi2 = qDegreesToRadians(lat2);
    const double dLambda = qDegreesToRadians(lon2 - lon1);
    const double y = std::sin(dLambda) * std::cos(phi2);
    const double x =
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
    const double deg = qRadiansToDegrees(std::atan2(y, x));
    return deg < 0 ? deg + 360.0 : deg;
}

double distanceMetres(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double earthRadiusMetres = 6371000.0;
    const double dPhi = qDegreesToRadians(lat2 - lat1);
    const double dLambda = qDegreesToRadians(lon2 - lon1);
    const double a = std::sin(dPhi / 2) * std::sin(dPhi / 2) +
                     std::cos(qDegreesToRadians(lat1)) * std::cos(qDegreesToRadians(lat2)) *
                         std::sin(dLambda / 2) * std::sin(dLambda / 2);
    return 2 * earthRadiusMetres * std::asin(std::sqrt(std::min(1.0, a)));
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
    int firstUnheaded = -1; // first fix that still waits for the first heading
    bool headed = false;
    double heading = 0.0;
    for (int i = 0; i < samples.size(); ++i) {
        VideoInfo_t &sample = samples[i];
        sample.headingText = noHeading;
        sample.compassText.clear();
        if (!hasFix(sample))
            continue;
        if (lastFix < 0) {
            lastFix = i;
        } else {
            const VideoInfo_t &from = samples.at(lastFix);
            if (distanceMetres(from.lat, from.lon, sample.lat, sample.lon) >= minMoveMetres) {
                heading = bearingDegrees(from.lat, from.lon, sample.lat, sample.lon);
                headed = true;
                lastFix = i;
            }
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
