// libFuzzer entry: any bytes, read as a video file by the metadata reader.
#include "metadataparser.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    VideoInfoMap perSecond;
    QVector<VideoInfo_t> samples;
    QVector<QByteArray> rawRecords;
    QByteArray separator, head, tail;
    const bool detectOnly = size % 2 == 1;
    const DashcamType type = MetadataParser().loadMetadata(
        buffer, &perSecond, &samples, &rawRecords, &separator, &head, &tail, detectOnly);

    check(type >= 0 && type <= DashcamTypes::none);
    check(!detectOnly || type == 0 || type == 1 || type == DashcamTypes::none);
    check(perSecond.size() <= samples.size());
    if (type == DashcamTypes::none)
        check(samples.isEmpty() && rawRecords.isEmpty() && head.isEmpty() && tail.isEmpty());
    for (const VideoInfo_t &sample : qAsConst(samples)) {
        check(sample.lat >= -90 && sample.lat <= 90 && sample.lon >= -180 && sample.lon <= 180);
        check(sample.clockTime.isEmpty() || sample.clockTime.size() == 20);
        check(sample.latText.isEmpty() || sample.latText.at(0).isLetter());
    }
    return 0;
}
