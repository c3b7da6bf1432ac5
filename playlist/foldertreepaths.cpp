#include "foldertreepaths.h"

#include <QDir>

namespace FolderTreePaths {

Location locate(const QStringList &roots, const QString &path)
{
    Location found;
    if (path.isEmpty())
        return found;
    QString cleaned = QDir::cleanPath(path);
    if (!cleaned.endsWith(QLatin1Char('/')))
        cleaned += QLatin1Char('/');
    int bestLength = -1;
    for (int i = 0; i < roots.size(); ++i) {
        const QString &root = roots.at(i);
        if (root.endsWith(QLatin1Char('/')) && root.size() > bestLength &&
            cleaned.startsWith(root)) {
            bestLength = root.size();
            found.root = i;
        }
    }
    if (found.root >= 0)
        found.components = cleaned.mid(bestLength).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return found;
}

} // namespace FolderTreePaths
