#include "exportfailure.h"

#include "ffmpegoutput.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>

namespace ExportFailures {

namespace {

bool mentionsNoPermission(const QString &text)
{
    return text.contains(QLatin1String("Permission denied"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Read-only file system"), Qt::CaseInsensitive);
}

bool isNoise(const QString &line)
{
    static const QRegularExpression progress(QStringLiteral("^\\s*(frame|size)=|time=\\S+"));
    return line.trimmed().isEmpty() || progress.match(line).hasMatch() ||
           line.startsWith(QLatin1String("  ")) || line.startsWith(QLatin1String("ffmpeg version"));
}

} // namespace

QString lastErrorLine(const QString &log)
{
    const QStringList lines =
        log.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (!isNoise(*it))
            return it->trimmed();
    }
    return QString();
}

ExportFailure classify(bool failedToStart, const QString &reason, const QString &log)
{
    ExportFailure failure;
    const QString text = reason + QLatin1Char('\n') + log;
    if (failedToStart)
        failure.kind = ExportFailure::FfmpegMissing;
    else if (FfmpegOutput::reportsFullDisk(text))
        failure.kind = ExportFailure::DiskFull;
    else if (mentionsNoPermission(text))
        failure.kind = ExportFailure::FolderNotWritable;
    else if (!(failure.detail = lastErrorLine(log)).isEmpty())
        failure.kind = ExportFailure::FfmpegError;
    else
        failure.kind = ExportFailure::Other;
    return failure;
}

ExportFailure notSaved(const QString &path, const QString &systemReason)
{
    if (FfmpegOutput::reportsFullDisk(systemReason))
        return ExportFailure{ExportFailure::DiskFull, QString()};
    return ExportFailure{ExportFailure::NotSaved,
                         QDir::toNativeSeparators(path) + QLatin1Char('\n') + systemReason};
}

ExportFailure changedByOthers(const QString &path)
{
    return ExportFailure{ExportFailure::ChangedByOthers, QDir::toNativeSeparators(path)};
}

Editor_e editorError(const ExportFailure &failure)
{
    return failure.kind == ExportFailure::DiskFull ? EditorNoDiskSpace : EditorFailed;
}

QString pageText(const ExportFailure &failure, const QStringList &texts)
{
    // the row naming each cause; a full disk has a page of its own
    static const QHash<int, int> causeRows = {
        {ExportFailure::FfmpegMissing, FfmpegMissingText},
        {ExportFailure::FolderNotWritable, FolderNotWritableText},
        {ExportFailure::FfmpegError, FfmpegErrorText},
        {ExportFailure::Crashed, CrashedText},
        {ExportFailure::ShortOutput, ShortOutputText},
        {ExportFailure::NotSaved, NotSavedText},
        {ExportFailure::ChangedByOthers, ChangedByOthersText}};
    QString why;
    if (causeRows.contains(failure.kind))
        why = texts.value(causeRows.value(failure.kind));
    if (!failure.detail.isEmpty())
        why += QLatin1Char('\n') + failure.detail;
    const QString head = texts.value(UnableToEdit);
    return why.isEmpty() ? head : head + QLatin1Char('\n') + why;
}

} // namespace ExportFailures
