// What the chooser's folder tree shows below a folder, read without a window. Each function may
// wait as long as the folder's file system does, so the chooser runs them off its thread.
#pragma once

#include <QMetaType>
#include <QSet>
#include <QString>
#include <QVector>

namespace FolderListing {

// One row the tree shows below a folder.
struct Entry
{
    QString name;
    // Another file system's mount point, or a link that leads out of the folder's own file system
    // or whose way cannot be told: whether it is a folder, and what it holds, is asked on its own
    // (kindOf), since it may wait where the listed folder answered.
    bool separate = false;
    bool hasSubfolders = false; // of the others: it holds a folder (the tree offers its arrow)
    // Of a separate entry: the mount point that its question reaches (by the link's own text), so
    // that questions into one mount that stopped answering hold back one another only.
    QString place;
};

// The sub-folders below folder that the tree shows, links to folders among them, in name order
// ignoring case: no hidden entries and none of the program's plugin folders. Only folder's own
// file system is asked: mountPoints (absolute paths) are listed unasked, as links are that leave
// it. A link is followed only as far as it stays on that file system, so links to files and
// links that lead nowhere are not listed.
QVector<Entry> entries(const QString &folder, const QSet<QString> &mountPoints);

// The mount points of this process's mount table.
QSet<QString> mountPoints();

// What a separate entry turns out to be, through its link or its mount.
enum class Kind
{
    NotFolder,
    Empty, // a folder without sub-folders
    WithSubfolders
};
Kind kindOf(const QString &path);

} // namespace FolderListing

Q_DECLARE_METATYPE(QVector<FolderListing::Entry>)
Q_DECLARE_METATYPE(FolderListing::Kind)
