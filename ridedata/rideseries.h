// Thinning of long rides for drawing: a chart line or a map track needs no more vertices than it
// has pixels, however many records the ride has.
#pragma once

#include "sharedtypes.h"

#include <QVector>

namespace RideSeries {

// Values a ride chart draws at most.
constexpr int maxChartValues = 2000;
// Points a map track draws at most.
constexpr int maxTrackPoints = 10000;

// values when they are at most maxValues; else, for equal runs of values in order, each run's
// smallest and largest value in the order they occur: the line keeps its peaks and its ends.
QVector<double> envelope(const QVector<double> &values, int maxValues);
// The points the ride charts are drawn from: points when they are at most maxValues; else the
// envelopes of distance, speedMph and altitude, one value of each per point (other fields empty).
QVector<PlaybackInfo_t> chartPoints(const QVector<PlaybackInfo_t> &points, int maxValues);
// points when they are at most maxPoints; else every k-th point from the first, and the last.
QVector<PlaybackInfo_t> thinnedTrack(const QVector<PlaybackInfo_t> &points, int maxPoints);

} // namespace RideSeries
