#include "ridelog.h"

// Debug lines are off unless switched on, e.g. QT_LOGGING_RULES="talvex.ridedata.debug=true".
Q_LOGGING_CATEGORY(lcRideData, "talvex.ridedata", QtInfoMsg)
