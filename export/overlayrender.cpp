#include "overlayrender.h"

#include "ffmpegarguments.h"
#include "overlaygeometry.h"
#include "sampleposition.h"

#include <QDir>

namespace OverlayRender {

DrawInfo_t trackBounds(const QVector<VideoInfo_t> &samples)
{
    DrawInfo_t bounds;
    bool first = true;
    for (const VideoInfo_t &vi : samples) {
        if (!SamplePosition::hasPosition(vi))
            continue;
        const double lon = vi.lonDecimalText.toDouble();
        const double lat = vi.latDecimalText.toDouble();
        if (first) {
            bounds = DrawInfo_t{lon, lon, lat, lat};
            first = false;
            continue;
        }
        if (lon > bounds.maxX)
            bounds.maxX = lon;
        if (lat > bounds.maxY)
            bounds.maxY = lat;
        if (lon < bounds.minX)
            bounds.minX = lon;
        if (lat < bounds.minY)
            bounds.minY = lat;
    }
    return bounds;
}

int frameCount(qint64 durationMs)
{
    // one sample a second of the clip
    return OverlayGeometry::frameCount(int(durationMs / 1000));
}

QString frameFileName(int index)
{
    return QStringLiteral("example_%1.png").arg(index, 3, 10, QLatin1Char('0'));
}

int removeFrameFiles(const QString &folder)
{
    QDir dir(folder);
    int removed = 0;
    for (const QString &name :
         dir.entryList({QStringLiteral("example_*.png")}, QDir::Files | QDir::Hidden)) {
        if (dir.remove(name))
            ++removed;
    }
    return removed;
}

QRect scaledGeometry(const QRect &geometry, double sx, double sy)
{
    return QRect(int(geometry.x() * sx), int(geometry.y() * sy), int(geometry.width() * sx),
                 int(geometry.height() * sy));
}

QSize pictureSize(const QSize &videoSize, const QSize &editorSize)
{
    if (editorSize.width() <= 0 || editorSize.height() <= 0)
        return videoSize;
    return QSize(videoSize.width() * 16 / editorSize.width(),
                 videoSize.height() * 16 / editorSize.height());
}

OverlayCommand overlayCommand(const QString &sampleVideo, int durationSec)
{
    OverlayCommand command;
    command.input = QStringLiteral(" -y") + FfmpegArguments::inputText(sampleVideo);
    // "-t" bounds the output to the sample and gives the runner its progress base.
    command.args = QStringLiteral("-framerate %1 -i example_%03d.png -filter_complex "
                                  "\"[0:v][1:v] overlay[out]\" -map \"[out]\" -map 0:a? "
                                  "-c:a copy -t %2 -c:v mpeg4 -vtag xvid -qscale:v 6")
                       .arg(OverlayGeometry::framesPerSecond)
                       .arg(durationSec);
    command.output = outputName;
    return command;
}

} // namespace OverlayRender
