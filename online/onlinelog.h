// Debug output category of sharing and updates ("talvex.online"); its debug lines are off by
// default.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcOnline)
