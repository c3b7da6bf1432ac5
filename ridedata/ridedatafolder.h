// The ride-data folder: ride-file names, the camera-card search and the adding-only copy.
#pragma once

#include <QString>
#include <QStringList>

namespace RideDataFolder {

// Name of the ride-data folder under the working directory and of the card's folder.
inline const QString folderName = QStringLiteral("Metadata");

// QDir::currentPath() + "/Metadata".
QString folderPath();

// Characters 0-7 and 8-13 read as decimal numbers and ".TXT" (upper case) follows in at most
// 17 characters.
bool isRideFileName(const QString &name);
// Any name of the listing is a ride-file name.
bool hasRideFile(const QStringList &names);
// The names of listing whose first 8 characters are day ("yyyyMMdd"), in listing order.
QStringList namesOfDay(const QStringList &listing, const QString &day);
// Files of folder (no folders), by name with case ignored.
QStringList listFiles(const QString &folder);

struct CardSearch
{
    int count = 0; // roots that hold a folder named exactly "Metadata"
    QString found; // the last such folder in root order, "" when none
};
// Looks at the top level of each root for a "Metadata" folder (case-sensitive).
CardSearch findCardFolders(const QStringList &roots);

struct CopyResult
{
    QStringList copied; // names that now exist in the target
    QStringList kept;   // names the target already had; never replaced without overwrite
    QStringList failed; // names whose copy failed; no partial file is left behind
    bool ok() const { return failed.isEmpty(); }
};
// Copies the files (not the folders) of source into target. Each file is written under a
// hidden temporary name and renamed when complete, so a full disk or a pulled card leaves no
// partial ride file. Without overwrite an existing target file stays unchanged.
CopyResult copyFolder(const QString &source, const QString &target, bool overwrite);

} // namespace RideDataFolder
