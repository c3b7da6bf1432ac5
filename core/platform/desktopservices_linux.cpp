#include "desktopservices.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace DesktopServices {

bool openFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return false;
    const QString dir = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(dir));
}

bool openBrowser(const QUrl &url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace DesktopServices
