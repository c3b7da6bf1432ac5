// A group export's own folder for its pieces, joined files and concat list: hidden beside the
// output (on its volume), locked through a lock file inside it while it exists, and removed with
// everything in it when the object goes.
#pragma once

#include "descriptor.h"
#include "filelock.h"

#include <QByteArray>
#include <QString>

class WorkFolder
{
public:
    // Makes ".export-XXXXXX" with its locked lock file in folder; isValid() says whether it did.
    explicit WorkFolder(const QString &folder);
    ~WorkFolder();
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    // Without a trailing slash; empty when none was made.
    QString path() const { return path_; }
    // Removes the entry name of the folder (a link, not its target).
    void removeFile(const QString &name) const;

    // Removes from folder what exports of this user's that died left there: part files
    // (PartFile's sweep) and work folders, each only while no process holds its lock. A work
    // folder goes only when it is one of this user's that no other user may enter, not a link,
    // with a lock file of this user's in it, and it goes through descriptors alone; anything
    // else stays, silently.
    static void removeLeftovers(const QString &folder);

private:
    Descriptor parent_; // the folder that holds it
    Descriptor folder_;
    QByteArray name_;
    QString path_;
    FileLock lock; // released only once the folder is gone
};
