// Group rows of the play list: member order, split by camera, the group row and its media.
#pragma once

#include "sharedtypes.h"

#include <QStringList>
#include <QTime>
#include <QUrl>
#include <QVector>

namespace ListGroups {

// The eight cells of one list row, in column order.
using RowCells = QStringList;

// The file name of a path: the text after its last "/".
QString fileNamePart(const QString &path);
// A file name carrying a front or rear tag ("_F.", "_f.", "_R.", "_r."); "_L." counts as none.
bool isTaggedName(const QString &fileName);

// Members in group order: tagged files first, then untagged ones, each part ascending by the
// file name less its last four characters (case-sensitive). Equal keys keep their order.
QVector<RowCells> orderMembers(const QVector<RowCells> &rows);

// The groups to build from ordered members, as indices into them: the front files, then the rear
// files, then the untagged ones, empty sets left out. Without any front file all members form one
// group. Camera tags are read from the file name, never from the folders.
QVector<QVector<int>> cameraSets(const QVector<RowCells> &ordered);

// The row of a group of members under key: first member's name with the member count, its date
// cell as shown, summed sizes and durations, member paths and durations each followed by ";".
FileInfo_t groupRowInfo(const QString &key, const QVector<RowCells> &members);

// What a player gets for a group row: one local-file URL and one duration per member, taken in
// step from the path and duration cells and ending with the shorter of the two lists.
struct GroupMedia
{
    QVector<QUrl> urls;
    QVector<QTime> durations;
};
GroupMedia groupMedia(const QString &pathCell, const QString &durationsCell);

} // namespace ListGroups
