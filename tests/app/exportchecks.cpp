#include "exportchecks.h"

#include "exporttestfiles.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPainter>

namespace ExportChecks {

QImage windowWithDialog(MainWindow *window, std::initializer_list<QWidget *> dialogs)
{
    QImage image = window->grab().toImage();
    QPainter painter(&image);
    for (QWidget *dialog : dialogs)
        painter.drawPixmap(dialog->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0)),
                           dialog->grab());
    return image;
}

QImage windowWithDialog(MainWindow *window, QWidget *dialog)
{
    return windowWithDialog(window, {dialog});
}

QMap<QString, QByteArray> checksums(const QStringList &paths)
{
    QMap<QString, QByteArray> sums;
    for (const QString &path : paths)
        sums.insert(path, QCryptographicHash::hash(TestSupport::contentOf(path),
                                                   QCryptographicHash::Sha256));
    return sums;
}

QMap<QString, QByteArray> folderState(const QString &folder)
{
    QMap<QString, QByteArray> state;
    const QDir dir(folder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink())
            state.insert(entry.fileName(), "link to " + entry.symLinkTarget().toUtf8());
        else if (entry.isDir())
            state.insert(entry.fileName(), "folder");
        else
            state.insert(entry.fileName(), checksums({entry.filePath()}).first());
    }
    return state;
}

StandIn::StandIn(const QByteArray &script, bool executable)
{
    written_ = ExportTestFiles::writeFfmpegStandIn(QDir::currentPath(), script);
    if (!executable)
        written_ = written_ && QFile::setPermissions(path(), QFile::permissions(path()) &
                                                                 ~QFileDevice::ExeOwner &
                                                                 ~QFileDevice::ExeUser);
}

StandIn::~StandIn()
{
    QFile::remove(path());
}

QString StandIn::path()
{
    return QStringLiteral("FFmpeg/ffmpeg");
}

} // namespace ExportChecks
