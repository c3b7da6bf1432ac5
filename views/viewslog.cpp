#include "viewslog.h"

// Debug lines are off unless switched on, e.g. QT_LOGGING_RULES="talvex.views.debug=true".
Q_LOGGING_CATEGORY(lcViews, "talvex.views", QtInfoMsg)
