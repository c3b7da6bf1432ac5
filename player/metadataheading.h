// Heading and compass direction of per-second samples, derived from consecutive fixes.
#pragma once

#include "sharedtypes.h"

#include <QString>
#include <QVector>

namespace MetadataHeading {

// Initial great-circle bearing from the first to the second point, 0 <= result < 360 degrees.
double bearingDegrees(double lat1, double lon1, double lat2, double lon2);
double distanceMetres(double lat1, double lon1, double lat2, double lon2);

// Eight-point compass direction of a heading: "N", "NE", "E", "SE", "S", "SW", "W", "NW".
QString compassPoint(double headingDeg);

// Sets headingText (whole degrees, a plain number the map page takes as is) and compassText
// of every sample. A sample's heading is the bearing from the last fix at least minMoveMetres
// away; fixes before the first move take the first heading. Samples without a fix, and every
// sample of a track that never moves, get heading "0" and an empty compass text.
void fillHeadings(QVector<VideoInfo_t> &samples);

constexpr double minMoveMetres = 1.0;

} // namespace MetadataHeading
