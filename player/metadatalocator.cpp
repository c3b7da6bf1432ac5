#include "metadatalocator.h"

#include "gpstrailerformat.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

using namespace GpsTrailerFormat;

constexpr int boxHeaderSize = 8;
constexpr int largeBoxHeaderSize = 16;

bool isMarker(const QByteArray &bytes, int pos = 0)
{
    if (bytes.size() - pos < markerSize)
        return false;
    const char first = bytes.at(pos);
    if (first != exportMarkerByte && first != sourceMarkerByte)
        return false;
    for (int i = 1; i < markerSize; ++i) {
        if (bytes.at(pos + i) != first)
            return false;
    }
    return true;
}

bool isBoxTypeChar(unsigned char c)
{
    return (c >= 0x20 && c <= 0x7e) || c == 0xa9;
}

bool isFirstBoxType(const char *type)
{
    static const char *const types[] = {"ftyp", "styp", "moov", "mdat", "free",
                                        "skip", "wide", "pnot", "uuid"};
    for (const char *known : types) {
        if (std::memcmp(type, known, 4) == 0)
            return true;
    }
    return false;
}

// What follows an export marker when it really opens a trailer: a record, a signature or
// nothing (a trailer cut right after its marker).
bool opensExportTrailer(const QByteArray &bytes, int markerPos)
{
    const int pos = markerPos + markerSize;
    const int rest = bytes.size() - pos;
    const int prefixSize = int(sizeof joinPrefix) - 1;
    return std::memcmp(bytes.constData() + pos, recordTag, std::min(rest, recordTagSize)) == 0 ||
           std::memcmp(bytes.constData() + pos, joinPrefix, std::min(rest, prefixSize)) == 0;
}

// Offset in window of the last marker that opens a trailer, or -1.
int lastMarkerIn(const QByteArray &window)
{
    int best = -1;
    int from = -1;
    const QByteArray exportMarker = marker(exportMarkerByte);
    for (int pos; (pos = window.lastIndexOf(exportMarker, from)) >= 0; from = pos - 1) {
        if (opensExportTrailer(window, pos)) {
            best = pos;
            break;
        }
        if (pos == 0)
            break;
    }
    const int sourcePos = window.lastIndexOf(marker(sourceMarkerByte));
    return std::max(best, sourcePos);
}

} // namespace

namespace MetadataLocator {

QByteArray readAt(QIODevice &device, qint64 offset, qint64 size)
{
    const qint64 available = device.size() - offset;
    if (offset < 0 || available <= 0 || !device.seek(offset))
        return QByteArray();
    return device.read(std::min(size, available));
}

qint64 topLevelBoxesEnd(QIODevice &device)
{
    const qint64 size = device.size();
    qint64 offset = 0;
    for (int count = 0; offset < size; ++count) {
        if (count == maxTopLevelBoxes)
            return -1;
        const QByteArray header = readAt(device, offset, markerSize);
        if (isMarker(header))
            return offset;
        if (header.size() < boxHeaderSize)
            return count > 0 ? offset : -1;
        const char *type = header.constData() + 4;
        const bool typeOk =
            count == 0 ? isFirstBoxType(type) : std::all_of(type, type + 4, [](char c) {
                return isBoxTypeChar(static_cast<unsigned char>(c));
            });
        if (!typeOk)
            return count > 0 ? offset : -1;
        quint64 boxSize = qFromBigEndian<quint32>(header.constData());
        if (boxSize == 0)
            return size; // the box runs to the end of the file
        if (boxSize == 1) {
            if (header.size() < largeBoxHeaderSize)
                return -1;
            boxSize = qFromBigEndian<quint64>(header.constData() + boxHeaderSize);
            if (boxSize < largeBoxHeaderSize)
                return count > 0 ? offset : -1;
        } else if (boxSize < boxHeaderSize) {
            return count > 0 ? offset : -1;
        }
        if (boxSize > quint64(size - offset))
            return -1; // truncated or lying box: its end is not known
        offset += qint64(boxSize);
    }
    return offset;
}

// The trailer's range; window receives the searched window when one was read.
static TrailerRange locate(QIODevice &device, QByteArray *window, qint64 *windowStart)
{
    const qint64 size = device.size();
    const qint64 boxesEnd = topLevelBoxesEnd(device);
    if (boxesEnd >= 0 && boxesEnd < size && isMarker(readAt(device, boxesEnd, markerSize)))
        return {boxesEnd, std::min(size, boxesEnd + maxTrailerBytes)};

    *windowStart = std::max<qint64>(0, size - searchWindowBytes);
    *window = readAt(device, *windowStart, size - *windowStart);
    const int pos = lastMarkerIn(*window);
    if (pos < 0)
        return {};
    return {*windowStart + pos, size};
}

TrailerRange trailerRange(QIODevice &device)
{
    QByteArray window;
    qint64 windowStart = 0;
    return locate(device, &window, &windowStart);
}

QByteArray findTrailer(QIODevice &device)
{
    QByteArray window;
    qint64 windowStart = 0;
    const TrailerRange range = locate(device, &window, &windowStart);
    if (range.start < 0)
        return QByteArray();
    if (!window.isEmpty())
        return window.mid(int(range.start - windowStart));
    return readAt(device, range.start, range.end - range.start);
}

} // namespace MetadataLocator
