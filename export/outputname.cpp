#include "outputname.h"

#include "filereplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace OutputName {

namespace {

QString collapseSlashes(QString path)
{
    while (path.contains(QLatin1String("//")))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

bool isUsableFolder(const QString &folder)
{
    return QDir().mkpath(folder) && QFileInfo(folder).isWritable();
}

} // namespace

QString defaultFolder(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + QStringLiteral("EditVideo/")
                                          : dir + QStringLiteral("/EditVideo/");
}

QString prepareDefaultFolder(const QString &appDir, const QString &moviesDir)
{
    const QString beside = defaultFolder(appDir);
    if (isUsableFolder(beside) || moviesDir.isEmpty())
        return beside;
    const QString movies = defaultFolder(moviesDir);
    // when neither works the page's OK names the problem
    return isUsableFolder(movies) ? movies : beside;
}

QString fileName(const QDateTime &time, quint32 counter)
{
    return time.toString(QStringLiteral("yyyyMMddhhmmss")) +
           QStringLiteral("_EditVideo_%1.mov").arg(counter, 3, 10, QLatin1Char('0'));
}

QString join(const QString &folder, const QString &name)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('/');
    return collapseSlashes(path + name);
}

QString unusedPath(const QString &folder, const QDateTime &time, quint32 counter)
{
    QString path = join(folder, fileName(time, counter));
    while (namesAnEntry(path))
        path = join(folder, fileName(time, ++counter));
    return path;
}

bool namesAnEntry(const QString &path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

bool isOneOf(const QString &path, const QStringList &files)
{
    struct stat target;
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return false; // a file that does not exist is none of them
    for (const QString &file : files) {
        struct stat other;
        if (!file.isEmpty() && ::stat(QFile::encodeName(file).constData(), &other) == 0 &&
            other.st_dev == target.st_dev && other.st_ino == target.st_ino)
            return true;
    }
    return false;
}

Target prepareTarget(const QString &line, const QStringList &inputs)
{
    Target target;
    // blanks after the last "/" are no name, not a reason to take the folder for one
    const QString typed = collapseSlashes(line);
    target.path = typed.trimmed();
    if (isOneOf(target.path, inputs)) {
        target.problem = Problem::IsAnInput;
        return target;
    }
    if (typed.mid(typed.lastIndexOf(QLatin1Char('/')) + 1).trimmed().isEmpty() ||
        QFileInfo(target.path).isDir()) {
        target.problem = Problem::NoFileName;
        return target;
    }
    const int cut = target.path.lastIndexOf(QLatin1Char('/'));
    const QString folder = cut < 0 ? QStringLiteral(".") : target.path.left(qMax(cut, 1));
    if (!QDir().mkpath(folder))
        target.problem = Problem::FolderNotCreated;
    else if (!QFileInfo(folder).isWritable())
        target.problem = Problem::FolderNotWritable;
    else
        target.exists = namesAnEntry(target.path);
    if (target.exists && !FileReplace::isAllowed(target.path))
        target.problem = Problem::CannotReplace;
    return target;
}

} // namespace OutputName
