// Grouping and ungrouping rows of the play list, and the group time check of the cut editor.
#include "formlist.h"

#include "listgroups.h"
#include "listrows.h"

#include <QTableWidget>

using namespace ListRows;

void FormList::onGroup()
{
    const QVector<int> rows = selectedRows();
    if (rows.size() < 2)
        return;
    // a group row is never a member
    for (int row : rows) {
        if (isGroupRow(row))
            return;
    }
    // the marks stay with their rows, not with the contents that move below
    clearMainIndexMark();
    clearShownSubMark();

    // the rows keep their places; their contents move into group order
    QVector<ListGroups::RowCells> contents;
    for (int row : rows)
        contents.append(rowCells(row));
    const QVector<ListGroups::RowCells> ordered = ListGroups::orderMembers(contents);
    for (int i = 0; i < rows.size(); ++i)
        setRowCells(rows.at(i), ordered.at(i));

    dateAsIs = true; // the members' dates are shown already
    for (const QVector<int> &set : ListGroups::cameraSets(ordered)) {
        const QString key = groupKey(groupCounter);
        QVector<ListGroups::RowCells> members;
        for (int index : set) {
            members.append(ordered.at(index));
            groupTable.insert(key, ordered.at(index).value(ColPath));
            tableWidget->setRowHidden(rows.at(index), true);
        }
        onInsertList(ListGroups::groupRowInfo(key, members));
        ++groupCounter;
        ++groupCount;
    }
    dateAsIs = false;
    if (mainPlayState == PlayingState)
        emit groupStopPlay();
    emit onReleaseMedia();
    emit onReleaseMediaSub();
}

void FormList::onUngroup()
{
    // the key cells of the selected group rows; they follow their rows while others are removed
    QVector<QTableWidgetItem *> keyItems;
    for (int row : selectedRows()) {
        if (isGroupRow(row))
            keyItems.append(tableWidget->item(row, ColResolution));
    }
    if (keyItems.isEmpty())
        return;
    if (!ungroupForRemove) {
        clearMainIndexMark();
        clearShownSubMark();
        subFileFound_ = false;
    }
    QString lastShown;
    for (QTableWidgetItem *item : qAsConst(keyItems))
        lastShown = ungroupRow(item->row());
    if (ungroupForRemove)
        return;
    if (mainPlayState == PlayingState)
        emit groupStopPlay();
    if (!lastShown.isEmpty()) {
        const int row = rowOfPath(lastShown);
        if (row >= 0) {
            curSelectFile_ = row;
            curSubSelectFile_ = row;
        }
        emit onReleaseMedia();
    }
}

QString FormList::ungroupRow(int keyRow)
{
    const QString key = groupKey(groupNumber(cell(keyRow, ColResolution)));
    const QStringList members = groupTable.values(key);
    QString lastShown;
    for (int row = 0; row < tableWidget->rowCount(); ++row) {
        const QString path = cell(row, ColPath);
        if (members.contains(path)) {
            tableWidget->setRowHidden(row, false);
            lastShown = path;
            groupTable.remove(key, path);
        }
        if (cell(row, ColResolution) == key) {
            tableWidget->removeRow(row);
            shiftRowsAfterRemoval(row);
            --row; // the next row moved into this place
            if (--groupCount <= 0) {
                groupCount = 0;
                groupTable.clear();
                groupCounter = 1;
            }
        }
    }
    return lastShown;
}

void FormList::refreshGroupsHolding(const QString &path)
{
    for (int row = 0; row < tableWidget->rowCount(); ++row) {
        const QStringList paths = cell(row, ColPath).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        if (!isGroupRow(row) || !paths.contains(path))
            continue;
        QVector<ListGroups::RowCells> members;
        for (const QString &member : paths) {
            const int memberRow = rowOfPath(member);
            if (memberRow >= 0)
                members.append(rowCells(memberRow));
        }
        const FileInfo_t group = ListGroups::groupRowInfo(cell(row, ColResolution), members);
        setCell(row, ColDate, group.date);
        setCell(row, ColSize, group.size);
        setCell(row, ColDuration, group.duration);
        setCell(row, ColDurations, group.durations);
    }
}

void FormList::checkGroupTime(QString timeStart, QString timeEnd)
{
    Q_UNUSED(timeEnd)
    emit checkGroupTimeResult(startOnMemberBoundary(cell(curSelectFile_, ColDurations), timeStart));
}
