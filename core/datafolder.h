// The program's per-user data folder: its working directory, wherever it was started from, so
// that the settings file, snapshots, ride data and every other file it keeps land there.
#pragma once

#include <QString>

class DataFolder
{
public:
    // ${XDG_DATA_HOME:-~/.local/share}/talvex-player; a relative XDG_DATA_HOME is ignored, as
    // the XDG base directory rules ask.
    static QString defaultPath();

    explicit DataFolder(const QString &path = defaultPath());
    QString path() const { return path_; }

    // Creates the folder with its parents when missing, proves it writable by creating, writing
    // and removing a file in it (root passes every permission check, so only a real file tells)
    // and makes it the working directory. False when a step fails: the working directory is then
    // unchanged and errorString() names the folder and the reason.
    bool enter();
    QString errorString() const { return error_; }

private:
    bool fail(const QString &what, const QString &reason);

    QString path_;
    QString error_;
};
