// Times MetadataParser::loadMetadata on a 2 GB MP4 with a one-hour GPS trailer (the player's read
// of the samples, an export's read of every output, the detection), each in turns with the
// anchor, a plain read of the trailer's bytes, and prints the ratios. The big box is a sparse
// hole, so the file takes little disk space.
#include "benchsupport.h"
#include "metadatalocator.h"
#include "metadataparser.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr qint64 holeBytes = 2LL * 1024 * 1024 * 1024;
constexpr int trailerSeconds = 3600;
constexpr int runs = 41;

QByteArray oneHourTrailer()
{
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0, 0));
    QByteArray bytes(22, 'C');
    for (int i = 0; i < trailerSeconds; ++i) {
        bytes +=
            "GPSDATA--" + start.addSecs(i).toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1();
        bytes += "N" + QByteArray::number(48.1 + i * 1e-4, 'f', 12).left(13);
        bytes += "E" + QByteArray::number(11.5 + i * 1e-4, 'f', 12).left(13);
        for (double value : {50.0 + i % 40, 0.0, 0.125, -0.25, 1.0})
            bytes += QByteArray::number(value, 'f', 12).left(14);
    }
    return bytes + "fmt....NOVATEK.....?inf....trim....?";
}

// A real clip, then an mdat box of 2 GiB that is a hole, then the trailer.
bool makeBigFile(const QString &clip, const QString &path)
{
    QFile source(clip);
    QFile file(path);
    if (!source.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(source.readAll());
    uchar header[8];
    qToBigEndian<quint32>(quint32(holeBytes), header);
    std::memcpy(header + 4, "mdat", 4);
    file.write(reinterpret_cast<const char *>(header), 8);
    if (!file.resize(file.size() + holeBytes - 8) || !file.seek(file.size()))
        return false;
    const QByteArray trailer = oneHourTrailer();
    return file.write(trailer) == trailer.size();
}

// Median of runs in microseconds.
double medianMicros(const std::function<void()> &work)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1000.0);
    }
    return BenchSupport::median(times);
}

// Medians of the anchor and the work in microseconds, run in turns so that both see the same
// load.
std::pair<double, double> pairedMedians(const std::function<void()> &anchor,
                                        const std::function<void()> &work)
{
    QVector<double> anchorTimes;
    QVector<double> workTimes;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        anchor();
        anchorTimes.append(timer.nsecsElapsed() / 1000.0);
        timer.restart();
        work();
        workTimes.append(timer.nsecsElapsed() / 1000.0);
    }
    return {BenchSupport::median(anchorTimes), BenchSupport::median(workTimes)};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.mp4"));
    const QString big = dir.filePath(QStringLiteral("big.mp4"));
    if (!TestSupport::makeClip(clip, 2, QStringLiteral("320x240"), true) ||
        !makeBigFile(clip, big)) {
        std::fprintf(stderr, "could not make the test file\n");
        return 1;
    }

    const qint64 trailerSize = oneHourTrailer().size();
    const auto plainTrailerRead = [&] {
        QFile file(big);
        file.open(QIODevice::ReadOnly);
        file.seek(file.size() - trailerSize);
        file.read(trailerSize);
    };
    qint64 bytesRead = 0;
    const auto [lastBytesAnchor, lastBytes] = pairedMedians(plainTrailerRead, [&] {
        QFile file(big);
        file.open(QIODevice::ReadOnly);
        file.seek(file.size() - 200000);
        bytesRead = file.read(200000).size();
    });
    qint64 trailerBytes = 0;
    const auto [locateAnchor, locate] = pairedMedians(plainTrailerRead, [&] {
        QFile file(big);
        file.open(QIODevice::ReadOnly);
        trailerBytes = MetadataLocator::findTrailer(file).size();
    });
    // what the player asks for when it opens a file
    int samples = 0;
    DashcamType type = 0;
    const auto [samplesAnchor, samplesLoad] = pairedMedians(plainTrailerRead, [&] {
        QVector<VideoInfo_t> vector;
        type = MetadataParser().loadMetadata(big, nullptr, &vector, nullptr, nullptr, nullptr,
                                             nullptr, false);
        samples = vector.size();
    });
    // what an export asks for: every output
    int rawRecords = 0;
    const auto [allAnchor, allLoad] = pairedMedians(plainTrailerRead, [&] {
        VideoInfoMap perSecond;
        QVector<VideoInfo_t> vector;
        QVector<QByteArray> raw;
        QByteArray separator, head, tail;
        MetadataParser().loadMetadata(big, &perSecond, &vector, &raw, &separator, &head, &tail,
                                      false);
        rawRecords = raw.size();
    });
    const auto [detectAnchor, detect] = pairedMedians(plainTrailerRead, [&] {
        MetadataParser().loadMetadata(big, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      true);
    });
    const double noTrailer = medianMicros([&] {
        QVector<VideoInfo_t> vector;
        MetadataParser().loadMetadata(clip, nullptr, &vector, nullptr, nullptr, nullptr, nullptr,
                                      false);
    });

    constexpr double target = 10.0;
    const double ratio = samplesLoad / samplesAnchor;
    std::printf("file: %.2f GB, trailer %d records; loaded type %d with %d samples, %d raw "
                "records\n",
                QFileInfo(big).size() / 1e9, trailerSeconds, type, samples, rawRecords);
    std::printf("each line: medians of %d runs taken in turns with the anchor, a plain read of "
                "the trailer's %lld bytes\n",
                runs, trailerSize);
    const auto line = [](const char *what, double work, double anchor) {
        std::printf("%-44s %9.1f us  anchor %7.1f us  %7.2fx\n", what, work, anchor, work / anchor);
    };
    line("plain read of the last 200 000 bytes:", lastBytes, lastBytesAnchor);
    line("finding and reading the trailer:", locate, locateAnchor);
    line("loadMetadata, samples (the player's read):", samplesLoad, samplesAnchor);
    line("loadMetadata, every output (an export's):", allLoad, allAnchor);
    line("loadMetadata, detectOnly:", detect, detectAnchor);
    std::printf("%-44s %9.1f us\n", "loadMetadata, clip without trailer:", noTrailer);
    std::printf("the player's read: %.2fx the plain read, target <= %.0fx: %s\n", ratio, target,
                ratio <= target ? "met" : "NOT met");
    Q_UNUSED(bytesRead);
    Q_UNUSED(trailerBytes);
    return samples == trailerSeconds ? 0 : 1;
}
