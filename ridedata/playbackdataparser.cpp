#include "playbackdataparser.h"

#include "ridefilereader.h"
#include "ridegeometry.h"
#include "ridelog.h"
#include "riderecord.h"
#include "ridewindowsummary.h"

#include <limits>

namespace {

const QString fallbackLatitude = QStringLiteral("34.146343");
const QString fallbackLongitude = QStringLiteral("-118.145064");

// Single-precision accumulation: the sum is formed in double and rounded back to float.
void addSingle(float &sum, double value)
{
    sum = static_cast<float>(static_cast<double>(sum) + value);
}

// A coordinate text reads as 0 when it holds no digit other than 0 (the texts are decimals).
bool readsAsZero(const QString &coordinate)
{
    for (const QChar c : coordinate) {
        if (c.isDigit() && c != QLatin1Char('0'))
            return false;
    }
    return true;
}

bool hasNoFix(const PlaybackInfo_t &point)
{
    return readsAsZero(point.latitude) && readsAsZero(point.longitude);
}

bool hasFullFix(const PlaybackInfo_t &point)
{
    return !readsAsZero(point.latitude) && !readsAsZero(point.longitude);
}

void copyCoordinates(PlaybackInfo_t &to, const PlaybackInfo_t &from)
{
    to.latitude = from.latitude;
    to.longitude = from.longitude;
}

// Leading points without a fix take the first fix, later ones repeat the last fix, and a ride
// without any fix lies on the fallback point. Only the coordinate texts change.
void fillMissingCoordinates(QVector<PlaybackInfo_t> &points)
{
    if (points.isEmpty())
        return;
    if (hasNoFix(points[0])) {
        for (int i = 1; i < points.size(); ++i) {
            if (hasFullFix(points[i])) {
                copyCoordinates(points[0], points[i]);
                break;
            }
        }
    }
    for (int i = 0; i < points.size(); ++i) {
        if (!hasNoFix(points[i]))
            continue;
        if (i == 0) {
            points[0].latitude = fallbackLatitude;
            points[0].longitude = fallbackLongitude;
        } else {
            copyCoordinates(points[i], points[i - 1]);
        }
    }
}

} // namespace

struct PlaybackDataParser::Accumulators
{
    qint64 records = 0;
    qint64 locatedRecords = 0;
    float speedSum = 0.0f; // mph over located records
    float speedMax = 0.0f;
    float speedMin = 0.0f;
    float altitudeMax = 0.0f;
    float altitudeMin = 0.0f;
    float altitudeMinNonZero = 0.0f;
    float altitudeReference = 0.0f; // first non-zero altitude of a located record
    float distance = 0.0f;          // metres over legs between two located records
    double previousLatitude = 0.0;
    double previousLongitude = 0.0;
    bool previousLocated = false;
    QString previousHeading;
};

PlaybackDataParser::PlaybackDataParser(QString path) : path_(std::move(path)) {}

bool PlaybackDataParser::parse()
{
    Accumulators sums;
    const RideFileStatus status =
        readRideFile(path_, [&](const RideRecord &decoded) { addRecord(decoded, sums); });
    if (status != RideFileStatus::Read)
        return false;
    finishSummary(sums);
    return true;
}

