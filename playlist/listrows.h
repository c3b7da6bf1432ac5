// Text rules of the play list's rows: columns, dates, group keys, camera letters and times.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace ListRows {

enum Column
{
    ColMark = 0,
    ColName = 1,
    ColDate = 2,
    ColSize = 3,
    ColDuration = 4,
    ColResolution = 5, // a group row's key ("Group" + number)
    ColPath = 6,       // hidden; a group row: member paths, each followed by ";"
    ColDurations = 7,  // hidden; a group row: member durations, each followed by ";"
    ColumnCount = 8
};

inline QString mainMark()
{
    return QStringLiteral("d");
}
inline QString subMark()
{
    return QStringLiteral("e");
}
inline QString unknownResolution()
{
    return QStringLiteral("0x0");
}

// The date "yyyy-MM-dd" shown in format 0 (dd-MM-yyyy), 1 (MM-dd-yyyy) or 2 (yyyy-MM-dd);
// empty for any other format.
QString displayDate(const QString &isoDate, int format);
// A shown date rewritten from format from to format to; unchanged when from is not 0..2.
QString convertDate(const QString &text, int from, int to);

// "Group" followed by a number: the key cell of a group row. Only column 5 is tested with it.
bool isGroupKey(const QString &resolutionCell);
QString groupKey(int number);
// The number after "Group"; 0 when there is none.
int groupNumber(const QString &key);

// Position of a camera letter in a file name: the first upper-case occurrence when it is at 1 or
// later, else the first lower-case one (-1 when none). A letter counts at position 1 or later.
int cameraLetterPosition(const QString &name, QChar upperLetter);

struct NameRow
{
    QString name; // column 1
    bool group = false;
};
// The second camera's row for the main row by the camera letter of its name, scanning from the
// last row up (the main row included); a group main row pairs only with a group row. -1: none.
int findSubRowByLetter(const QVector<NameRow> &rows, int mainRow);

// A name less its last six characters ("NAME_F.MP4" -> "NAME"); the whole name when shorter.
QString partnerKey(const QString &name);
// The first row from the top whose key equals the main row's and whose name differs; -1: none.
int findSubRowByKey(const QStringList &names, int mainRow);

// Whether subName is the other camera's recording of mainName ("_f"/"_r", else "_l"/"_r" tags,
// same text before the tag, different names).
bool isPartnerName(const QString &mainName, const QString &subName);

// Seconds of "hh:mm:ss"; nothing when the text is not such a time.
std::optional<int> hmsSeconds(const QString &text);
// "hh:mm:ss" of seconds, running on like a clock (wraps at 24 hours).
QString hmsText(int seconds);
// Whole megabytes of a size cell "<n>MB"; 0 when it does not read as a number.
int sizeMb(const QString &sizeText);

// Whether the cut start "mm:ss" (minutes may pass 59) lies on the end of a member of a group
// whose member durations are durations ("hh:mm:ss;" each). A start at 00:00 never does.
bool startOnMemberBoundary(const QString &durations, const QString &timeStart);

} // namespace ListRows
