// An exclusive advisory lock (flock) on a file, held on a close-on-exec descriptor of its own: the
// kernel drops it when the holder dies, so a locked file is a running process's and a free one
// may be a dead one's leftover. flock conflicts between descriptors of one process too.
#pragma once

#include <QByteArray>

class FileLock
{
public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Takes the lock, without waiting, on fd (owned from here on: closed when the lock goes or
    // is not taken; -1 takes nothing) and checks that name in the folder open at folderFd still
    // names fd's regular file, not a link. False, holding nothing, when another holder has the
    // lock or the entry was removed or replaced before the lock was taken.
    bool take(int fd, int folderFd, const QByteArray &name);
    // The same on the existing file name in the folder open at folderFd, opened without following
    // a link, when it is a regular file of this user's with no other name.
    bool takeOwn(int folderFd, const QByteArray &name);
    // The locked file's descriptor, -1 while none is held.
    int fd() const { return heldFd; }
    // Drops the lock; whoever removes the file does so first, so that no one finds it free.
    void release();

private:
    int heldFd = -1;
};
