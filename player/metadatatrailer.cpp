#include "metadatatrailer.h"

#include "gpstrailerformat.h"
#include "metadatatexts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using namespace GpsTrailerFormat;

constexpr int maxModelWordSize = 32;

// Plain decimal text ("-12.5", "48.100000000000") whose digits fit a double exactly: the quotient
// of two exact doubles is correctly rounded, so the result equals from_chars'. False for any
// other text.
bool plainDecimal(const char *text, const char *end, double *value)
{
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = text < end && *text == '-';
    if (negative)
        ++text;
    // Trailing zeros of a fraction change nothing, and writers pad with them: skip them.
    if (const void *point = std::memchr(text, '.', size_t(end - text))) {
        while (end - static_cast<const char *>(point) > 2 && end[-1] == '0')
            --end;
    }
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = -1; // digits after the point; -1 before it
    for (; text < end; ++text) {
        if (*text == '.' && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (*text < '0' || *text > '9' || ++digits > 18)
            return false;
        mantissa = mantissa * 10 + std::uint64_t(*text - '0');
        if (fraction >= 0)
            ++fraction;
    }
    if (digits == 0 || mantissa > (std::uint64_t(1) << 53) || fraction > 22)
        return false;
    const double magnitude = double(mantissa) / powers[std::max(fraction, 0)];
    *value = negative ? -magnitude : magnitude;
    return true;
}

// The field as a finite number; false for text that is no number. Surrounding blanks are allowed.
bool readNumber(const char *text, int size, double *value)
{
    const char *end = text + size;
    while (text < end && *text == ' ')
        ++text;
    while (end > text && end[-1] == ' ')
        --end;
    if (plainDecimal(text, end, value))
        return true;
    const auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

// The field as a finite number, or 0 for text that is no number.
double fieldNumber(const char *record, RecordField field)
{
    double value = 0.0;
    return readNumber(record + fieldOffset(field), fieldSize, &value) ? value : 0.0;
}

float fieldFloat(const char *record, RecordField field)
{
    const double value = fieldNumber(record, field);
    return std::fabs(value) <= 3.4e38 ? float(value) : 0.0f;
}

// Hemisphere letter (either case) then decimal degrees; the negative hemisphere's letter makes a
// positive number negative. False when the field is no coordinate: another first character, no
// number, or a value beyond limit.
bool readCoordinate(const char *record, RecordField field, char positive, char negative,
                    double limit, double *value)
{
    const char *text = record + fieldOffset(field);
    const auto is = [letter = text[0]](char upper) {
        return letter == upper || letter == upper + ('a' - 'A');
    };
    if ((!is(positive) && !is(negative)) || !readNumber(text + 1, fieldSize - 1, value) ||
        std::fabs(*value) > limit)
        return false;
    if (is(negative) && *value > 0)
        *value = -*value;
    return true;
}

bool startsWith(const QByteArray &bytes, int pos, const char *text, int size)
{
    return bytes.size() - pos >= size && std::memcmp(bytes.constData() + pos, text, size) == 0;
}

// A record starts at pos and no other record starts inside it (bytes lost from it).
bool isWholeRecord(const QByteArray &bytes, int pos)
{
    if (bytes.size() - pos < recordSize || !startsWith(bytes, pos, recordTag, recordTagSize))
        return false;
    // memchr finds the candidates far faster than a byte-wise search
    const char *start = bytes.constData() + pos;
    const char *lastTagStart = start + recordSize - recordTagSize;
    for (const char *c = start + 1; c <= lastTagStart; ++c) {
        c = static_cast<const char *>(std::memchr(c, recordTag[0], size_t(lastTagStart - c + 1)));
        if (!c)
            return true;
        if (std::memcmp(c, recordTag, recordTagSize) == 0)
            return false;
    }
    return true;
}

// The type a closing signature at pos names, or none when there is no known signature there.
DashcamType signatureType(const QByteArray &bytes, int pos, int *signatureEnd)
{
    if (startsWith(bytes, pos, cutSignature, int(sizeof cutSignature) - 1)) {
        *signatureEnd = pos + int(sizeof cutSignature) - 1;
        return DashcamTypes::exported;
    }
    const int prefixSize = int(sizeof joinPrefix) - 1;
    if (!startsWith(bytes, pos, joinPrefix, prefixSize))
        return DashcamTypes::none;
    const int wordStart = pos + prefixSize;
    const int suffixPos = bytes.indexOf(joinSuffix, wordStart);
    if (suffixPos < 0 || suffixPos - wordStart > maxModelWordSize)
        return DashcamTypes::none;
    const DashcamType type = typeOfModelWord(bytes.mid(wordStart, suffixPos - wordStart));
    if (type != DashcamTypes::none)
        *signatureEnd = suffixPos + int(sizeof joinSuffix) - 1;
    return type;
}

} // namespace

namespace MetadataTrailer {

VideoInfo_t decodeRecord(const char *record, int second)
{
    VideoInfo_t sample;
    sample.recordTime = MetadataTexts::elapsedText(second);
    sample.clockTime = MetadataTexts::clockText(record + fieldOffset(TimeField));
    double lat = 0.0;
    double lon = 0.0;
    // A damaged position is no position: texts empty, numbers 0, never a place at 0 degrees.
    if (readCoordinate(record, LatitudeField, 'N', 'S', 90.0, &lat) &&
        readCoordinate(record, LongitudeField, 'E', 'W', 180.0, &lon)) {
        sample.lat = lat;
        sample.lon = lon;
        sample.latText = MetadataTexts::latitudeText(lat);
        sample.lonText = MetadataTexts::longitudeText(lon);
        sample.latDecimalText = MetadataTexts::decimalText(lat);
        sample.lonDecimalText = MetadataTexts::decimalText(lon);
    }
    sample.speedKmh = std::max(0.0, fieldNumber(record, SpeedKmhField));
    sample.speedMph = MetadataTexts::mphFromKmh(sample.speedKmh);
    sample.extraValue = fieldFloat(record, ExtraValueField);
    sample.gX = fieldFloat(record, GxField);
    sample.gY = fieldFloat(record, GyField);
    sample.gZ = fieldFloat(record, GzField);
    return sample;
}

DashcamType signatureAtEnd(const QByteArray &bytes)
{
    const int cutSize = int(sizeof cutSignature) - 1;
    if (bytes.endsWith(QByteArray::fromRawData(cutSignature, cutSize)))
        return DashcamTypes::exported;
    const int pos =
        bytes.lastIndexOf(QByteArray::fromRawData(joinPrefix, int(sizeof joinPrefix) - 1));
    if (pos < 0)
        return DashcamTypes::none;
    int signatureEnd = -1;
    const DashcamType type = signatureType(bytes, pos, &signatureEnd);
    return signatureEnd == bytes.size() ? type : DashcamTypes::none;
}

TrailerContent readExportTrailer(const QByteArray &bytes, bool withRawRecords)
{
    TrailerContent content;
    // one sample and one raw record per record, without regrowing the vectors
    content.samples.reserve(bytes.size() / recordSize + 1);
    if (withRawRecords)
        content.rawRecords.reserve(bytes.size() / recordSize + 1);
    int records = 0;
    int pos = markerSize;
    int signatureEnd = -1;
    DashcamType found = DashcamTypes::none; // type of the closing signature
    while (pos < bytes.size()) {
        if (isWholeRecord(bytes, pos)) {
            content.samples.append(decodeRecord(bytes.constData() + pos, content.samples.size()));
            if (withRawRecords)
                content.rawRecords.append(bytes.mid(pos, recordSize));
            ++records;
            pos += recordSize;
            continue;
        }
        found = signatureType(bytes, pos, &signatureEnd);
        if (found != DashcamTypes::none)
            break;
        const int next = bytes.indexOf(recordTag, pos + 1);
        if (next < 0 || bytes.size() - next < recordSize)
            break;
        // Damaged bytes: keep the following records at their seconds.
        const int lost = (next - pos + recordSize / 2) / recordSize;
        content.samples.resize(content.samples.size() + lost);
        pos = next;
    }
    if (found != DashcamTypes::none)
        content.type = found;
    else if (records > 0)
        content.type = DashcamTypes::exported;
    else
        return TrailerContent();
    content.head = bytes.left(markerSize);
    if (found != DashcamTypes::none)
        content.tail = bytes.mid(pos, signatureEnd - pos);
    return content;
}

TrailerContent readSourceTrailer(const QByteArray &bytes)
{
    TrailerContent content;
    const int bodyStart = markerSize + sourceSeparatorSize;
    if (bytes.size() < bodyStart)
        return content;
    content.head = bytes.left(markerSize);
    content.separator = bytes.mid(markerSize, sourceSeparatorSize);
    int pos = bodyStart;
    for (int next; (next = bytes.indexOf(content.separator, pos)) >= 0;
         pos = next + sourceSeparatorSize)
        content.rawRecords.append(bytes.mid(pos, next - pos));
    // The last record runs up to the closing part.
    const int inf = bytes.indexOf(sourceTailStart, pos);
    const int xMarks = bytes.indexOf(sourceTailStartAlt, pos);
    int tailStart = bytes.size();
    if (inf >= 0)
        tailStart = inf;
    if (xMarks >= 0 && xMarks < tailStart)
        tailStart = xMarks;
    content.rawRecords.append(bytes.mid(pos, tailStart - pos));
    content.tail = bytes.mid(tailStart);
    content.type = sourceLayoutType;
    return content;
}

} // namespace MetadataTrailer
