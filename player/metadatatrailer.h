// Decoding of the two trailer layouts found at the end of a video file: the GPS trailer that
// exports append ("C" marker) and a camera's own raw-record trailer ("U" marker).
#pragma once

#include "sharedtypes.h"

#include <QByteArray>
#include <QVector>

struct TrailerContent
{
    DashcamType type = DashcamTypes::none;
    QVector<VideoInfo_t> samples; // sample i = second i; headings not yet derived
    QVector<QByteArray> rawRecords;
    QByteArray head;
    QByteArray separator;
    QByteArray tail;
};

namespace MetadataTrailer {

// bytes start with the 22-byte "C" marker. Whole "GPSDATA--" records become samples (and raw
// records); a stretch of damaged bytes between records becomes empty samples, one per 121 bytes
// it spans, so later records keep their second. The closing signature gives the type: the cut
// signature 22, a join signature the type its word names; an unknown or missing signature after
// at least one record still means a file this player wrote (22); no record and no signature
// means no metadata. head, separator and tail are set so that writing head, the raw records and
// tail back gives the same trailer. Without withRawRecords the raw records stay empty.
TrailerContent readExportTrailer(const QByteArray &bytes, bool withRawRecords = true);

// bytes start with the 22-byte "U" marker, then a 2-byte separator between raw records; the
// closing part starts at the first "inf" or "XXXXXXXX" in the last record. The records'
// contents are model-specific and are kept raw, so no samples are produced; the type is
// sourceLayoutType, the first code of the family that keeps records in this layout.
TrailerContent readSourceTrailer(const QByteArray &bytes);
constexpr DashcamType sourceLayoutType = 0;

// The type named by a closing signature that ends exactly at the end of bytes (the last bytes of
// an export trailer), or DashcamTypes::none.
DashcamType signatureAtEnd(const QByteArray &bytes);
// Bytes at the end of an export trailer that hold any closing signature.
constexpr int signatureWindowBytes = 96;

// Decodes one whole 121-byte record; second is the record's index in the trailer. A record whose
// coordinate fields do not both read as a hemisphere letter and degrees in range has no
// position: its four position texts stay empty and its numbers 0.
VideoInfo_t decodeRecord(const char *record, int second);

} // namespace MetadataTrailer