void PlaybackDataParser::addRecord(const RideRecord &decoded, Accumulators &sums)
{
    record_.latHemisphere = decoded.latHemisphere();
    record_.latitude = decoded.latitude();
    record_.lngHemisphere = decoded.lngHemisphere();
    record_.longitude = decoded.longitude();
    record_.altitude = decoded.altitude;
    record_.speedKmh = decoded.speedKmh;
    record_.speedMph = decoded.speedMph;

    const bool located = decoded.located();
    const auto altitude = static_cast<float>(decoded.altitude);
    const auto speed = static_cast<float>(decoded.speedMph);
    if (located) {
        addSingle(sums.speedSum, decoded.speedMph);
        ++sums.locatedRecords;
        if (sums.altitudeReference == 0.0f)
            sums.altitudeReference = altitude;
    }

    if (sums.records == 0) {
        record_.heading = initialHeadingText();
        sums.speedMax = sums.speedMin = speed;
        sums.altitudeMax = sums.altitudeMin = sums.altitudeMinNonZero = altitude;
    } else {
        // Distance and heading need a fix at both ends of the leg.
        if (sums.previousLocated && located) {
            addSingle(sums.distance,
                      rideDistanceMetres(decoded.latitudeValue, decoded.longitudeValue,
                                         sums.previousLatitude, sums.previousLongitude));
            record_.heading =
                headingText(static_cast<float>(decoded.latitudeValue),
                            static_cast<float>(decoded.longitudeValue),
                            static_cast<float>(sums.previousLatitude),
                            static_cast<float>(sums.previousLongitude), sums.previousHeading);
        } else {
            record_.heading = sums.previousHeading;
        }
        if (altitude > sums.altitudeMax)
            sums.altitudeMax = altitude;
        else if (altitude < sums.altitudeMin)
            sums.altitudeMin = altitude;
        if (altitude != 0.0f &&
            (altitude < sums.altitudeMinNonZero || sums.altitudeMinNonZero == 0.0f))
            sums.altitudeMinNonZero = altitude;
        if (speed > sums.speedMax)
            sums.speedMax = speed;
        else if (speed < sums.speedMin)
            sums.speedMin = speed;
    }
    record_.distance = sums.distance;
    sums.previousLatitude = decoded.latitudeValue;
    sums.previousLongitude = decoded.longitudeValue;
    sums.previousLocated = located;
    sums.previousHeading = record_.heading;
    ++sums.records;
    points_.append(record_);
}

void PlaybackDataParser::finishSummary(const Accumulators &sums)
{
    qCDebug(lcRideData) << "altitudeAvg temp =>  " << sums.altitudeReference << "   dataCount  "
                        << sums.records;
    const float speedAvg =
        sums.locatedRecords > 0 ? sums.speedSum / static_cast<float>(sums.locatedRecords) : 0.0f;

    float rising = 0.0f;
    float decrease = 0.0f;
    float distanceMax = 0.0f;
    float distanceMin = 0.0f;
    for (int i = 0; i < points_.size(); ++i) {
        const PlaybackInfo_t &point = points_.at(i);
        if (point.altitude == 0.0)
            continue;
        const double step = point.altitude - sums.altitudeReference;
        if (step > 0.0)
            addSingle(rising, step);
        else if (step < 0.0)
            addSingle(decrease, step);
        const auto distance = static_cast<float>(point.distance);
        if (i == 0)
            distanceMax = distanceMin = distance;
        else if (distance > distanceMax)
            distanceMax = distance;
        else if (distance < distanceMin)
            distanceMin = distance;
        qCDebug(lcRideData) << "altitudeRising temp =>  " << rising << "   altitudeDecrease  "
                            << decrease;
    }

    record_.altitudeReference = sums.altitudeReference;
    record_.altitudeDecrease = decrease;
    record_.altitudeRising = rising;
    record_.altitudeMax = sums.altitudeMax;
    record_.altitudeMin = sums.altitudeMin;
    record_.altitudeMinNonZero = sums.altitudeMinNonZero;
    record_.speedAvg = speedAvg;
    record_.speedMax = sums.speedMax;
    record_.speedMin = sums.speedMin;
    record_.distanceMax = distanceMax;
    record_.distanceMin = distanceMin;
    const qint64 total = qMin<qint64>(sums.records * RideFormat::secondsPerRecord,
                                      std::numeric_limits<qint32>::max());
    record_.totalSeconds = static_cast<qint32>(total);
    record_.duration = durationText(record_.totalSeconds);
    qCDebug(lcRideData) << "speedAvg  " << speedAvg << " dataCount " << sums.records;
}

PlaybackInfo_t PlaybackDataParser::getSummary() const
{
    return record_;
}

QVector<PlaybackInfo_t> PlaybackDataParser::getPoints()
{
    fillMissingCoordinates(points_);
    return points_;
}

void PlaybackDataParser::clearPoints()
{
    points_.clear();
    points_.squeeze();
}

QString PlaybackDataParser::getDistance(const QString &lat1, const QString &lng1,
                                        const QString &lat2, const QString &lng2)
{
    return QString::number(
        rideDistanceMetres(lat1.toDouble(), lng1.toDouble(), lat2.toDouble(), lng2.toDouble()), 'f',
        7);
}

QVector<PlaybackInfo2_t> PlaybackDataParser::getContinuousData(const QStringList &files) const
{
    return summarizeRideFiles(files);
}
