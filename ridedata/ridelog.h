// Debug output category of the ride-data mode ("talvex.ridedata").
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcRideData)
