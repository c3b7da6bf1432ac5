#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace {

const QString folderName = QStringLiteral("talvex-player");

} // namespace

QString DataFolder::defaultPath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (QDir::isRelativePath(base)) // Qt 5 takes XDG_DATA_HOME as it stands
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QLatin1Char('/') + folderName);
}

DataFolder::DataFolder(const QString &path) : path_(QDir::cleanPath(path)) {}

bool DataFolder::enter()
{
    error_.clear();
    const std::filesystem::path folder = QFile::encodeName(path_).toStdString();
    std::error_code error;
    // unlike QDir::mkpath this tells why, e.g. a parent or the folder itself being a file
    std::filesystem::create_directories(folder, error);
    if (error)
        return fail(QStringLiteral("cannot be created"), QString::fromStdString(error.message()));

    QTemporaryFile probe(path_ + QStringLiteral("/.write-check-XXXXXX"));
    if (!probe.open())
        return fail(QStringLiteral("cannot be written"), probe.errorString());
    // a full disk lets the file be created but not written
    if (probe.write("1") != 1 || !probe.flush())
        return fail(QStringLiteral("cannot be written"), probe.errorString());
    if (!probe.remove())
        return fail(QStringLiteral("cannot be written"), probe.errorString());

    std::filesystem::current_path(folder, error);
    if (error)
        return fail(QStringLiteral("cannot be entered"), QString::fromStdString(error.message()));
    return true;
}

bool DataFolder::fail(const QString &what, const QString &reason)
{
    error_ = QStringLiteral("The data folder \"%1\" %2: %3.").arg(path_, what, reason);
    return false;
}
