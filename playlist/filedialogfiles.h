// The video files the chooser lists for a folder, with the texts of its three columns.
#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QMetaType>
#include <QString>
#include <QVector>

namespace FileDialogFiles {

struct Row
{
    QString name;
    QString created; // "yyyy-MM-dd hh:mm:ss"
    QString sizeMiB; // whole MiB, rounded down
};

// True when name contains one of the chooser's video extension texts (case-sensitive substring
// test) and none of the program's own file names.
bool isListedName(const QString &name);

// Birth time when the file system records one, else the last modification.
QDateTime creationTime(const QFileInfo &info);

// The listed files of folder in name order, ignoring case; empty when it cannot be read.
QVector<Row> videoRows(const QString &folder);

// One look at a folder the chooser lists.
struct Listing
{
    bool isFolder = false;
    QVector<Row> rows; // videoRows()
};
// May wait as long as the folder's file system does.
Listing listing(const QString &folder);

} // namespace FileDialogFiles

Q_DECLARE_METATYPE(FileDialogFiles::Listing)
