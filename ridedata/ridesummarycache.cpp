#include "ridesummarycache.h"

#include "ridewindowsummary.h"

#include <QFileInfo>
#include <QMutexLocker>

QVector<PlaybackInfo2_t> RideSummaryCache::summaries(const QStringList &files)
{
    QVector<PlaybackInfo2_t> result;
    for (const QString &path : files) {
        const QFileInfo info(path);
        const qint64 size = info.exists() ? info.size() : -1;
        const QDateTime modified = info.lastModified();
        {
            QMutexLocker lock(&mutex_);
            const auto found = entries_.constFind(path);
            if (found != entries_.constEnd() && found->size == size &&
                found->modified == modified) {
                if (found->summary)
                    result.append(*found->summary);
                continue;
            }
        }
        // decoded outside the lock: two windows may decode one file at once, both get it right
        Entry entry{size, modified, summarizeRideFile(path)};
        if (entry.summary)
            result.append(*entry.summary);
        QMutexLocker lock(&mutex_);
        ++decoded_;
        entries_.insert(path, std::move(entry));
    }
    return result;
}

void RideSummaryCache::clear()
{
    QMutexLocker lock(&mutex_);
    entries_.clear();
}

int RideSummaryCache::decodedFiles() const
{
    QMutexLocker lock(&mutex_);
    return decoded_;
}
