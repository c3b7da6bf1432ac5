#include "buttonsheets.h"

namespace ButtonSheets {

QString imageButton(const QString &normalPath, const QString &pressedPath)
{
    return QStringLiteral("QPushButton{ border-image:url(%1);background-color:#00000000;}"
                          "QPushButton:pressed { border-image:url(%2); }")
        .arg(normalPath, pressedPath);
}

} // namespace ButtonSheets
