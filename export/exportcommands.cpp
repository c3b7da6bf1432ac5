#include "exportcommands.h"

#include "ffmpegarguments.h"

#include <QStringList>

namespace {

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

PictureValues ExportCommands::pictureValues(const CameraPicture &camera)
{
    PictureValues values;
    values.brightness = camera.brightness;
    if (values.brightness < 1.0)
        values.brightness *= 0.85;
    values.saturation = camera.saturation + 1.0;
    if (values.saturation < 1.0)
        values.saturation *= 1.1;
    else if (values.saturation > 1.0)
        values.saturation *= 1.2;
    // the picture is turned exactly when the view shows it turned (flip on)
    values.rotationDeg = camera.verticalFlip == 1 ? 180 : 0;
    return values;
}

QString ExportCommands::eqFilter(const PictureValues &values)
{
    return QStringLiteral("eq=brightness=%1:saturation=%2,rotate=%3*(PI/180)")
        .arg(number(values.brightness), number(values.saturation))
        .arg(values.rotationDeg);
}

QString ExportCommands::editorCommand(const CameraPicture &camera, int start, int duration)
{
    return QStringLiteral("-ss %1 ").arg(start) + QStringLiteral("-t %1 ").arg(duration) +
           QStringLiteral("-vf \"%1\" ").arg(eqFilter(pictureValues(camera))) +
           QStringLiteral("-b:v 20000K ") + QStringLiteral("-acodec copy ");
}

// Audio mapping, bit rate and codec shared by the picture-in-picture cut and the mix.
// "-c:v mpeg4" keeps the xvid tag valid where the default .mov encoder would refuse it.
QString ExportCommands::videoTail(bool haveAudio)
{
    QString text = QStringLiteral("-map \"[body2]\" ");
    if (haveAudio)
        text += QStringLiteral("-map 0:a ") + QStringLiteral("-c:a copy ");
    return text + QStringLiteral("-b:v 20000K ") + QStringLiteral("-c:v mpeg4 -vtag xvid ") +
           QStringLiteral("-qscale:v 6");
}

QString ExportCommands::pipPieces(int position, int frameHalf, int margin)
{
    const QString f = QString::number(frameHalf);
    const QString m = QString::number(margin);
    switch (position) {
    case 0:
        return QStringLiteral("[a0][2] overlay=(main_w-overlay_w)/2:0 [body];") +
               QStringLiteral("[body][b1] overlay=(main_w-overlay_w)/2:%1 [body2]\" ").arg(f);
    case 1:
        return QStringLiteral("[a0][2] overlay=(main_w-overlay_w)/2:main_h-overlay_h-%1 [body]; ")
                   .arg(m) +
               QStringLiteral(
                   "[body][b1] overlay=(main_w-overlay_w)/2:main_h-overlay_h-%2-%1 [body2]\" ")
                   .arg(f, m);
    case 2:
        return QStringLiteral("[a0][2] overlay=0:(main_h-overlay_h-%1)/2 [body]; ").arg(m) +
               QStringLiteral("[body][b1] overlay=%1:(main_h-overlay_h-%2)/2 [body2]\" ").arg(f, m);
    case 3:
        return QStringLiteral("[a0][2] overlay=0:0 [body]; ") +
               QStringLiteral("[body][b1] overlay=%1:%1 [body2]\" ").arg(f);
    case 4:
        return QStringLiteral("[a0][2] overlay=0:main_h-overlay_h-%1 [body]; ").arg(m) +
               QStringLiteral("[body][b1] overlay=%1:main_h-overlay_h-%2-%1 [body2]\" ").arg(f, m);
    case 5:
        return QStringLiteral("[a0][2] overlay=main_w-overlay_w:(main_h-overlay_h-%1)/2 [body]; ")
                   .arg(m) +
               QStringLiteral(
                   "[body][b1] overlay=main_w-overlay_w-%1:(main_h-overlay_h-%2)/2 [body2]\" ")
                   .arg(f, m);
    case 6:
        return QStringLiteral("[a0][2] overlay=main_w-overlay_w:0 [body]; ") +
               QStringLiteral("[body][b1] overlay=main_w-overlay_w-%1:%1 [body2]\" ").arg(f);
    case 7:
        return QStringLiteral("[a0][2] overlay=main_w-overlay_w:main_h-overlay_h-%1 [body]; ")
                   .arg(m) +
               QStringLiteral(
                   "[body][b1] overlay=main_w-overlay_w-%1:main_h-overlay_h-%2-%1 [body2]\" ")
                   .arg(f, m);
    default:
        return QString();
    }
}

QString ExportCommands::editorCommandPip(const CameraPicture &mainCamera,
                                         const CameraPicture &secondCamera, int position,
                                         bool haveAudio, int start, int duration, int pipW,
                                         int frameHalf, int margin)
{
    const QString overlay = pipPieces(position, frameHalf, margin);
    if (overlay.isEmpty())
        return QString();
    return QStringLiteral("-ss %1 ").arg(start) + QStringLiteral("-t %1 ").arg(duration) +
           QStringLiteral("-filter_complex \"[0]%1 [a0]; ")
               .arg(eqFilter(pictureValues(mainCamera))) +
           QStringLiteral("[1]%1 [a1]; ").arg(eqFilter(pictureValues(secondCamera))) +
           QStringLiteral("[a1]scale=w=%1:h=-1:force_original_aspect_ratio=decrease [b1]; ")
               .arg(pipW) +
           overlay + videoTail(haveAudio);
}

QString ExportCommands::mixturePieces(int position, int window, int frameHalf, int margin)
{
    const QString w = QString::number(window);
    const QString f = QString::number(frameHalf);
    const QString m = QString::number(margin);
    switch (position) {
    case 0:
        return QStringLiteral(
                   "[0][2] overlay=(main_w-overlay_w)/2:0:enable='between(t,0,%1)' [body]; ")
                   .arg(w) +
               QStringLiteral("[body][c1] overlay=(main_w-overlay_w)/2:%1:enable='between(t,0,%2)' "
                              "[body2]\" ")
                   .arg(f, w);
    case 1:
        return QStringLiteral("[0][2] overlay=(main_w-overlay_w)/2:main_h-overlay_h-%2:enable='"
                              "between(t,0,%1)' [body]; ")
                   .arg(w, m) +
               QStringLiteral("[body][c1] overlay=(main_w-overlay_w)/2:main_h-overlay_h-%3-%1:"
                              "enable='between(t,0,%2)' [body2]\" ")
                   .arg(f, w, m);
    case 2:
        return QStringLiteral(
                   "[0][2] overlay=0:(main_h-overlay_h-%2)/2:enable='between(t,0,%1)' [body]; ")
                   .arg(w, m) +
               QStringLiteral("[body][c1] overlay=%1:(main_h-overlay_h-%3)/2:enable='between(t,0,"
                              "%2)' [body2]\" ")
                   .arg(f, w, m);
    case 3:
        return QStringLiteral("[0][2] overlay=0:0:enable='between(t,0,%1)' [body]; ").arg(w) +
               QStringLiteral("[body][c1] overlay=%1:%1:enable='between(t,0,%2)' [body2]\" ")
                   .arg(f, w);
    case 4:
        return QStringLiteral(
                   "[0][2] overlay=0:main_h-overlay_h-%2:enable='between(t,0,%1)' [body]; ")
                   .arg(w, m) +
               QStringLiteral("[body][c1] overlay=%1:main_h-overlay_h-%3-%1:enable='between(t,0,"
                              "%2)' [body2]\" ")
                   .arg(f, w, m);
    case 5:
        return QStringLiteral("[0][2] overlay=main_w-overlay_w:(main_h-overlay_h-%2)/2:enable='"
                              "between(t,0,%1)' [body]; ")
                   .arg(w, m) +
               QStringLiteral("[body][c1] overlay=main_w-overlay_w-%1:(main_h-overlay_h-%3)/2:"
                              "enable='between(t,0,%2)' [body2]\" ")
                   .arg(f, w, m);
    case 6:
        return QStringLiteral("[0][2] overlay=main_w-overlay_w:0:enable='between(t,0,%1)' [body]; ")
                   .arg(w) +
               QStringLiteral("[body][c1] overlay=main_w-overlay_w-%1:%1:enable='between(t,0,%2)' "
                              "[body2]\" ")
                   .arg(f, w);
    case 7:
        return QStringLiteral("[0][2] overlay=main_w-overlay_w:main_h-overlay_h-%2:enable='"
                              "between(t,0,%1)' [body]; ")
                   .arg(w, m) +
               QStringLiteral("[body][c1] overlay=main_w-overlay_w-%1:main_h-overlay_h-%3-%1:"
                              "enable='between(t,0,%2)' [body2]\" ")
                   .arg(f, w, m);
    default:
        return QString();
    }
}

QString ExportCommands::getCommandMixture(int position, bool haveAudio, int window, int pipW,
                                          int frameHalf, int margin)
{
    const QString overlay = mixturePieces(position, window, frameHalf, margin);
    if (overlay.isEmpty())
        return QString();
    return QStringLiteral("-filter_complex \"") +
           QStringLiteral("[1]scale=w=%1:h=-1:force_original_aspect_ratio=decrease [c1]; ")
               .arg(pipW) +
           overlay + videoTail(haveAudio);
}

QString ExportCommands::groupPieceCommand(bool timed, int start, int duration, int width,
                                          bool keepAudio)
{
    QString text;
    if (timed)
        text += QStringLiteral("-ss %1 ").arg(start) + QStringLiteral("-t %1 ").arg(duration);
    text +=
        QStringLiteral("-filter_complex \"[0]scale=w=%1:h=-1:force_original_aspect_ratio=decrease "
                       "[body2]\" ")
            .arg(width) +
        QStringLiteral("-map \"[body2]\" ");
    if (keepAudio)
        text += QStringLiteral("-map 0:a -c:a copy ");
    return text + QStringLiteral("-c:v mpeg4 -vtag xvid -qscale:v 6 ") +
           QStringLiteral("-b:v 20000K ");
}

QString ExportCommands::joinInput(const QString &listPath)
{
    return QStringLiteral(" -f concat -safe 0") + FfmpegArguments::inputText(listPath);
}

QString ExportCommands::joinCommand(bool dualView, const CameraPicture &camera, int width,
                                    bool keepAudio)
{
    QString text;
    if (dualView) {
        text = QStringLiteral(
                   "-filter_complex \"[0]scale=w=%1:h=-1:force_original_aspect_ratio=decrease "
                   "[body2]\" ")
                   .arg(width);
    } else {
        text = QStringLiteral("-filter_complex \"[0]%1 [v0];[v0]scale=w=%2:h=-1:force_original_"
                              "aspect_ratio=decrease [body2]\" ")
                   .arg(eqFilter(pictureValues(camera)))
                   .arg(width);
    }
    text += QStringLiteral("-map \"[body2]\" ");
    if (keepAudio)
        text += QStringLiteral("-map 0:a ") + QStringLiteral("-c:a copy ");
    text += QStringLiteral("-c:v mpeg4 -vtag xvid -qscale:v 6 ");
    return text + QStringLiteral(" -b:v 20000K");
}

int ExportCommands::formatTimeToSeconds(const QString &text)
{
    QStringList fields;
    QString rest = text;
    int colon = rest.indexOf(QLatin1Char(':'));
    while (colon >= 1) {
        fields.append(rest.left(colon));
        rest = rest.mid(colon + 1);
        colon = rest.indexOf(QLatin1Char(':'));
    }
    if (!rest.isEmpty())
        fields.append(rest);
    const auto value = [&fields](int i) { return fields.at(i).toInt(); };
    if (fields.size() == 3)
        return (value(1) + value(0) * 60) * 60 + value(2);
    if (fields.size() == 2)
        return value(0) * 60 + value(1);
    return 0;
}
