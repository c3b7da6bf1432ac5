// Style sheets of push buttons drawn by skin images, shared by the dialogs and windows.
#pragma once

#include <QString>

namespace ButtonSheets {

// A button drawn by the image at normalPath and, while pressed, pressedPath, on a clear ground.
QString imageButton(const QString &normalPath, const QString &pressedPath);

} // namespace ButtonSheets
