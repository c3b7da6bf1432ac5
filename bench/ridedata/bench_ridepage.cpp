// Prints the time the ride-data page needs to enter calendar mode with a year of rides
// (365 days x 3 one-hour files on the camera card, copied on the first entry) until the calendar
// is marked, and to open a 4-week window of 84 rides; each against reading the same files
// plainly, run side by side. Everything runs on the GUI thread, so each figure is also the
// longest stall of the event loop it causes.
#include "formcalendarview.h"
#include "formplaybak.h"
#include "removabledrives.h"
#include "ridefilewriter.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {
constexpr int days = 365;
constexpr int ridesPerDay = 3;
constexpr int oneHourRecords = 720;
constexpr int runs = 5;

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1.0e6;
}

// Anchor: every byte of files read with QFile.
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
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("talvex.ridedata.debug=false"));
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
    QStringList cardFiles;
    for (int d = 0; d < days; ++d) {
        const QString day = last.addDays(-d).toString(QStringLiteral("yyyyMMdd"));
        for (int r = 0; r < ridesPerDay; ++r) {
            const QString name = day +
                                 QStringLiteral("%1").arg(7 + r * 4, 2, 10, QLatin1Char('0')) +
                                 QStringLiteral("0000.TXT");
            cardFiles << cardRides + QLatin1Char('/') + name;
            if (!RideFileWriter::writeFile(cardFiles.last(), ride))
                return 1;
        }
    }
    RemovableDrives::setRootsProvider([card] { return QStringList{card + QLatin1Char('/')}; });

    FormPlaybak page;
    page.setPageSize(1200, 650);
    page.show();

    // first entry: the whole card is copied, then the calendar is marked
    const QString scratch = work.filePath(QStringLiteral("scratch"));
    QDir().mkpath(scratch);
    const double anchorFirst = milliseconds([&] {
        for (const QString &path : cardFiles)
            QFile::copy(path, scratch + QLatin1Char('/') + path.section(QLatin1Char('/'), -1));
    });
    const double firstEntry = milliseconds([&] { page.setMetadataDefault(); });
    out << "first entry, copy " << cardFiles.size() << " files and mark: " << fixed(firstEntry)
        << " ms; anchor, QFile::copy of the same files: " << fixed(anchorFirst) << " ms; ratio "
        << QString::number(firstEntry / anchorFirst, 'f', 2) << "\n";

    // later entries: nothing new on the card
    double entry = 1.0e12;
    double anchor = 1.0e12;
    for (int i = 0; i < runs; ++i) {
        anchor =
            std::min(anchor, milliseconds([&] {
                         QDir(work.filePath(QStringLiteral("Metadata"))).entryList(QDir::Files);
                     }));
        entry = std::min(entry, milliseconds([&] { page.setMetadataDefault(); }));
    }
    out << "entry with a year of rides until the calendar is marked: best " << fixed(entry)
        << " ms (target < 300 ms); anchor, list the folder: " << fixed(anchor) << " ms; ratio "
        << QString::number(entry / anchor, 'f', 1) << "\n";

    // a 4-week window from 27 days ago
    const QString firstDay = last.addDays(-27).toString(QStringLiteral("yyyyMMdd"));
    QStringList windowFiles;
    for (const QString &path : cardFiles) {
        const QString name = path.section(QLatin1Char('/'), -1);
        if (name.left(8) >= firstDay)
            windowFiles << work.filePath(QStringLiteral("Metadata/") + name);
    }
    QMetaObject::invokeMethod(&page, "changeChartMode");
    double window = 1.0e12;
    double windowAnchor = 1.0e12;
    for (int i = 0; i < runs; ++i) {
        windowAnchor = std::min(windowAnchor, milliseconds([&] { readPlainly(windowFiles); }));
        window = std::min(window, milliseconds([&] {
                              QMetaObject::invokeMethod(&page, "onScheduleClick",
                                                        Q_ARG(QString, firstDay));
                              QMetaObject::invokeMethod(&page, "setFourWeeksType");
                          }));
    }
    out << "open a 4-week window of " << windowFiles.size() << " rides (with the day click): best "
        << fixed(window)
        << " ms (target < 300 ms); anchor, read them plainly: " << fixed(windowAnchor)
        << " ms; ratio " << QString::number(window / windowAnchor, 'f', 1) << "\n";
    RemovableDrives::setRootsProvider({});
    return 0;
}
