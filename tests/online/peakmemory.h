// The process's resident memory from /proc (Linux): tests bound what a transfer may take.
#pragma once

#include <QFile>
#include <QString>

namespace PeakMemory {

// AddressSanitizer keeps freed memory in its quarantine, so the resident size bounds nothing there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool residentSizeMeaningful = false;
#else
constexpr bool residentSizeMeaningful = true;
#endif

// A "Vm...:  <n> kB" line of /proc/self/status in bytes; -1 when absent.
inline qint64 statusBytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// Starts a new peak at the present resident size; false when the kernel cannot.
inline bool reset()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// How far the peak rose above the resident size at the last reset().
struct Growth
{
    qint64 startBytes = statusBytes("VmRSS");
    qint64 bytes() const { return statusBytes("VmHWM") - startBytes; }
    bool below(qint64 limitBytes) const
    {
        return !residentSizeMeaningful || bytes() < limitBytes;
    }
};

} // namespace PeakMemory
