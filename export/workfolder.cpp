#include "workfolder.h"

#include "ownentries.h"
#include "partfile.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int createAttempts = 16;
const QByteArray lockFileName = QByteArrayLiteral("export.lock");

// A descriptor to reach the folder's entries by, also where the user may write but not list
int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

WorkFolder::WorkFolder(const QString &folder) : parent_(openFolder(folder))
{
    if (!parent_.isValid())
        return;
    for (int attempt = 0; attempt < createAttempts; ++attempt) {
        QByteArray made = QFile::encodeName(folder + QStringLiteral("/.export-XXXXXX"));
        if (!::mkdtemp(made.data()))
            return;
        const QByteArray name = made.mid(made.lastIndexOf('/') + 1);
        // from here on the folder is reached through its descriptor alone; its owner and mode
        // are not checked, as a memory card's file system may show others than mkdtemp asked for
        folder_.reset(OwnEntries::openFolder(parent_.fd(), name));
        if (!folder_.isValid())
            return;
        if (lock.take(::openat(folder_.fd(), lockFileName.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600),
                      folder_.fd(), lockFileName)) {
            name_ = name;
            path_ = QFile::decodeName(made);
            return;
        }
        // Another instance's sweep took the new folder for a dead one's between the lock file's
        // creation and its lock, and removes it; what is left of it goes here.
        OwnEntries::removeFolder(parent_.fd(), name, folder_.fd());
        folder_.reset();
    }
}

WorkFolder::~WorkFolder()
{
    if (isValid())
        OwnEntries::removeFolder(parent_.fd(), name_, folder_.fd());
}

void WorkFolder::removeFile(const QString &name) const
{
    if (isValid())
        ::unlinkat(folder_.fd(), QFile::encodeName(name).constData(), 0);
}

void WorkFolder::removeLeftovers(const QString &folder)
{
    const Descriptor dir(openFolder(folder));
    if (!dir.isValid())
        return;
    PartFile::removeLeftovers(dir.fd());
    // mkdtemp's six letters and digits
    static const QRegularExpression workFolderPattern(QStringLiteral("^\\.export-[A-Za-z0-9]{6}$"));
    for (const QByteArray &name : OwnEntries::namesIn(dir.fd())) {
        if (!workFolderPattern.match(QFile::decodeName(name)).hasMatch())
            continue;
        const Descriptor work(OwnEntries::openOwnFolder(dir.fd(), name));
        FileLock held; // kept while the folder is removed
        if (work.isValid() && held.takeOwn(work.fd(), lockFileName))
            OwnEntries::removeFolder(dir.fd(), name, work.fd());
    }
}
