// An export's own folder for what it writes before the output is complete: the part file of each
// run, a group's pieces, joined files and concat list. Hidden in the output folder (on its
// volume), locked through a lock file inside it while it exists, and removed with everything in
// it when the object goes.
//
// The output folder is looked up once, here, and the work folder is made and opened through that
// descriptor: every later step reaches both through descriptors, and ffmpeg reaches the work
// folder through one it inherits, so that another user who may rename entries of the output
// folder cannot steer a write, rename or removal to files elsewhere.
#pragma once

#include "descriptor.h"
#include "filelock.h"

#include <QByteArray>
#include <QString>

class WorkFolder
{
public:
    // Opens folder, removes from it what exports of this user's that died left there
    // (removeLeftovers) and makes ".export-XXXXXX" with its locked lock file in it; isValid()
    // says whether it did.
    explicit WorkFolder(const QString &folder);
    ~WorkFolder();
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    bool isValid() const { return folder_.isValid(); }
    // The work folder's descriptor: a child that inherits it reaches path().
    int fd() const { return folder_.fd(); }
    // The work folder as this program and a child that inherits fd() reach it, through the
    // descriptor ("/proc/self/fd/N", no trailing slash): wherever the folder is renamed to, and
    // whatever is put under its old name, the path leads into this folder. Empty when none.
    QString path() const;

    // Where a file of the export lies: a name in the work folder (a path under path()) or in the
    // output folder (a path in the folder the constructor was given), with the descriptor of that
    // folder; folderFd is -1 for any other path.
    struct Place
    {
        int folderFd = -1;
        QString name;
    };
    Place placeOf(const QString &filePath) const;

    // True while the work folder is still the entry of the output folder that it was made as:
    // false once it was renamed away or something else put under its name.
    bool isInPlace() const;
    // Writes bytes to the file name in the work folder, replacing it; never through a link.
    bool writeFile(const QString &name, const QByteArray &bytes) const;
    // Removes the entry name of the work folder (a link, not its target).
    void removeFile(const QString &name) const;

    // Removes from the folder open at folderFd what exports of this user's that died left there:
    // part files (PartFile's sweep) and work folders, each only while no process holds its lock.
    // A work folder goes only when it is one of this user's that no other user may enter, not a
    // link, with a lock file of this user's in it, and it goes through descriptors alone;
    // anything else stays, silently.
    static void removeLeftovers(int folderFd);

private:
    bool make();

    QString outputFolder_; // as the constructor was given it, made absolute and clean
    Descriptor parent_; // the output folder
    Descriptor folder_;
    QByteArray name_;
    FileLock lock; // released only once the folder is gone
};
