#include "filereplace.h"

#include <QFile>
#include <QFileInfo>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// CAP_FOWNER in the calling thread's effective set: the kernel's exception to the sticky rule.
// Asked of the thread, as the kernel does: capabilities belong to each thread.
bool actsForAnyOwner()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return geteuid() == 0;
    return (data[CAP_FOWNER / 32].effective & (1u << (CAP_FOWNER % 32))) != 0;
}

} // namespace

bool FileReplace::isAllowed(const QString &path)
{
    struct stat entry;
    struct stat folder;
    if (::lstat(QFile::encodeName(path).constData(), &entry) != 0 ||
        ::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) != 0)
        return true;
    if ((folder.st_mode & S_ISVTX) == 0)
        return true;
    // the file system's user is the effective one (nothing here sets another)
    const uid_t user = geteuid();
    return entry.st_uid == user || folder.st_uid == user || actsForAnyOwner();
}
