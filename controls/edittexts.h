// Texts of the play bar and the second control bar from the "Edit mode" language section.
#pragma once

#include <QString>

// Row numbers of the section (row 0 is its heading).
enum class EditText
{
    Edit = 1,
    CutTime,
    Ok,
    Cancel,
    Play,
    Pause,
    Stop,
    Previous,
    Next,
    PreviousFrame,
    NextFrame,
    Speed,
    Volume,
    Mute,
    Zoom,
    FullScreen,
    PictureInPicture,
    Sync
};

// The current language's text of a row; the English text while the loaded table lacks that row.
QString editModeText(EditText row);
