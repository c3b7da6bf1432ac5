// Argument texts of ffmpeg runs: splitting into arguments, quoting paths, locating the program.
#pragma once

#include <QString>
#include <QStringList>

namespace FfmpegArguments {

// Splits an argument text at blanks; a double-quoted run belongs to one argument and loses its
// quotes. Inside quotes, \" stands for a quote and \\ for a backslash (see quotedPath).
QStringList split(const QString &text);

// The content of the first double-quoted run of text (escapes resolved); empty when none.
QString firstQuoted(const QString &text);

// path in double quotes, with quotes and backslashes escaped, so that split() gives it back whole.
QString quotedPath(const QString &path);

// The input text of one file: " -i \"path\" ".
QString inputText(const QString &path);

// ffmpeg's argument list of a run: the input text, args, then "-map_metadata 0" and output.
// The position of a "-ss" in args is given to each file input (seek before decoding, so a late
// cut does not decode all that lies before it; ffmpeg still drops the frames before the
// position, so the cut keeps the same frames) and args keep "-ss 0". "-vtag xvid" is left out
// where the output's container refuses it.
QStringList runArguments(const QString &input, const QString &args, const QString &output);

// True when the container chosen by the output's suffix refuses the "xvid" tag (the mp4 family).
bool refusesXvidTag(const QString &output);

// "FFmpeg/ffmpeg" under the working directory when that file exists, else ffmpeg on PATH
// (the bare name when PATH has none, which then fails to start).
QString program();

} // namespace FfmpegArguments
