#include "ridewindowsummary.h"

#include "ridefilereader.h"
#include "ridegeometry.h"
#include "riderecord.h"

#include <limits>

namespace {

bool hasRideDataSuffix(const QString &entry)
{
    return entry.endsWith(QLatin1String(".txt")) || entry.endsWith(QLatin1String(".TXT"));
}

std::optional<PlaybackInfo2_t> summarizeReadableFile(const QString &path)
{
    PlaybackInfo2_t summary;
    qint64 records = 0;
    double speedSum = 0.0;
    double climb = 0.0;
    RideRecord previous;

    const RideFileStatus status = readRideFile(path, [&](const RideRecord &r) {
        if (records == 0) {
            summary.speedMax = r.speedMph;
        } else {
            if (previous.located() && r.located())
                summary.distance +=
                    rideDistanceMetres(r.latitudeValue, r.longitudeValue, previous.latitudeValue,
                                       previous.longitudeValue);
            if (previous.altitude != 0.0 && r.altitude > previous.altitude)
                climb += r.altitude - previous.altitude;
            summary.speedMax = qMax(summary.speedMax, r.speedMph);
        }
        speedSum += r.speedMph;
        ++records;
        previous = r;
    });
    if (status != RideFileStatus::Read || records == 0)
        return std::nullopt;

    summary.latHemisphere = previous.latHemisphere();
    summary.lngHemisphere = previous.lngHemisphere();
    summary.latitude = previous.latitude();
    summary.longitude = previous.longitude();
    summary.speedKmh = previous.speedKmh;
    summary.speedMph = previous.speedMph;
    summary.speedAvg = speedSum / static_cast<double>(records);
    summary.altitude = climb;
    summary.totalSeconds = static_cast<qint32>(
        qMin<qint64>(records * RideFormat::secondsPerRecord, std::numeric_limits<qint32>::max()));
    summary.duration = durationText(summary.totalSeconds);
    summary.fileName = path;
    summary.date = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1, 8);
    return summary;
}

} // namespace

std::optional<PlaybackInfo2_t> summarizeRideFile(const QString &entry)
{
    if (!hasRideDataSuffix(entry))
        return std::nullopt;
    return summarizeReadableFile(entry);
}

QVector<PlaybackInfo2_t> summarizeRideFiles(const QStringList &files)
{
    QVector<PlaybackInfo2_t> result;
    for (const QString &entry : files) {
        if (std::optional<PlaybackInfo2_t> summary = summarizeRideFile(entry))
            result.append(std::move(*summary));
    }
    return result;
}
