#include "playerlayout.h"

namespace {
QRect pipRect(const QRect &area, int location)
{
    const int w = area.width() / PlayerLayout::pipDivisor;
    const int h = w * 9 / 16;
    const int m = PlayerLayout::pipMargin;
    const int left = area.left() + m;
    const int right = area.right() - m - w + 1;
    const int centerX = area.left() + (area.width() - w) / 2;
    const int top = area.top() + m;
    const int bottom = area.bottom() - m - h + 1;
    const int centerY = area.top() + (area.height() - h) / 2;
    switch (location) {
    case 0: return {centerX, top, w, h};
    case 1: return {centerX, bottom, w, h};
    case 2: return {left, centerY, w, h};
    case 3: return {left, top, w, h};
    case 4: return {left, bottom, w, h};
    case 5: return {right, centerY, w, h};
    case 6: return {right, top, w, h};
    default: return {right, bottom, w, h};
    }
}
} // namespace

PlayerLayout PlayerLayout::compute(const QRect &area, int displayMode, bool pip, int pipSwap,
                                   int location)
{
    PlayerLayout layout;
    if (displayMode != 1) {
        layout.mainView = area;
        return layout;
    }
    if (!pip) {
        const int half = area.width() / 2;
        layout.mainView = QRect(area.left(), area.top(), half, area.height());
        layout.secondView = QRect(area.left() + half, area.top(), area.width() - half, area.height());
        return layout;
    }
    const QRect small = pipRect(area, location);
    layout.secondOnTop = pipSwap != 1;
    layout.mainView = pipSwap == 1 ? small : area;
    layout.secondView = pipSwap == 1 ? area : small;
    return layout;
}
