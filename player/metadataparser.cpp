#include "metadataparser.h"

#include "gpstrailerformat.h"
#include "metadataheading.h"
#include "metadatalocator.h"
#include "metadatatrailer.h"

#include <QFile>

#include <algorithm>

namespace {

template <typename T> void clear(T *output)
{
    if (output)
        output->clear();
}

template <typename T> void set(T *output, const T &value)
{
    if (output)
        *output = value;
}

// The folded type from the trailer's marker and closing signature only; a trailer that does not
// end in a signature is read whole.
DashcamType detectTrailer(QIODevice &device)
{
    using namespace GpsTrailerFormat;
    const MetadataLocator::TrailerRange range = MetadataLocator::trailerRange(device);
    if (range.start < 0)
        return DashcamTypes::none;
    const qint64 size = range.end - range.start;
    if (MetadataLocator::readAt(device, range.start, 1) != QByteArray(1, exportMarkerByte)) {
        const bool hasBody = size >= markerSize + sourceSeparatorSize;
        return hasBody ? MetadataParser::foldedType(MetadataTrailer::sourceLayoutType)
                       : DashcamTypes::none;
    }
    const qint64 tailSize =
        std::min<qint64>(size - markerSize, MetadataTrailer::signatureWindowBytes);
    const DashcamType signed_ = MetadataTrailer::signatureAtEnd(
        MetadataLocator::readAt(device, range.end - tailSize, tailSize));
    if (signed_ != DashcamTypes::none)
        return MetadataParser::foldedType(signed_);
    const QByteArray trailer = MetadataLocator::readAt(device, range.start, size);
    return MetadataParser::foldedType(MetadataTrailer::readExportTrailer(trailer).type);
}

TrailerContent readTrailer(QIODevice &device, bool withRawRecords)
{
    const QByteArray trailer = MetadataLocator::findTrailer(device);
    if (trailer.isEmpty())
        return TrailerContent();
    if (trailer.at(0) == GpsTrailerFormat::exportMarkerByte)
        return MetadataTrailer::readExportTrailer(trailer, withRawRecords);
    return MetadataTrailer::readSourceTrailer(trailer);
}

} // namespace

DashcamType MetadataParser::loadMetadata(const QString &path, VideoInfoMap *perSecond,
                                         QVector<VideoInfo_t> *samples,
                                         QVector<QByteArray> *rawRecords, QByteArray *separator,
                                         QByteArray *head, QByteArray *tail, bool detectOnly)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        clear(perSecond);
        clear(samples);
        clear(rawRecords);
        clear(separator);
        clear(head);
        clear(tail);
        return DashcamTypes::none;
    }
    return loadMetadata(file, perSecond, samples, rawRecords, separator, head, tail, detectOnly);
}

DashcamType MetadataParser::loadMetadata(QIODevice &device, VideoInfoMap *perSecond,
                                         QVector<VideoInfo_t> *samples,
                                         QVector<QByteArray> *rawRecords, QByteArray *separator,
                                         QByteArray *head, QByteArray *tail, bool detectOnly)
{
    const bool readable = device.isOpen() && !device.isSequential();
    if (detectOnly) {
        clear(perSecond);
        clear(samples);
        clear(rawRecords);
        clear(separator);
        clear(head);
        clear(tail);
        return readable ? detectTrailer(device) : DashcamTypes::none;
    }
    TrailerContent content =
        readable ? readTrailer(device, rawRecords != nullptr) : TrailerContent();
    MetadataHeading::fillHeadings(content.samples);

    clear(perSecond);
    if (perSecond) {
        // recordTime is the elapsed time of the second; keys arrive in order, so append.
        for (const VideoInfo_t &sample : qAsConst(content.samples)) {
            if (!sample.recordTime.isEmpty())
                perSecond->insert(perSecond->cend(), sample.recordTime, sample);
        }
    }
    set(samples, content.samples);
    set(rawRecords, content.rawRecords);
    set(separator, content.separator);
    set(head, content.head);
    set(tail, content.tail);
    return content.type;
}

DashcamType MetadataParser::foldedType(DashcamType type)
{
    if (type >= 0 && type <= 7)
        return 0;
    if (type >= 8 && type <= 23)
        return 1;
    return DashcamTypes::none;
}
