#include "outputname.h"

namespace OutputName {

QString defaultFolder(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + QStringLiteral("EditVideo/")
                                          : dir + QStringLiteral("/EditVideo/");
}

QString fileName(const QDateTime &time, quint32 counter)
{
    return time.toString(QStringLiteral("yyyyMMddhhmmss")) +
           QStringLiteral("_EditVideo_%1.mov").arg(counter, 3, 10, QLatin1Char('0'));
}

QString join(const QString &folder, const QString &name)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('/');
    path += name;
    path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

} // namespace OutputName
