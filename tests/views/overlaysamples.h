// Per-second samples for the overlay tests.
#pragma once

#include "sharedtypes.h"

#include <QString>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace OverlaySamples {

// A sample at lat, lon with display texts in degrees and minutes and the clock of second s.
inline VideoInfo_t sample(double lat, double lon, double kmh = 0.0, int second = 0)
{
    VideoInfo_t vi;
    vi.recordTime = QStringLiteral("2023/12/31 12:34:%1").arg(second, 2, 10, QLatin1Char('0'));
    vi.clockTime = QStringLiteral("12:34:%1  31/12/2023").arg(second % 60, 2, 10, QLatin1Char('0'));
    vi.lat = lat;
    vi.lon = lon;
    vi.latDecimalText = QString::number(lat, 'f', 6);
    vi.lonDecimalText = QString::number(lon, 'f', 6);
    auto dm = [](double v, QChar pos, QChar neg) {
        const double a = qAbs(v);
        const int deg = int(a);
        return QStringLiteral("%1%2°%3' %4")
            .arg(v < 0 ? neg : pos)
            .arg(deg, 2, 10, QLatin1Char('0'))
            .arg(int((a - deg) * 60), 2, 10, QLatin1Char('0'))
            .arg(int(((a - deg) * 60 - int((a - deg) * 60)) * 10000));
    };
    vi.latText = dm(lat, QLatin1Char('N'), QLatin1Char('S'));
    vi.lonText = dm(lon, QLatin1Char('E'), QLatin1Char('W'));
    vi.speedKmh = kmh;
    vi.speedMph = kmh / 1.609344;
    vi.compassText = QStringLiteral("NE");
    vi.headingText = QStringLiteral("45");
    return vi;
}

// A drive of n seconds heading north-east, then east; speed rising to 100 km/h.
inline QVector<VideoInfo_t> drive(int n)
{
    QVector<VideoInfo_t> samples;
    for (int i = 0; i < n; ++i) {
        const double lat = 25.0 + 0.001 * std::min(i, n / 2);
        const double lon = 121.0 + 0.001 * i;
        VideoInfo_t vi = sample(lat, lon, 100.0 * i / std::max(1, n - 1), i);
        vi.gX = float(std::sin(i * 0.5));
        vi.gY = float(std::cos(i * 0.5) * 0.5);
        vi.gZ = -0.2f;
        samples.append(vi);
    }
    return samples;
}

} // namespace OverlaySamples
