#include "mpvmediainfo.h"

#include "mpvcore.h"

#include <QFileInfo>

#include <cmath>

MpvMediaInfo readMediaInfo(const MpvCore &core, const QString &path)
{
    MpvMediaInfo info;
    info.path = path;
    info.durationSec = core.property("duration").toDouble();
    info.width = core.property("width").toInt();
    info.height = core.property("height").toInt();
    info.creationTime = core.property("metadata/by-key/creation_time").toString();
    return info;
}

QString formatHms(double seconds)
{
    const qint64 total = seconds > 0.0 ? static_cast<qint64>(std::floor(seconds)) : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600, 2, 10, QLatin1Char('0'))
        .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

FileInfo_t makeFileInfo(const MpvMediaInfo &info, qint64 fileBytes, const QDateTime &lastModified)
{
    FileInfo_t row;
    row.fileName = QFileInfo(info.path).fileName();
    row.filePath = info.path;
    row.date = info.creationTime.size() >= 10 ? info.creationTime.left(10)
                                              : lastModified.toString(QStringLiteral("yyyy-MM-dd"));
    row.size = QStringLiteral("%1MB").arg(fileBytes / 1024 / 1024);
    row.duration = formatHms(info.durationSec);
    row.resolution = QStringLiteral("%1x%2").arg(info.width).arg(info.height);
    return row;
}

FileInfo_t makeFileInfo(const MpvMediaInfo &info)
{
    const QFileInfo file(info.path);
    return makeFileInfo(info, file.size(), file.lastModified());
}
