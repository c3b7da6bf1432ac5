// Whether a per-second sample carries a position: the one rule of the trip panel and both
// overlays.
#pragma once

#include "sharedtypes.h"

#include <QString>

namespace SamplePosition {

// What the display texts of a fix at 0, 0 carry after the hemisphere letter ("N00°00' 0.00\"",
// "E000°00' 0.00\"").
inline const QString zeroFixMark = QStringLiteral("00°00' 0");

// The reader's verdict, kept in the display texts (the map's gap filling rewrites only the
// decimal texts and the numbers): both texts empty for a record whose position did not read,
// both marked for 0, 0, which cameras write without a fix. One coordinate at 0 (the equator, the
// prime meridian) is a real position.
bool hasPosition(const VideoInfo_t &vi);

} // namespace SamplePosition
