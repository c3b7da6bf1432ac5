// Opening folders and web links with the desktop's own programs.
#pragma once

#include <QString>
#include <QUrl>

namespace DesktopServices {
// Shows folder in the desktop's file manager; false when nothing could open it.
bool openFolder(const QString &folder);
// Opens url in the system browser; false when nothing could open it.
bool openBrowser(const QUrl &url);
}
