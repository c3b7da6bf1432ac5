#include "metadataparser.h"

#include "gpstrailerformat.h"
#include "metadataheading.h"
#include "metadatalocator.h"
#include "metadatatrailer.h"

#include <QFile>

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

TrailerContent readTrailer(QIODevice &device)
{
    const QByteArray trailer = MetadataLocator::findTrailer(device);
    if (trailer.isEmpty())
        return TrailerContent();
    if (trailer.at(0) == GpsTrailerFormat::exportMarkerByte)
        return MetadataTrailer::readExportTrailer(trailer);
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
    TrailerContent content =
        device.isOpen() && !device.isSequential() ? readTrailer(device) : TrailerContent();
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
    return detectOnly ? foldedType(content.type) : content.type;
}

DashcamType MetadataParser::foldedType(DashcamType type)
{
    if (type >= 0 && type <= 7)
        return 0;
    if (type >= 8 && type <= 23)
        return 1;
    return DashcamTypes::none;
}
