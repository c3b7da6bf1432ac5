// Sizes of the ride-data page's parts for a page area of a given size.
#pragma once

struct RidePageLayout
{
    int calendarWidth = 0;
    int mapWidth = 0;
    int topHeight = 0;
    int bottomHeight = 0;
    int chartWidth = 0;
    int chartHeight = 0;
    int mainHeight = 0;     // the page's grid: the page height less 25
    int barLeftMargin = 0;  // playback bar
    int barSpacing = 0;     // between the playback buttons
    int playButtonSide = 0; // stop, steps, play
    int modeButtonSide = 0; // map and chart buttons

    static RidePageLayout compute(int width, int height);
};
