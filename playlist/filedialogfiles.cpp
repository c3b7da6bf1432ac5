#include "filedialogfiles.h"

#include <QDir>
#include <QStringList>

namespace FileDialogFiles {

namespace {

const QStringList &videoExtensionTexts()
{
    static const QStringList texts{
        QStringLiteral(".3GPP2"),     QStringLiteral(".AVI"),       QStringLiteral(".3gpp2"),
        QStringLiteral(".avi"),       QStringLiteral(".FLV"),       QStringLiteral(".MPEG-1"),
        QStringLiteral(".flv"),       QStringLiteral(".mpeg-1"),    QStringLiteral(".MPEG-2"),
        QStringLiteral(".MPEG-4"),    QStringLiteral(".mpeg-2"),    QStringLiteral(".mpeg-4"),
        QStringLiteral(".MPG"),       QStringLiteral(".MPEG"),      QStringLiteral(".mpg"),
        QStringLiteral(".mpeg"),      QStringLiteral(".QuickTime"), QStringLiteral(".WMV"),
        QStringLiteral(".quicktime"), QStringLiteral(".wmv"),       QStringLiteral(".MOV"),
        QStringLiteral(".MP4"),       QStringLiteral(".mov"),       QStringLiteral(".mp4"),
        QStringLiteral(".RM"),        QStringLiteral(".RMVB"),      QStringLiteral(".rm"),
        QStringLiteral(".rmvb"),      QStringLiteral(".ASF"),       QStringLiteral(".asf"),
        QStringLiteral(".TS"),        QStringLiteral(".ts")};
    return texts;
}

const QStringList &ownProgramTexts()
{
    static const QStringList texts{QStringLiteral("dll"), QStringLiteral("ffmpeg.exe"),
                                   QStringLiteral("QtWebEngineProcess.exe")};
    return texts;
}

bool containsAny(const QString &name, const QStringList &texts)
{
    for (const QString &text : texts) {
        if (name.contains(text))
            return true;
    }
    return false;
}

constexpr qint64 bytesPerMiB = 1048576;

} // namespace

bool isListedName(const QString &name)
{
    return !containsAny(name, ownProgramTexts()) && containsAny(name, videoExtensionTexts());
}

QDateTime creationTime(const QFileInfo &info)
{
    const QDateTime born = info.birthTime();
    return born.isValid() ? born : info.lastModified();
}

QVector<Row> videoRows(const QString &folder)
{
    QVector<Row> rows;
    // a folder that is gone or no folder lists nothing
    const QDir dir(folder);
    if (folder.isEmpty())
        return rows;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : entries) {
        if (!info.exists() || !isListedName(info.fileName()))
            continue;
        rows.push_back({info.fileName(),
                        creationTime(info).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                        QString::number(info.size() / bytesPerMiB)});
    }
    return rows;
}

Listing listing(const QString &folder)
{
    Listing found;
    found.isFolder = !folder.isEmpty() && QFileInfo(folder).isDir();
    if (found.isFolder)
        found.rows = videoRows(folder);
    return found;
}

} // namespace FileDialogFiles
