#include "listgroups.h"

#include "listrows.h"

#include <algorithm>
#include <numeric>

namespace ListGroups {

namespace {
bool containsAny(const QString &text, std::initializer_list<const char *> tags)
{
    return std::any_of(tags.begin(), tags.end(),
                       [&text](const char *tag) { return text.contains(QLatin1String(tag)); });
}

bool isRearName(const QString &name)
{
    return containsAny(name, {"_R.", "_r."});
}

bool isFrontName(const QString &name)
{
    return !isRearName(name) && containsAny(name, {"_F.", "_f."});
}

QString sortKey(const RowCells &row)
{
    const QString name = fileNamePart(row.value(ListRows::ColPath));
    return name.left(qMax(0, name.size() - 4));
}

QStringList parts(const QString &cell)
{
    QStringList list = cell.split(QLatin1Char(';'));
    list.removeLast(); // the text after the final ";"
    return list;
}
} // namespace

QString fileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool isTaggedName(const QString &fileName)
{
    return containsAny(fileName, {"_F.", "_f.", "_R.", "_r."});
}

QVector<RowCells> orderMembers(const QVector<RowCells> &rows)
{
    QVector<RowCells> ordered = rows;
    std::stable_sort(ordered.begin(), ordered.end(), [](const RowCells &a, const RowCells &b) {
        const bool taggedA = isTaggedName(fileNamePart(a.value(ListRows::ColPath)));
        const bool taggedB = isTaggedName(fileNamePart(b.value(ListRows::ColPath)));
        if (taggedA != taggedB)
            return taggedA;
        return sortKey(a) < sortKey(b);
    });
    return ordered;
}

QVector<QVector<int>> cameraSets(const QVector<RowCells> &ordered)
{
    QVector<int> front;
    QVector<int> rear;
    QVector<int> untagged;
    for (int i = 0; i < ordered.size(); ++i) {
        const QString name = fileNamePart(ordered.at(i).value(ListRows::ColPath));
        (isRearName(name) ? rear : isFrontName(name) ? front : untagged).append(i);
    }
    if (front.isEmpty()) {
        QVector<int> all(ordered.size());
        std::iota(all.begin(), all.end(), 0);
        return {all};
    }
    QVector<QVector<int>> sets{front};
    for (const QVector<int> &set : {rear, untagged}) {
        if (!set.isEmpty())
            sets.append(set);
    }
    return sets;
}

FileInfo_t groupRowInfo(const QString &key, const QVector<RowCells> &members)
{
    FileInfo_t info;
    if (members.isEmpty())
        return info;
    int totalSec = 0;
    int totalMb = 0;
    for (const RowCells &member : members) {
        totalSec += ListRows::hmsSeconds(member.value(ListRows::ColDuration)).value_or(0);
        totalMb += ListRows::sizeMb(member.value(ListRows::ColSize));
        info.durations += member.value(ListRows::ColDuration) + QLatin1Char(';');
        info.filePath += member.value(ListRows::ColPath) + QLatin1Char(';');
    }
    const RowCells &first = members.first();
    info.fileName =
        QStringLiteral("%1(%2)").arg(first.value(ListRows::ColName)).arg(members.size());
    info.date = first.value(ListRows::ColDate);
    info.size = QString::number(totalMb) + QStringLiteral("MB");
    info.duration = ListRows::hmsText(totalSec);
    info.resolution = key;
    return info;
}

GroupMedia groupMedia(const QString &pathCell, const QString &durationsCell)
{
    const QStringList paths = parts(pathCell);
    const QStringList durations = parts(durationsCell);
    GroupMedia media;
    const int count = qMin(paths.size(), durations.size());
    for (int i = 0; i < count; ++i) {
        media.urls.append(QUrl::fromLocalFile(paths.at(i)));
        media.durations.append(QTime::fromString(durations.at(i), QStringLiteral("hh:mm:ss")));
    }
    return media;
}

} // namespace ListGroups
