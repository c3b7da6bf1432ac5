// Texts and numbers of the share dialog: upload progress, the automatic title, the preview run.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace ShareProgress {

// Range 0..maximum and value of the progress bar for byte counts. Counts are shifted right
// until the total fits an int, so files of 2 GiB and more keep their proportions.
struct Bar
{
    int maximum = 0;
    int value = 0;
};
Bar bar(qint64 sent, qint64 total);

// "%1MB / %2MB" in whole mebibytes, rounded down.
QString numberText(qint64 sent, qint64 total);
// Whole percent while sending; "99%" once sent equals total and never "100%" (that is shown
// only when the service has answered with success).
QString percentText(qint64 sent, qint64 total);

// Date by the date-format setting (0 dd/MM/yyyy, 1 MM/dd/yyyy, 2 yyyy/MM/dd) followed by
// " - Dashcam - TALVEX VIDEO PLAYER"; empty for any other setting.
QString autoTitle(int dateFormat, const QDate &date);

// ffmpeg's arguments for one frame at 1 s of input, written to output (overwritten).
QStringList previewArguments(const QString &input, const QString &output);

} // namespace ShareProgress
