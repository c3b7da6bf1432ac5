// Names and folders of exported files: "<yyyyMMddhhmmss>_EditVideo_<counter>.mov" in the output
// folder, by default "EditVideo" beside the program.
#pragma once

#include <QDateTime>
#include <QString>

namespace OutputName {

// The default output folder under dir, ending in "/".
QString defaultFolder(const QString &dir);
// File name of the counter-th export made at time; the counter has at least three digits.
QString fileName(const QDateTime &time, quint32 counter);
// folder and name joined by one "/" (none added after "/" or "\"); "//" collapsed to "/".
QString join(const QString &folder, const QString &name);

} // namespace OutputName
