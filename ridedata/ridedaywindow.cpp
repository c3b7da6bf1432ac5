#include "ridedaywindow.h"

#include <QDate>

namespace RideDayWindow {

namespace {
const QString dayFormat = QStringLiteral("yyyyMMdd");
constexpr int dateDigits = 8;
} // namespace

int dayCount(int period)
{
    if (period == ChartPeriodType::sevenDays)
        return 7;
    if (period == ChartPeriodType::twentyEightDays)
        return 28;
    return 0;
}

QStringList dayNames(const QString &firstDay, int period)
{
    QStringList days;
    const QDate first = QDate::fromString(firstDay, dayFormat);
    if (!first.isValid())
        return days;
    for (int d = 0; d < dayCount(period); ++d)
        days << first.addDays(d).toString(dayFormat);
    return days;
}

QStringList windowFiles(const QString &folder, const QStringList &listing, const QStringList &days)
{
    QStringList files;
    for (const QString &name : listing) {
        if (days.contains(name.left(dateDigits)))
            files << folder + QLatin1Char('/') + name;
    }
    return files;
}

void assignDaysAndMerge(QVector<PlaybackInfo2_t> &info, const QStringList &days)
{
    for (PlaybackInfo2_t &element : info) {
        const int day = days.indexOf(element.date);
        if (day >= 0)
            element.dayIndex = day;
    }
    int first = 0;
    double speedSum = info.isEmpty() ? 0.0 : info[0].speedAvg;
    for (int i = 1; i < info.size(); ++i) {
        const PlaybackInfo2_t &element = info[i];
        if (element.date != info[i - 1].date) {
            first = i;
            speedSum = element.speedAvg;
            continue;
        }
        PlaybackInfo2_t &dayTotal = info[first];
        dayTotal.altitude += element.altitude;
        dayTotal.distance += element.distance;
        dayTotal.totalSeconds += element.totalSeconds;
        dayTotal.duration = element.duration;
        dayTotal.latitude = element.latitude;
        dayTotal.longitude = element.longitude;
        dayTotal.latHemisphere = element.latHemisphere;
        dayTotal.lngHemisphere = element.lngHemisphere;
        speedSum += element.speedAvg;
        dayTotal.speedAvg = speedSum / (i - first + 1);
    }
}

QString dateLabelText(const QString &text, int format)
{
    const int year = text.mid(0, 4).toInt();
    const int month = text.mid(4, 2).toInt();
    const int day = text.mid(6, 2).toInt();
    const auto field = [](int value, int width) {
        return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
    };
    const QString pattern = QStringLiteral("%1/%2/%3");
    switch (format) {
    case 0:
        return pattern.arg(field(day, 2), field(month, 2), field(year, 4));
    case 1:
        return pattern.arg(field(month, 2), field(day, 2), field(year, 4));
    case 2:
        return pattern.arg(field(year, 4), field(month, 2), field(day, 2));
    default:
        return text;
    }
}

} // namespace RideDayWindow
