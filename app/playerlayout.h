// Where the two camera views go inside the player area: one view, side by side, or
// picture-in-picture with the second camera's Location code.
#pragma once

#include <QRect>

struct PlayerLayout
{
    QRect mainView;
    QRect secondView; // empty when the second camera is hidden
    bool secondOnTop = false; // the small picture must be raised above the big one

    // displayMode 0 main only, 1 both; pipSwap 1 puts the second camera in the big picture;
    // location 0 top, 1 bottom, 2 left, 3 left_top, 4 left_bottom, 5 right, 6 right_top, 7 right_bottom.
    static PlayerLayout compute(const QRect &area, int displayMode, bool pip, int pipSwap, int location);

    static constexpr int pipMargin = 12;
    static constexpr int pipDivisor = 4; // the small picture is a quarter of the area's width
};
