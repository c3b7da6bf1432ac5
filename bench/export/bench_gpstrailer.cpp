// Time to build and append the GPS trailer of a one-hour export: a cut of 3600 seconds and a
// join of sixty one-minute members. Usage: bench_gpstrailer [repetitions]
#include "gpstrailerwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTime>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int hourSeconds = 3600;

QVector<VideoInfo_t> makeSamples(int n)
{
    QVector<VideoInfo_t> samples(n);
    for (int i = 0; i < n; ++i) {
        VideoInfo_t &s = samples[i];
        s.clockTime = QTime(0, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss")) +
                      QStringLiteral("  07/08/2024");
        s.latText = QStringLiteral("N25°01'");
        s.latDecimalText = QStringLiteral("25.0330%1").arg(i % 100);
        s.lonText = QStringLiteral("E121°33'");
        s.lonDecimalText = QStringLiteral("121.5645%1").arg(i % 100);
        s.speedKmh = 40.0 + (i % 50);
        s.gX = 0.01f * (i % 7);
        s.gY = -0.02f * (i % 5);
        s.gZ = 1.0f;
    }
    return samples;
}

double millisOf(const std::function<bool()> &work, int repetitions)
{
    QVector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return -1;
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const int repetitions = argc > 1 ? qMax(1, atoi(argv[1])) : 9;
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("export.mov"));

    TrailerJob cut;
    cut.args = QStringLiteral("-ss 0 -t %1 ").arg(hourSeconds - 1);
    cut.input.type = GpsTrailer::foldedNovatek;
    cut.input.samples = makeSamples(hourSeconds);

    const QVector<VideoInfo_t> minute = makeSamples(60);
    TrailerJob join;
    join.mode = 7;
    for (int i = 0; i < 60; ++i)
        join.group.mainFiles << QStringLiteral("member%1.mov").arg(i);
    join.group.clip[1] = 59;
    join.group.clip[7] = 60;
    const GpsTrailerWriter writer([&minute](const QString &, bool) {
        TrailerSource source;
        source.type = 4;
        source.samples = minute;
        return source;
    });

    const auto append = [&](const TrailerJob &job) {
        QFile::remove(output);
        QFile file(output);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(1 << 20, 'v')) < 0)
            return false;
        QString error;
        return writer.append(job, file, &error);
    };
    const double cutMs = millisOf([&]() { return append(cut); }, repetitions);
    const qint64 cutBytes = QFile(output).size() - (1 << 20);
    const double joinMs = millisOf([&]() { return append(join); }, repetitions);
    const qint64 joinBytes = QFile(output).size() - (1 << 20);
    std::printf("one-hour cut trailer: %lld bytes, median %.2f ms (includes writing the 1 MB "
                "stand-in video)\n",
                cutBytes, cutMs);
    std::printf("one-hour join trailer, 60 members: %lld bytes, median %.2f ms\n", joinBytes,
                joinMs);
    const double baseMs = millisOf(
        [&]() {
            QFile::remove(output);
            QFile file(output);
            return file.open(QIODevice::WriteOnly) && file.write(QByteArray(1 << 20, 'v')) >= 0;
        },
        repetitions);
    std::printf("writing the 1 MB stand-in alone: median %.2f ms\n", baseMs);
    return 0;
}
