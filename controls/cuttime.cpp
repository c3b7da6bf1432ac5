#include "cuttime.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace CutTime {

namespace {

constexpr int secondsPerMinute = 60;
constexpr int secondsPerHour = 3600;
constexpr qint64 msPerSecond = 1000;
const QLatin1String rangeSeparator(" ~ ");

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString formatMinSec(int seconds)
{
    return minutesField(seconds) + QLatin1Char(':') + secondsField(seconds);
}

QString minutesField(int seconds)
{
    return twoDigits(std::max(seconds, 0) / secondsPerMinute);
}

QString secondsField(int seconds)
{
    return twoDigits(std::max(seconds, 0) % secondsPerMinute);
}

QString rangeText(int startSec, int endSec)
{
    return formatMinSec(startSec) + rangeSeparator + formatMinSec(endSec);
}

int secondsFromHundredths(int hundredths)
{
    return hundredths / hundredthsPerSecond;
}

std::optional<int> parseFields(const QString &minutes, const QString &seconds)
{
    static const QRegularExpression minutePattern(
        QStringLiteral("^\\d{1,%1}$").arg(maxMinuteDigits));
    static const QRegularExpression secondPattern(
        QStringLiteral("^\\d{1,%1}$").arg(maxSecondDigits));
    if (!minutePattern.match(minutes).hasMatch() || !secondPattern.match(seconds).hasMatch())
        return std::nullopt;
    const int sec = seconds.toInt();
    if (sec >= secondsPerMinute)
        return std::nullopt;
    return minutes.toInt() * secondsPerMinute + sec;
}

std::optional<int> parseMinSec(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    return parseFields(parts.at(0), parts.at(1));
}

std::optional<Range> parseRangeText(const QString &text)
{
    const QStringList parts = text.split(rangeSeparator);
    if (parts.size() != 2)
        return std::nullopt;
    const auto start = parseMinSec(parts.at(0));
    const auto end = parseMinSec(parts.at(1));
    if (!start || !end)
        return std::nullopt;
    return Range{*start, *end};
}

std::optional<int> startOneSecondEarlier(const QString &minutes, const QString &seconds)
{
    if (minutes.size() < 2 || seconds.size() != 2)
        return std::nullopt;
    const auto start = parseFields(minutes, seconds);
    if (!start)
        return std::nullopt;
    return std::max(*start - 1, 0);
}

Bound otherBound(Bound bound)
{
    return bound == Bound::Start ? Bound::End : Bound::Start;
}

std::optional<int> typedBound(Bound bound, const QString &minutes, const QString &seconds,
                              const Span &span)
{
    const auto typedSec = parseFields(minutes, seconds);
    if (!typedSec)
        return std::nullopt;
    const bool start = bound == Bound::Start;
    const int inForce = start ? span.lower : span.upper;
    const int hundredths =
        secondsFromHundredths(inForce) == *typedSec ? inForce : *typedSec * hundredthsPerSecond;
    const bool ordered = start ? *typedSec < secondsFromHundredths(span.upper)
                               : *typedSec > secondsFromHundredths(span.lower);
    if (!ordered || hundredths > span.maximum)
        return std::nullopt;
    return hundredths;
}

TypedSpan spanWhileTyping(Bound bound, const TimeFields &typed,
                          const std::optional<TimeFields> &refusedOther, const Span &entry)
{
    TypedSpan result{entry.lower, entry.upper};
    const auto setBound = [&result](Bound which, int hundredths) {
        (which == Bound::Start ? result.lower : result.upper) = hundredths;
    };
    const auto value = typedBound(bound, typed.minutes, typed.seconds, entry);
    if (!value)
        return result;
    setBound(bound, *value);
    result.applied = true;
    if (!refusedOther)
        return result;
    const Bound other = otherBound(bound);
    const auto otherValue = typedBound(other, refusedOther->minutes, refusedOther->seconds,
                                       {result.lower, result.upper, entry.maximum});
    if (otherValue) {
        setBound(other, *otherValue);
        result.otherApplied = true;
    }
    return result;
}

Decision decide(const std::optional<Range> &range, qint64 durationMs)
{
    if (!range)
        return Decision::Warning;
    qint64 endMs = qint64(range->endSec) * msPerSecond;
    if (durationMs > 0)
        endMs = std::min(endMs, durationMs);
    const qint64 lengthMs = endMs - qint64(range->startSec) * msPerSecond;
    return lengthMs >= minimumCutSec * msPerSecond ? Decision::Ok : Decision::Warning;
}

QString formatClock(qint64 ms, qint64 durationMs)
{
    const qint64 sec = std::max<qint64>(ms, 0) / msPerSecond;
    const QString minSec = twoDigits(sec / secondsPerMinute % secondsPerMinute) + QLatin1Char(':') +
                           twoDigits(sec % secondsPerMinute);
    if (std::max(ms, durationMs) < secondsPerHour * msPerSecond)
        return minSec;
    return QString::number(sec / secondsPerHour) + QLatin1Char(':') + minSec;
}

} // namespace CutTime
