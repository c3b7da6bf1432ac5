// Names and folders of exported files: "<yyyyMMddhhmmss>_EditVideo_<counter>.mov" in the output
// folder, by default "EditVideo" beside the program; the check of a typed output path.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace OutputName {

// The default output folder under dir, ending in "/".
QString defaultFolder(const QString &dir);
// Creates and returns the default output folder: the one under appDir, or, when that one cannot
// be created or written, the one under moviesDir (the user's video folder).
QString prepareDefaultFolder(const QString &appDir, const QString &moviesDir);
// File name of the counter-th export made at time; the counter has at least three digits.
QString fileName(const QDateTime &time, quint32 counter);
// folder and name joined by one "/" (none added after "/" or "\"); "//" collapsed to "/".
QString join(const QString &folder, const QString &name);
// The path in folder of the first of fileName(time, counter), fileName(time, counter + 1), ...
// that names no entry yet: a proposed name never replaces a file.
QString unusedPath(const QString &folder, const QDateTime &time, quint32 counter);
// True when path names an entry of its folder: a file, a folder or a link (even a broken one).
bool namesAnEntry(const QString &path);

enum class Problem
{
    None,
    NoFileName,        // nothing after the last "/", or the path names a folder
    FolderNotCreated,  // the folder is missing and cannot be made
    FolderNotWritable, // the folder exists but files cannot be written into it
    IsAnInput,         // the path names a file the export reads (links count)
    CannotReplace,     // the path names an entry that the system lets this user not replace
};

struct Target
{
    QString path; // the line without surrounding blanks, "//" collapsed to "/"
    Problem problem = Problem::None;
    bool exists = false; // without a problem: the export would replace an existing entry
};

// Checks the output line before an export: not one of inputs, a file name after the folder, a
// folder that exists, or is created with its missing parents, and is writable, and an existing
// entry of that name that this user may replace. A line without a folder names a file in the
// working directory. Says whether the path names an existing entry.
Target prepareTarget(const QString &line, const QStringList &inputs = QStringList());

// True when path and one of files are the same file on disk: the same device and inode, so a
// symbolic link, a hard link or another spelling of the path counts.
bool isOneOf(const QString &path, const QStringList &files);

} // namespace OutputName
