// One ride file read into its points and summary, in one call that may run off the GUI thread.
#pragma once

#include "playbackdataparser.h"
#include "sharedtypes.h"

#include <QString>
#include <QVector>

#include <memory>

struct RideLoad
{
    QString path;
    std::shared_ptr<PlaybackDataParser> reader; // the reader that read it
    QVector<PlaybackInfo_t> points;             // coordinates filled; empty when no ride
    QVector<PlaybackInfo_t> track;              // the points the map's track is drawn through
    QVector<PlaybackInfo_t> chartPoints;        // the points the ride charts are drawn from
    PlaybackInfo_t summary;
    // At least one whole record was read: a ride to show.
    bool ok() const { return !points.isEmpty(); }
};

// Reads path with a new reader. A missing, unreadable, empty or too large file, or one without a
// whole record, gives no points. The track and the chart points are the points, thinned for a
// very long ride.
RideLoad loadRide(const QString &path);
