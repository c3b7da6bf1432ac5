// Time texts of the play bar and its cut editor, apart from any widget.
//
// Cut times are written "mm:ss" with the minutes running on past 59 ("62:05" is one hour, two
// minutes and five seconds), so the editor's minute and second fields hold any time of a clip.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace CutTime {

constexpr int hundredthsPerSecond = 100;
constexpr int minimumCutSec = 1; // shorter cuts are refused with the warning
constexpr int maxMinuteDigits = 3;
constexpr int maxSecondDigits = 2;

struct Range
{
    int startSec = 0;
    int endSec = 0;
};

// 65 -> "01:05", 3725 -> "62:05"; negative seconds count as 0.
QString formatMinSec(int seconds);
// The minute field ("62", at least two digits) and the second field ("05") of seconds.
QString minutesField(int seconds);
QString secondsField(int seconds);
// The range label: "%1 ~ %2" of two times.
QString rangeText(int startSec, int endSec);
// Whole seconds of a slider value in hundredths of a second (truncated).
int secondsFromHundredths(int hundredths);

// Seconds of a minute field (1 to 3 digits) and a second field (1 or 2 digits, below 60) as typed.
std::optional<int> parseFields(const QString &minutes, const QString &seconds);
// Seconds of "m:s" with the field rules above.
std::optional<int> parseMinSec(const QString &text);
// Start and end of a range text "m:s ~ m:s".
std::optional<Range> parseRangeText(const QString &text);

// A cut start that lies on a group member boundary moves one second earlier, never before 00:00.
// Only fields written out in full (two-digit seconds, at least two-digit minutes) are moved.
std::optional<int> startOneSecondEarlier(const QString &minutes, const QString &seconds);

// The two times of a cut, each typed into a minute and a second field.
enum class Bound
{
    Start,
    End
};
Bound otherBound(Bound bound);

// A slider span in hundredths of a second: its bounds and the clip's end.
struct Span
{
    int lower = 0;
    int upper = 0;
    int maximum = 0;
};

// The bound, in hundredths, that a time typed into its two fields sets, or nothing while the
// fields do not form a time that can apply: both must parse (parseFields), and in whole seconds
// as the fields show them a start must lie before the end in force and an end after the start
// in force and within the clip (span.maximum). A bound whose second the fields still show keeps
// its hundredths.
std::optional<int> typedBound(Bound bound, const QString &minutes, const QString &seconds,
                              const Span &span);

// The minute and the second field of a time as they stand.
struct TimeFields
{
    QString minutes;
    QString seconds;
};

// What applies while a time is typed into one of its fields, worked out from the span in force
// when the typing in that field began (entry) and the fields as they stand now, so that a time
// passed on the way (a prefix of the entry, a field on its way to empty) leaves nothing behind:
// the entry span with the typed time when it applies (typedBound), else the entry span as it
// was. refusedOther holds the other time's fields when they did not apply at the entry; they
// apply too once they fit the span with the typed time.
struct TypedSpan
{
    int lower = 0;
    int upper = 0;
    bool applied = false;      // the typed time
    bool otherApplied = false; // the other time, refused at the entry
};
TypedSpan spanWhileTyping(Bound bound, const TimeFields &typed,
                          const std::optional<TimeFields> &refusedOther, const Span &entry);

enum class Decision
{
    Ok,
    Warning
};
// Ok when the range covers at least one second of the clip; the end is cut at durationMs when
// that is known (above 0). No range (unreadable fields) gives the warning.
Decision decide(const std::optional<Range> &range, qint64 durationMs);

// Position text of the play bar: "mm:ss", or "h:mm:ss" once the clip lasts an hour or more.
QString formatClock(qint64 ms, qint64 durationMs);

} // namespace CutTime
