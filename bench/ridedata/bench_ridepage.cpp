// The ride-data page's work that once ran on the GUI thread, measured as the longest stall of the
// event loop (a 1 ms probe timer) while it runs, side by side with its anchor in one run:
// - the card copy of a year of rides (365 days x 3 one-hour files) on entering the mode, against
//   std::filesystem::copy of the same folder (which, on the GUI thread, stalls it throughout);
// - opening the largest ride file the page accepts, with the map loaded, against a plain read of
//   its bytes;
// - a 4-week window of 84 rides after a day click, the first (files decoded) and a later one
//   (summaries cached), against a plain read of the window's files.
#include "benchsupport.h"
#include "formcalendarview.h"
#include "formmap.h"
#include "formplaybak.h"
#include "removabledrives.h"
#include "ridefilewriter.h"
#include "riderecord.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <clocale>
#include <filesystem>
#include <functional>

namespace {
constexpr int days = 365;
constexpr int ridesPerDay = 3;
constexpr int oneHourRecords = 720;
constexpr int stallTargetMs = 100;

struct Run
{
    double totalMs = 0.0;
    double longestStallMs = 0.0;
};

// Runs start from the event loop and spins it until done() holds, timing the whole and the
// longest gap between two ticks of a 1 ms timer.
Run measureInLoop(const std::function<void()> &start, const std::function<bool()> &done)
{
    QElapsedTimer clock;
    double last = 0.0;
    double longest = 0.0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1.0e6;
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    probe.start();
    QTimer::singleShot(0, start);
    BenchSupport::spinUntil([&] { return clock.elapsed() > 5 && done(); }, 600000);
    // the tick after the work ends closes its last gap
    BenchSupport::spinUntil([&] { return clock.nsecsElapsed() / 1.0e6 - last < 2.0; }, 1000);
    return {clock.nsecsElapsed() / 1.0e6, longest};
}

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1.0e6;
}

qint64 readPlainly(const QStringList &files)
{
    qint64 bytes = 0;
    for (const QString &path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll().size();
    }
    return bytes;
}

QString fixed(double ms)
{
    return QString::number(ms, 'f', 1);
}

QString verdict(double stallMs)
{
    return stallMs <= stallTargetMs ? QStringLiteral("met") : QStringLiteral("NOT met");
}

