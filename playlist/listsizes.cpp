#include "listsizes.h"

#include <QtGlobal>

ListSizes ListSizes::compute(int width, int height, int windowHeight)
{
    // every conversion to whole pixels truncates toward zero
    const int k = windowHeight / 100;
    const double u = width / 100.0;
    const double q = windowHeight / 100.0;
    const int a = int(k * 0.98 - 5.88);

    ListSizes s;
    s.buttonHeight = int(k * 4.6);
    s.listRowStretch = int((windowHeight - 675) * 0.121213 + 75.0);
    s.listColumns[0] = int(u * 5);
    s.listColumns[1] = int((a + 20) * u);
    s.listColumns[2] = int(u * 17);
    s.listColumns[3] = int(u * 15.5);
    s.listColumns[4] = int(u * 16);
    s.listColumns[5] = int(u * 17);
    s.captionColumns[0] = int(s.listColumns[0] + (a + 20) * u);
    s.captionColumns[1] = int(u * 17);
    s.captionColumns[2] = int(u * 15.5);
    s.captionColumns[3] = int(u * 16);
    s.captionColumns[4] = int(u * 17);
    s.widgetHeight = height - 50;
    const double t = (windowHeight - 677) * 0.0239;
    const int side = int(t + 17);
    s.addIcon = QSize(side, side);
    s.groupIcon = QSize(int(t + 19), side);
    s.fontPixelSize = int(2 * q);
    s.headerHeight = s.fontPixelSize + 5;
    s.itemPixelSize = int(1.5 * q);
    s.markPointSize = s.itemPixelSize;
    return s;
}

int captionMinimumWidth(int language, int column)
{
    static const int widths[12][5] = {
        {50, 55, 55, 90, 105},  // English
        {60, 70, 70, 70, 100},  // German
        {75, 55, 60, 65, 105},  // French
        {90, 75, 80, 85, 95},   // Dutch
        {50, 55, 110, 75, 110}, // Italian
        {80, 65, 80, 90, 110},  // Spanish
        {80, 55, 90, 90, 105},  // Portuguese
        {65, 60, 80, 72, 120},  // Russian
        {50, 55, 82, 60, 132},  // Polish
        {75, 70, 80, 70, 90},   // Czech
        {60, 55, 75, 70, 90},   // Romanian
        {50, 55, 55, 90, 105},  // Chinese and any other
    };
    const int row = language >= 0 && language <= 10 ? language : 11;
    return widths[row][qBound(0, column, 4)];
}
