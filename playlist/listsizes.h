// Sizes of the play list computed from its panel and the main window, and caption minimums.
#pragma once

#include <QSize>

struct ListSizes
{
    int buttonHeight = 0;
    int buttonMaxWidth = 640;
    int listRowStretch = 0;  // stretch of the layout row holding the list
    int listColumns[6] = {}; // widths of list columns 0..5 (0 is the mark column)
    int captionColumns[5] = {};
    int widgetHeight = 0;  // fixed height of the form's inner widget
    QSize addIcon;         // Add and Remove buttons
    QSize groupIcon;       // Group and Ungroup buttons
    int fontPixelSize = 0; // buttons and captions
    int headerHeight = 0;
    int itemPixelSize = 0; // row text
    int markPointSize = 0;

    // width and height of the list panel, windowHeight of the main window, in pixels.
    static ListSizes compute(int width, int height, int windowHeight);
};

// Narrowest width in pixels of caption column (0 File .. 4 Resolution) for a language index;
// languages past Romanian use the last row.
int captionMinimumWidth(int language, int column);
