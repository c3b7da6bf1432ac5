// Reader of one ride-data file: its points (one per 5 seconds) and the ride summary.
#pragma once

#include "sharedtypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct RideRecord;

class PlaybackDataParser
{
public:
    explicit PlaybackDataParser(QString path);

    // Reads and decodes the whole file once; false when it cannot be opened or is empty.
    bool parse();
    // The ride summary after parse(): duration, statistics and the last point's values.
    PlaybackInfo_t getSummary() const;
    // The points after filling coordinates without a fix (idempotent).
    QVector<PlaybackInfo_t> getPoints();
    void clearPoints();

    // Great-circle distance in metres between two decimal-degree points, written with 7 decimals.
    static QString getDistance(const QString &lat1, const QString &lng1, const QString &lat2,
                               const QString &lng2);
    // One summary per readable ride-data file of files, in list order; uses no state of this
    // reader.
    QVector<PlaybackInfo2_t> getContinuousData(const QStringList &files) const;

private:
    struct Accumulators;

    void addRecord(const RideRecord &decoded, Accumulators &sums);
    void finishSummary(const Accumulators &sums);

    QString path_;
    PlaybackInfo_t record_; // the current point while decoding, then the summary
    QVector<PlaybackInfo_t> points_;
};
