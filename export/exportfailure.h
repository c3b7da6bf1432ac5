// Why an export step failed, read from the runner's own checks and ffmpeg's console output, and
// the text the dialog's error page shows for it. Plain functions.
#pragma once

#include "sharedtypes.h"

#include <QString>
#include <QStringList>

struct ExportFailure
{
    enum Kind
    {
        None,
        FfmpegMissing,     // the program could not be started
        DiskFull,          // ffmpeg or the trailer write ran out of space
        FolderNotWritable, // the output folder cannot be made or written
        FfmpegError,       // ffmpeg failed; detail holds its last error line
        Crashed,           // ffmpeg did not exit normally (a signal)
        ShortOutput,       // the output is shorter than the span: the source ended early
        NotSaved,          // the output could not be completed or put in place; detail names
                           // the file and the system's reason
        ChangedByOthers,   // someone else moved or replaced the export's file or folder in the
                           // output folder; detail names the output
        Other              // empty input path, cancel, an unnamed problem
    };
    Kind kind = None;
    QString detail;
};

namespace ExportFailures {

// Rows of the "Edit dialog" language section read for failures (row 0 is the heading).
enum Text
{
    UnableToEdit = 31,
    FfmpegMissingText = 34,
    FolderNotWritableText = 35,
    FfmpegErrorText = 36,
    CrashedText = 37,
    ShortOutputText = 38,
    NotSavedText = 39,
    ChangedByOthersText = 40
};

// The failure of a step: failedToStart is the process's own start error, reason the runner's
// description, log the step's console output (or a write error text of the trailer).
ExportFailure classify(bool failedToStart, const QString &reason, const QString &log);

// The last line of ffmpeg's output that is neither progress nor the banner; empty when none.
QString lastErrorLine(const QString &log);

// The failure to complete or put in place the output at path for the system's reason: a full
// disk, or NotSaved naming both.
ExportFailure notSaved(const QString &path, const QString &systemReason);

// The export's own file or folder for the output at path was moved or replaced by someone else.
ExportFailure changedByOthers(const QString &path);

// EditorNoDiskSpace for a full disk (the disk-space page), EditorFailed otherwise.
Editor_e editorError(const ExportFailure &failure);

// The error page's text in the language of texts (the "Edit dialog" list): "Unable to edit."
// and, on a line of its own, why.
QString pageText(const ExportFailure &failure, const QStringList &texts);

} // namespace ExportFailures
