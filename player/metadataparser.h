// Detects a video file's camera type and reads its per-second GPS and G-sensor samples.
#pragma once

#include "sharedtypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class QIODevice;

class MetadataParser
{
public:
    // Empties perSecond, samples, rawRecords, separator, head and tail, then reads the file's
    // metadata: samples[i] is second i, perSecond maps each second's "hh:mm:ss" to it. Returns
    // the full type 0..24. With detectOnly only the trailer's marker and closing signature are
    // read, the outputs stay empty and the folded code (foldedType) is returned. head, separator,
    // tail and rawRecords hold the trailer's parts so that writing head, the raw records joined
    // by separator, and tail reproduces it. A file without metadata, or one that cannot be
    // read, gives DashcamTypes::none and empty outputs. Any output pointer may be null.
    DashcamType loadMetadata(const QString &path, VideoInfoMap *perSecond,
                             QVector<VideoInfo_t> *samples, QVector<QByteArray> *rawRecords,
                             QByteArray *separator, QByteArray *head, QByteArray *tail,
                             bool detectOnly);
    // The same for an open, random-access device.
    DashcamType loadMetadata(QIODevice &device, VideoInfoMap *perSecond,
                             QVector<VideoInfo_t> *samples, QVector<QByteArray> *rawRecords,
                             QByteArray *separator, QByteArray *head, QByteArray *tail,
                             bool detectOnly);

    // 0 for types 0..7, 1 for 8..23 (23: metadata in an MP4 box), 24 for anything else.
    static DashcamType foldedType(DashcamType type);
};