QString rideName(const QDate &day, int ride)
{
    return day.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral("%1").arg(7 + ride * 4, 2, 10, QLatin1Char('0')) +
           QStringLiteral("0000.TXT");
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QTextStream out(stdout);
    QTemporaryDir work;
    if (!work.isValid())
        return 1;
    QDir::setCurrent(work.path());
    const QString card = work.filePath(QStringLiteral("CARD"));
    const QString cardRides = card + QStringLiteral("/Metadata");
    QDir().mkpath(cardRides);
    const QByteArray ride = RideFileWriter::encodeRide(oneHourRecords);
    const QDate last = QDate::currentDate();
    QStringList cardNames;
    for (int d = 0; d < days; ++d) {
        for (int r = 0; r < ridesPerDay; ++r) {
            cardNames << rideName(last.addDays(-d), r);
            if (!RideFileWriter::writeFile(cardRides + QLatin1Char('/') + cardNames.last(), ride))
                return 1;
        }
    }
    RemovableDrives::setRootsProvider([card] { return QStringList{card + QLatin1Char('/')}; });

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *page = new FormPlaybak;
    auto *map = new FormMap;
    layout->addWidget(page);
    page->setMapWidget(map);
    page->setPageSize(1200, 650);
    window.show();
    if (!BenchSupport::spinUntil([map] { return map->isPageLoaded(); }, 60000))
        out << "(the map page did not load: its scripts are not part of the figures)\n";
    out << "load: " << QString::number(BenchSupport::processCpuMs(), 'f', 0)
        << " ms CPU before the runs; machine load in /proc/loadavg: ";
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        out << loadavg.readAll().trimmed();
    out << "\n";
    out.flush();

    // card copy: the anchor copies the folder directly, then the page copies it on entry; both
    // read the card from the page cache
    QStringList cardFiles;
    for (const QString &name : cardNames)
        cardFiles << cardRides + QLatin1Char('/') + name;
    readPlainly(cardFiles);
    const std::filesystem::path anchorTarget =
        work.filePath(QStringLiteral("anchor")).toStdString();
    const double anchorCopy = milliseconds([&] {
        std::filesystem::copy(cardRides.toStdString(), anchorTarget,
                              std::filesystem::copy_options::recursive);
    });
    const Run copy =
        measureInLoop([page] { page->setMetadataDefault(); },
                      [page] { return !page->isCheckingCards() && !page->isCopying(); });
    out << "card copy of " << cardNames.size() << " files on entry: longest GUI stall "
        << fixed(copy.longestStallMs) << " ms (target <= " << stallTargetMs
        << " ms: " << verdict(copy.longestStallMs) << "), done after " << fixed(copy.totalMs)
        << " ms; anchor std::filesystem::copy: " << fixed(anchorCopy)
        << " ms, all of it a stall on the GUI thread; ratio (page time / anchor) "
        << QString::number(copy.totalMs / anchorCopy, 'f', 2) << ", stall ratio "
        << QString::number(copy.longestStallMs / anchorCopy, 'f', 3) << "\n";
    out.flush();

    // the largest ride file the page accepts
    const QString largest = rideName(last, 3);
    const QString largestPath = work.filePath(QStringLiteral("Metadata/") + largest);
    const int records = int(RideFormat::maxFileBytes / RideFormat::recordBytes);
    if (!RideFileWriter::writeFile(largestPath, RideFileWriter::encodeRide(records)))
        return 1;
    const double anchorRead = milliseconds([&] { readPlainly({largestPath}); });
    const Run open = measureInLoop(
        [page, largest] {
            QMetaObject::invokeMethod(page, "onSelectedFile", Q_ARG(QString, largest.left(14)));
        },
        [page] { return !page->isReadingRide(); });
    out << "open the largest accepted ride (" << records << " records, "
        << QString::number(RideFormat::maxFileBytes / 1.0e6, 'f', 1) << " MB): longest GUI stall "
        << fixed(open.longestStallMs) << " ms (target <= " << stallTargetMs
        << " ms: " << verdict(open.longestStallMs) << "), shown after " << fixed(open.totalMs)
        << " ms; anchor, a plain read of the file: " << fixed(anchorRead) << " ms; ratio "
        << QString::number(open.totalMs / anchorRead, 'f', 1) << "\n";
    out.flush();
    QMetaObject::invokeMethod(page, "onStop");

    // a 4-week window from 27 days ago
    const QString firstDay = last.addDays(-27).toString(QStringLiteral("yyyyMMdd"));
    QStringList windowFiles;
    for (const QString &name : cardNames) {
        if (name.left(8) >= firstDay)
            windowFiles << work.filePath(QStringLiteral("Metadata/") + name);
    }
    QMetaObject::invokeMethod(page, "changeChartMode");
    QMetaObject::invokeMethod(page, "setFourWeeksType");
    BenchSupport::spinUntil([page] { return !page->isBuildingWindow(); }, 60000);
    const auto clickDay = [page, firstDay] {
        QMetaObject::invokeMethod(page, "onScheduleClick", Q_ARG(QString, firstDay));
    };
    const auto windowDone = [page] { return !page->isBuildingWindow(); };
    const double windowAnchor = milliseconds([&] { readPlainly(windowFiles); });
    const Run firstWindow = measureInLoop(clickDay, windowDone);
    const Run laterWindow = measureInLoop(clickDay, windowDone);
    out << "4-week window of " << windowFiles.size()
        << " rides after a day click: longest GUI stall " << fixed(firstWindow.longestStallMs)
        << " ms (target <= " << stallTargetMs << " ms: " << verdict(firstWindow.longestStallMs)
        << "), shown after " << fixed(firstWindow.totalMs) << " ms; a later click: stall "
        << fixed(laterWindow.longestStallMs) << " ms, shown after " << fixed(laterWindow.totalMs)
        << " ms; anchor, read the files plainly: " << fixed(windowAnchor) << " ms; ratios "
        << QString::number(firstWindow.totalMs / windowAnchor, 'f', 2) << " and "
        << QString::number(laterWindow.totalMs / windowAnchor, 'f', 2) << "\n";
    RemovableDrives::setRootsProvider({});
    return 0;
}
