// Debug output category of the export and its overlays ("talvex.export"); its debug lines are
// off by default.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcExport)
