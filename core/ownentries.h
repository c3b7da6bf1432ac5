// This user's own files and folders in a folder that other users may write too, reached only
// through descriptors: no path below the folder is resolved and no link is ever followed, so that
// another user's renames and links cannot steer a removal to other files.
#pragma once

#include <QByteArray>
#include <QList>

namespace OwnEntries {

// A regular file of this user's with no other name than the one it was opened by.
bool isOwnFile(int fd);
// A folder of this user's that no other user may enter, as mkdtemp makes one.
bool isOwnFolder(int fd);
// True while name in the folder open at parentFd is the entry open at fd itself (not a link to
// it, not another entry put in its place).
bool isEntryOf(int parentFd, const QByteArray &name, int fd);
// True when the descriptors lead to the same file (device and inode).
bool isSameFile(int fd, int otherFd);
// A name that no entry of a folder is likely to have: length characters drawn from alphabet.
QByteArray randomName(int length, const char *alphabet);

// The names in the folder open at folderFd, "." and ".." left out; none when it cannot be read.
QList<QByteArray> namesIn(int folderFd);

// Opens name in the folder open at parentFd as a folder, never through a link; -1 with errno
// (ELOOP or ENOTDIR for a link or a file) otherwise.
int openFolder(int parentFd, const QByteArray &name);
// The same, only when it is an own folder.
int openOwnFolder(int parentFd, const QByteArray &name);

// Removes everything in the own folder open at folderFd, then the folder itself, the entry name
// of the folder open at parentFd, if that still names it. An entry below it is removed as what it
// is when reached: a link or a file is unlinked, a folder is entered only through openat with
// O_NOFOLLOW and only when it is an own one, or it stays (and so does the folder). False when
// anything stayed.
bool removeFolder(int parentFd, const QByteArray &name, int folderFd);

} // namespace OwnEntries
