#include "ridelog.h"

Q_LOGGING_CATEGORY(lcRideData, "talvex.ridedata")
