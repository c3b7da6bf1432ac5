#include "onlinelog.h"

// Debug lines are off unless switched on, e.g. QT_LOGGING_RULES="talvex.online.debug=true".
Q_LOGGING_CATEGORY(lcOnline, "talvex.online", QtInfoMsg)
