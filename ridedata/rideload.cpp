#include "rideload.h"

#include "rideseries.h"

RideLoad loadRide(const QString &path)
{
    RideLoad load;
    load.path = path;
    load.reader = std::make_shared<PlaybackDataParser>(path);
    if (load.reader->parse()) {
        load.points = load.reader->getPoints();
        load.summary = load.reader->getSummary();
        load.track = RideSeries::thinnedTrack(load.points, RideSeries::maxTrackPoints);
        load.chartPoints = RideSeries::chartPoints(load.points, RideSeries::maxChartValues);
    }
    return load;
}
