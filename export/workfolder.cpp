#include "workfolder.h"

#include "partfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int createAttempts = 16;
const QString lockFileName = QStringLiteral("export.lock");

QString lockPath(const QString &folder)
{
    return folder + QLatin1Char('/') + lockFileName;
}

} // namespace

WorkFolder::WorkFolder(const QString &folder)
{
    for (int attempt = 0; attempt < createAttempts; ++attempt) {
        QByteArray name = QFile::encodeName(folder + QStringLiteral("/.export-XXXXXX"));
        if (!::mkdtemp(name.data()))
            return;
        const QString made = QFile::decodeName(name);
        const QString lockFile = lockPath(made);
        if (lock.take(::open(QFile::encodeName(lockFile).constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600),
                      lockFile)) {
            path_ = made;
            return;
        }
        // Another instance's sweep took the new folder for a dead one's between the lock file's
        // creation and its lock, and removes it; an empty one (no lock file made) goes here.
        ::rmdir(name.constData());
    }
}

WorkFolder::~WorkFolder()
{
    if (isValid())
        QDir(path_).removeRecursively();
}

void WorkFolder::removeLeftovers(const QString &folder)
{
    PartFile::removeLeftovers(folder);
    // mkdtemp's six letters and digits
    static const QRegularExpression workFolderPattern(QStringLiteral("^\\.export-[A-Za-z0-9]{6}$"));
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        FileLock held; // kept while the folder is removed
        if (workFolderPattern.match(name).hasMatch() && held.takeExisting(lockPath(path)))
            QDir(path).removeRecursively(); // removes links, not their targets
    }
}
