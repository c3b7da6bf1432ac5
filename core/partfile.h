// A file under construction beside its target: created new and exclusively under a name no other
// entry of the folder has, locked while it lives, renamed over the target when complete, removed
// alone otherwise.
#pragma once

#include "filelock.h"

#include <QFile>
#include <QString>

class PartFile
{
public:
    // target: the file the part becomes. Nothing is created until create().
    explicit PartFile(const QString &targetPath);
    // A part neither committed nor released is removed.
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    // Creates ".<base>.<unique>.part[.<suffix>]" beside the target with O_CREAT|O_EXCL|O_NOFOLLOW
    // (never through a link, never over an existing entry) and opens it for writing, unbuffered
    // so that a full disk shows at the write that hits it. Its lock (FileLock) is held until
    // the part is renamed or removed, also while file() is closed, and no child process inherits
    // it. False, with errorString(), when the folder refuses a new file.
    bool create();
    // The open part file; write through it, or close it and let another program write the path.
    QFile &file() { return file_; }
    QString path() const { return path_; }
    QString targetPath() const { return target_; }
    QString errorString() const { return error_; }

    // Closes the part and renames it over the target in one step (rename(2)); on failure the part
    // is removed, errorString() says why and errno is the rename's.
    bool commit();
    // The same with another target in the part's folder (a free name chosen once the bytes are
    // known).
    bool commitAs(const QString &targetPath);
    // Closes and removes the part (only it: the name is ours alone).
    void discard();

    // Removes from the folder open at folderFd the part files, of any target, that no process
    // holds any more: left by a process of this user's that died. Only regular files named
    // exactly as parts are, of this user's and with no other name; anything else, and anything
    // that cannot be locked, checked or removed, stays, silently.
    static void removeLeftovers(int folderFd);

private:
    QString target_;
    QString path_;
    QFile file_;
    FileLock lock_;
    QString error_;
    bool live_ = false; // created here and neither committed nor discarded
};
