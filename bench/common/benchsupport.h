// Helpers shared by the benchmarks: waiting on the event loop, process CPU time (own and of a
// process tree), resident memory, the machine's load, medians.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <functional>

namespace BenchSupport {

// Runs the event loop until done() holds or timeoutMs pass; false on timeout.
inline bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// CPU time of this process (all its threads) in milliseconds.
inline double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Largest gap between ticks of a 5 ms timer while it runs: how long the event loop was blocked.
class StallMeter
{
public:
    StallMeter()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { maxGapMs_ = qMax(maxGapMs_, clock_.restart()); });
        clock_.start();
        timer_.start();
    }
    qint64 maxGapMs() const { return maxGapMs_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 maxGapMs_ = 0;
};

// Runs the event loop for ms.
inline void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU time (user + system, all threads) of process pid and every process below it, in ms, read
// from /proc; 0 when pid is gone.
inline double processTreeCpuMs(qint64 pid)
{
    struct Entry
    {
        qint64 parent = 0;
        double cpuMs = 0.0;
    };
    QHash<qint64, Entry> entries;
    const double msPerTick = 1000.0 / sysconf(_SC_CLK_TCK);
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &name : pids) {
        bool isPid = false;
        const qint64 id = name.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(name));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // fields after the command name, which may hold blanks: state ppid ... utime(14) stime(15)
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            continue;
        entries.insert(id, {fields.at(1).toLongLong(),
                            (fields.at(11).toDouble() + fields.at(12).toDouble()) * msPerTick});
    }
    double total = 0.0;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        for (qint64 id = it.key(); id > 1; id = entries.value(id).parent) {
            if (id == pid) {
                total += it.value().cpuMs;
                break;
            }
        }
    }
    return total;
}

// Resident memory of this process in KiB.
inline long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// The machine's load averages over 1, 5 and 15 minutes, as uptime prints them.
inline QByteArray machineLoad()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("unknown");
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.mid(0, 3).join(", ");
}

// The upper median of values (std::vector or QVector); 0 for none.
template <typename Values> double median(Values values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace BenchSupport
