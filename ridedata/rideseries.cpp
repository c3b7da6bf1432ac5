#include "rideseries.h"

namespace RideSeries {

QVector<double> envelope(const QVector<double> &values, int maxValues)
{
    const int n = values.size();
    if (n <= maxValues || maxValues < 2)
        return values;
    const int runs = maxValues / 2;
    QVector<double> out;
    out.reserve(runs * 2);
    for (int r = 0; r < runs; ++r) {
        const int begin = int(qint64(n) * r / runs);
        const int end = int(qint64(n) * (r + 1) / runs);
        int low = begin;
        int high = begin;
        for (int i = begin + 1; i < end; ++i) {
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        out << values[qMin(low, high)] << values[qMax(low, high)];
    }
    // the line starts and ends where the ride does
    out.first() = values.first();
    out.last() = values.last();
    return out;
}

QVector<PlaybackInfo_t> chartPoints(const QVector<PlaybackInfo_t> &points, int maxValues)
{
    if (points.size() <= maxValues)
        return points;
    QVector<double> distances;
    QVector<double> speeds;
    QVector<double> altitudes;
    for (QVector<double> *series : {&distances, &speeds, &altitudes})
        series->reserve(points.size());
    for (const PlaybackInfo_t &point : points) {
        distances.append(point.distance);
        speeds.append(point.speedMph);
        altitudes.append(point.altitude);
    }
    distances = envelope(distances, maxValues);
    speeds = envelope(speeds, maxValues);
    altitudes = envelope(altitudes, maxValues);
    QVector<PlaybackInfo_t> out(distances.size());
    for (int i = 0; i < out.size(); ++i) {
        out[i].distance = distances[i];
        out[i].speedMph = speeds[i];
        out[i].altitude = altitudes[i];
    }
    return out;
}

QVector<PlaybackInfo_t> thinnedTrack(const QVector<PlaybackInfo_t> &points, int maxPoints)
{
    const int n = points.size();
    if (n <= maxPoints || maxPoints < 2)
        return points;
    const int step = (n + maxPoints - 3) / (maxPoints - 1); // (n - 1) / (maxPoints - 1), up
    QVector<PlaybackInfo_t> out;
    out.reserve(n / step + 2);
    for (int i = 0; i < n - 1; i += step)
        out.append(points[i]);
    out.append(points.last());
    return out;
}

} // namespace RideSeries
