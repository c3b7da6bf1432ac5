// Files reaching the play list by dropping and by its own file chooser.
#include "formlist.h"

#include "dropfilter.h"
#include "filedialog.h"
#include "listrows.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSet>
#include <QTableWidget>

void FormList::onOpenfileBox()
{
    auto *fileDialog = new FileDialog_C; // deletes itself when closed
    fileDialog->applyStyle(styleIndex);
    connect(fileDialog, &FileDialog_C::openFileList, this, &FormList::onOpenFile);
    fileDialog->setAttribute(Qt::WA_DeleteOnClose);
    fileDialog->setMode(FileDialog_C::OpenFiles);
    fileDialog->show();
}

void FormList::onOpenFile(QList<QUrl> filelist)
{
    QSet<QString> listed;
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        listed.insert(cell(row, ListRows::ColPath));
    filelist.erase(
        std::remove_if(filelist.begin(), filelist.end(),
                       [&listed](const QUrl &url) { return listed.contains(url.toLocalFile()); }),
        filelist.end());
    if (!filelist.isEmpty())
        emit mediaFileTriggered(filelist);
}

void FormList::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void FormList::dropEvent(QDropEvent *event)
{
    const QList<QUrl> dropped = event->mimeData()->urls();
    if (dropped.isEmpty())
        return;
    const QList<QUrl> files = DropFilter::filesToOpen(dropped);
    if (!files.isEmpty())
        emit mediaFileTriggered(files);
}
