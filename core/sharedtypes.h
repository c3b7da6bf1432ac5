// Value records and codes shared by every part of the player, registered as meta-types.
#pragma once

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// One per-second metadata sample of a video; an empty recordTime means the second has no sample.
struct VideoInfo_t
{
    QString recordTime;
    QString clockTime;      // "hh:mm:ss  dd/MM/yyyy"
    QString latText;        // hemisphere letter first, degrees and minutes
    QString latDecimalText;
    double lat = 0.0;
    QString lonText;
    QString lonDecimalText;
    double lon = 0.0;
    float extraValue = 0.0f;
    double speedKmh = 0.0;
    double speedMph = 0.0;
    float gX = 0.0f;
    float gY = 0.0f;
    float gZ = 0.0f;
    QString compassText;
    QString headingText;
};

// Elapsed playback time "hh:mm:ss" -> sample of that second.
using VideoInfoMap = QMap<QString, VideoInfo_t>;

// Play-list row of one opened file.
struct FileInfo_t
{
    QString mark;
    QString fileName;
    QString filePath;
    QString date;       // "yyyy-MM-dd"
    QString size;       // "<n>MB"
    QString duration;   // "hh:mm:ss"
    QString durations;  // group members' durations, each followed by ";"
    QString resolution; // "<w>x<h>", "0x0" while unknown
};

enum MediaPlayerStatus
{
    StoppedState = 0,
    PlayingState = 1,
    PausedState = 2
};

enum OP_Mode
{
    OP_Play = 0,
    OP_Edit = 1
};

enum LoadParameterMode
{
    LoadAfterFactoryReset = 0,
    LoadAfterMapLoaded = 2,
    LoadAtStartUp = 4
};

// Camera family code 0..24 of a video file; 24: no metadata, 22: a file this player wrote.
using DashcamType = int;
namespace DashcamTypes {
constexpr DashcamType exported = 22;
constexpr DashcamType none = 24;
}

enum Map_e
{
    MapWebPage = 0,
    MapSecondSource = 1
};

enum SpeedUnit
{
    SpeedMph = 0,
    SpeedKmh = 1
};

enum Zq_Language
{
    LangEnglish = 0,
    LangGerman,
    LangFrench,
    LangDutch,
    LangItalian,
    LangSpanish,
    LangPortuguese,
    LangRussian,
    LangPolish,
    LangCzech,
    LangRomanian,
    LangChinese,
    LanguageCount
};

// Options of one export, set on the output-settings page.
struct EditorOutputSetting_t
{
    bool haveAudio = true;
    bool haveGps = true;
    qint32 mainVideoSide = 1; // 0: picture in picture while both cameras are shown
    QString outputPath;
};

// State of a group export handed by the main window to the export runner.
struct GroupOutputSetting_t
{
    QStringList mainFiles;
    QStringList secondFiles;
    QString workFolder;
    int clip[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
};

enum Editor_e
{
    EditorNoError = 0,
    EditorFailed = 1,        // ffmpeg did not start, failed or wrote nothing
    EditorNoDiskSpace = 2,
    EditorDifferentDevices = 3
};

// Bounds of a GPS track in decimal degrees.
struct DrawInfo_t
{
    double maxX = 0.0; // largest longitude
    double minX = 0.0;
    double maxY = 0.0; // largest latitude
    double minY = 0.0;
};

// One decoded ride point, or in the same shape the ride summary.
struct PlaybackInfo_t
{
    QString duration;
    QString latHemisphere;
    QString latitude;
    QString lngHemisphere;
    QString longitude;
    double altitude = 0.0;
    double altitudeMax = 0.0;
    double altitudeMinNonZero = 0.0;
    double altitudeMin = 0.0;
    double altitudeRising = 0.0;
    double altitudeDecrease = 0.0;
    double altitudeReference = 0.0;
    double speedAvg = 0.0;
    double speedMax = 0.0;
    double speedMin = 0.0;
    double distance = 0.0;
    double distanceMax = 0.0;
    double distanceMin = 0.0;
    double speedKmh = 0.0;
    double speedMph = 0.0;
    qint32 totalSeconds = 0;
    QString heading;
};

// Per-file summary of a 7- or 28-day window of the ride-data mode.
struct PlaybackInfo2_t
{
    QString duration;
    qint32 totalSeconds = 0;
    qint32 dayIndex = 0;
    QString fileName;
    QString date;
    QString latHemisphere;
    QString lngHemisphere;
    QString latitude;
    QString longitude;
    double altitude = 0.0;
    double speedAvg = 0.0;
    double speedMax = 0.0;
    double distance = 0.0;
    double speedKmh = 0.0;
    double speedMph = 0.0;
};

Q_DECLARE_METATYPE(VideoInfo_t)
Q_DECLARE_METATYPE(FileInfo_t)
Q_DECLARE_METATYPE(MediaPlayerStatus)
Q_DECLARE_METATYPE(OP_Mode)
Q_DECLARE_METATYPE(EditorOutputSetting_t)
Q_DECLARE_METATYPE(GroupOutputSetting_t)
Q_DECLARE_METATYPE(Editor_e)
Q_DECLARE_METATYPE(DrawInfo_t)
Q_DECLARE_METATYPE(PlaybackInfo_t)
Q_DECLARE_METATYPE(PlaybackInfo2_t)

// Registers every record above for queued connections; call once after QApplication exists.
void registerSharedTypes();
