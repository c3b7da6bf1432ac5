// Debug output category of the ride-data mode ("talvex.ridedata"); its debug lines are off by
// default.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcRideData)
