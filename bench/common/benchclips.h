// Clips for the benchmarks: generated video with a GPS trailer of changing samples appended, so
// that map, gauge and chart have work to do.
#pragma once

#include "gpstrailer.h"
#include "sharedtypes.h"
#include "testsupport.h"

#include <QFile>
#include <QTime>

#include <cmath>

namespace BenchClips {

// Speeds that change every second (the gauge moves), positions along a line, sine G values.
inline QVector<VideoInfo_t> tripSamples(int seconds)
{
    QVector<VideoInfo_t> samples;
    for (int i = 0; i < seconds; ++i) {
        VideoInfo_t s;
        s.clockTime = QTime(8, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss")) +
                      QStringLiteral("  07/12/2026");
        s.latText = QStringLiteral("N");
        s.latDecimalText = QString::number(25.03 + i * 0.0003, 'f', 6);
        s.lonText = QStringLiteral("E");
        s.lonDecimalText = QString::number(121.56 + i * 0.0003, 'f', 6);
        s.speedKmh = 60 + 50 * std::sin(i * 0.7);
        s.gX = float(0.8 * std::sin(i * 0.5));
        s.gY = float(0.6 * std::cos(i * 0.3));
        s.gZ = float(0.3 * std::sin(i * 1.1));
        samples.append(s);
    }
    return samples;
}

// Appends a trailer of tripSamples(seconds) to the video file at path.
inline bool appendTrailer(const QString &path, int seconds)
{
    QFile file(path);
    return file.open(QIODevice::Append) &&
           file.write(GpsTrailer::cutTrailer(tripSamples(seconds), CutSpan{0, seconds})) > 0;
}

// A testsrc clip without sound, with a trailer.
inline bool makeTripClip(const QString &path, int seconds, const QString &size, int fps)
{
    return TestSupport::makeClip(path, seconds, size, false, fps) && appendTrailer(path, seconds);
}

} // namespace BenchClips
