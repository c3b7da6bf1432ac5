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

// "FFmpeg/ffmpeg" under the working directory when that file exists, else ffmpeg on PATH
// (the bare name when PATH has none, which then fails to start).
QString program();

} // namespace FfmpegArguments
