// Argument texts of the export's ffmpeg runs: cuts, picture-in-picture cuts, group pieces, joins
// and mixes. Plain functions of their parameters; the main window supplies the camera values.
#pragma once

#include <QString>

// What the renderer and settings say about one camera's picture.
struct CameraPicture
{
    double brightness = 0.0; // renderer value, 0 neutral
    double saturation = 0.0; // renderer value, 0 neutral
    int verticalFlip = -1;   // "VerticalFlip"/"SubVerticalFlip" setting, -1 when absent
};

// The eq/rotate values written into a filter.
struct PictureValues
{
    double brightness = 0.0;
    double saturation = 1.0;
    int rotationDeg = 0;
};

class ExportCommands
{
public:
    static constexpr int locationCount = 8; // Location codes 0..7

    static PictureValues pictureValues(const CameraPicture &camera);

    // Single-camera cut; the caller appends " -an " to drop the audio.
    static QString editorCommand(const CameraPicture &camera, int start, int duration);

    // Cut with the second picture over the first. Null for a Location outside 0..7.
    static QString editorCommandPip(const CameraPicture &mainCamera,
                                    const CameraPicture &secondCamera, int position, bool haveAudio,
                                    int start, int duration, int pipW, int frameHalf, int margin);

    // Mix of two joined files, second picture shown for the first `window` seconds.
    // Null for a Location outside 0..7.
    static QString getCommandMixture(int position, bool haveAudio, int window, int pipW,
                                     int frameHalf, int margin);

    // One piece of a group: timed pieces carry -ss/-t, the clips in between none.
    static QString groupPieceCommand(bool timed, int start, int duration, int width,
                                     bool keepAudio);

    // Input text of a join through the concat list at listPath.
    static QString joinInput(const QString &listPath);

    // Join of the pieces; outside dual view the camera's picture values are applied.
    static QString joinCommand(bool dualView, const CameraPicture &camera, int width,
                               bool keepAudio);

    // "hh:mm:ss" or "mm:ss" -> seconds; any other shape gives 0.
    static int formatTimeToSeconds(const QString &text);

private:
    static QString eqFilter(const PictureValues &values);
    static QString pipPieces(int position, int frameHalf, int margin);
    static QString mixturePieces(int position, int window, int frameHalf, int margin);
    static QString videoTail(bool haveAudio);
};
