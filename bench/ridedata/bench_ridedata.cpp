// Prints the time to decode a one-hour ride file and to summarise a 28-day window of 84 of them.
#include "playbackdataparser.h"
#include "ridefilewriter.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {
constexpr int oneHourRecords = 720;
constexpr int windowDays = 28;
constexpr int ridesPerDay = 3;

struct Timing
{
    double meanMs;
    double bestMs;
};

Timing measure(int runs, const std::function<void()> &work)
{
    double total = 0.0;
    double best = 1.0e12;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        const double ms = timer.nsecsElapsed() / 1.0e6;
        total += ms;
        best = std::min(best, ms);
    }
    return {total / runs, best};
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    const QString hourFile = dir.filePath(QStringLiteral("20240501070000.TXT"));
    if (!RideFileWriter::writeFile(hourFile, RideFileWriter::encodeRide(oneHourRecords)))
        return 1;
    int points = 0;
    const Timing decode = measure(200, [&] {
        PlaybackDataParser parser(hourFile);
        parser.parse();
        points = parser.getPoints().size();
        parser.getSummary();
    });
    out << "decode one-hour ride file (" << points << " records): mean "
        << QString::number(decode.meanMs, 'f', 3) << " ms, best "
        << QString::number(decode.bestMs, 'f', 3) << " ms (target < 1 ms)\n";

    QStringList window;
    const QDate first(2024, 2, 10);
    for (int day = 0; day < windowDays; ++day) {
        for (int ride = 0; ride < ridesPerDay; ++ride) {
            const QString name = first.addDays(day).toString(QStringLiteral("yyyyMMdd")) +
                                 QStringLiteral("%1").arg(7 + ride * 4, 2, 10, QLatin1Char('0')) +
                                 QStringLiteral("0000.TXT");
            const QString path = dir.filePath(name);
            if (!RideFileWriter::writeFile(
                    path, RideFileWriter::encodeRide(oneHourRecords, 45.0 + day * 0.01, 7.0)))
                return 1;
            window << path;
        }
    }
    PlaybackDataParser reader{QString()};
    int summaries = 0;
    const Timing summarise =
        measure(20, [&] { summaries = reader.getContinuousData(window).size(); });
    out << "summarise 28-day window (" << summaries << " one-hour files): mean "
        << QString::number(summarise.meanMs, 'f', 2) << " ms, best "
        << QString::number(summarise.bestMs, 'f', 2) << " ms (target < 100 ms)\n";
    return 0;
}
