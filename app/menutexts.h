// Positions of the main window's texts in the "Menu bar" language section.
#pragma once

namespace MenuText {
enum Index
{
    File = 1, AddVideo, ClearFileList, Snapshot, Exit,
    Settings, Language, Style, White, Black,
    SpeedUnit, Mph, Kmh, DateFormat, DateDmy,
    DateMdy, DateYmd, Maps, WebMap, OpenStreetMap,
    Automatically, FactorySettings, View, DualView, SwapPictures,
    Location, LeftTop, Top, RightTop, Left,
    Right, LeftBottom, Bottom, RightBottom, FlipMain,
    FlipSecond, Tools, Share, Calendar, Player,
    DeleteRideData, Watermark, UpdateFirmware, UpdateApplication, Help,
    Instruction, About, PictureInPicture, SnapshotSaved, VideoAdjustment,
};
}
