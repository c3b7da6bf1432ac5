#include "exportlog.h"

// Debug lines are off unless switched on, e.g. QT_LOGGING_RULES="talvex.export.debug=true".
Q_LOGGING_CATEGORY(lcExport, "talvex.export", QtInfoMsg)
