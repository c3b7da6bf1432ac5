// The ride-data folder: ride-file names, the camera-card search and the adding-only copy.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <mutex>

namespace RideDataFolder {

// Name of the ride-data folder under the working directory and of the card's folder.
inline const QString folderName = QStringLiteral("Metadata");

// QDir::currentPath() + "/Metadata".
QString folderPath();

// Characters 0-7 and 8-13 read as decimal numbers and the rest, at most 17 characters, ends in
// ".TXT" (upper case).
bool isRideFileName(const QString &name);
// Any name of the listing is a ride-file name.
bool hasRideFile(const QStringList &names);
// The ride-file names of names, in their order.
QStringList rideFileNames(const QStringList &names);
// The ride-file names of listing whose first 8 characters are day ("yyyyMMdd"), in listing order.
QStringList namesOfDay(const QStringList &listing, const QString &day);
// Files of folder (no folders), by name with case ignored.
QStringList listFiles(const QString &folder);
// The files of folder that are rides, in listFiles order: a ride-file name and a size the reader
// accepts (RideFormat::isRideSize). The page lists only these, and the copy takes only these.
QStringList listRides(const QString &folder);

struct CardSearch
{
    int count = 0; // roots that hold a folder named exactly "Metadata"
    QString found; // the last such folder in root order, "" when none
};
// root holds a folder named exactly "Metadata" (case-sensitive) at its top level; a root that
// cannot be entered holds none. Looks at the card: off the GUI thread (DriveProbe).
bool holdsCardFolder(const QString &root);
// The search whose roots holding a "Metadata" folder (holdsCardFolder) are cardRoots, in root
// order.
CardSearch cardSearchOf(const QStringList &cardRoots);

// Why a file was not copied.
enum class CopyError
{
    CardRemoved, // the source folder went away (the card was pulled)
    DiskFull,    // the target's disk has no room left
    Unreadable,  // the source file could not be opened or read
    Unwritable   // the target file could not be created, written or renamed
};
// The error of a failed copy: a read-side failure is a removed card when the source folder is
// gone, else an unreadable file; a write-side one is a full disk when the target had no room.
CopyError copyError(bool readSide, bool sourceFolderExists, bool noRoom);

struct CopyFailure
{
    QString name;
    CopyError error;
};

struct CopyResult
{
    QStringList copied;          // names that now exist in the target
    QStringList kept;            // names the target already had; never replaced without overwrite
    QVector<CopyFailure> failed; // no partial file is left behind
    bool ok() const { return failed.isEmpty(); }
};
// Stops a copy running on another thread; shared by the copy and whoever stops it.
class CopyStop
{
public:
    // The copy ends before its next file; the current one is completed.
    void afterCurrentFile();
    // The copy ends as soon as it can, and once this returns it writes nothing more into its
    // target: no part file is begun and none is completed (a part begun before is discarded).
    // Waits for such a write running meanwhile, a local step that reads nothing from the card.
    void now();
    bool isRequested() const { return requested_.load(); }
    // Runs write, a step that adds an entry to the target, unless now() came first; false then.
    template <typename Write> bool unlessStoppedNow(Write write)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stoppedNow_)
            return false;
        write();
        return true;
    }

private:
    std::atomic_bool requested_{false};
    std::mutex mutex_;
    bool stoppedNow_ = false;
};

// Copies the rides (not other files, not folders) named in names from source into target: a
// ride-file name and a size the reader accepts (RideFormat::isRideSize), as listRides lists them.
// Each file is written as a PartFile beside its target and renamed when complete, so a full disk
// or a pulled card leaves no partial ride file and no other file is touched. Without overwrite an
// existing target file stays unchanged. Once the source folder is gone the rest fail as
// CardRemoved without being tried. stop, when given, stops the copy (CopyStop). Safe to run off
// the GUI thread.
CopyResult copyFiles(const QString &source, const QStringList &names, const QString &target,
                     bool overwrite, CopyStop *stop = nullptr);
// copyFiles of the files of source.
CopyResult copyFolder(const QString &source, const QString &target, bool overwrite,
                      CopyStop *stop = nullptr);

} // namespace RideDataFolder
