#include "listrows.h"

#include "cuttime.h"

#include <QRegularExpression>
#include <QTime>

namespace ListRows {

namespace {
constexpr int secondsPerDay = 24 * 3600;

// Day, month and year of a shown date in format; empty parts for an unknown format.
struct DateParts
{
    QString day;
    QString month;
    QString year;
};

std::optional<DateParts> splitDate(const QString &text, int format)
{
    switch (format) {
    case 0:
        return DateParts{text.mid(0, 2), text.mid(3, 2), text.mid(6, 4)};
    case 1:
        return DateParts{text.mid(3, 2), text.mid(0, 2), text.mid(6, 4)};
    case 2:
        return DateParts{text.mid(8, 2), text.mid(5, 2), text.mid(0, 4)};
    default:
        return std::nullopt;
    }
}

QString joinDate(const DateParts &parts, int format)
{
    const QChar dash(QLatin1Char('-'));
    switch (format) {
    case 0:
        return parts.day + dash + parts.month + dash + parts.year;
    case 1:
        return parts.month + dash + parts.day + dash + parts.year;
    case 2:
        return parts.year + dash + parts.month + dash + parts.day;
    default:
        return QString();
    }
}

// Position of the first of two lower-case tags in the lower-cased name: the first tag when it is
// at 1 or later, else the second (-1 when none).
int tagPosition(const QString &name, const QString &firstTag, const QString &secondTag)
{
    const QString lower = name.toLower();
    const int first = lower.indexOf(firstTag);
    return first >= 1 ? first : lower.indexOf(secondTag);
}

bool sameBefore(const QString &mainName, const QString &subName, int position)
{
    return mainName.left(position) == subName.left(position) && mainName != subName;
}
} // namespace

QString displayDate(const QString &isoDate, int format)
{
    return joinDate(*splitDate(isoDate, 2), format);
}

QString convertDate(const QString &text, int from, int to)
{
    const std::optional<DateParts> parts = splitDate(text, from);
    if (!parts || from == to || to < 0 || to > 2)
        return text;
    return joinDate(*parts, to);
}

bool isGroupKey(const QString &resolutionCell)
{
    static const QRegularExpression key(QStringLiteral("^Group\\d+$"));
    return key.match(resolutionCell).hasMatch();
}

QString groupKey(int number)
{
    return QStringLiteral("Group") + QString::number(number);
}

int groupNumber(const QString &key)
{
    return key.mid(5).toInt();
}

int cameraLetterPosition(const QString &name, QChar upperLetter)
{
    const int upper = name.indexOf(upperLetter);
    return upper >= 1 ? upper : name.indexOf(upperLetter.toLower());
}

int findSubRowByLetter(const QVector<NameRow> &rows, int mainRow)
{
    if (mainRow < 0 || mainRow >= rows.size())
        return -1;
    const NameRow &main = rows.at(mainRow);
    const int pR = cameraLetterPosition(main.name, QLatin1Char('R'));
    const int pF = cameraLetterPosition(main.name, QLatin1Char('F'));
    const int pL = cameraLetterPosition(main.name, QLatin1Char('L'));
    const bool rearMain = pR >= 1;
    const int mainPos = rearMain ? pR : pF >= 1 ? pF : pL;
    if (mainPos < 1)
        return -1;
    const QString prefix = main.name.left(mainPos);

    // a letter of n counts when it stands after the same text as the main letter
    const auto matches = [&prefix](const QString &n, QChar letter) {
        const int pos = cameraLetterPosition(n, letter);
        return pos >= 1 && n.left(pos) == prefix;
    };
    for (int row = rows.size() - 1; row >= 0; --row) {
        const NameRow &candidate = rows.at(row);
        if (main.group && !candidate.group)
            continue;
        const bool found = rearMain ? matches(candidate.name, QLatin1Char('F')) ||
                                          matches(candidate.name, QLatin1Char('L'))
                                    : matches(candidate.name, QLatin1Char('R'));
        if (found)
            return row;
    }
    return -1;
}

QString partnerKey(const QString &name)
{
    return name.size() < 6 ? name : name.left(name.size() - 6);
}

int findSubRowByKey(const QStringList &names, int mainRow)
{
    if (mainRow < 0 || mainRow >= names.size())
        return -1;
    const QString &mainName = names.at(mainRow);
    const QString key = partnerKey(mainName);
    for (int row = 0; row < names.size(); ++row) {
        if (partnerKey(names.at(row)) == key && names.at(row) != mainName)
            return row;
    }
    return -1;
}

bool isPartnerName(const QString &mainName, const QString &subName)
{
    const QString rear = QStringLiteral("_r");
    for (const QString &other : {QStringLiteral("_f"), QStringLiteral("_l")}) {
        const int pm = tagPosition(mainName, other, rear);
        const int ps = tagPosition(subName, other, rear);
        if (pm >= 1 && ps >= 1)
            return sameBefore(mainName, subName, pm);
    }
    return false;
}

std::optional<int> hmsSeconds(const QString &text)
{
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
        return std::nullopt;
    return time.msecsSinceStartOfDay() / 1000;
}

QString hmsText(int seconds)
{
    const int wrapped = ((seconds % secondsPerDay) + secondsPerDay) % secondsPerDay;
    return QTime(0, 0).addSecs(wrapped).toString(QStringLiteral("hh:mm:ss"));
}

int sizeMb(const QString &sizeText)
{
    return sizeText.left(qMax(0, sizeText.size() - 2)).toInt();
}

bool startOnMemberBoundary(const QString &durations, const QString &timeStart)
{
    const std::optional<int> start = CutTime::parseMinSec(timeStart);
    if (!start || *start <= 0)
        return false;
    int runningSec = 0;
    for (const QString &part : durations.split(QLatin1Char(';'))) {
        if (part.isEmpty())
            break;
        runningSec += hmsSeconds(part).value_or(0);
        if (runningSec == *start)
            return true;
    }
    return false;
}

} // namespace ListRows
