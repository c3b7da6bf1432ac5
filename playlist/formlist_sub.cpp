// The second camera's row of the play list and the starting of group rows.
#include "formlist.h"

#include "listgroups.h"
#include "listrows.h"

#include <QTableWidget>

using namespace ListRows;

bool FormList::findSubFile()
{
    if (!hasRow(curSelectFile_))
        return false;
    clearShownSubMark();
    subFileFound_ = false;

    QVector<NameRow> rows;
    rows.reserve(tableWidget->rowCount());
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        rows.append({cell(row, ColName), isGroupRow(row)});
    const int found = findSubRowByLetter(rows, curSelectFile_);
    if (found < 0)
        return false;
    curSubSelectFile_ = found;
    subFileFound_ = true;
    emit onSubIndexMarkTriggered();
    return true;
}

void FormList::onSubIndex()
{
    if (!hasRow(curSelectFile_) || !hasRow(curSubSelectFile_))
        return;
    clearShownSubMark();
    subFileFound_ = false;

    QStringList names;
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        names << cell(row, ColName);
    const int found = findSubRowByKey(names, curSelectFile_);
    if (found < 0)
        return;
    curSubSelectFile_ = found;
    subFileFound_ = true;
    emit onSubIndexMarkTriggered();
}

bool FormList::checkSubGroupFile() const
{
    // a row that does not exist is no counterpart: the second camera then stays off
    if (!hasRow(curSelectFile_) || !hasRow(curSubSelectFile_))
        return false;
    if (curSelectFile_ == curSubSelectFile_ || isRowHidden(curSelectFile_) ||
        isRowHidden(curSubSelectFile_))
        return false;
    return isPartnerName(cell(curSelectFile_, ColName), cell(curSubSelectFile_, ColName));
}

bool FormList::isCurrentGroup() const
{
    return hasRow(curSelectFile_) && isGroupRow(curSelectFile_);
}

void FormList::setResolution(int row, const QString &text)
{
    if (hasRow(row) && !isGroupRow(row) && cell(row, ColResolution) == unknownResolution())
        setCell(row, ColResolution, text);
}

void FormList::playGroup(int row)
{
    if (!hasRow(row))
        return;
    const ListGroups::GroupMedia media =
        ListGroups::groupMedia(cell(row, ColPath), cell(row, ColDurations));
    emit mediaGroupTriggered(media.urls, media.durations);
}

void FormList::playGroupSub(int row)
{
    if (!hasRow(row))
        return;
    const ListGroups::GroupMedia media =
        ListGroups::groupMedia(cell(row, ColPath), cell(row, ColDurations));
    emit mediaGroupTriggeredSub(media.urls, media.durations);
}
