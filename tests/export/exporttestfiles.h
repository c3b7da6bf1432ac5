// Fixtures of the export tests: per-second samples, sources with a GPS trailer, ffmpeg stand-ins.
#pragma once

#include "sharedtypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace ExportTestFiles {

// n samples with distinct clock, position, speed and G-sensor values; sample i is second i.
QVector<VideoInfo_t> makeSamples(int n);

// Appends the export trailer of samples to the file at path; true when it was written.
bool appendTrailer(const QString &path, const QVector<VideoInfo_t> &samples);

// A clip of the given length made by ffmpeg with the export trailer of samples appended.
bool makeSourceWithTrailer(const QString &path, int seconds, const QVector<VideoInfo_t> &samples,
                           bool withAudio = true);

// An executable shell script at dir/FFmpeg/ffmpeg with the given body.
bool writeFfmpegStandIn(const QString &dir, const QByteArray &body);

// Duration in seconds and stream kinds of a file by ffmpeg's own decoding; -1 when unreadable.
double decodedDuration(const QString &path, bool *hasAudio = nullptr);

} // namespace ExportTestFiles
