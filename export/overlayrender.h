// Rules of the overlay editor's render: track bounds, frame count and names, object scaling and
// the final ffmpeg run that lays the frames over the video.
#pragma once

#include "sharedtypes.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

namespace OverlayRender {

inline const QString outputName = QStringLiteral("fffffff.mov");
inline const QString mapObjectName = QStringLiteral("mapWaterMark_dashcam");
inline const QString meterObjectName = QStringLiteral("dashboard_dashcam");
inline const QString pictureObjectName = QStringLiteral("QLabelImage");

// Bounds of the samples' decimal positions; samples without a fix (both reading 0) are left
// out. Zero bounds when no sample has a fix.
DrawInfo_t trackBounds(const QVector<VideoInfo_t> &samples);

// ((h x 60 + m) x 60 + s - 1) x 8 for a video of durationMs; 0 below 2 seconds.
int frameCount(qint64 durationMs);
// "example_%1.png" with at least three digits.
QString frameFileName(int index);
// Removes every "example_*.png" in folder; the number of files removed.
int removeFrameFiles(const QString &folder);

// x, y, w, h scaled by sx, sy, each truncated.
QRect scaledGeometry(const QRect &geometry, double sx, double sy);
// A picture label's pixmap size on the preview: video size x 16 / editor size.
QSize pictureSize(const QSize &videoSize, const QSize &editorSize);

// The input and argument parts of the final run for the runner: the sample video under the
// frames at 8 per second; audio copied when the sample has it.
struct OverlayCommand
{
    QString input;
    QString args;
    QString output;
};
OverlayCommand overlayCommand(const QString &sampleVideo, int durationSec);

} // namespace OverlayRender
