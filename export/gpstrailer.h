// Byte format of the GPS trailer appended to exported files: marker, 121-byte records and the
// closing signatures. Plain functions; every number is written without the user's locale.
#pragma once

#include "sharedtypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// What the metadata reader gave for one file: its type and records.
struct TrailerSource
{
    DashcamType type = DashcamTypes::none;
    QVector<VideoInfo_t> samples;   // sample i is second i
    QVector<QByteArray> rawRecords; // the source's own per-second records
    QByteArray separator;           // between two raw records
    QByteArray head;                // the source trailer's leading marker
    QByteArray tail;                // the source trailer's closing part
};

// The seconds a cut keeps: first, first + 1, ..., first + count - 1.
struct CutSpan
{
    int first = 0;
    int count = 0;
};

namespace GpsTrailer {

constexpr int markerSize = 22;
constexpr int recordSize = 121;
constexpr int fieldSize = 14;

// Folded reader codes.
constexpr DashcamType foldedICatch = 0;
constexpr DashcamType foldedNovatek = 1;

QByteArray marker();
QByteArray cutSignature();
// The join signature of a full type code; null when the type has none of its own.
QByteArray joinSignature(DashcamType fullType);
// The join signature of a folded code (0 or 1); null for 24 and anything else.
QByteArray seriesSignature(DashcamType foldedType);

// Fixed 14-byte ASCII field: cut to 14, else "." added when missing and "0" padded on the right;
// non-ASCII characters become "?".
QByteArray fixedField(const QString &text);
// Fixed notation with 12 decimals cut to 14 bytes; a non-finite value is written as 0.
QByteArray numberField(double value);
// "hh:mm:ss  dd/MM/yyyy" as "yyyyMMddhhmmss"; an unreadable text gives "00000000000000".
QByteArray timeField(const QString &clockText);
// One 121-byte "GPSDATA--" record.
QByteArray record(const VideoInfo_t &sample);

// The value after `option` and a blank in args, up to the next blank; "-1" when absent.
QString argValue(const QString &args, const QString &option);
// -ss/-t of a cut's arguments: t + 1 seconds from ss; no seconds without both options.
CutSpan cutSpan(const QString &args);

// Records of the span's seconds that exist in samples.
QByteArray records(const QVector<VideoInfo_t> &samples, int first, int count);
// Marker, records of the span, cut signature.
QByteArray cutTrailer(const QVector<VideoInfo_t> &samples, CutSpan span);
// The source's own layout: head, separator, raw records of the span joined by it, tail.
QByteArray sourceLayoutTrailer(const TrailerSource &source, CutSpan span);
// Marker and cut signature without records.
QByteArray bareTrailer();

} // namespace GpsTrailer
