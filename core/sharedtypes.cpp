#include "sharedtypes.h"

void registerSharedTypes()
{
    qRegisterMetaType<VideoInfo_t>("VideoInfo_t");
    qRegisterMetaType<QVector<VideoInfo_t>>("QVector<VideoInfo_t>");
    qRegisterMetaType<FileInfo_t>("FileInfo_t");
    qRegisterMetaType<MediaPlayerStatus>("MediaPlayerStatus");
    qRegisterMetaType<OP_Mode>("OP_Mode");
    qRegisterMetaType<EditorOutputSetting_t>("EditorOutputSetting_t");
    qRegisterMetaType<GroupOutputSetting_t>("GroupOutputSetting_t");
    qRegisterMetaType<Editor_e>("Editor_e");
    qRegisterMetaType<DrawInfo_t>("DrawInfo_t");
    qRegisterMetaType<PlaybackInfo_t>("PlaybackInfo_t");
    qRegisterMetaType<QVector<PlaybackInfo_t>>("QVector<PlaybackInfo_t>");
    qRegisterMetaType<PlaybackInfo2_t>("PlaybackInfo2_t");
    qRegisterMetaType<QVector<PlaybackInfo2_t>>("QVector<PlaybackInfo2_t>");
}
