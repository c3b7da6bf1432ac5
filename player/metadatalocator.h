// Finds the metadata trailer appended to a video file.
#pragma once

#include <QByteArray>

class QIODevice;

namespace MetadataLocator {

// Bytes searched from the end when the container's boxes do not lead to the trailer.
constexpr qint64 searchWindowBytes = 200000;
// Largest trailer read: 16 MiB hold about 38 hours of export records.
constexpr qint64 maxTrailerBytes = 16 * 1024 * 1024;
// Real files have a handful of top-level boxes; more means this is no box structure.
constexpr int maxTopLevelBoxes = 4096;

// Offset where the top-level ISO/QuickTime boxes of device end (a trailer marker there also ends
// them), or -1 when device does not start with such a box or a box runs past the end.
qint64 topLevelBoxesEnd(QIODevice &device);

// The trailer from its 22-byte "C" or "U" marker to the end of the file (at most
// maxTrailerBytes), or empty when none is found. For MP4/MOV files the trailer is looked for
// where the top-level boxes end, so that long trailers are found; otherwise, and when nothing is
// there, a marker is searched in the last searchWindowBytes.
QByteArray findTrailer(QIODevice &device);

// Where findTrailer's bytes lie in device: [start, end), start -1 when there is no trailer.
struct TrailerRange
{
    qint64 start = -1;
    qint64 end = -1;
};
TrailerRange trailerRange(QIODevice &device);

// At most size bytes from offset; never asks for more than the device holds.
QByteArray readAt(QIODevice &device, qint64 offset, qint64 size);

} // namespace MetadataLocator
