#include "mpvedl.h"

QString buildEdl(const QStringList &paths, const QVector<double> &lengthsSec)
{
    QStringList entries;
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        QString entry =
            QLatin1Char('%') + QString::number(path.toUtf8().size()) + QLatin1Char('%') + path;
        if (i < lengthsSec.size() && lengthsSec.at(i) > 0.0)
            entry += QStringLiteral(",0,%1").arg(lengthsSec.at(i), 0, 'f', 3);
        entries << entry;
    }
    return QStringLiteral("edl://") + entries.join(QLatin1Char(';'));
}
