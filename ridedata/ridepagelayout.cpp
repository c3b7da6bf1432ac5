#include "ridepagelayout.h"

RidePageLayout RidePageLayout::compute(int w, int h)
{
    // single precision as the page computes; every conversion truncates
    RidePageLayout l;
    l.calendarWidth = static_cast<int>(w * 0.39041096f - 12.0f);
    l.mapWidth = w - l.calendarWidth - 24;
    l.topHeight = static_cast<int>(h * 0.64375f - 12.0f);
    l.bottomHeight = h - l.topHeight - 49;
    l.chartHeight = static_cast<int>(h * 0.6666667f * 0.9125f - 42.0f);
    l.chartWidth = static_cast<int>(w / 100.0 * 60.958 - 30.0);
    l.mainHeight = h - 25;
    const int extra = w - 1200;
    l.barLeftMargin = extra < 1 ? 14 : static_cast<int>(extra * 0.0181f + 14.0f);
    l.barSpacing = extra < 1 ? 19 : static_cast<int>(extra * 0.015f + 19.0f);
    const float scale = extra < 1 ? 1.0f : extra * 0.0005f + 1.0f;
    l.playButtonSide = static_cast<int>((scale - 1.0f) * 18.0f + 18.0f);
    l.modeButtonSide = static_cast<int>((scale - 1.0f) * 22.0f + 22.0f);
    return l;
}
