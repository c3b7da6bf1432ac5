// Reading ffmpeg's console output: lines split at "\r" and "\n", progress times, stream sizes.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

// Collects output chunks and hands out whole lines; ffmpeg ends progress lines with "\r".
class OutputLines
{
public:
    // Appends chunk and returns the lines it completes (without their ends, empty ones dropped).
    QStringList add(const QByteArray &chunk);
    // The text after the last line end, still waiting for its end (e.g. a prompt).
    QString pending() const { return QString::fromLocal8Bit(rest); }
    void clear() { rest.clear(); }

private:
    QByteArray rest;
};

namespace FfmpegOutput {

// Whole seconds of the first "time=hh:mm:ss" in line; -1 when the line has none, 0 when the
// time does not parse.
int progressSeconds(const QString &line);

// Seconds of the first "Duration: hh:mm:ss.xx" in line (an input's length); -1 when none or
// "N/A".
double inputDuration(const QString &line);

// The duration of a run: the integer after the first "-t " in args, 0 when it is no number.
int durationArg(const QString &args);
// Position of the first "-t " in args, -1 when absent.
int durationArgPosition(const QString &args);
// The start of a run: the integer after the first "-ss " in args, 0 when absent or no number.
int seekArg(const QString &args);

// True when text holds ffmpeg's report of a full disk or an exhausted quota ("No space left on
// device", "Disk quota exceeded"), which it may print while writing the trailer and still exit 0.
bool reportsFullDisk(const QString &text);

// The "WxH..." text of a stream line from its "Video:" on; empty when the line has none.
QString parseResolution(const QString &videoText);
// Width and height of a size text: the number before "x" and the digits after it; 0 x 0
// without an "x".
QSize sizeOfText(const QString &sizeText);

} // namespace FfmpegOutput
