#include "edittexts.h"

#include "appglobals.h"

#include <QStringList>

namespace {

const char *const englishTexts[] = {
    "",      "Edit",   "Cut Time", "OK",   "Cancel",         "Play",
    "Pause", "Stop",   "Previous", "Next", "Previous Frame", "Next Frame",
    "Speed", "Volume", "Mute",     "Zoom", "Full Screen",    "Picture in Picture",
    "Sync"};

} // namespace

QString editModeText(EditText row)
{
    const int index = static_cast<int>(row);
    const QString text = gLangEditMode.value(index);
    return text.isEmpty() ? QString::fromLatin1(englishTexts[index]) : text;
}
