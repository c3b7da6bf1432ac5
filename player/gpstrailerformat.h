// Byte layout of the GPS trailer that exports append, and the signature words that name camera
// families: the one table of model words -> DashcamType codes.
#pragma once

#include "sharedtypes.h"

#include <QByteArray>

namespace GpsTrailerFormat {

constexpr int markerSize = 22;
constexpr char exportMarkerByte = 'C'; // trailer written by this player
constexpr char sourceMarkerByte = 'U'; // a camera's own trailer, records in its raw layout
constexpr int sourceSeparatorSize = 2;

constexpr int recordSize = 121;
constexpr int fieldSize = 14;
constexpr char recordTag[] = "GPSDATA--";
constexpr int recordTagSize = 9;

// Field offsets inside a record; every field is fieldSize bytes of 8-bit text.
enum RecordField
{
    TimeField = 0, // "yyyyMMddhhmmss"
    LatitudeField, // hemisphere letter + decimal degrees
    LongitudeField,
    SpeedKmhField,
    ExtraValueField,
    GxField,
    GyField,
    GzField,
    RecordFieldCount
};

constexpr int fieldOffset(RecordField field)
{
    return recordTagSize + int(field) * fieldSize;
}
static_assert(fieldOffset(RecordFieldCount) == recordSize, "record layout");

// Closing signatures: a cut, or a join naming the source family by a model word.
constexpr char cutSignature[] = "fmt....NOVATEK.....?inf....trim....?";
constexpr char joinPrefix[] = "fmt....";
constexpr char joinSuffix[] = ".....?inf....group....?";

// Start of a camera's own closing part after its last raw record.
constexpr char sourceTailStart[] = "inf";
constexpr char sourceTailStartAlt[] = "XXXXXXXX";

struct ModelWord
{
    const char *word;
    DashcamType type;
};

// The family words are generic: they stand for the first code of their family that no model
// word names, so a reread file joins again under the same word.
constexpr ModelWord modelWords[] = {
    {"HZRQ917K", 4},
    {"U93", 3},
    {"J8", 6},
    {"Novatek5x", 21},
    {"HZRQ462K", 18},
    {"HZRQ735K", 11},
    {"HZRQ158K", 13},
    {"HZRQ284K", 14},
    {"R4M", 9},
    {"trim", DashcamTypes::exported},
    {"NovatekSeries", 8},
    {"iCatchSeries", 0},
};

// The type a model word names, or DashcamTypes::none for an unknown word.
inline DashcamType typeOfModelWord(const QByteArray &word)
{
    for (const ModelWord &entry : modelWords) {
        if (word == entry.word)
            return entry.type;
    }
    return DashcamTypes::none;
}

inline QByteArray marker(char byte)
{
    return QByteArray(markerSize, byte);
}

} // namespace GpsTrailerFormat
