// Debug output category of the trip-data views and overlays ("talvex.views"); its debug lines
// are off by default.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcViews)
