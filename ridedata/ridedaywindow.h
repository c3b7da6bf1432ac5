// The 7- or 28-day window of the period charts and the date texts of the ride-data page.
#pragma once

#include "sharedtypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace ChartPeriodType {
constexpr int none = 0;
constexpr int sevenDays = 1;
constexpr int twentyEightDays = 2;
} // namespace ChartPeriodType

namespace RideDayWindow {

// 7, 28 or 0 days for a ChartPeriodType.
int dayCount(int period);
// The window's days as "yyyyMMdd" from firstDay ("yyyyMMdd"); empty for an invalid day.
QStringList dayNames(const QString &firstDay, int period);
// folder + "/" + name of each listed file of the window's days, in listing (time) order.
QStringList windowFiles(const QString &folder, const QStringList &listing, const QStringList &days);
// Sets each element's dayIndex from its date and folds a day's later files into the day's
// first element: distance, altitude and seconds add up, the last file gives duration and
// position, and speedAvg is the plain mean of the day's files.
void assignDaysAndMerge(QVector<PlaybackInfo2_t> &info, const QStringList &days);

// A text beginning "yyyyMMdd" as a date for format 0 dd/MM/yyyy, 1 MM/dd/yyyy, 2 yyyy/MM/dd;
// any other format returns text unchanged.
QString dateLabelText(const QString &text, int format);

} // namespace RideDayWindow
