#include "dropfilter.h"

#include "partnerfile.h"

#include <algorithm>

namespace DropFilter {

namespace {
const char *const videoExtensions[] = {
    ".3gpp2",     ".avi", ".flv", ".mpeg-1", ".mpeg-2", ".mpeg-4", ".mpeg", ".mpg",
    ".quicktime", ".wmv", ".mov", ".mp4",    ".rm",     ".rmvb",   ".asf",  ".ts"};
}

bool isVideoPath(const QString &path)
{
    const QString lower = path.toLower();
    return std::any_of(std::begin(videoExtensions), std::end(videoExtensions),
                       [&lower](const char *ext) { return lower.contains(QLatin1String(ext)); });
}

QList<QUrl> filesToOpen(QList<QUrl> dropped)
{
    std::sort(dropped.begin(), dropped.end());
    QList<QUrl> result;
    const auto add = [&result](const QString &path) {
        const QUrl url = QUrl::fromLocalFile(path);
        if (!result.contains(url))
            result.append(url);
    };
    for (const QUrl &url : qAsConst(dropped)) {
        const QString path = url.toLocalFile();
        if (path.isEmpty() || !isVideoPath(path))
            continue;
        add(path);
        const QString partner = partnerFilePath(path);
        if (!partner.isEmpty())
            add(partner);
    }
    std::sort(result.begin(), result.end());
    return result;
}

} // namespace DropFilter
