// A file under construction beside its target: created new and exclusively under a name no other
// entry of the folder has, locked while it lives, renamed over the target when complete, removed
// alone otherwise. Its folder is reached through one descriptor, opened once: renames of the
// folder or of its parents by others cannot steer the part's steps to another folder.
#pragma once

#include "descriptor.h"
#include "filelock.h"

#include <QFile>
#include <QString>

class PartFile
{
public:
    // target: the file the part becomes; its folder is opened here. Nothing is created until
    // create().
    explicit PartFile(const QString &targetPath);
    // The part of targetName made in the folder open at folderFd (a duplicate of the descriptor
    // is kept), whose path folderPath names for path().
    PartFile(int folderFd, const QString &folderPath, const QString &targetName);
    // A part neither committed nor released is removed.
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    // Creates ".<base>.<unique>.part[.<suffix>]" in the folder with O_CREAT|O_EXCL|O_NOFOLLOW
    // (never through a link, never over an existing entry) and opens it for writing, unbuffered
    // so that a full disk shows at the write that hits it. Its lock (FileLock) is held until
    // the part is renamed or removed, and no child process inherits it. False, with
    // errorString(), when the folder refuses a new file.
    bool create();
    // The part file as created; write through it, or close it and let another program write
    // path(), then write through reopen()'s descriptor.
    QFile &file() { return file_; }
    // Opens the part's name in its folder anew (flags, never through a link, close-on-exec),
    // only while the name still names the part made here. Unlike file(), such a descriptor sees
    // what another program wrote through the name, also on a file system that keeps each open's
    // own view of a file (a FAT card through FUSE), so a program's last write goes through it.
    // The caller owns the descriptor; -1 with errorString() and errno, and wasChangedByOthers()
    // when the name names another entry or none.
    int reopen(int flags);
    QString path() const { return folderPath_ + QLatin1Char('/') + QFile::decodeName(name_); }
    QString errorString() const { return error_; }
    // The last commit failed because the part's name or the target's no longer named the part:
    // someone else renamed or replaced it.
    bool wasChangedByOthers() const { return changedByOthers_; }

    // Renames the part over the target in one step (renameat(2)), only while the part's name
    // still names the part, and checks that the target's name names it afterwards. On failure
    // the part is removed where it is still ours, errorString() says why and errno is the
    // rename's; but a target folder on another volume (EXDEV) leaves the part as it was, for
    // the caller to copy.
    bool commit();
    // The same with another target name in the part's folder (a free name chosen once the bytes
    // are known).
    bool commitAs(const QString &targetName);
    // The same into the folder open at folderFd, on the part's volume.
    bool commitInto(int folderFd, const QString &targetName);
    // Closes the part and removes it, only while its name still names it.
    void discard();

    // Removes from the folder open at folderFd the part files, of any target, that no process
    // holds any more: left by a process of this user's that died. Only regular files named
    // exactly as parts are, of this user's and with no other name; anything else, and anything
    // that cannot be locked, checked or removed, stays, silently.
    static void removeLeftovers(int folderFd);
    // The same in this part's folder.
    void removeLeftoversBeside();

private:
    void close();

    Descriptor folder_;
    QString folderPath_;
    QString target_; // a name in the folder
    QByteArray name_;
    QFile file_;
    FileLock lock_;
    QString error_;
    bool changedByOthers_ = false;
    int openErrno_ = 0; // why the folder of a target path could not be opened
    bool live_ = false; // created here and neither committed nor discarded
};
