// libFuzzer entry: any bytes, read as a ride-data file by the ride reader.
#include "playbackdataparser.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const QString &inputPath()
{
    static const QString path =
        QDir::temp().filePath(QStringLiteral("fuzz_ridedata_%1.bin").arg(getpid()));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(inputPath());
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    PlaybackDataParser parser(inputPath());
    const bool parsed = parser.parse();
    check(parsed == (size > 0));
    const QVector<PlaybackInfo_t> points = parser.getPoints();
    check(points.size() <= int(size / 29));
    for (const PlaybackInfo_t &point : points) {
        const double lat = point.latitude.toDouble();
        const double lon = point.longitude.toDouble();
        check(std::isfinite(lat) && std::fabs(lat) <= 90.0);
        check(std::isfinite(lon) && std::fabs(lon) <= 180.0);
        check(std::isfinite(point.speedKmh) && point.speedKmh >= 0.0);
    }
    const PlaybackInfo_t summary = parser.getSummary();
    check(summary.totalSeconds >= 0 && std::isfinite(summary.distance));
    check(parser.getContinuousData({inputPath()}).size() <= 1);
    return 0;
}
