// What mpv knows of an opened file, and the play-list row made from it.
#pragma once

#include "sharedtypes.h"

#include <QDateTime>
#include <QString>

class MpvCore;

struct MpvMediaInfo
{
    QString path; // local path of the file
    double durationSec = 0.0;
    int width = 0; // 0 while unknown or without video
    int height = 0;
    QString creationTime; // container "creation_time" metadata, empty when absent
};

// Reads duration, picture size and creation time of the file open in core.
MpvMediaInfo readMediaInfo(const MpvCore &core, const QString &path);

// "hh:mm:ss" of whole seconds (fractions dropped); negative counts as 0.
QString formatHms(double seconds);

// The row of one opened file; lastModified is used when creationTime is empty.
FileInfo_t makeFileInfo(const MpvMediaInfo &info, qint64 fileBytes, const QDateTime &lastModified);
// makeFileInfo with the size and date read from the file system.
FileInfo_t makeFileInfo(const MpvMediaInfo &info);
