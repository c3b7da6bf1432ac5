// The window summaries of ride-data files, kept by path, size and modification time so that each
// file is decoded once however often the charts' windows include it. Thread-safe.
#pragma once

#include "sharedtypes.h"

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <QVector>

#include <optional>

class RideSummaryCache
{
public:
    // As summarizeRideFiles, decoding only the files not seen before or changed since.
    QVector<PlaybackInfo2_t> summaries(const QStringList &files);
    // Forgets every file (after the ride data were deleted).
    void clear();
    // Files decoded since construction.
    int decodedFiles() const;

private:
    struct Entry
    {
        qint64 size = -1;
        QDateTime modified;
        std::optional<PlaybackInfo2_t> summary; // nothing: the file gives no element
    };

    mutable QMutex mutex_;
    QHash<QString, Entry> entries_;
    int decoded_ = 0;
};
