// Style sheets of the main window for the two styles (0 white, 1 black).
#pragma once

#include <QColor>
#include <QString>

namespace AppStyle {
struct Palette
{
    QColor window;
    QColor panel;
    QColor border;
    QColor text;
    QColor mutedText;
    QColor accent;
};

Palette palette(int style);
QString mainWindowSheet(int style);
}
